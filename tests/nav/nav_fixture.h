// The fixture of the navigation and cycle unit tests: the engine state at its
// load-time values with its bindings' tokens set, the recording service table as
// the host, serving the simulator variables from a map. Positions are given in
// signed degrees (north and east positive) and turned into the unit's records.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "engine/area_publishing.h"
#include "engine/engine.h"
#include "engine/navigation.h"
#include "engine/panel_interface.h"
#include "support/recording_services.h"

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;

namespace navtest {

// A coordinate record for a signed angle in degrees.
inline GeoCoord Coord(double degrees, bool longitude) {
  GeoCoord c{};
  c.hemisphere = longitude ? (degrees < 0 ? 'W' : 'E') : (degrees < 0 ? 'S' : 'N');
  double a = std::fabs(degrees);
  c.degrees = int32_t(a);
  c.decimalMinutes = (a - c.degrees) * 60.0;
  c.minutes = int32_t(c.decimalMinutes);
  c.seconds = int32_t((c.decimalMinutes - c.minutes) * 60.0);
  return c;
}

}  // namespace navtest

class NavFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    gps = GpsState{};
    for (int i = 0; i < kBindingCount; ++i) gps.bindings[i].token = kBindingTokens[i];
    ImportTable.services = &testsupport::ResetRecording().table;
  }
  void TearDown() override {
    ReleaseAreas();
    ImportTable.services = nullptr;
  }

  testsupport::RecordingServices& Host() { return testsupport::Recording(); }
  void SetVar(uint32_t token, double value) { Host().variables[token] = value; }

  void SetAircraft(double lat, double lon) {
    gps.presentLat = navtest::Coord(lat, false);
    gps.presentLon = navtest::Coord(lon, true);
  }
  void SetWaypoint(int index, double lat, double lon) {
    gps.legs[index].latitude = navtest::Coord(lat, false);
    gps.legs[index].longitude = navtest::Coord(lon, true);
  }
};
