// The aircraft's position as the panel's present-position fields receive it: the
// simulator keeps latitude and longitude as 64-bit values and the fields' source
// records point at that storage; the upper 32-bit half, scaled, is the position in
// hundredths of a minute of arc. The result goes into presentLat/presentLon, which
// the navigation reads, and into COM_AREA's image (the panel is their only writer).
//
// The scale factors are the simulator's units as measured, kept to every digit:
// with them the word for 180 degrees east of Greenwich (2^31) converts a shade
// above 180, so it reads W 179º59'59" rather than W 180.
#include <cstring>

#include "sys/numeric.h"
#include "v124_panel.h"

constexpr double kLatHundredthsPerUnit = 0.053990578644026614;   // minutes/100 per word unit
constexpr double kLonHundredthsPerUnit = 0.0005029142201840742;  // minutes/100 per word unit
constexpr double kHundredthsPerDegree = 6000.0;
constexpr double kHalfTurnHundredths = 1080000.0;  // 180 degrees

// The upper half of the 64-bit value at the record's storage, or false when the
// host has not bound the record.
static bool ReadUpperHalf(const ModuleVar& source, uint32_t* word) {
  if (!source.storage) return false;
  std::memcpy(word, static_cast<const unsigned char*>(source.storage) + 4, sizeof *word);
  return true;
}

// Splits v (hundredths of a minute, 0 or more) into degrees, minutes, seconds and
// decimal minutes. Minutes and seconds truncate; the decimal minutes keep the
// fraction of the untruncated v.
static GeoCoord SplitHundredths(char hemisphere, double v) {
  GeoCoord coord{};
  coord.hemisphere = hemisphere;
  int32_t whole = sys::TruncateToInt32(v);
  coord.degrees = whole / 6000;
  coord.decimalMinutes = (v - coord.degrees * kHundredthsPerDegree) * 0.01;
  coord.minutes = sys::TruncateToInt32(coord.decimalMinutes);
  coord.seconds = sys::TruncateToInt32((coord.decimalMinutes - coord.minutes) * 60.0);
  return coord;
}

void ConvertLatitude(const ModuleVar& source) {
  uint32_t word;
  if (!ReadUpperHalf(source, &word)) return;
  double v = static_cast<int32_t>(word) * kLatHundredthsPerUnit;
  char hemisphere = 'N';  // the equator reads N
  if (v < 0) {
    hemisphere = 'S';
    v = -v;
  }
  gps.presentLat = SplitHundredths(hemisphere, v);
  gps.comImage.aircraftLat = gps.presentLat;
}

void ConvertLongitude(const ModuleVar& source) {
  uint32_t word;
  if (!ReadUpperHalf(source, &word)) return;
  double v = word * kLonHundredthsPerUnit;  // east of Greenwich, 0 .. 360 degrees
  char hemisphere = 'E';
  if (v >= kHalfTurnHundredths) {  // exactly 180 reads W
    hemisphere = 'W';
    v = kHalfTurnHundredths - (v - kHalfTurnHundredths);
    // The scale runs a shade long: the last few words below 2^32 would give a
    // negative distance from Greenwich and "-0.00" minutes.
    if (v < 0) v = 0;
  }
  gps.presentLon = SplitHundredths(hemisphere, v);
  gps.comImage.aircraftLon = gps.presentLon;
}
