// The navigation computation, step by step in a fixed order: the published numbers
// depend on every constant and on the order of the operations, so both are kept
// exactly as the unit has always computed them (pi to 11 decimals, the odd-looking
// conversion factors). Reals become integers only through sys::TruncateToInt32,
// toward zero, so a NaN or huge simulator value cannot reach an integer field as
// undefined behaviour.
//
// Degenerate geometry. The course is the angle between the directions to the north
// pole and to the waypoint, both projected onto the plane tangent at the aircraft.
// With the aircraft on a pole the first projection vanishes; with the aircraft on
// the waypoint the second does. Rounding can also push a cosine a shade beyond +-1.
// Every acos here therefore goes through AngleOfCosine: the cosine is clamped to
// [-1, 1], and a vanished projection (or a NaN from a wild input) gives the angle 0.
// The aircraft on a pole or on the waypoint thus gets the true course 0 (north),
// and on the waypoint the distance 0, which lies below the 2 nm limit so that the
// published course and heading keep their last values anyway.
#include "engine/navigation.h"

#include <cmath>

#include "engine/engine.h"
#include "sys/numeric.h"

// The unit's pi: 3.14159265359, deliberately not the full-precision value.
constexpr double kPi = 3.14159265359;
constexpr double kTwoPi = kPi + kPi;
constexpr double kOneOver60 = 1.0 / 60.0;                      // degrees per minute of arc
constexpr double kOneOver180 = 0.005555555555555556;           // with pi: degrees to radians
constexpr double kEarthRadius = 6371030.0;                     // metres
constexpr double kEarthRadiusSquared = 6371030.0 * 6371030.0;  // square metres
// With the factors 180 and pi turns a central angle in radians into kilometres:
// the product is the angle x 6371.03.
constexpr double kKmPerRadianFactor = 5.555555555555556e-06;
constexpr double kNmPerKm = 0.539956803456;
constexpr double kKmPerNm = 1.851999999999052;    // the reciprocal of kNmPerKm, as written
constexpr double kSoundSpeedAtZeroC = 327.74411;  // m/s
constexpr double kSoundSpeedPerDegreeC = 0.6031;  // m/s per degree Celsius
// Knots per m/s (1.94384449244) divided by 20480, the scale of the Mach variable.
constexpr double kKnotsPerMachUnit = 9.491428185749999e-05;
constexpr double kWindKnotsPerMetrePerSecond = 1.949;  // the unit's m/s-to-knots for the wind
constexpr double kMaxEtaHours = 99.99;                 // longest time to waypoint shown
constexpr double kMinEtaDistanceNm = 8.0;              // closer than this no time is shown
constexpr double kMinSteerDistanceNm = 2.0;  // closer than this course and heading stay put

// acos of a cosine computed from vectors: clamped to [-1, 1]; NaN (a vanished
// projection or a wild input) gives 0.
static double AngleOfCosine(double cosine) {
  if (cosine != cosine) return 0.0;
  if (cosine >= 1.0) return 0.0;
  if (cosine <= -1.0) return std::acos(-1.0);
  return std::acos(cosine);
}

static double Dot(const GeoVector& a, const GeoVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

static double Length(const GeoVector& a) { return std::sqrt(Dot(a, a)); }

// The angle between a and b, 0..pi; 0 when either is the null vector.
static double AngleBetween(const GeoVector& a, const GeoVector& b) {
  double lengths = Length(a) * Length(b);
  if (!(lengths > 0.0)) return 0.0;
  return AngleOfCosine(Dot(a, b) / lengths);
}

// v minus its component along the aircraft's position a (|a| = the earth radius):
// its projection onto the plane tangent at a.
static GeoVector ProjectOntoTangentPlane(const GeoVector& v, const GeoVector& a) {
  double k = Dot(v, a) / kEarthRadiusSquared;
  return {v.x - k * a.x, v.y - k * a.y, v.z - k * a.z};
}

// Non-negative values count as positive.
static bool SameSign(double a, double b) { return (a >= 0.0) == (b >= 0.0); }

double GeoToRadians(char hemisphere, int32_t degrees, double decimalMinutes) {
  double angle = (degrees * 60.0 + decimalMinutes) * kOneOver60 * kOneOver180 * kPi;
  if (hemisphere == 'W' || hemisphere == 'S') angle = -angle;
  return angle;
}

GeoVector GeoToVector(double lambda, double phi) {
  return {kEarthRadius * std::cos(phi) * std::cos(lambda),
          kEarthRadius * std::cos(phi) * std::sin(lambda), kEarthRadius * std::sin(phi)};
}

static double CoordRadians(const GeoCoord& c) {
  return GeoToRadians(c.hemisphere, c.degrees, c.decimalMinutes);
}

// The wind triangle. Works in a frame whose y axis points where the wind blows to
// and whose x axis lies 90 degrees to its left: the air vector (x, y) has length
// tas, the ground vector (x, y + wind) must lie along the course. Of the two roots
// the first whose ground vector points forward along the course is taken. Returns
// false when there is none; heading and speed are then for the caller to set.
static bool SolveWindTriangle(double course, double to, double tas, double wind, double* heading,
                              double* speed) {
  double theta = (to - course) * kPi * kOneOver180;
  double t = std::tan(theta);
  double s = std::sin(theta);
  double c = std::cos(theta);
  double d = tas * tas + t * t * (tas * tas - wind * wind);
  if (d < 0.0) return false;
  double root = std::sqrt(d);
  const double candidates[2][2] = {
      {-(c * c) * (t * t * wind + root), s * c * (wind - root)},  // y, x
      {c * c * (root - t * t * wind), s * c * (root + wind)},
  };
  for (const auto& candidate : candidates) {
    double y = candidate[0];
    double x = candidate[1];
    double delta = std::atan2(x, y) / kPi * 180.0;
    if (delta < 0.0) delta += 360.0;
    *heading = to - delta;
    if (*heading < 0.0) *heading += 360.0;
    double gy = y + wind;
    if (SameSign(gy, c * tas) && SameSign(x, s * tas)) {
      *speed = std::sqrt(gy * gy + x * x);
      return true;
    }
  }
  return false;
}

void ComputeNavigation() {
  const ProgramLeg& waypoint = ActiveLegEntry();

  // 1-2. Both positions and the north pole as vectors.
  double lambdaA = CoordRadians(gps.presentLon);
  double lambdaW = CoordRadians(waypoint.longitude);
  double deltaLambda = lambdaW - lambdaA;
  double phiA = CoordRadians(gps.presentLat);
  GeoVector a = GeoToVector(lambdaA, phiA);
  double phiW = CoordRadians(waypoint.latitude);
  GeoVector w = GeoToVector(lambdaW, phiW);
  GeoVector north = GeoToVector(GeoToRadians('W', 0, 0.0), GeoToRadians('N', 90, 0.0));

  // 3-5. The angle from north to the waypoint in the tangent plane, 0..pi, made
  // 2 pi - alpha when the waypoint lies to the west. The test is written on the
  // raw longitude difference: a difference at or below -pi (across the 180
  // meridian eastward) keeps alpha.
  GeoVector p = ProjectOntoTangentPlane(north, a);
  GeoVector q = ProjectOntoTangentPlane(w, a);
  double alpha = AngleBetween(p, q);
  if ((0.0 <= deltaLambda && deltaLambda > kPi) || (deltaLambda < 0.0 && deltaLambda > -kPi))
    alpha = kTwoPi - alpha;

  // 6-7. Magnetic course, degrees; one wrap only.
  double trueCourse = alpha / kPi * 180.0;
  double variation = ReadBinding(Binding<kTokenMagneticVariation>());
  double course = trueCourse - variation;
  if (course < 0.0) course += 360.0;

  // 8. Great-circle distance.
  double gamma = AngleBetween(w, a);
  double km = gamma / kPi * 180.0 * kEarthRadius * kPi * kKmPerRadianFactor;
  gps.distanceNm = km * kNmPerKm;

  // 9. Wind speed in knots (V2 and V4 take the variable as knots already).
  double wind = ReadBinding(Binding<kTokenWindSpeed>());
  if constexpr (!kWindSpeedIsKnots) wind = wind * kWindKnotsPerMetrePerSecond;

  // 10. True airspeed in knots from Mach and the speed of sound.
  double mach = ReadBinding(Binding<kTokenMach>());
  double airspeedZero = ReadBinding(Binding<kTokenAirspeedZero>());
  double tas = 0.0;
  if (airspeedZero == 0.0) {
    double temperature = ReadBinding(Binding<kTokenOutsideAirTemperature>());
    tas = (temperature * kSoundSpeedPerDegreeC + kSoundSpeedAtZeroC) * mach * kKnotsPerMachUnit;
  }

  // 11-12. Heading to steer and ground speed.
  gps.windCorrected = 0;
  gps.windWarning = 0;
  double heading = course;
  double speed = tas;
  if (tas > 0.0 && wind > 0.0) {
    gps.windCorrected = 1;
    double windEast = ReadBinding(Binding<kTokenWindEast>());
    double windNorth = ReadBinding(Binding<kTokenWindNorth>());
    double from;  // true direction the wind blows from, degrees
    if (windNorth != 0.0) {
      from = 270.0 - std::atan2(windNorth, windEast) / kPi * 180.0;
      if (from > 360.0) from -= 360.0;
    } else {
      from = windEast < 0.0 ? 90.0 : 270.0;
    }
    double fromMag = from - variation;
    if (fromMag < 0.0) fromMag += 360.0;
    double to = fromMag + 180.0;
    if (to > 360.0) to -= 360.0;
    if (!SolveWindTriangle(course, to, tas, wind, &heading, &speed)) {
      // No solution: point into the wind and make no headway.
      gps.windWarning = 1;
      heading = fromMag;
      speed = 0.0;
    }
  }

  // 13. Time to waypoint, shown only from 8 nm out and up to 99.99 hours.
  double hours = 0.0;
  if (speed > 0.0) hours = km / (speed * kKmPerNm);
  if (speed > 0.0 && hours <= kMaxEtaHours && gps.distanceNm >= kMinEtaDistanceNm) {
    gps.etaHours = sys::TruncateToInt32(hours);
    gps.etaMinutes = sys::TruncateToInt32((hours - gps.etaHours) * 60.0);
    gps.groundSpeed = sys::TruncateToInt32(speed);
    gps.etaValid = 1;
  } else {
    gps.etaValid = 0;
  }

  // 14. Course and heading hold still in the last two miles.
  if (gps.distanceNm >= kMinSteerDistanceNm) {
    gps.desiredTrack = sys::TruncateToInt32(course);
    gps.commandedHeading = sys::TruncateToInt32(heading);
  }
}
