// The six coordinate forms of the GPS panels. The decimal forms print the minutes
// rounded to two places while the DMS forms print the truncated minutes and
// seconds, so 29.9988 minutes reads 29'59" and 30.00'.
#include "coordinate_text.h"

#include <cstdio>

// "\xBA" is the degree sign in Windows-1252; '"' after the seconds is their mark.
static constexpr char kLongDms[] = "%c%3d\xBA%02d'%02d\"";
static constexpr char kLongDecimal[] = "%c%3d\xBA%2.2f'";
static constexpr char kShortDms[] = "%c %2d\xBA%02d'%02d\"";
static constexpr char kShortDecimal[] = "%c %2d\xBA%2.2f'";
static constexpr char kPlaceholderDms[] = " ---\xBA--'--\"";
static constexpr char kPlaceholderDecimal[] = " ---\xBA--.--'";

void FormatCoordinate(char* out, size_t size, const GeoCoord& coord, CoordForm form, bool decimal) {
  if (!out || size == 0) return;
  bool isShort = form == CoordForm::kShort;
  if (decimal)
    std::snprintf(out, size, isShort ? kShortDecimal : kLongDecimal, coord.hemisphere,
                  coord.degrees, coord.decimalMinutes);
  else
    std::snprintf(out, size, isShort ? kShortDms : kLongDms, coord.hemisphere, coord.degrees,
                  coord.minutes, coord.seconds);
}

void FormatCoordinatePlaceholder(char* out, size_t size, bool decimal) {
  if (!out || size == 0) return;
  std::snprintf(out, size, "%s", decimal ? kPlaceholderDecimal : kPlaceholderDms);
}
