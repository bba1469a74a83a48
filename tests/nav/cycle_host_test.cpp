// The update cycle through the real host, with the navigation test panel
// (TERVANE-NAVTEST.gau, a V1 module) that feeds the aircraft's position into the
// engine: sequencing, hold, the arrival actions, the requests other processes
// leave in COM_AREA, the power failure and the key events the unit sends. COM_AREA
// is read and written here through a view of our own, as another process would;
// one test reads it from a separate process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "area_peek_client.h"
#include "engine/shared_areas.h"
#include "host.h"
#include "sys/shared_area.h"

namespace {

namespace fs = std::filesystem;

// Element indices and buttons of the navigation test panel.
constexpr size_t kOverlay = 1, kStatusField = 4, kNameField = 5;
constexpr int kCoupleX = 70, kHoldX = 115, kArrivalX = 145, kButtonY = 55;

constexpr double kNmPerDegree = 6371.03 / 1.852 * M_PI / 180.0;  // along a meridian

struct Point {
  double lat, lon;  // degrees
};

// A GPS memory file with one leg per point, as the data manager writes it.
std::string ProgramText(const std::vector<Point>& points) {
  std::string text;
  char line[64];
  int n = 0;
  for (const Point& p : points) {
    std::snprintf(line, sizeof line, "WP%d\r\nPOINT %d\r\n", n, n);
    text += line;
    for (auto [value, letters] : {std::pair{p.lon, "EW"}, std::pair{p.lat, "NS"}}) {
      double a = std::fabs(value);
      int degrees = int(a);
      std::snprintf(line, sizeof line, "%c%3d* %2.2fm\r\n", letters[value < 0], degrees,
                    (a - degrees) * 60.0);
      text += line;
    }
    text += "\r\n";
    ++n;
  }
  return text;
}

using KeyList = std::vector<std::pair<uint32_t, uint32_t>>;

class CycleInHost : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove(fs::path(NAV_SIM_DIR) / "TervData.so"); }
  void TearDown() override {
    if (reader) sys::CloseSharedArea(reader);
  }

  // Writes the program, loads the panel, and opens COM_AREA as a reader.
  host::Gauge& Start(const std::vector<Point>& points) {
    std::ofstream(fs::path(NAV_SIM_DIR) / "TERVANE.dat", std::ios::binary) << ProgramText(points);
    panel = std::make_unique<host::Host>(NAV_SIM_DIR);
    host::Gauge& g = panel->Load("TERVANE-NAVTEST.gau");
    reader = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
    EXPECT_NE(reader, nullptr);
    view = sys::SharedAreaView(reader);
    return g;
  }
  void Place(double lat, double lon) {
    panel->Sim().SetLatitude(lat);
    panel->Sim().SetLongitude(lon);
  }
  void Updates(int n) {
    for (int i = 0; i < n; ++i) panel->Update();
  }
  void Cycle() { Updates(18); }
  int32_t Word(size_t offset) { return ReadAreaInt32(view, offset); }
  void Write(size_t offset, int32_t value) { WriteAreaInt32(view, offset, value); }
  std::string Status(host::Gauge& g) { return g.ShownText(kStatusField); }
  // Key events since `from`, as (id, value).
  KeyList KeysSince(size_t from) {
    KeyList keys;
    const auto& all = panel->KeyEvents();
    for (size_t i = from; i < all.size(); ++i) keys.push_back({all[i].eventId, all[i].value});
    return keys;
  }

  std::unique_ptr<host::Host> panel;
  sys::SharedArea* reader = nullptr;
  void* view = nullptr;
};

// The scripted flight: coupled toward a two-leg program, the unit steers the
// autopilot, sequences to the second leg once the first waypoint is passed, and
// another process sees the status record change accordingly.
TEST_F(CycleInHost, CoupledFlightSequencesToTheSecondLeg) {
  Point start{45.0, 7.0};
  Point wp1{45.0 + 12 / kNmPerDegree, 7.05};
  Point wp2{wp1.lat + 10 / kNmPerDegree, 7.3};
  host::Gauge& g = Start({wp1, wp2});
  Place(start.lat, start.lon);
  host::FlightModel& flight = panel->EnableFlightModel();
  flight.SetTrueHeading(0.0);
  flight.SetTrueAirspeed(240.0);
  flight.SetWind({270.0, 15.0});
  panel->SetTimeRate(4.0);
  Cycle();
  auto before = enginetest::PeekAreas(2);
  EXPECT_EQ(before["com.102"], "1");
  EXPECT_EQ(before["com.98"], "0");
  EXPECT_EQ(before["com.78"], "0");
  EXPECT_EQ(before["com.94"], "2");
  EXPECT_EQ(before["com.82"], "1");  // wind corrected
  EXPECT_NE(before["com.58"], "0");  // ground speed
  EXPECT_NE(before["com.70"] + before["com.74"], "00");

  size_t firstKey = panel->KeyEvents().size();
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  KeyList coupling = KeysSince(firstKey);
  ASSERT_GE(coupling.size(), 3u);
  EXPECT_EQ(coupling[0], std::make_pair(0x1002Cu, 0u));  // autopilot on
  EXPECT_EQ(coupling[1], std::make_pair(0x1010Fu, 0u));  // heading hold
  EXPECT_EQ(coupling[2].first, 0x101FAu);                // heading bug

  // Fly until the second leg is active (at most 10 simulated minutes).
  int cycles = 0;
  while (Word(TERVANE_COM_AT(activeLeg)) == 0 && cycles < 150) {
    Cycle();
    ++cycles;
  }
  ASSERT_EQ(Word(TERVANE_COM_AT(activeLeg)), 1) << Status(g);
  double lat = panel->Sim().Latitude();
  EXPECT_GT(lat, wp1.lat - 4 / kNmPerDegree);  // passed within 4 nm of the waypoint
  auto after = enginetest::PeekAreas(2);
  EXPECT_EQ(after["com.78"], "1");
  EXPECT_EQ(after["com.102"], "1");
  EXPECT_NE(after["com.42"], before["com.42"]);  // course to the new waypoint
  EXPECT_NE(after["com.62"], before["com.62"]);
  EXPECT_NE(after["com.50"], before["com.50"]);  // the aircraft turned
  EXPECT_NE(after["com.0"], before["com.0"]);    // and moved
  EXPECT_EQ(after["com.106"], "0");
  EXPECT_EQ(after["com.110"], "0");
  // The autopilot's heading bug follows the commanded heading.
  EXPECT_EQ(panel->Sim().Get(0x11A), Word(TERVANE_COM_AT(commandedHeading)));
}

// Without coupling the unit never sequences: the distance grows past the waypoint.
TEST_F(CycleInHost, StandbyDoesNotSequence) {
  Point wp1{45.0, 7.0};
  host::Gauge& g = Start({wp1, {46.0, 7.0}});
  Place(wp1.lat - 1 / kNmPerDegree, wp1.lon);
  Cycle();
  for (double nm : {0.5, 1.0, 2.0, 3.0}) {
    Place(wp1.lat + nm / kNmPerDegree, wp1.lon);
    Cycle();
  }
  EXPECT_EQ(Word(TERVANE_COM_AT(activeLeg)), 0);
  EXPECT_NEAR(ReadAreaReal(view, TERVANE_COM_AT(distanceNm)), 3.0, 0.01);
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C0 V0");
}

// Coupled, the passage is recognised only within 4 nm; with hold mode set it
// arrives instead of advancing, and arrival action 0 uncouples at the next cycle.
TEST_F(CycleInHost, SequencingNeedsFourMilesAndHoldArrives) {
  Point wp1{45.0, 7.0};
  host::Gauge& g = Start({wp1, {46.0, 7.0}});
  Place(wp1.lat - 5 / kNmPerDegree, wp1.lon);
  panel->Sim().Set(0x67, 1);  // autopilot on
  Cycle();
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  Place(wp1.lat + 4.2 / kNmPerDegree, wp1.lon);  // passed, but at 4.2 nm
  Cycle();
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C1 V0");
  Place(wp1.lat + 4.5 / kNmPerDegree, wp1.lon);
  Cycle();
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C1 V0");

  // Back within 4 nm and going away again, in hold mode.
  ASSERT_TRUE(panel->Click(g, kHoldX, kButtonY));
  Place(wp1.lat + 1 / kNmPerDegree, wp1.lon);
  Cycle();
  Place(wp1.lat + 1.5 / kNmPerDegree, wp1.lon);
  Cycle();
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C1 V1");
  Cycle();  // action 0
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C0 V1");
  EXPECT_EQ(Word(TERVANE_COM_AT(headingCoupled)), 0);
  Cycle();  // uncoupled: arrived clears
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C0 V0");

  // Without hold the same passage advances.
  ASSERT_TRUE(panel->Click(g, kHoldX, kButtonY));
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  Place(wp1.lat + 2 / kNmPerDegree, wp1.lon);
  Cycle();
  EXPECT_EQ(Status(g).substr(0, 8), "A1 C1 V0");
}

// Arrival action 2 turns by 30 degrees per cycle from the present heading, wrapping
// at 360; uncoupling ends the turn on the present heading. Action 1 uncouples and
// sends its event once.
TEST_F(CycleInHost, ArrivalActions) {
  Point wp{45.0, 7.0};
  host::Gauge& g = Start({wp});
  panel->Sim().Set(0x67, 1);
  Place(wp.lat - 2 / kNmPerDegree, wp.lon);
  Cycle();
  ASSERT_TRUE(panel->Click(g, kArrivalX, kButtonY));
  ASSERT_TRUE(panel->Click(g, kArrivalX, kButtonY));  // action 2
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  Place(wp.lat + 1 / kNmPerDegree, wp.lon);
  Cycle();
  ASSERT_EQ(Status(g).substr(0, 8), "A0 C1 V1");

  struct Turn {
    double heading;
    int commanded;
  } turns[] = {{359.5, 29}, {335.9, 5}, {10.2, 40}, {330.0, 0}};
  for (const Turn& t : turns) {
    SCOPED_TRACE(t.heading);
    panel->Sim().Set(0x51, t.heading);
    panel->Sim().Set(0x6A, 1);
    size_t from = panel->KeyEvents().size();
    Cycle();
    EXPECT_EQ(Word(TERVANE_COM_AT(commandedHeading)), t.commanded);
    // The upkeep steers the new heading: heading hold first, then the bug.
    EXPECT_EQ(KeysSince(from), (KeyList{{0x1010F, 0}, {0x101FA, uint32_t(t.commanded)}}));
  }

  // The pilot uncouples: the next cycle sets the bug to the present heading.
  panel->Sim().Set(0x51, 123.7);
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  size_t from = panel->KeyEvents().size();
  Cycle();
  EXPECT_EQ(KeysSince(from), (KeyList{{0x101FA, 123}}));
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C0 V0");

  // Action 0 (wraps from 2), then 1: uncouples and sends its event once.
  ASSERT_TRUE(panel->Click(g, kArrivalX, kButtonY));
  ASSERT_TRUE(panel->Click(g, kArrivalX, kButtonY));
  Place(wp.lat - 2 / kNmPerDegree, wp.lon);
  Cycle();
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  Place(wp.lat + 2.5 / kNmPerDegree, wp.lon);  // farther than before: passed
  Cycle();
  ASSERT_EQ(Status(g).substr(0, 8), "A0 C1 V1");
  from = panel->KeyEvents().size();
  Cycle();
  Cycle();
  KeyList keys = KeysSince(from);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), std::make_pair(0x10102u, 0u)), 1);
  EXPECT_EQ(Status(g).substr(0, 8), "A0 C0 V0");
}

// A reload request is taken when none is pending; a second one while the first is
// pending is not taken, and the next publication writes 0 over it: it is lost.
TEST_F(CycleInHost, ReloadRequestWhilePendingIsLost) {
  host::Gauge& g = Start({{45.0, 7.0}, {46.0, 7.0}});
  Cycle();
  Write(TERVANE_COM_AT(reloadRequest), 1);
  Cycle();  // taken at call 36; nothing published
  EXPECT_EQ(Word(TERVANE_COM_AT(reloadRequest)), 0);
  EXPECT_EQ(g.ShownText(kNameField), "DATA RELOADING");
  EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), 1);
  Write(TERVANE_COM_AT(reloadRequest), 1);
  Cycle();  // call 54: pending, not taken; the publication clears it
  EXPECT_EQ(Word(TERVANE_COM_AT(reloadRequest)), 0);
  EXPECT_EQ(Word(TERVANE_COM_AT(activeLeg)), 0);
  EXPECT_EQ(Word(TERVANE_COM_AT(programChecksum)), 0);  // invalid while pending
  Updates(17);                                          // call 71: loaded at 36 + 35
  EXPECT_EQ(g.ShownText(kNameField), "POINT 0");
  Cycle();
  Cycle();
  EXPECT_EQ(g.ShownText(kNameField), "POINT 0");  // no second reload
  EXPECT_NE(Word(TERVANE_COM_AT(programChecksum)), 0);
}

// A leg request is clamped to the program: 150 of 12 legs makes the last leg
// active, -3 the first. The coupling word asks for a toggle.
TEST_F(CycleInHost, LegRequestsAreClamped) {
  std::vector<Point> points;
  for (int i = 0; i < 12; ++i) points.push_back({45.0 + i * 0.1, 7.0});
  host::Gauge& g = Start(points);
  Place(44.5, 7.0);
  Cycle();
  struct Request {
    int32_t leg, coupled;
    int32_t active;
  } requests[] = {{150, 0, 11}, {-3, 0, 0}, {5, 0, 5}, {INT32_MIN, 0, 0}, {INT32_MAX, 1, 11}};
  for (const Request& r : requests) {
    SCOPED_TRACE(r.leg);
    Write(TERVANE_COM_AT(activeLeg), r.leg);
    Write(TERVANE_COM_AT(headingCoupled), r.coupled);
    Write(TERVANE_COM_AT(legRequest), 1);
    Cycle();
    EXPECT_EQ(Word(TERVANE_COM_AT(activeLeg)), r.active);
    EXPECT_EQ(Word(TERVANE_COM_AT(legRequest)), 0);
    EXPECT_EQ(Word(TERVANE_COM_AT(headingCoupled)), r.coupled);
  }
  EXPECT_EQ(Status(g).substr(0, 6), "A11 C1");
}

// The power-failure word is taken as written: any non-zero value fails the unit at
// the next call, the overlay shows, and within 18 calls the off record is out;
// a leg request left meanwhile is overwritten by it. Restoring resumes the cycle.
TEST_F(CycleInHost, PowerFailureAndTheOffRecord) {
  host::Gauge& g = Start({{45.0, 7.0}, {46.0, 7.0}});
  Place(44.5, 7.0);
  panel->Sim().Set(0x4A, 3500.7);
  Cycle();
  ASSERT_EQ(Word(TERVANE_COM_AT(modelCode)), 1);
  ASSERT_TRUE(panel->Click(g, kCoupleX, kButtonY));
  Updates(5);
  Write(TERVANE_COM_AT(powerFailRequest), 2);
  panel->Update();
  EXPECT_FALSE(g.Hidden(kOverlay));
  Write(TERVANE_COM_AT(activeLeg), 1);
  Write(TERVANE_COM_AT(legRequest), 1);
  Updates(17);
  ComArea off = ReadComArea(view);
  EXPECT_EQ(+off.modelCode, 0);
  EXPECT_EQ(+off.powerFailRequest, 2);
  EXPECT_EQ(+off.legRequest, 0);
  EXPECT_EQ(+off.activeLeg, 0);
  EXPECT_EQ(+off.headingCoupled, 0);
  EXPECT_EQ(+off.legCount, 0);
  EXPECT_EQ(+off.distanceNm, 0.0);
  EXPECT_EQ(+off.desiredTrack, 0);
  EXPECT_EQ(+off.aircraftAltitude, 3500);
  EXPECT_EQ(+off.aircraftLat.hemisphere, 'N');
  EXPECT_EQ(+off.aircraftLat.degrees, 44);

  Write(TERVANE_COM_AT(powerFailRequest), 0);
  panel->Update();
  EXPECT_TRUE(g.Hidden(kOverlay));
  Cycle();
  ComArea on = ReadComArea(view);
  EXPECT_EQ(+on.modelCode, 1);
  EXPECT_EQ(+on.activeLeg, 0);  // the request was lost
  EXPECT_EQ(+on.headingCoupled, 1);
  EXPECT_EQ(+on.legCount, 2);
}

}  // namespace
