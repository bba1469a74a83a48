// Coordinate lines: the parser that reads "N 51* 28.65m" (and the freer forms the
// format accepts) into a GeoCoord, and the formatter the writer uses.
//
// Both sides avoid the C library's locale-dependent conversions (strtod, "%f"): the
// gauges run inside a host that may set a locale with a decimal comma.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "engine/program_file.h"
#include "sys/numeric.h"

constexpr int kMaxLongitudeDegrees = 180;
constexpr int kMaxLatitudeDegrees = 90;
constexpr int kMaxDegreeDigits = 3;  // a fourth digit starts the minutes
constexpr double kMinutesPerDegree = 60.0;

// The working copy of the minutes text holds any run a 254-character line can
// carry; a longer run (only possible from callers that pass unbounded text) is
// refused rather than cut.
constexpr size_t kMinutesTextSize = kLineBufferSize;

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

static const char* SkipNonDigits(const char* p) {
  while (*p != '\0' && !IsDigit(*p)) ++p;
  return p;
}

static const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

// Converts the minutes run [whole digits][.fraction digits] to a real. Leading
// zeros of the whole part and trailing zeros of the fraction do not change the
// value and are left out of the copy. Returns false when the value is certainly
// 100 or more or the copy cannot hold the run; the caller refuses both.
static bool MinutesValue(const char* wholeBegin, const char* wholeEnd, const char* fractionBegin,
                         const char* fractionEnd, double* value) {
  while (wholeBegin < wholeEnd && *wholeBegin == '0') ++wholeBegin;
  while (fractionEnd > fractionBegin && fractionEnd[-1] == '0') --fractionEnd;
  size_t wholeLength = size_t(wholeEnd - wholeBegin);
  size_t fractionLength = size_t(fractionEnd - fractionBegin);
  if (wholeLength > 2) return false;  // three significant digits: 100 or more
  char copy[kMinutesTextSize];
  // "0" + whole + "." + fraction + NUL must fit.
  if (1 + wholeLength + 1 + fractionLength + 1 > sizeof copy) return false;
  size_t length = 0;
  copy[length++] = '0';
  std::memcpy(copy + length, wholeBegin, wholeLength);
  length += wholeLength;
  if (fractionLength > 0) {
    copy[length++] = '.';
    std::memcpy(copy + length, fractionBegin, fractionLength);
    length += fractionLength;
  }
  copy[length] = '\0';
  auto [end, error] = std::from_chars(copy, copy + length, *value);
  return error == std::errc() && end == copy + length;
}

int ParseGeoCoord(GeoCoord* target, const char* text, int isLongitude, int successStatus) {
  // 1. The hemisphere letter, upper case only.
  char hemisphere = text[0];
  bool expected = isLongitude ? (hemisphere == 'E' || hemisphere == 'W')
                              : (hemisphere == 'N' || hemisphere == 'S');
  if (!expected) return kStatusHemisphere;
  target->hemisphere = hemisphere;

  // 2.-4. Up to three degree digits after any signs, blanks or letters.
  const char* p = SkipNonDigits(text + 1);
  if (*p == '\0') return kStatusCoordinateCut;
  int degrees = 0;
  for (int taken = 0; taken < kMaxDegreeDigits && IsDigit(*p); ++taken, ++p)
    degrees = degrees * 10 + (*p - '0');
  int maxDegrees = isLongitude ? kMaxLongitudeDegrees : kMaxLatitudeDegrees;
  if (degrees > maxDegrees) return isLongitude ? kStatusLongitudeRange : kStatusLatitudeRange;
  target->degrees = degrees;
  bool atMaximum = degrees == maxDegrees;

  // 5.-6. Whatever separates degrees and minutes ("* ", a blank, nothing).
  if (*p == '\0') return kStatusCoordinateCut;
  p = SkipNonDigits(p);
  if (*p == '\0') return kStatusCoordinateCut;

  // 7. The minutes: digits, optionally a point and more digits; the rest (the
  // "m" of the written form) is ignored.
  const char* wholeBegin = p;
  const char* wholeEnd = SkipDigits(p);
  const char* fractionBegin = wholeEnd;
  const char* fractionEnd = wholeEnd;
  if (*wholeEnd == '.') {
    fractionBegin = wholeEnd + 1;
    if (!IsDigit(*fractionBegin)) return kStatusPointWithoutDigit;
    fractionEnd = SkipDigits(fractionBegin);
  }

  // 8.-9. At the maximum degrees only zero minutes are allowed.
  double value = 0.0;
  if (!MinutesValue(wholeBegin, wholeEnd, fractionBegin, fractionEnd, &value))
    return kStatusMinutesRange;
  bool inRange = atMaximum ? value == 0.0 : value < kMinutesPerDegree;
  if (!inRange) return kStatusMinutesRange;

  // 10. value lies in 0..60, so the truncations cannot leave the int range.
  target->decimalMinutes = value;
  target->minutes = static_cast<int32_t>(value);
  target->seconds = sys::TruncateToInt32((value - target->minutes) * 60.0);
  return successStatus;
}

// Minutes beyond this are not real coordinates; the formatter saturates there so
// that a damaged table still writes a finite line.
constexpr double kLargestWrittenMinutes = 1e15;

int64_t HundredthsOfMinutes(double decimalMinutes) {
  if (!std::isfinite(decimalMinutes)) return 0;
  if (decimalMinutes > kLargestWrittenMinutes) decimalMinutes = kLargestWrittenMinutes;
  if (decimalMinutes < -kLargestWrittenMinutes) decimalMinutes = -kLargestWrittenMinutes;
  // The shortest fixed form that reads back as the same double: "0.29" for the
  // double nearest 0.29, where 0.29 x 100 in binary would give 28.999...
  char text[400];  // holds the fixed form of any double, 5e-324 included
  auto [end, error] =
      std::to_chars(text, text + sizeof text - 1, decimalMinutes, std::chars_format::fixed);
  if (error != std::errc()) return 0;
  *end = '\0';
  const char* p = text;
  bool negative = *p == '-';
  if (negative) ++p;
  int64_t hundredths = 0;
  for (; IsDigit(*p); ++p) hundredths = hundredths * 10 + (*p - '0');
  if (*p == '.') ++p;
  for (int place = 0; place < 2; ++place) {
    hundredths *= 10;
    if (IsDigit(*p)) hundredths += *p++ - '0';
  }
  return negative ? -hundredths : hundredths;
}

int FormatGeoCoordLine(const GeoCoord& coord, char* out, int outSize) {
  int64_t hundredths = HundredthsOfMinutes(coord.decimalMinutes);
  const char* sign = hundredths < 0 ? "-" : "";
  int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
  int length = std::snprintf(out, size_t(outSize), "%c%3d* %s%lld.%02lldm", coord.hemisphere,
                             coord.degrees, sign, static_cast<long long>(magnitude / 100),
                             static_cast<long long>(magnitude % 100));
  if (length < 0) return 0;
  return length < outSize ? length : outSize - 1;
}
