# tervane_add_fuzz_target(<name> SOURCES ... [LIBRARIES ...] [CORPUS <dir>])
#
# With TERVANE_FUZZ (the clang "fuzz" preset) this builds a libFuzzer binary
# fuzz-<name>. In every other build it links the same entry point with a small
# replay driver and registers a test that feeds it each file of the corpus, so the
# ordinary test run keeps the targets compiling and their corpora passing.
function(tervane_add_fuzz_target name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBRARIES" ${ARGN})
  set(target fuzz-${name})
  if(TERVANE_FUZZ)
    add_executable(${target} ${F_SOURCES})
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${target} ${F_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    if(F_CORPUS)
      add_test(NAME fuzz_replay.${name} COMMAND ${target} ${F_CORPUS})
    endif()
  endif()
  target_link_libraries(${target} PRIVATE ${F_LIBRARIES})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
