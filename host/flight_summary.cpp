#include "flight_summary.h"

#include <cstdio>
#include <sstream>

#include "engine/shared_areas.h"
#include "flight_model.h"
#include "host.h"
#include "sys/shared_area.h"

namespace host {

static double Degrees(const GeoCoord& g) {
  double value = g.degrees + g.decimalMinutes / 60.0;
  return (g.hemisphere == 'S' || g.hemisphere == 'W') ? -value : value;
}

// A NUL-bounded copy of a fixed text field written by another process.
template <size_t N>
static std::string FieldText(const char (&field)[N]) {
  size_t length = 0;
  while (length < N && field[length]) ++length;
  return std::string(field, length);
}

void FlightSummary::ReadProgram(int32_t checksum) {
  sys::SharedArea* area = sys::OpenSharedArea(kPgrAreaName, kPgrAreaBytes);
  if (!area) return;
  programChecksum_ = checksum;
  waypoints_.clear();
  sys::SharedArea* com = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  int32_t count = com ? ReadAreaInt32(sys::SharedAreaView(com), TERVANE_COM_AT(legCount)) : 0;
  sys::CloseSharedArea(com);
  for (int i = 0; i < count && i < kMaxLegs; ++i) {
    ProgramLeg leg = ReadPgrLeg(sys::SharedAreaView(area), i);
    WaypointPass pass;
    pass.ident = FieldText(leg.ident);
    pass.latitude = Degrees(leg.latitude);
    pass.longitude = Degrees(leg.longitude);
    waypoints_.push_back(pass);
  }
  sys::CloseSharedArea(area);
}

void FlightSummary::Observe(Host& host) {
  simulatedSeconds_ += host.Sim().Paused() ? 0.0 : host.TimeRate() / Host::kUpdatesPerSecond;
  sys::SharedArea* area = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  if (!area) return;
  ComArea com = ReadComArea(sys::SharedAreaView(area));
  sys::CloseSharedArea(area);
  if (com.modelCode == 0) return;  // off or not yet running
  if (com.programChecksum != 0 && com.programChecksum != programChecksum_)
    ReadProgram(com.programChecksum);

  double lat = host.Sim().Latitude(), lon = host.Sim().Longitude();
  for (WaypointPass& w : waypoints_) {
    double d = GreatCircleDistanceNm(lat, lon, w.latitude, w.longitude);
    if (d < w.closestNm) {
      w.closestNm = d;
      w.closestUpdate = host.UpdateCount();
    }
  }
  if (lastActiveLeg_ >= 0 && com.activeLeg == lastActiveLeg_ + 1) ++legsSequenced_;
  lastActiveLeg_ = com.activeLeg;
  // Arrival: the unit uncoupled (arrival actions Of and Ps, after the last or the
  // held waypoint) or paused the simulator. Nobody else uncouples in a scenario
  // unless its timeline clicks the coupling button.
  bool paused = host.Sim().Paused();
  if (!arrivedUpdate_ && ((lastCoupled_ && !com.headingCoupled) || (paused && !wasPaused_))) {
    arrivedUpdate_ = host.UpdateCount();
    arrivedSeconds_ = simulatedSeconds_;
  }
  lastCoupled_ = com.headingCoupled;
  wasPaused_ = paused;
}

std::string FlightSummary::Report(Host& host) const {
  std::ostringstream out;
  char line[160];
  out << "Flight summary\n";
  out << "  legs sequenced: " << legsSequenced_ << " of "
      << (waypoints_.empty() ? 0 : waypoints_.size() - 1) << "\n";
  out << "  closest approach to each waypoint:\n";
  for (size_t i = 0; i < waypoints_.size(); ++i) {
    const WaypointPass& w = waypoints_[i];
    std::snprintf(line, sizeof line, "    %2zu %-5s %8.2f nm  (update %llu)\n", i + 1,
                  w.ident.c_str(), w.closestNm, static_cast<unsigned long long>(w.closestUpdate));
    out << line;
  }
  if (arrivedUpdate_) {
    int total = int(arrivedSeconds_);
    std::snprintf(line, sizeof line, "  arrived after %d:%02d:%02d simulated (update %llu)%s\n",
                  total / 3600, total / 60 % 60, total % 60,
                  static_cast<unsigned long long>(arrivedUpdate_),
                  host.Sim().Paused() ? ", simulator paused by the unit" : "");
    out << line;
  } else {
    out << "  not arrived\n";
  }
  return out.str();
}

}  // namespace host
