// What a flight made of the GPS program: read from the shared areas as another
// process would (the program from PGR_AREA, the active leg and coupling from
// COM_AREA) and from the simulator's aircraft, once per update. At the end it says
// how many legs were sequenced, how close the aircraft came to each waypoint and
// when it arrived: when the unit first uncoupled or paused the simulator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

class Host;

struct WaypointPass {
  std::string ident;
  double latitude = 0, longitude = 0;  // degrees
  double closestNm = 1e9;              // closest approach of the aircraft
  uint64_t closestUpdate = 0;
};

class FlightSummary {
 public:
  void Observe(Host& host);  // call after every update
  std::string Report(Host& host) const;

  int LegsSequenced() const { return legsSequenced_; }
  const std::vector<WaypointPass>& Waypoints() const { return waypoints_; }
  bool Arrived() const { return arrivedUpdate_ != 0; }
  uint64_t ArrivedUpdate() const { return arrivedUpdate_; }
  double ArrivedSeconds() const { return arrivedSeconds_; }

 private:
  void ReadProgram(int32_t checksum);

  std::vector<WaypointPass> waypoints_;
  int32_t programChecksum_ = 0;
  int32_t lastActiveLeg_ = -1;
  int32_t lastCoupled_ = 0;
  int legsSequenced_ = 0;
  uint64_t arrivedUpdate_ = 0;
  double arrivedSeconds_ = 0;
  double simulatedSeconds_ = 0;
  bool wasPaused_ = false;
};

}  // namespace host
