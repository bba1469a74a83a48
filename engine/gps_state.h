// The engine state of one GPS gauge module: the loaded program, the unit's modes,
// the navigation results, the module's copy of the status record, the two shared
// areas and the simulator variable bindings. There is exactly one, `gps`, per
// module (a plain file-level object: each module loaded into the host keeps its
// own). Every field is zero when the module is loaded, except legCount, which is 1.
//
// Invariants:
//  (1) comView is valid whenever comMapping is not null; likewise pgrView and
//      pgrMapping.
//  (2) After a successful load legCount lies in 0..99 (0 only for an empty file) and
//      activeLeg in 0..legCount-1 (0 for an empty program); after a failed load
//      legCount is 1 and activeLeg is unchanged.
//  (3) activeLeg can still leave 0..98 through a panel's leg buttons on an empty
//      program; every access to the table by activeLeg goes through
//      ActiveLegEntry(), which never leaves the table.
//
// Modes, and which results may be trusted in each:
//   mode          condition                       navigation results   program
//   standby       headingCoupled 0                current              valid
//   coupled       headingCoupled 1                current              valid
//   arrived       arrived 1 (only while coupled)  frozen               valid
//   invalid       programInvalid 1                stale                one leg carrying the
//                 (load error or reload pending)                       error or "DATA RELOADING"
//   power failed  powerFailed 1                   stale                as it was
#pragma once

#include <cstdint>

#include "engine/module_traits.h"
#include "engine/program_records.h"
#include "engine/shared_areas.h"
#include "panel/gauge_records.h"

namespace sys {
struct SharedArea;
}

// Simulator variables the engine binds, in binding order.
enum : uint32_t {
  kTokenAutopilotEngaged = 0x67,        // non-zero = engaged
  kTokenHeadingHold = 0x6A,             // non-zero = active
  kTokenHeadingBug = 0x11A,             // degrees
  kTokenMagneticVariation = 0x52,       // degrees, subtracted from true directions
  kTokenHeading = 0x51,                 // aircraft heading, degrees
  kTokenMach = 0x40,                    // Mach number in units of 1/20480
  kTokenWindEast = 0x159,               // east component of the wind velocity
  kTokenWindNorth = 0x15A,              // north component of the wind velocity
  kTokenWindSpeed = 0x157,              // wind speed
  kTokenAirspeedZero = 0x3C,            // while non-zero the true airspeed is taken as 0
  kTokenTransponder = 0x26,             // V3 only: transponder code, BCD
  kTokenOutsideAirTemperature = 0x155,  // degrees Celsius
  kTokenAltitude = 0x4A,                // aircraft altitude
};

constexpr uint32_t kBindingTokens[] = {kTokenAutopilotEngaged,
                                       kTokenHeadingHold,
                                       kTokenHeadingBug,
                                       kTokenMagneticVariation,
                                       kTokenHeading,
                                       kTokenMach,
                                       kTokenWindEast,
                                       kTokenWindNorth,
                                       kTokenWindSpeed,
                                       kTokenAirspeedZero,
#ifdef TERVANE_GPS_MODEL_V3
                                       kTokenTransponder,
#endif
                                       kTokenOutsideAirTemperature,
                                       kTokenAltitude};
constexpr int kBindingCount = sizeof kBindingTokens / sizeof kBindingTokens[0];
static_assert(kBindingCount == (kBindsTransponder ? 13 : 12));

constexpr int BindingIndex(uint32_t token) {
  for (int i = 0; i < kBindingCount; ++i)
    if (kBindingTokens[i] == token) return i;
  return -1;
}

struct GpsState {
  ProgramLeg legs[kMaxLegs];  // the loaded program; also the image of PGR_AREA
  int32_t legCount = 1;       // valid entries of legs
  int32_t activeLeg;          // 0-based index of the waypoint flown to
  int32_t programChecksum;    // position-weighted character sum of the GPS memory file
  int32_t programInvalid;     // flag: the last load failed, or a reload is pending
  int32_t reloadCountdown;    // 0: no reload pending; else update calls since it was armed
  int32_t powerFailed;        // flag: simulated power failure requested through COM_AREA
  int32_t updateCount;        // update calls within the 18-call navigation cycle, 0..17
  int32_t blinkPhase;         // flag: toggled on the 9th and 18th call of each cycle
  int32_t showName;           // flag, V3 and KLN 90B: the main line shows the leg's name
  int32_t headingCoupled;     // flag: the unit steers the autopilot heading
  int32_t holdMode;           // flag: automatic leg sequencing is off
  int32_t arrivalAction;      // 0..2: what happens when the final or held waypoint is passed
  int32_t arrived;            // flag: the final or held waypoint has been passed
  GeoCoord presentLat;        // aircraft position, written by the panels' position fields
  GeoCoord presentLon;
  double distanceNm;                  // distance to the active waypoint, nautical miles
  double previousDistanceNm;          // distanceNm of the previous navigation cycle, nautical miles
  int32_t desiredTrack;               // magnetic course to the active waypoint, whole degrees
  int32_t commandedHeading;           // heading to steer (wind-corrected), whole degrees
  int32_t groundSpeed;                // whole knots
  int32_t etaValid;                   // flag: etaHours and etaMinutes are current
  int32_t etaHours;                   // time to the active waypoint: hours
  int32_t etaMinutes;                 // and minutes
  int32_t windCorrected;              // flag: the last navigation cycle applied a wind correction
  int32_t windWarning;                // flag: the wind triangle had no solution
  int32_t speedDisplayCount;          // navigation cycles the panel keeps showing the ground speed
  int32_t entryMode;                  // flag, V3: transponder code entry in progress
  int32_t entryCountdown;             // V3: navigation cycles the code stays shown
  int32_t unitOn;                     // flag, KLN 90B: the unit is switched on
  ComArea comImage;                   // the module's own copy of the status record
  sys::SharedArea* comMapping;        // COM_AREA, or null when absent
  unsigned char* comView;             // its view (valid while comMapping is set)
  sys::SharedArea* pgrMapping;        // PGR_AREA, or null when absent
  unsigned char* pgrView;             // its view (valid while pgrMapping is set)
  ModuleVar bindings[kBindingCount];  // in the order of kBindingTokens
};

extern GpsState gps;

// The table entry at activeLeg, with the index held inside the table (3).
ProgramLeg& ActiveLegEntry();

// The binding of a token the module binds; a token it does not bind fails to compile.
template <uint32_t token>
ModuleVar& Binding() {
  constexpr int index = BindingIndex(token);
  static_assert(index >= 0, "this module does not bind that token");
  return gps.bindings[index];
}

// ReadVariable on a binding, then its value as a real.
double ReadBinding(ModuleVar& binding);
