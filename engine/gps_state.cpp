// The module's one engine state and its guarded access to the active entry.
#include "engine/gps_state.h"

GpsState gps{};

ProgramLeg& ActiveLegEntry() {
  int32_t index = gps.activeLeg;
  if (index < 0) index = 0;
  if (index >= kMaxLegs) index = kMaxLegs - 1;
  return gps.legs[index];
}
