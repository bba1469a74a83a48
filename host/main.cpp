// tervane-sim: the panel host as a program.
//   tervane-sim run SCENARIO.json [--trace FILE] [--sim-dir DIR] [--snapshots DIR]
//   tervane-sim demo [--sim-dir DIR] [--snapshots DIR]
//   tervane-sim fly [PANEL.json] [--gui] [--scale S] [--sim-dir DIR]
//   tervane-sim tokens
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "flight_summary.h"
#include "gui/panel_window.h"
#include "host.h"
#include "scenario.h"
#include "sim_state.h"
#include "sys/paths.h"

static volatile int stopRequested = 0;

static void RequestStop(int) { stopRequested = 1; }

// SIGINT and SIGTERM end the run between updates, so every gauge is killed and
// peers see the unit as off.
static void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

static std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

static int RunScenarioFile(const std::string& scenarioPath, const std::string& simDir,
                           const std::string& snapshotDir, const std::string& tracePath,
                           bool quiet) {
  host::Scenario scenario = host::LoadScenario(scenarioPath);
  std::ofstream trace;
  if (!tracePath.empty()) {
    trace.open(tracePath, std::ios::trunc);
    if (!trace) throw std::runtime_error("cannot write trace file " + tracePath);
  }
  host::Host panel(simDir);
  host::RunOptions options;
  options.snapshotDir = snapshotDir;
  options.screen = quiet ? nullptr : &std::cout;
  options.trace = trace.is_open() ? &trace : nullptr;
  options.stopFlag = &stopRequested;
  host::FlightSummary summary;
  if (scenario.summary) options.summary = &summary;
  if (!quiet && !scenario.description.empty()) std::cout << scenario.description << "\n\n";
  uint64_t run = host::RunScenario(panel, scenario, options);
  if (!quiet) std::cout << host::DescribeScreens(panel);
  if (!quiet && scenario.summary) std::cout << summary.Report(panel);
  panel.KillAll();
  if (!quiet) {
    std::cout << "ran " << run << " updates ("
              << run * panel.TimeRate() / host::Host::kUpdatesPerSecond << " s simulated)";
    if (stopRequested) std::cout << ", stopped early by a signal";
    std::cout << "\n";
  }
  return 0;
}

// Loads the panel and shows it live until the window closes; then kills the gauges.
static int FlyWindow(const std::string& panelFile, const std::string& simDir, double scale,
                     QApplication& app) {
  host::Scenario scenario = host::LoadScenario(panelFile);
  host::Host panel(simDir);
  host::RunOptions options;
  options.stopFlag = &stopRequested;
  host::Scenario setup = scenario;
  setup.updates = 0;  // the window's timer runs the updates
  host::RunScenario(panel, setup, options);
  host::PanelWindow window(panel, scale);
  window.show();
  QElapsedTimer shown;
  shown.start();
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, [&] {
    if (stopRequested) app.quit();
  });
  stopWatch.start(100);
  int status = app.exec();
  double seconds = shown.elapsed() / 1000.0;
  std::cout << "showed " << window.FramesShown() << " panel updates in " << seconds << " s ("
            << (seconds > 0 ? window.FramesShown() / seconds : 0.0) << " per second)\n";
  panel.KillAll();
  return status;
}

int main(int argc, char** argv) {
  // Only the panel window needs a display; everything else draws offscreen.
  bool wantsWindow = false;
  for (int i = 1; i < argc; ++i) wantsWindow |= std::string(argv[i]) == "--gui";
  if (!wantsWindow && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
    // Qt wants a private runtime folder and complains on every start without one.
    std::string runtime = "/tmp/tervane-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
  }
  QApplication app(argc, argv);
  InstallStopHandlers();

  CLI::App cli{
      "tervane-sim: the Tervane panel host. Loads gauge modules from a simulator "
      "directory, runs them and draws their panels."};
  cli.require_subcommand(1);
  std::string defaultSim = sys::ProgramDirectory();

  std::string scenarioPath, tracePath, simDir = defaultSim, snapshots = ".";
  bool quiet = false;
  auto* run = cli.add_subcommand("run", "Run a scenario headless (see docs/scenarios.md)");
  run->add_option("scenario", scenarioPath, "Scenario file (JSON)")->required();
  run->add_option("--trace", tracePath, "Write a JSON Lines trace, one record per update");
  run->add_option("--sim-dir", simDir, "Simulator directory (default: the program's folder)");
  run->add_option("--snapshots", snapshots, "Folder for snapshot PNGs (default: current folder)");
  run->add_flag("--quiet", quiet, "Print nothing but errors");

  auto* demo = cli.add_subcommand(
      "demo", "Fly the demo flight (Scenarios/demo-flight.json) headless and save its snapshots");
  demo->add_option("--sim-dir", simDir, "Simulator directory (default: the program's folder)");
  demo->add_option("--snapshots", snapshots, "Folder for snapshot PNGs (default: current folder)");

  std::string panelPath;
  bool gui = false;
  double scale = 1.0;
  auto* fly = cli.add_subcommand(
      "fly", "Fly a panel (a scenario or panel layout file) live; --gui opens its window");
  fly->add_option("panel", panelPath, "Panel layout or scenario (default: Panels/default.json)");
  fly->add_flag("--gui", gui, "Open the panel window (needs a display)");
  fly->add_option("--scale", scale, "Window scale of the panel (default 1)")
      ->check(CLI::Range(0.25, 4.0));
  fly->add_option("--sim-dir", simDir, "Simulator directory (default: the program's folder)");
  fly->add_option("--snapshots", snapshots, "Folder for snapshot PNGs (default: current folder)");

  auto* tokens = cli.add_subcommand("tokens", "List the simulator variables scenarios may set");

  CLI11_PARSE(cli, argc, argv);
  try {
    if (tokens->parsed()) {
      for (const auto& t : host::KnownTokens())
        std::printf("0x%-4X %-24s %s\n", t.token, t.name, t.unit);
      return 0;
    }
    simDir = Absolute(simDir);
    snapshots = Absolute(snapshots);
    if (demo->parsed()) {
      std::cout << "Tervane demo: simulator directory " << simDir << ", snapshots in " << snapshots
                << "\n";
      return RunScenarioFile(simDir + "/Scenarios/demo-flight.json", simDir, snapshots, "", false);
    }
    if (fly->parsed()) {
      std::string panelFile =
          panelPath.empty() ? simDir + "/Panels/default.json" : Absolute(panelPath);
      if (!gui) return RunScenarioFile(panelFile, simDir, snapshots, "", false);
      return FlyWindow(panelFile, simDir, scale, app);
    }
    if (!tracePath.empty()) tracePath = Absolute(tracePath);
    return RunScenarioFile(Absolute(scenarioPath), simDir, snapshots, tracePath, quiet);
  } catch (const std::exception& e) {
    std::cerr << "tervane-sim: " << e.what() << "\n";
    return 1;
  }
}
