// The simulator's aircraft: turns at standard rate the short way toward the bug,
// drifts with the wind, moves along great circles, stops while paused, and keeps
// the gauges' variables consistent with itself.
#include "flight_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host.h"

namespace {

constexpr double kDt = 1.0 / 18.0;

struct Aircraft {
  host::SimState sim;
  host::FlightModel flight{sim};
  void Fly(double seconds) {
    for (int i = 0; i < int(std::lround(seconds / kDt)); ++i) flight.Step(kDt);
  }
  void Autopilot(double bug) {
    sim.Set(0x67, 1);
    sim.Set(0x6A, 1);
    sim.Set(0x11A, bug);
  }
};

TEST(FlightModel, TurnsTheShortWayAtStandardRate) {
  struct Case {
    double from, bug, variation;
    double after10s;  // true heading 10 s later
  };
  const Case cases[] = {
      {10, 350, 0, 350},  // 20 degrees left, done within 10 s
      {350, 20, 0, 20},   // across north to the right
      {0, 170, 0, 30},    // standard rate: 30 degrees in 10 s, to the right
      {0, 190, 0, 330},   // 190 is shorter to the left
      {90, 90, 10, 100},  // the bug is magnetic: 90 magnetic is 100 true
  };
  for (const Case& c : cases) {
    Aircraft a;
    a.sim.Set(0x52, c.variation);
    a.flight.SetTrueHeading(c.from);
    a.Autopilot(c.bug);
    a.Fly(10);
    EXPECT_NEAR(std::remainder(a.flight.TrueHeading() - c.after10s, 360.0), 0.0, 1e-6)
        << c.from << "->" << c.bug;
  }
}

TEST(FlightModel, AHalfTurnTakesSixtySecondsAndGoesTheShortWay) {
  Aircraft a;
  a.flight.SetTrueHeading(0);
  a.Autopilot(179);
  a.Fly(30);
  EXPECT_NEAR(a.flight.TrueHeading(), 90, 1e-6);  // turning right, not left
  a.Fly(30);
  EXPECT_NEAR(a.flight.TrueHeading(), 179, 1e-6);
}

TEST(FlightModel, MagneticHeadingIsTrueLessVariation) {
  Aircraft a;
  a.sim.Set(0x52, 350);  // variation is kept from 0 to below 360
  a.flight.SetTrueHeading(20);
  EXPECT_NEAR(a.sim.Get(0x51), 30, 1e-9);
  a.Fly(1);
  EXPECT_NEAR(a.sim.Get(0x51), 30, 1e-9);
}

TEST(FlightModel, HoldsHeadingWithoutAutopilotAndStopsWhilePaused) {
  Aircraft a;
  a.sim.SetLatitude(45);
  a.sim.SetLongitude(5);
  a.flight.SetTrueHeading(90);
  a.flight.SetTrueAirspeed(360);  // 0.1 nm per second
  a.sim.Set(0x11A, 0);
  a.Fly(60);
  EXPECT_NEAR(a.flight.TrueHeading(), 90, 1e-9);
  EXPECT_NEAR(host::GreatCircleDistanceNm(45, 5, a.sim.Latitude(), a.sim.Longitude()), 6.0, 0.01);
  double lat = a.sim.Latitude(), lon = a.sim.Longitude();
  a.sim.SetPaused(true);
  a.Fly(60);
  EXPECT_EQ(a.sim.Latitude(), lat);
  EXPECT_EQ(a.sim.Longitude(), lon);
}

TEST(FlightModel, WindVariablesAgreeWithTheDrift) {
  Aircraft a;
  a.sim.SetLatitude(0);
  a.sim.SetLongitude(0);
  a.flight.SetTrueHeading(0);
  a.flight.SetTrueAirspeed(200);
  a.flight.SetWind({270, 30});  // from the west: drift east
  EXPECT_NEAR(a.sim.Get(0x157) * host::kKnotsPerMetrePerSecond, 30, 1e-9);
  EXPECT_GT(a.sim.Get(0x159), 0);  // air moves east
  EXPECT_NEAR(a.sim.Get(0x15A), 0, 1e-9);
  EXPECT_NEAR(a.flight.GroundSpeed(), std::hypot(200, 30), 1e-9);
  EXPECT_NEAR(a.flight.GroundTrack(), std::atan2(30, 200) * 180 / M_PI, 1e-9);
  a.Fly(3600);
  EXPECT_NEAR(a.sim.Latitude(), 200.0 / 60.0, 0.05);  // 200 nm north: 3.33 degrees
  EXPECT_NEAR(a.sim.Longitude(), 30.0 / 60.0, 0.05);
}

TEST(FlightModel, TrueAirspeedComesFromMachAndTemperature) {
  Aircraft a;
  a.sim.Set(0x155, -40);
  a.flight.SetTrueAirspeed(450);
  // The gauges compute tas = (t x 0.6031 + 327.74411) x Mach x 9.491428185749999e-05.
  double gaugeTas = (-40 * 0.6031 + 327.74411) * a.sim.Get(0x40) * 9.491428185749999e-05;
  EXPECT_NEAR(gaugeTas, 450, 0.01);
  a.sim.Set(0x3C, 1);
  EXPECT_EQ(a.flight.TrueAirspeed(), 0.0);
}

TEST(FlightModel, CrossesTheAntimeridianAndThePole) {
  // On this sphere a degree of arc is 60.04 nm, so 12 nm is just under 0.2 degrees.
  double lat, lon;
  host::GreatCircleStep(0, 179.9, 90, 12, &lat, &lon);
  EXPECT_NEAR(lon, -179.9, 1e-3);
  host::GreatCircleStep(89.9, 0, 0, 12, &lat, &lon);
  EXPECT_NEAR(lat, 89.9, 1e-3);  // over the pole and down the other side
  EXPECT_NEAR(std::abs(lon), 180, 1e-6);
}

}  // namespace
