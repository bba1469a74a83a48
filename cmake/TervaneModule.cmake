# tervane_add_gauge_module(<target> GAUGE_FILE <file name> ART <art set>
#                          SOURCES <sources...> [LIBRARIES <libs...>]
#                          [DEFINITIONS <defs...>] [OUTPUT_DIR <dir>])
#
# Builds a gauge module: an ELF shared object in the simulator's Gauges/ folder,
# exporting only what its sources mark with TERVANE_MODULE_EXPORT, linked with
# -Bsymbolic so that several modules in one process keep their own state. The
# art set's bitmaps are drawn at build time and carried in the module's
# ".tervane_rsrc" section.
function(tervane_add_gauge_module target)
  cmake_parse_arguments(M "" "GAUGE_FILE;ART;OUTPUT_DIR" "SOURCES;LIBRARIES;DEFINITIONS" ${ARGN})
  if(NOT M_OUTPUT_DIR)
    set(M_OUTPUT_DIR ${TERVANE_SIM_DIR}/Gauges)
  endif()
  get_filename_component(stem ${M_GAUGE_FILE} NAME_WLE)
  get_filename_component(suffix ${M_GAUGE_FILE} LAST_EXT)
  set(sources ${M_SOURCES})
  if(M_ART)
    tervane_resource_pack(${target} ${M_ART} rsrc_source)
    list(APPEND sources ${rsrc_source})
  endif()
  add_library(${target} MODULE ${sources})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${stem} SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY ${M_OUTPUT_DIR}
    BUILD_RPATH "$ORIGIN/..;${TERVANE_SIM_DIR}"
    INSTALL_RPATH "$ORIGIN/..")
  target_link_options(${target} PRIVATE -Wl,-Bsymbolic -Wl,--no-undefined)
  target_link_libraries(${target} PRIVATE tervane_panel tervane_platform ${M_LIBRARIES})
  target_compile_definitions(${target} PRIVATE ${M_DEFINITIONS})
endfunction()

# Draws art set <set> into a resource pack and returns, in <out_var>, an assembly
# source that places the pack into the ".tervane_rsrc" section of whatever links it.
function(tervane_resource_pack target set out_var)
  set(pack ${CMAKE_CURRENT_BINARY_DIR}/${target}.rsrc)
  set(asm ${CMAKE_CURRENT_BINARY_DIR}/${target}_rsrc.S)
  add_custom_command(
    OUTPUT ${pack}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:tervane-art> ${set} ${pack}
    DEPENDS tervane-art
    COMMENT "Drawing art set ${set}"
    VERBATIM)
  file(WRITE ${asm}.in
    "\t.section .tervane_rsrc,\"a\"\n\t.balign 8\n\t.incbin \"${pack}\"\n"
    "\t.section .note.GNU-stack,\"\",@progbits\n")
  configure_file(${asm}.in ${asm} COPYONLY)
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${pack})
  add_custom_target(${target}_art DEPENDS ${pack})
  set(${out_var} ${asm} PARENT_SCOPE)
endfunction()
