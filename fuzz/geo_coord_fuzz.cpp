// Feeds arbitrary text (up to its first NUL) to the coordinate parser as a
// longitude and as a latitude, and checks that only the documented statuses come
// back, that an accepted coordinate is in range and consistent, and that its
// written form parses back to the same hemisphere, degrees and hundredths.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/program_file.h"

static void Require(bool condition) {
  if (!condition) std::abort();
}

static void Check(const std::string& text, int longitude) {
  GeoCoord coord{};
  int status = ParseGeoCoord(&coord, text.c_str(), longitude, 1);
  Require(status == 1 || (status >= 101 && status <= 105) || status == 108);
  if (status != 1) return;
  int maxDegrees = longitude ? 180 : 90;
  Require(longitude ? (coord.hemisphere == 'E' || coord.hemisphere == 'W')
                    : (coord.hemisphere == 'N' || coord.hemisphere == 'S'));
  Require(coord.degrees >= 0 && coord.degrees <= maxDegrees);
  double minutes = coord.decimalMinutes;
  Require(coord.degrees == maxDegrees ? minutes == 0.0 : (minutes >= 0.0 && minutes < 60.0));
  Require(coord.minutes == int32_t(minutes));
  Require(coord.seconds >= 0 && coord.seconds <= 59);

  char line[64];
  int length = FormatGeoCoordLine(coord, line, sizeof line);
  Require(length > 0 && length < int(sizeof line) - 1);
  GeoCoord again{};
  Require(ParseGeoCoord(&again, line, longitude, 1) == 1);
  Require(again.hemisphere == coord.hemisphere && again.degrees == coord.degrees);
  Require(HundredthsOfMinutes(again.decimalMinutes) == HundredthsOfMinutes(coord.decimalMinutes));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();  // up to the first NUL, as a C text
  Check(text, 1);
  Check(text, 0);
  return 0;
}
