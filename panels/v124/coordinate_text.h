// The coordinate lines of the GPS panels: a hemisphere letter, the degrees with
// the degree sign (byte 0xBA), then minutes and seconds or decimal minutes; and
// the placeholders shown while the program is invalid. Every form writes at most
// size - 1 characters and a NUL straight into the caller's buffer, allocating
// nothing.
#pragma once

#include <cstddef>

#include "engine/program_records.h"

enum class CoordForm {
  kLong,   // "W 22º29'59"" style: hemisphere then three places of degrees
  kShort,  // "N 40º30'00"" style: hemisphere, a space, two places of degrees
};

// `decimal` selects degrees and decimal minutes instead of minutes and seconds.
void FormatCoordinate(char* out, size_t size, const GeoCoord& coord, CoordForm form, bool decimal);
void FormatCoordinatePlaceholder(char* out, size_t size, bool decimal);
