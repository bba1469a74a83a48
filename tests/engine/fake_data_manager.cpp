// Stand-ins for the data manager library "TervData": OpenMainDialog records the
// call in "dialog-calls" and, as "Load to GPS" does, writes a two-leg program
// into the GPS memory file of the current directory. Built with
// FAKE_DM_WITHOUT_DIALOG it lacks the export, as a damaged library would.
#include <cstdio>
#include <cstring>

#include "engine/program_file.h"

#ifndef FAKE_DM_WITHOUT_DIALOG
extern "C" __attribute__((visibility("default"))) int32_t OpenMainDialog() {
  if (FILE* calls = std::fopen("dialog-calls", "ab")) {
    std::fputs("called\n", calls);
    std::fclose(calls);
  }
  ProgramLeg legs[2] = {};
  std::strcpy(legs[0].ident, "DMA");
  std::strcpy(legs[0].name, "FROM DIALOG A");
  legs[0].longitude = {'E', 8, 33, 0, 33.5};
  legs[0].latitude = {'N', 47, 27, 30, 27.5};
  std::strcpy(legs[1].ident, "DMB");
  std::strcpy(legs[1].name, "FROM DIALOG B");
  legs[1].longitude = {'E', 11, 47, 0, 47.0};
  legs[1].latitude = {'N', 48, 21, 0, 21.0};
  WriteProgramFile("TERVANE.dat", legs, 2);
  return 1;
}
#else
extern "C" __attribute__((visibility("default"))) int32_t SomethingElse() { return 0; }
#endif
