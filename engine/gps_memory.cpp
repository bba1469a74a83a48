// LoadGpsMemory: the gauge's reading of the GPS memory file into GpsState, with
// its checksum and the error texts a failed load leaves in the active entry's name.
//
// A failed load leaves a one-leg program (legCount 1) and activeLeg unchanged; the
// entry at activeLeg carries "Open data file error" or "Leg %d Line %d (%03d)".
// Legs read before the error have already replaced the old entries, and the loader
// never clears entries after legCount.
#include "engine/gps_memory.h"

#include <cstring>

#include "engine/engine.h"
#include "engine/program_file.h"
#include "sys/paths.h"

constexpr char kGpsMemoryPath[] = "./TERVANE.dat";
constexpr char kOpenErrorText[] = "Open data file error";
static_assert(sizeof kOpenErrorText == sizeof(ProgramLeg::name));

static int FailLoad() {
  gps.legCount = 1;
  return 0;
}

int LoadGpsMemoryStream(FILE* file) {
  ProgramReadResult result = ReadProgramBlocks(file, gps.legs, kGpsMemoryExtraLineRule);
  gps.programChecksum = result.checksum;
  if (result.status == kStatusEnd) {
    gps.legCount = result.legCount;
    if (gps.activeLeg > gps.legCount - 1) gps.activeLeg = gps.legCount - 1;
    if (gps.activeLeg < 0) gps.activeLeg = 0;
    return 1;
  }
  // At most 20 characters and the NUL; "Leg 100 Line 6 (999)" is the longest.
  char text[64];
  std::snprintf(text, sizeof text, "Leg %d Line %d (%03d)", result.errorLeg, result.errorLine,
                result.status);
  char* name = ActiveLegEntry().name;
  size_t length = strnlen(text, kNameChars);
  std::memcpy(name, text, length);
  name[length] = '\0';
  return FailLoad();
}

int LoadGpsMemoryFile(const char* path) {
  gps.programChecksum = 0;
  // A directory opens for reading here but is no data file, as on the original
  // platform.
  FILE* file = sys::IsDirectory(path) ? nullptr : std::fopen(path, "rb");
  if (!file) {
    std::memcpy(ActiveLegEntry().name, kOpenErrorText, sizeof kOpenErrorText);
    return FailLoad();
  }
  int loaded = LoadGpsMemoryStream(file);
  std::fclose(file);
  return loaded;
}

int LoadGpsMemory() { return LoadGpsMemoryFile(kGpsMemoryPath); }
