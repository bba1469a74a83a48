// The two named shared-memory areas every GPS gauge module publishes, as byte
// layouts other processes can rely on: COM_AREA, the 118-byte status record that
// also carries requests back to the gauge, and PGR_AREA, the 99-leg program table
// (6831 bytes). Header-only and free of engine state, so IpcProbe, tests and the
// host's trace include it on their own.
//
// Both layouts are packed and little-endian; most words are not aligned (the
// distance at byte 62 is an 8-byte real at an offset divisible by neither 4 nor
// 8). Code that touches a view uses the helpers below, which copy bytes instead of
// dereferencing unaligned pointers. There is no lock: the gauge writes each area
// with one block copy, outside processes write single 32-bit request words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/program_records.h"

constexpr const char kComAreaName[] = "TERVANE_COM_IPC_11";
constexpr const char kPgrAreaName[] = "TERVANE_PGR_IPC_11";

#pragma pack(push, 1)

// COM_AREA. "Off record": what a unit that is off publishes (see each field).
struct ComArea {
  GeoCoord aircraftLat;      // aircraft latitude, filled by the panels' position fields
  GeoCoord aircraftLon;      // aircraft longitude, likewise
  int32_t desiredTrack;      // magnetic course to the active leg, whole degrees (off: 0)
  int32_t commandedHeading;  // heading to steer, whole degrees (off: 0)
  int32_t aircraftHeading;   // heading variable truncated, degrees (off: last read)
  int32_t aircraftAltitude;  // altitude variable truncated (off: last read)
  int32_t groundSpeed;       // knots (off: 0)
  double distanceNm;         // distance to the active leg, nautical miles (off: 0.0)
  int32_t etaHours;          // time to the active leg: hours (off: 0)
  int32_t etaMinutes;        // and minutes (off: 0)
  int32_t headingCoupled;    // 0 or 1; a leg request carries the coupling wanted (off: 0)
  int32_t windCorrected;     // 0 or 1 (off: 0)
  int32_t windWarning;       // 0 or 1 (off: 0)
  int32_t programChecksum;   // of the GPS memory file as loaded; 0 while invalid (off: 0)
  int32_t legCount;          // legs of the program (off: 0)
  int32_t activeLeg;         // 0-based; 0 while invalid; a leg request carries the leg wanted
  int32_t modelCode;         // 0 off, failed or unloaded; else the module's model code
  int32_t reloadRequest;     // an outside process writes 1; the gauge writes 0
  int32_t legRequest;        // an outside process writes 1; the gauge writes 0
  int32_t powerFailRequest;  // non-zero fails the unit, 0 restores it; copied back
};

// PGR_AREA: the gauge's leg table as it holds it.
struct PgrArea {
  ProgramLeg legs[kMaxLegs];
};

#pragma pack(pop)

constexpr size_t kComAreaBytes = sizeof(ComArea);
constexpr size_t kPgrAreaBytes = sizeof(PgrArea);

// Byte offsets of the words outside processes read and write, by field name.
#define TERVANE_COM_AT(field) (offsetof(ComArea, field))

static_assert(kComAreaBytes == 118);
static_assert(kPgrAreaBytes == 6831);
static_assert(TERVANE_COM_AT(aircraftLat) == 0);
static_assert(TERVANE_COM_AT(aircraftLon) == 21);
static_assert(TERVANE_COM_AT(desiredTrack) == 42);
static_assert(TERVANE_COM_AT(commandedHeading) == 46);
static_assert(TERVANE_COM_AT(aircraftHeading) == 50);
static_assert(TERVANE_COM_AT(aircraftAltitude) == 54);
static_assert(TERVANE_COM_AT(groundSpeed) == 58);
static_assert(TERVANE_COM_AT(distanceNm) == 62);
static_assert(TERVANE_COM_AT(etaHours) == 70);
static_assert(TERVANE_COM_AT(etaMinutes) == 74);
static_assert(TERVANE_COM_AT(headingCoupled) == 78);
static_assert(TERVANE_COM_AT(windCorrected) == 82);
static_assert(TERVANE_COM_AT(windWarning) == 86);
static_assert(TERVANE_COM_AT(programChecksum) == 90);
static_assert(TERVANE_COM_AT(legCount) == 94);
static_assert(TERVANE_COM_AT(activeLeg) == 98);
static_assert(TERVANE_COM_AT(modelCode) == 102);
static_assert(TERVANE_COM_AT(reloadRequest) == 106);
static_assert(TERVANE_COM_AT(legRequest) == 110);
static_assert(TERVANE_COM_AT(powerFailRequest) == 114);

// Word access to a view at any offset. Each call reads or writes the word once.
inline int32_t ReadAreaInt32(const void* view, size_t offset) {
  int32_t value;
  std::memcpy(&value, static_cast<const unsigned char*>(view) + offset, sizeof value);
  return value;
}

inline void WriteAreaInt32(void* view, size_t offset, int32_t value) {
  std::memcpy(static_cast<unsigned char*>(view) + offset, &value, sizeof value);
}

inline double ReadAreaReal(const void* view, size_t offset) {
  double value;
  std::memcpy(&value, static_cast<const unsigned char*>(view) + offset, sizeof value);
  return value;
}

// Whole-record copies between a view and a local record.
inline ComArea ReadComArea(const void* view) {
  ComArea record;
  std::memcpy(&record, view, sizeof record);
  return record;
}

inline void WriteComArea(void* view, const ComArea& record) {
  std::memcpy(view, &record, sizeof record);
}

// An index outside the table (a leg count read from COM_AREA is another process's
// word) gives an empty leg instead of a read past the area.
inline ProgramLeg ReadPgrLeg(const void* view, int index) {
  ProgramLeg leg{};
  if (index < 0 || index >= kMaxLegs) return leg;
  std::memcpy(&leg, static_cast<const unsigned char*>(view) + size_t(index) * sizeof(ProgramLeg),
              sizeof leg);
  return leg;
}
