// Closed-loop flights: a TERVANE-V1 unit in the real host steers the simulator's
// aircraft through a five-leg program with a 30-knot crosswind. Checked from what
// another process sees (the shared areas) and from the aircraft itself.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "flight_summary.h"
#include "host.h"
#include "scenario.h"

namespace {

namespace fs = std::filesystem;

// Five waypoints about 30 nm apart around 47 N 8 E, turning 90 degrees and more.
constexpr const char* kFiveLegs =
    "WP1\r\nSTART\r\nE  8* 0.00m\r\nN 47* 0.00m\r\n\r\n"
    "WP2\r\nNORTH\r\nE  8* 0.00m\r\nN 47* 30.00m\r\n\r\n"
    "WP3\r\nNORTH EAST\r\nE  8* 45.00m\r\nN 47* 30.00m\r\n\r\n"
    "WP4\r\nSOUTH EAST\r\nE  9* 15.00m\r\nN 47* 0.00m\r\n\r\n"
    "WP5\r\nSOUTH\r\nE  8* 40.00m\r\nN 46* 40.00m\r\n\r\n";

// V1 rectangles, in gauge pixels.
constexpr int kCoupleX = 20, kCoupleY = 240;     // ToggleHeadingCoupling
constexpr int kArrivalX = 225, kArrivalY = 235;  // CycleArrivalAction
constexpr int kHoldX = 20, kHoldY = 35;          // ToggleHoldMode

// A simulator directory of its own: the shipped gauges and the five-leg program.
class Flight : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("flight-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::create_directory_symlink(fs::path(SIM_DIR) / "Gauges", dir_ / "Gauges");
    std::ofstream(dir_ / "TERVANE.dat", std::ios::binary) << kFiveLegs;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Flies the program coupled with the given number of presses on the arrival
  // action button (0 Of, 1 Ps, 2 Ci) and optionally hold mode, for `updates`.
  uint64_t Fly(host::Host& panel, host::FlightSummary& summary, int arrivalPresses, bool hold,
               uint64_t updates) {
    std::ostringstream json;
    json << R"({"updates": )" << updates
         << R"(, "time_rate": 4, "summary": true, "stop_when_paused": true,
      "gauges": [{"file": "TERVANE-V1.gau"}],
      "aircraft": {"latitude": 47.0, "longitude": 8.0, "heading_true": 90, "tas": 300, "altitude": 8000,
                   "wind_from": 270, "wind_knots": 30, "variation": 2, "oat": 0, "autopilot": true,
                   "heading_hold": false, "heading_bug": 90},
      "timeline": [{"at": 19, "click": {"gauge": "TERVANE-V1.gau", "x": )"
         << kCoupleX << R"(, "y": )" << kCoupleY << "}}";
    for (int i = 0; i < arrivalPresses; ++i)
      json << R"(, {"at": 19, "click": {"gauge": "TERVANE-V1.gau", "x": )" << kArrivalX
           << R"(, "y": )" << kArrivalY << "}}";
    if (hold)
      json << R"(, {"at": 19, "click": {"gauge": "TERVANE-V1.gau", "x": )" << kHoldX << R"(, "y": )"
           << kHoldY << "}}";
    json << "]}";
    host::Scenario scenario = host::ParseScenario(json.str(), "flight");
    host::RunOptions options;
    options.summary = &summary;
    return host::RunScenario(panel, scenario, options);
  }

  fs::path dir_;
};

TEST_F(Flight, CoupledFlightPassesEveryWaypointAndArrives) {
  host::Host panel(dir_.string());
  host::FlightSummary summary;
  Fly(panel, summary, 0, false, 12000);
  ASSERT_EQ(summary.Waypoints().size(), 5u);
  for (const auto& w : summary.Waypoints()) EXPECT_LT(w.closestNm, 2.0) << w.ident;
  EXPECT_EQ(summary.LegsSequenced(), 4);
  EXPECT_TRUE(summary.Arrived());
  // Arrival action "Of": the unit uncoupled; the simulator keeps running.
  EXPECT_FALSE(panel.Sim().Paused());
}

TEST_F(Flight, ArrivalActionPsPausesTheSimulator) {
  host::Host panel(dir_.string());
  host::FlightSummary summary;
  uint64_t ran = Fly(panel, summary, 1, false, 12000);
  EXPECT_TRUE(summary.Arrived());
  EXPECT_TRUE(panel.Sim().Paused());
  EXPECT_LT(ran, 12000u);  // the run stopped when the simulator paused
  int pauses = 0;
  for (const auto& k : panel.KeyEvents()) pauses += k.eventId == host::kEventPauseToggle;
  EXPECT_EQ(pauses, 1);
}

TEST_F(Flight, ArrivalActionCiKeepsTurning) {
  host::Host panel(dir_.string());
  host::FlightSummary summary;
  Fly(panel, summary, 2, false, 12000);
  // "Ci" never uncouples: the unit stays coupled on the last leg, turning.
  EXPECT_FALSE(summary.Arrived());
  EXPECT_EQ(summary.LegsSequenced(), 4);
  // After arrival the commanded heading is the aircraft heading + 30 every cycle:
  // the aircraft circles, so over two minutes it turns through all directions.
  double lat0 = panel.Sim().Latitude(), lon0 = panel.Sim().Longitude();
  double minHeading = 360, maxHeading = 0;
  for (int i = 0; i < 2 * 60 * 18 / 4; ++i) {
    panel.Update();
    minHeading = std::min(minHeading, panel.Sim().Get(0x51));
    maxHeading = std::max(maxHeading, panel.Sim().Get(0x51));
  }
  EXPECT_LT(minHeading, 30);
  EXPECT_GT(maxHeading, 330);
  EXPECT_LT(
      host::GreatCircleDistanceNm(lat0, lon0, panel.Sim().Latitude(), panel.Sim().Longitude()),
      5.0);
}

TEST_F(Flight, HoldModeStopsSequencing) {
  host::Host panel(dir_.string());
  host::FlightSummary summary;
  Fly(panel, summary, 0, true, 3000);
  EXPECT_EQ(summary.LegsSequenced(), 0);
  EXPECT_TRUE(summary.Arrived());  // the held waypoint counts as the arrival
}

}  // namespace
