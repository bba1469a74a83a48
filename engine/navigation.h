// The navigation computation of a GPS gauge module: from the aircraft's position
// and the active waypoint to the magnetic course, the great-circle distance, the
// wind-corrected heading, the ground speed and the time to the waypoint, all
// written into `gps`. Positions become vectors on an earth-centred sphere.
#pragma once

#include <cstdint>

// A point on the sphere, metres from the earth's centre.
struct GeoVector {
  double x, y, z;  // metres; x toward 0E on the equator, y toward 90E, z toward the north pole
};

// Angle of a coordinate in radians: (degrees x 60 + decimalMinutes) / 60 / 180 x pi,
// negative for 'W' and 'S' (any other letter gives a positive angle).
double GeoToRadians(char hemisphere, int32_t degrees, double decimalMinutes);

// The point at longitude `lambda` and latitude `phi` (radians) on the sphere.
GeoVector GeoToVector(double lambda, double phi);

// Course, distance, heading, ground speed and time to the active waypoint from
// presentLat/presentLon and the simulator's variation, wind, Mach and temperature.
// Keeps no state of its own between calls.
void ComputeNavigation();
