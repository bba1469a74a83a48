// Scenarios: a panel (gauges at positions), starting simulator variables and a
// timeline of actions by update number (set variables, click at gauge pixels,
// write a word into a shared area, print the screens, take snapshots), run
// headless for a number of updates, with an optional JSON Lines trace.
// The format is documented in docs/scenarios.md.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

class Host;
class FlightSummary;
class FlightSummary;

struct ScenarioError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ScenarioGauge {
  std::string file;
  int x = 0, y = 0;
};

struct ScenarioAction {
  uint64_t at = 0;                 // update number (1 = the first update)
  std::map<uint32_t, double> set;  // token -> value
  std::string clickGauge;          // gauge name or file
  int clickX = 0, clickY = 0;
  bool click = false;
  std::string snapshot;  // PNG file name ("" = none)
  bool print = false;
  std::string shmArea;  // write a 32-bit word into a shared area
  uint32_t shmOffset = 0;
  int32_t shmValue = 0;
};

// The flying aircraft and its environment; present when the scenario flies.
struct ScenarioAircraft {
  double latitude = 0, longitude = 0;  // degrees, north and east positive
  double trueHeading = 0;              // degrees
  double trueAirspeed = 0;             // knots
  double altitude = 0;                 // feet
  double windFrom = 0, windKnots = 0;  // degrees true, knots
  double variation = 0;                // degrees, 0 to below 360
  double outsideAirTemperature = 15;   // degrees Celsius
  bool autopilot = false, headingHold = false;
  double headingBug = 0;  // degrees magnetic
};

struct Scenario {
  std::string path;
  std::string description;
  uint64_t updates = 0;
  uint64_t printEvery = 0;  // print the screens every N updates (0 = never)
  std::vector<ScenarioGauge> gauges;
  std::map<uint32_t, double> variables;
  bool flies = false;  // "aircraft" given: the flight model runs
  ScenarioAircraft aircraft;
  double timeRate = 1.0;                 // simulated seconds per real second of updates
  bool summary = false;                  // report the flight at the end
  bool stopWhenPaused = false;           // end the run when the simulator pauses
  std::string arrivalSnapshot;           // PNG taken when the flight arrives (needs summary)
  std::vector<ScenarioAction> timeline;  // sorted by `at`
};

// Reads and checks a scenario; errors name the file, the key and the problem.
Scenario LoadScenario(const std::string& path);
Scenario ParseScenario(const std::string& jsonText, const std::string& pathForMessages);

struct RunOptions {
  std::string snapshotDir = ".";           // where snapshot names are resolved
  std::ostream* screen = nullptr;          // printed screens go here (null: nowhere)
  std::ostream* trace = nullptr;           // JSON Lines, one per update
  const volatile int* stopFlag = nullptr;  // set by a signal: end early, cleanly
  FlightSummary* summary = nullptr;        // observes every update when set
};

// Places the aircraft and its environment and switches the flight model on.
void StartAircraft(Host& host, const ScenarioAircraft& aircraft);

// Loads the scenario's gauges into `host`, runs it, and leaves the gauges loaded.
// Returns the number of updates run.
uint64_t RunScenario(Host& host, const Scenario& scenario, const RunOptions& options);

// One block of text per gauge: what every text field, needle and slider shows.
std::string DescribeScreens(Host& host);

// One JSON Lines record of the panel's state after the current update.
std::string TraceRecord(Host& host);

}  // namespace host
