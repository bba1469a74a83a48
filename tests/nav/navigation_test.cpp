// The navigation numbers checked against a separate calculation made here: the
// initial great-circle bearing and the haversine distance on a sphere of 6371.03
// km, the wind triangle solved with the wind correction angle, the true airspeed
// from Mach and a speed of sound that is linear in temperature. Cases sit away
// from whole degrees and knots so that truncation cannot hide a difference; a case
// whose reference lies within 0.01 of a boundary fails as a badly chosen case.
//
// Built for V1 (wind variable in m/s, converted with the unit's 1.949) and for V2
// (wind variable taken as knots).
#include <cmath>
#include <limits>
#include <string>

#include "nav_fixture.h"

namespace {

constexpr double kDeg = M_PI / 180.0;
constexpr double kRadiusKm = 6371.03;
constexpr double kNmPerKm = 1.0 / 1.852;
constexpr double kKnotsPerMs = 1.94384449244;
// What the wind variable holds for one knot in this module.
constexpr double kWindVarPerKnot = kWindSpeedIsKnots ? 1.0 : 1.0 / 1.949;

double Wrap360(double d) {
  d = std::fmod(d, 360.0);
  return d < 0 ? d + 360.0 : d;
}

// Initial true bearing from point 1 to point 2, degrees 0..360.
double Bearing(double lat1, double lon1, double lat2, double lon2) {
  double p1 = lat1 * kDeg, p2 = lat2 * kDeg, dl = (lon2 - lon1) * kDeg;
  return Wrap360(
      std::atan2(std::sin(dl) * std::cos(p2),
                 std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl)) /
      kDeg);
}

double HaversineNm(double lat1, double lon1, double lat2, double lon2) {
  double dp = (lat2 - lat1) * kDeg, dl = (lon2 - lon1) * kDeg;
  double h = std::sin(dp / 2) * std::sin(dp / 2) +
             std::cos(lat1 * kDeg) * std::cos(lat2 * kDeg) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * std::asin(std::sqrt(h)) * kRadiusKm * kNmPerKm;
}

// Mach variable (Mach x 20480) for a true airspeed in knots at a temperature.
double MachVariable(double tasKnots, double celsius) {
  double soundMs = 327.74411 + 0.6031 * celsius;
  return tasKnots / (soundMs * kKnotsPerMs) * 20480.0;
}

struct WindSolution {
  bool ok;
  double heading;  // true, degrees
  double speed;    // knots
};

// The wind triangle by the wind correction angle: the crosswind sets the angle,
// the ground speed is the air vector's along-course part less the headwind.
WindSolution SolveWind(double course, double tas, double windFrom, double wind) {
  double rel = (windFrom - course) * kDeg;
  double cross = wind * std::sin(rel) / tas;
  if (std::fabs(cross) > 1.0) return {false, 0, 0};
  double wca = std::asin(cross);
  double gs = tas * std::cos(wca) - wind * std::cos(rel);
  if (gs <= 0) return {false, 0, 0};
  return {true, Wrap360(course + wca / kDeg), gs};
}

struct Case {
  const char* name;
  double lat, lon;        // aircraft, degrees
  double wLat, wLon;      // waypoint, degrees
  double variation;       // degrees
  double windFrom, wind;  // true degrees, knots (0: calm)
  double tas;             // knots
  double celsius;
};

// Expected values, from the separate calculation.
struct Expected {
  double course, distance, heading, speed, hours;
  bool warning, etaValid;
};

Expected Reference(const Case& c) {
  Expected e{};
  double trueCourse = Bearing(c.lat, c.lon, c.wLat, c.wLon);
  e.course = Wrap360(trueCourse - c.variation);
  e.distance = HaversineNm(c.lat, c.lon, c.wLat, c.wLon);
  e.heading = e.course;
  e.speed = c.tas;
  if (c.tas > 0 && c.wind > 0) {
    WindSolution s = SolveWind(trueCourse, c.tas, c.windFrom, c.wind);
    e.warning = !s.ok;
    e.heading = s.ok ? Wrap360(s.heading - c.variation) : Wrap360(c.windFrom - c.variation);
    e.speed = s.ok ? s.speed : 0.0;
  }
  e.hours = e.speed > 0 ? e.distance / e.speed : 0;
  e.etaValid = e.speed > 0 && e.hours <= 99.99 && e.distance >= 8.0;
  return e;
}

// The truncated value, after checking the case leaves a margin to the boundary.
int Whole(double value, const std::string& what) {
  double frac = value - std::floor(value);
  EXPECT_TRUE(frac > 0.01 && frac < 0.99) << what << " = " << value << " is too near a boundary";
  return int(value);
}

const Case kCases[] = {
    {"north-east, calm", 47.5, 8.5, 48.35, 11.78, 2.0, 0, 0, 140.5, 15},
    {"due north on one meridian", 10.0, 20.0, 11.0, 20.0, 5.3, 0, 0, 150.5, 15},
    {"179E to 179W across the date line", 10.25, 179.0, 10.0, -179.0, 0.0, 0, 0, 200.5, 0},
    {"179W to 179E westward", 10.25, -179.0, 10.0, 179.0, 0.0, 0, 0, 200.5, 0},
    {"southern hemisphere, west", -33.9, 18.6, -34.5, 17.3, 355.0, 0, 0, 110.5, 20},
    {"crosswind from the right", 50.0, 5.0, 50.5, 6.2, 1.5, 120.0, 25.3, 130.5, -5},
    {"headwind quartering from the left", 40.0, -3.0, 41.2, -2.5, 0.0, 330.0, 31.0, 160.5, 10},
    {"wind from behind", 45.0, 10.0, 46.0, 11.5, 0.0, 0.0 /* set below */, 20.0, 100.5, 15},
    {"headwind stronger than the airspeed", 45.0, 10.0, 46.0, 10.5, 3.0, 0.0, 90.0, 60.5, 15},
    {"crosswind stronger than the airspeed", 45.0, 10.0, 46.0, 10.5, 3.4, 100.0, 90.0, 60.5, 15},
};

class NavigationBase : public NavFixture {
 protected:
  void Run(const Case& c) {
    SetAircraft(c.lat, c.lon);
    SetWaypoint(0, c.wLat, c.wLon);
    SetVar(kTokenMagneticVariation, c.variation);
    SetVar(kTokenOutsideAirTemperature, c.celsius);
    SetVar(kTokenMach, MachVariable(c.tas, c.celsius));
    SetVar(kTokenAirspeedZero, 0);
    SetVar(kTokenWindSpeed, c.wind * kWindVarPerKnot);
    // Components point where the air goes.
    SetVar(kTokenWindEast, -std::sin(c.windFrom * kDeg) * c.wind);
    SetVar(kTokenWindNorth, -std::cos(c.windFrom * kDeg) * c.wind);
    ComputeNavigation();
  }
};

// NAV_SUITE names the model the binary was built for (NavigationV1, NavigationV2).
class NAV_SUITE : public NavigationBase {};

TEST_F(NAV_SUITE, MatchesASeparateCalculation) {
  for (Case c : kCases) {
    SCOPED_TRACE(c.name);
    std::string name = c.name;
    if (name == "wind from behind")
      c.windFrom = Wrap360(Bearing(c.lat, c.lon, c.wLat, c.wLon) + 180);
    if (name == "headwind stronger than the airspeed")
      c.windFrom = Bearing(c.lat, c.lon, c.wLat, c.wLon);
    gps = GpsState{};
    for (int i = 0; i < kBindingCount; ++i) gps.bindings[i].token = kBindingTokens[i];
    gps.groundSpeed = gps.etaHours = gps.etaMinutes = -1;  // to see which were written
    Run(c);
    Expected e = Reference(c);

    EXPECT_NEAR(gps.distanceNm, e.distance, 1e-6 * e.distance + 1e-9);
    EXPECT_EQ(gps.desiredTrack, Whole(e.course, "course"));
    EXPECT_EQ(gps.windCorrected, c.tas > 0 && c.wind > 0);
    EXPECT_EQ(gps.windWarning, e.warning);
    EXPECT_EQ(gps.commandedHeading, Whole(e.heading, "heading"));
    EXPECT_EQ(gps.etaValid, e.etaValid);
    if (e.etaValid) {
      EXPECT_EQ(gps.groundSpeed, Whole(e.speed, "speed"));
      EXPECT_EQ(gps.etaHours, int(e.hours));
      EXPECT_EQ(gps.etaMinutes, Whole((e.hours - int(e.hours)) * 60, "minutes"));
    } else {
      EXPECT_EQ(gps.groundSpeed, -1);
      EXPECT_EQ(gps.etaHours, -1);
      EXPECT_EQ(gps.etaMinutes, -1);
    }
  }
}

// Due south of the waypoint the longitude difference is 0 and the angle 0: the
// course is 0 without variation and 360 - variation with one, never 360.
TEST_F(NAV_SUITE, DueSouthGivesNorthLessVariation) {
  for (double variation : {0.0, 7.5}) {
    Case c = {"", 20.0, -40.0, 20.5, -40.0, variation, 0, 0, 120.5, 15};
    Run(c);
    EXPECT_EQ(gps.desiredTrack, variation == 0 ? 0 : 352) << variation;
    EXPECT_EQ(gps.commandedHeading, gps.desiredTrack);
  }
}

// With the wind from behind the second root is taken: heading = course, ground
// speed = airspeed + wind.
TEST_F(NAV_SUITE, WindFromBehindAddsToTheSpeed) {
  Case c = {"", 10.0, 20.0, 10.8, 20.33, 0.0, 0, 20.0, 100.5, 15};
  c.windFrom = Wrap360(Bearing(c.lat, c.lon, c.wLat, c.wLon) + 180);
  Run(c);
  EXPECT_EQ(gps.windCorrected, 1);
  EXPECT_EQ(gps.windWarning, 0);
  EXPECT_EQ(gps.commandedHeading, gps.desiredTrack);
  EXPECT_EQ(gps.groundSpeed, 120);
}

// No wind, no airspeed (the 0x3C flag), or a wind of 0: no correction, heading =
// course, and without airspeed no time.
TEST_F(NAV_SUITE, CalmAirOrNoAirspeedSteersTheCourse) {
  Case c = {"", 47.5, 8.5, 48.35, 11.78, 2.0, 200, 0, 140, 15};
  Run(c);
  EXPECT_EQ(gps.windCorrected, 0);
  EXPECT_EQ(gps.commandedHeading, gps.desiredTrack);
  EXPECT_EQ(gps.groundSpeed, 140);
  EXPECT_EQ(gps.etaValid, 1);

  c.wind = 30;
  SetVar(kTokenAirspeedZero, 1);
  gps.etaValid = 1;
  SetAircraft(c.lat, c.lon);
  SetVar(kTokenWindSpeed, c.wind * kWindVarPerKnot);
  ComputeNavigation();
  EXPECT_EQ(gps.windCorrected, 0);
  EXPECT_EQ(gps.etaValid, 0);
  EXPECT_EQ(gps.groundSpeed, 140);  // kept
}

// The time to waypoint is shown from 8 nm out; closer, speed and time keep the
// last values shown. Course and heading hold still within 2 nm while the distance
// keeps changing.
TEST_F(NAV_SUITE, EightAndTwoMileRules) {
  const double nmPerDegree = kRadiusKm * kNmPerKm * kDeg;
  auto south = [&](double nm) { return 30.0 - nm / nmPerDegree; };
  struct Step {
    double nm, tas;
    bool etaValid, steers;
    int groundSpeed;  // shown: the new speed, or the last one shown from 8 nm out
  } steps[] = {{30.5, 150.5, true, true, 150},
               {8.05, 170.5, true, true, 170},
               {7.9, 180.5, false, true, 170},
               {2.05, 190.5, false, true, 170},
               {1.5, 200.5, false, false, 170}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.nm);
    Case c = {"", south(s.nm), 12.001, 30.0, 12.0, 0.0, 0, 0, s.tas, 15};
    gps.desiredTrack = gps.commandedHeading = -1;  // to see whether they are written
    Run(c);
    EXPECT_NEAR(gps.distanceNm, HaversineNm(c.lat, c.lon, 30.0, 12.0), 1e-6);
    EXPECT_EQ(gps.etaValid, s.etaValid);
    EXPECT_EQ(gps.groundSpeed, s.groundSpeed);
    EXPECT_EQ(gps.desiredTrack != -1, s.steers);
    EXPECT_EQ(gps.commandedHeading != -1, s.steers);
  }
}

// 99.99 hours is the longest time shown.
TEST_F(NAV_SUITE, LongestTimeShown) {
  Case c = {"", 10.0, 20.0, 10.0, 28.0, 0.0, 0, 0, 0, 15};
  double nm = HaversineNm(c.lat, c.lon, c.wLat, c.wLon);
  struct {
    double hours;
    bool shown;
  } limits[] = {{99.985, true}, {99.9899, true}, {99.9905, false}, {99.995, false}};
  for (auto limit : limits) {
    SCOPED_TRACE(limit.hours);
    c.tas = nm / limit.hours;
    gps.etaValid = 0;
    Run(c);
    EXPECT_EQ(gps.etaValid, limit.shown);
    if (limit.shown) {
      EXPECT_EQ(gps.etaHours, 99);
      EXPECT_EQ(gps.etaMinutes, 59);
    }
  }
}

TEST_F(NAV_SUITE, AnglesUseTheUnitsPi) {
  constexpr double kUnitPi = 3.14159265359;
  EXPECT_NEAR(GeoToRadians('N', 180, 0.0), kUnitPi, 1e-15);
  EXPECT_GT(std::fabs(GeoToRadians('N', 180, 0.0) - M_PI), 1e-13);
  EXPECT_DOUBLE_EQ(GeoToRadians('W', 10, 30.0), -10.5 / 180 * kUnitPi);
  EXPECT_DOUBLE_EQ(GeoToRadians('S', 0, 30.0), -0.5 / 180 * kUnitPi);
  EXPECT_DOUBLE_EQ(GeoToRadians('x', 10, 30.0), 10.5 / 180 * kUnitPi);  // any other letter
  GeoVector v = GeoToVector(0.5, 0.25);
  EXPECT_DOUBLE_EQ(v.x, 6371030.0 * std::cos(0.25) * std::cos(0.5));
  EXPECT_DOUBLE_EQ(v.y, 6371030.0 * std::cos(0.25) * std::sin(0.5));
  EXPECT_DOUBLE_EQ(v.z, 6371030.0 * std::sin(0.25));
}

// The aircraft on the waypoint, on a pole, or at the waypoint's antipode, and wild
// simulator values: the computation goes on and publishes no NaN. On the waypoint
// and on a pole the course is taken as 0 (north); on the waypoint the distance is
// 0 and the course and heading keep their last values (below 2 nm).
TEST_F(NAV_SUITE, DegenerateGeometryAndWildValuesGiveNoNaN) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Wild {
    const char* name;
    double lat, lon, wLat, wLon;
    uint32_t token;
    double value;
  } cases[] = {
      {"on the waypoint", 51.4775, -0.4614, 51.4775, -0.4614, 0, 0},
      {"on the north pole", 90.0, 0.0, 45.0, 10.0, 0, 0},
      {"on the south pole", -90.0, 0.0, 45.0, 10.0, 0, 0},
      {"waypoint at the antipode", 10.0, 20.0, -10.0, -160.0, 0, 0},
      {"NaN variation", 47.5, 8.5, 48.35, 11.78, kTokenMagneticVariation, nan},
      {"infinite variation", 47.5, 8.5, 48.35, 11.78, kTokenMagneticVariation, inf},
      {"NaN Mach", 47.5, 8.5, 48.35, 11.78, kTokenMach, nan},
      {"huge Mach", 47.5, 8.5, 48.35, 11.78, kTokenMach, 1e300},
      {"NaN temperature", 47.5, 8.5, 48.35, 11.78, kTokenOutsideAirTemperature, nan},
      {"NaN wind", 47.5, 8.5, 48.35, 11.78, kTokenWindSpeed, nan},
      {"infinite wind", 47.5, 8.5, 48.35, 11.78, kTokenWindSpeed, inf},
      {"NaN wind component", 47.5, 8.5, 48.35, 11.78, kTokenWindNorth, nan},
  };
  for (const Wild& w : cases) {
    SCOPED_TRACE(w.name);
    Case c = {w.name, w.lat, w.lon, w.wLat, w.wLon, 3.0, 250, 20, 120.5, 15};
    gps.desiredTrack = gps.commandedHeading = 77;
    SetAircraft(c.lat, c.lon);
    SetWaypoint(0, c.wLat, c.wLon);
    Run(c);
    if (w.token) {
      SetVar(w.token, w.value);
      ComputeNavigation();
    }
    EXPECT_TRUE(std::isfinite(gps.distanceNm));
    EXPECT_GE(gps.distanceNm, 0.0);
    EXPECT_LE(gps.distanceNm, 10808.0);
  }
  // On the waypoint: distance 0, course and heading kept.
  Case c = {"", 51.4775, -0.4614, 51.4775, -0.4614, 0, 0, 0, 120.5, 15};
  gps.desiredTrack = gps.commandedHeading = 77;
  Run(c);
  EXPECT_EQ(gps.distanceNm, 0.0);
  EXPECT_EQ(gps.desiredTrack, 77);
  // On the north pole toward a point due south on 10E: the course is 0, not NaN's 0
  // by accident: the angle of a vanished projection is taken as 0.
  Case pole = {"", 90.0, 0.0, 45.0, 10.0, 0, 0, 0, 120.5, 15};
  Run(pole);
  EXPECT_EQ(gps.desiredTrack, 0);
}

}  // namespace
