// The records a GPS program is held in: one coordinate (GeoCoord), one waypoint
// (ProgramLeg) and the 99-leg table. They are packed and little-endian because the
// gauges copy the table whole into the program area other processes read; the
// static_asserts below pin every offset. Header-only, so that readers of the shared
// areas (IpcProbe, tests, the host's trace) need nothing else of the engine.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the program table and the shared areas are little-endian byte images");

#pragma pack(push, 1)

// One latitude or longitude.
struct GeoCoord {
  char hemisphere;        // 'N' or 'S' for a latitude, 'E' or 'W' for a longitude
  int32_t degrees;        // whole degrees, 0..90 or 0..180
  int32_t minutes;        // whole minutes: decimalMinutes truncated
  int32_t seconds;        // whole seconds: the fraction of decimalMinutes x 60, truncated
  double decimalMinutes;  // minutes of arc with fraction, 0 <= value < 60
};

// One waypoint of a program.
struct ProgramLeg {
  char ident[6];  // NUL-terminated, at most 5 characters
  char name[21];  // NUL-terminated, at most 20 characters
  GeoCoord longitude;
  GeoCoord latitude;
};

#pragma pack(pop)

// A program has at most 99 legs: the table is a fixed array everywhere.
constexpr int kMaxLegs = 99;
constexpr size_t kIdentChars = sizeof(ProgramLeg::ident) - 1;         // 5
constexpr size_t kNameChars = sizeof(ProgramLeg::name) - 1;           // 20
constexpr size_t kProgramTableBytes = kMaxLegs * sizeof(ProgramLeg);  // 6831

static_assert(sizeof(GeoCoord) == 21);
static_assert(offsetof(GeoCoord, hemisphere) == 0);
static_assert(offsetof(GeoCoord, degrees) == 1);
static_assert(offsetof(GeoCoord, minutes) == 5);
static_assert(offsetof(GeoCoord, seconds) == 9);
static_assert(offsetof(GeoCoord, decimalMinutes) == 13);

static_assert(sizeof(ProgramLeg) == 69);
static_assert(offsetof(ProgramLeg, ident) == 0);
static_assert(offsetof(ProgramLeg, name) == 6);
static_assert(offsetof(ProgramLeg, longitude) == 27);
static_assert(offsetof(ProgramLeg, latitude) == 48);

static_assert(kProgramTableBytes == 6831);
