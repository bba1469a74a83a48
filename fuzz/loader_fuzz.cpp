// Feeds arbitrary bytes to the GPS memory loader as the content of the file, with
// the active leg before the load taken from the first byte (so that error texts
// land at indices inside and outside the program), and checks what must hold
// after any load:
//  - a successful load: legCount 0..99, activeLeg inside the program, every leg's
//    texts terminated and its coordinates in range; the program written back and
//    read again gives the same legs, minutes cut to hundredths;
//  - a failed load: legCount 1, activeLeg unchanged, the error text terminated.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/gps_memory.h"
#include "engine/gps_state.h"
#include "engine/program_file.h"

static void Require(bool condition) {
  if (!condition) std::abort();
}

static bool Terminated(const char* text, size_t size) { return strnlen(text, size) < size; }

static void CheckCoord(const GeoCoord& c, bool longitude) {
  int maxDegrees = longitude ? 180 : 90;
  Require(longitude ? (c.hemisphere == 'E' || c.hemisphere == 'W')
                    : (c.hemisphere == 'N' || c.hemisphere == 'S'));
  Require(c.degrees >= 0 && c.degrees <= maxDegrees);
  double minutes = c.decimalMinutes;
  Require(c.degrees == maxDegrees ? minutes == 0.0 : (minutes >= 0.0 && minutes < 60.0));
  Require(c.minutes == int32_t(minutes));
  Require(c.seconds >= 0 && c.seconds <= 59);
}

static bool SameCoordWritten(const GeoCoord& a, const GeoCoord& b) {
  return a.hemisphere == b.hemisphere && a.degrees == b.degrees &&
         HundredthsOfMinutes(a.decimalMinutes) == HundredthsOfMinutes(b.decimalMinutes);
}

// The round trip writes into a folder of its own, removed when the process ends.
static std::string roundTripFolder;

static void RemoveRoundTripFolder() {
  std::remove((roundTripFolder + "/roundtrip.prg").c_str());
  std::remove(roundTripFolder.c_str());
}

static std::string RoundTripPath() {
  if (roundTripFolder.empty()) {
    char folder[] = "/tmp/tervane-loader-fuzz-XXXXXX";
    Require(mkdtemp(folder) != nullptr);
    roundTripFolder = folder;
    std::atexit(RemoveRoundTripFolder);
  }
  return roundTripFolder + "/roundtrip.prg";
}

static void CheckRoundTrip() {
  std::string path = RoundTripPath();
  Require(WriteProgramFile(path.c_str(), gps.legs, gps.legCount) == 1);
  static ProgramLeg again[kMaxLegs];
  ProgramReadResult r = ReadProgramFile(path.c_str(), again);
  Require(r.status == kStatusEnd && r.legCount == gps.legCount);
  for (int i = 0; i < gps.legCount; ++i) {
    Require(std::strcmp(again[i].ident, gps.legs[i].ident) == 0);
    Require(std::strcmp(again[i].name, gps.legs[i].name) == 0);
    Require(SameCoordWritten(again[i].longitude, gps.legs[i].longitude));
    Require(SameCoordWritten(again[i].latitude, gps.legs[i].latitude));
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  gps = GpsState{};
  const int32_t activeBefore = static_cast<int8_t>(data[0]);
  gps.activeLeg = activeBefore;
  std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
  FILE* file = content.empty() ? std::fopen("/dev/null", "rb")
                               : fmemopen(content.data(), content.size(), "rb");
  Require(file != nullptr);
  int loaded = LoadGpsMemoryStream(file);
  std::fclose(file);

  if (loaded) {
    Require(gps.legCount >= 0 && gps.legCount <= kMaxLegs);
    Require(gps.activeLeg >= 0 && gps.activeLeg <= (gps.legCount > 0 ? gps.legCount - 1 : 0));
    for (int i = 0; i < gps.legCount; ++i) {
      Require(Terminated(gps.legs[i].ident, sizeof gps.legs[i].ident));
      Require(Terminated(gps.legs[i].name, sizeof gps.legs[i].name));
      CheckCoord(gps.legs[i].longitude, true);
      CheckCoord(gps.legs[i].latitude, false);
    }
    CheckRoundTrip();
  } else {
    Require(gps.legCount == 1);
    Require(gps.activeLeg == activeBefore);
    Require(Terminated(ActiveLegEntry().name, sizeof ActiveLegEntry().name));
    Require(std::strncmp(ActiveLegEntry().name, "Leg ", 4) == 0);
  }
  return 0;
}
