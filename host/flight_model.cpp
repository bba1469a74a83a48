#include "flight_model.h"

#include <algorithm>
#include <cmath>

namespace host {

static constexpr double kPi = 3.14159265358979323846;
static constexpr double kRad = kPi / 180.0;
static constexpr double kMachScale = 20480.0;  // the Mach variable's unit is 1/20480

static double Wrap360(double degrees) {
  double d = std::fmod(degrees, 360.0);
  return d < 0 ? d + 360.0 : d;
}

// Speed of sound in knots at a temperature in degrees Celsius, the way the gauges
// derive true airspeed from Mach.
static double SoundSpeedKnots(double celsius) {
  return (327.74411 + 0.6031 * celsius) * kKnotsPerMetrePerSecond;
}

void FlightModel::SetWind(const Wind& wind) {
  wind_ = wind;
  double ms = wind.speedKnots / kKnotsPerMetrePerSecond;
  double to = (wind.fromTrue + 180.0) * kRad;  // the air moves toward from + 180
  sim_.Set(0x157, ms);
  sim_.Set(0x159, ms * std::sin(to));
  sim_.Set(0x15A, ms * std::cos(to));
}

void FlightModel::SetTrueHeading(double degrees) {
  trueHeading_ = Wrap360(degrees);
  sim_.Set(0x51, Wrap360(trueHeading_ - sim_.Get(0x52)));
}

void FlightModel::SetTrueAirspeed(double knots) {
  double sound = SoundSpeedKnots(sim_.Get(0x155));
  sim_.Set(0x40, sound > 0 ? knots / sound * kMachScale : 0.0);
}

double FlightModel::TrueAirspeed() const {
  if (sim_.Get(0x3C) != 0.0) return 0.0;
  return std::max(0.0, sim_.Get(0x40) / kMachScale * SoundSpeedKnots(sim_.Get(0x155)));
}

void FlightModel::GroundVector(double* east, double* north) const {
  double tas = TrueAirspeed();
  double to = (wind_.fromTrue + 180.0) * kRad;
  *east = tas * std::sin(trueHeading_ * kRad) + wind_.speedKnots * std::sin(to);
  *north = tas * std::cos(trueHeading_ * kRad) + wind_.speedKnots * std::cos(to);
}

double FlightModel::GroundTrack() const {
  double e, n;
  GroundVector(&e, &n);
  return Wrap360(std::atan2(e, n) / kRad);
}

double FlightModel::GroundSpeed() const {
  double e, n;
  GroundVector(&e, &n);
  return std::hypot(e, n);
}

void FlightModel::Step(double seconds) {
  if (sim_.Paused() || seconds <= 0) return;
  // Autopilot: with heading hold on, turn toward the bug (a magnetic heading) the
  // short way at standard rate, never overshooting it.
  if (sim_.Get(0x67) != 0.0 && sim_.Get(0x6A) != 0.0) {
    double variation = sim_.Get(0x52);
    double magnetic = Wrap360(trueHeading_ - variation);
    double error = std::remainder(Wrap360(sim_.Get(0x11A)) - magnetic, 360.0);
    double limit = kStandardRateDegPerSec * seconds;
    double turn = std::clamp(error, -limit, limit);
    trueHeading_ = Wrap360(trueHeading_ + turn);
  }
  sim_.Set(0x51, Wrap360(trueHeading_ - sim_.Get(0x52)));
  double speed = GroundSpeed();
  if (speed > 0) {
    double lat, lon;
    GreatCircleStep(sim_.Latitude(), sim_.Longitude(), GroundTrack(), speed * seconds / 3600.0,
                    &lat, &lon);
    sim_.SetLatitude(lat);
    sim_.SetLongitude(lon);
  }
}

void GreatCircleStep(double lat, double lon, double bearing, double distanceNm, double* outLat,
                     double* outLon) {
  double delta = distanceNm / kEarthRadiusNm;
  double phi1 = lat * kRad, lambda1 = lon * kRad, theta = bearing * kRad;
  double sinPhi2 =
      std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(theta);
  double phi2 = std::asin(std::clamp(sinPhi2, -1.0, 1.0));
  double lambda2 = lambda1 + std::atan2(std::sin(theta) * std::sin(delta) * std::cos(phi1),
                                        std::cos(delta) - std::sin(phi1) * sinPhi2);
  *outLat = phi2 / kRad;
  *outLon = std::remainder(lambda2 / kRad, 360.0);
}

double GreatCircleDistanceNm(double lat1, double lon1, double lat2, double lon2) {
  double p1 = lat1 * kRad, p2 = lat2 * kRad, dl = (lon2 - lon1) * kRad;
  double a = std::pow(std::sin((p2 - p1) / 2), 2) +
             std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2), 2);
  return 2 * kEarthRadiusNm * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace host
