// The simulator's aircraft: great-circle motion at true airspeed plus wind, a
// heading-hold autopilot that turns toward the heading bug at standard rate the
// short way, magnetic variation. It reads and writes the variables the gauges see
// (SimState), so that the gauges' view and the motion never disagree:
//   position 0x47/0x48, magnetic heading 0x51 (true - variation), Mach x 20480 0x40,
//   outside air temperature 0x155, altitude 0x4A, wind speed 0x157 (m/s) and the wind
//   velocity components 0x159 (east) / 0x15A (north), m/s, pointing where the air goes.
#pragma once

#include "sim_state.h"

namespace host {

// Physical constants of the model, with their units.
inline constexpr double kKnotsPerMetrePerSecond = 1.94384449244;
inline constexpr double kEarthRadiusNm = 6371.03 / 1.852;  // the engine's sphere
inline constexpr double kStandardRateDegPerSec = 3.0;

struct Wind {
  double fromTrue = 0.0;  // degrees true the wind blows from
  double speedKnots = 0.0;
};

class FlightModel {
 public:
  explicit FlightModel(SimState& sim) : sim_(sim) {}

  // Sets the wind; writes 0x157 and the velocity components consistently.
  void SetWind(const Wind& wind);
  Wind GetWind() const { return wind_; }

  // The aircraft's true heading, degrees 0..360; writes 0x51 as true - variation.
  void SetTrueHeading(double degrees);
  double TrueHeading() const { return trueHeading_; }

  // Sets the true airspeed by writing the Mach variable for the present temperature.
  void SetTrueAirspeed(double knots);
  double TrueAirspeed() const;  // knots, from Mach and temperature (0 with the 0x3C flag)

  // Ground track (degrees true) and ground speed (knots) with the present wind.
  double GroundTrack() const;
  double GroundSpeed() const;

  // Advances the aircraft by `seconds` of simulated time (nothing while paused).
  void Step(double seconds);

 private:
  void GroundVector(double* east, double* north) const;  // knots

  SimState& sim_;
  Wind wind_;
  double trueHeading_ = 0.0;
};

// Great-circle destination from (lat, lon) along `bearing` for `distanceNm`, degrees.
void GreatCircleStep(double lat, double lon, double bearing, double distanceNm, double* outLat,
                     double* outLon);
// Great-circle distance in nautical miles between two points in degrees.
double GreatCircleDistanceNm(double lat1, double lon1, double lat2, double lon2);

}  // namespace host
