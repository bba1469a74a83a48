// ipcprobe-unit-host SIMDIR GAUGE: a real host with one GPS gauge module in a
// process of its own, flying at 18 panel updates per real second, for the tests
// that watch IpcProbe work against a live unit. Prints "ready" once the gauge is
// installed; ends cleanly (GaugeKill) at the end of its input, SIGINT or SIGTERM.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>

#include "host.h"
#include "scenario.h"

static volatile std::sig_atomic_t stopRequested = 0;

static void RequestStop(int) { stopRequested = 1; }

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ipcprobe-unit-host SIMDIR GAUGE\n");
    return 2;
  }
  struct sigaction stop {};
  stop.sa_handler = RequestStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  try {
    host::Host panel(argv[1]);
    panel.Load(argv[2]);
    host::ScenarioAircraft aircraft;  // eastbound over southern England
    aircraft.latitude = 51.2;
    aircraft.longitude = -1.0;
    aircraft.trueHeading = 90;
    aircraft.trueAirspeed = 250;
    aircraft.altitude = 9000;
    host::StartAircraft(panel, aircraft);
    std::printf("ready\n");
    std::fflush(stdout);
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::microseconds(1000000 / 18);
    auto next = Clock::now();
    while (!stopRequested) {
      panel.Update();
      next += period;
      auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
      pollfd input{STDIN_FILENO, POLLIN, 0};
      if (poll(&input, 1, int(std::max<long long>(0, wait.count()))) > 0) {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) break;  // the test let go
      }
    }
    panel.KillAll();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ipcprobe-unit-host: %s\n", e.what());
    return 1;
  }
  std::printf("stopped\n");
  return 0;
}
