// IpcProbe: the window by default, or the same dialog on the terminal with --text.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "ipcprobe.h"
#include "qt_backend.h"

static volatile std::sig_atomic_t stopRequested = 0;

static void RequestStop(int) { stopRequested = 1; }

// Runs the dialog in a window. SIGINT and SIGTERM close it as its close box would,
// so the areas are let go before the program ends.
static int RunWindow(int argc, char** argv) {
  QApplication application(argc, argv);
  ui_qt::Install();
  struct sigaction stop {};
  stop.sa_handler = RequestStop;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  QTimer watch;
  ui_qt::SetShownHook([&watch](ui::Dialog* dialog) {
    QObject::connect(&watch, &QTimer::timeout, [dialog] {
      if (stopRequested) ui_qt::DialogWidget(dialog)->close();
    });
    watch.start(100);
  });
  int code = RunIpcProbe();
  ui_qt::SetShownHook(nullptr);
  ui_qt::Uninstall();
  return code;
}

// Whether Qt can find somewhere to show a window.
static bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int main(int argc, char** argv) {
  CLI::App app{
      "IpcProbe 1.10: attaches to the shared areas of a running Tervane GPS unit\n"
      "(TERVANE_COM_IPC_11, TERVANE_PGR_IPC_11), shows the unit's status and its\n"
      "active leg once a second, and sends it requests: reload the program, make\n"
      "the previous or next leg active, switch the autopilot heading coupling,\n"
      "simulate a power failure. Only one IpcProbe runs at a time.",
      "IpcProbe"};
  bool text = false;
  app.add_flag("--text", text,
               "Run on the terminal instead of a window: the fields are printed every\n"
               "second, and these commands are read from the standard input, one per\n"
               "line: link, unlink, reload, prev (-), next (+), couple, power, quit,\n"
               "help. The end of the input quits.");
  app.footer(
      "Exit status: 0 when the window (or the terminal session) was closed;\n"
      "1 when another IpcProbe is already running; 2 for a bad command line;\n"
      "3 when the window cannot be shown (no display; use --text) or its timer\n"
      "cannot be started.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? kExitNormal : kExitUsage;
  }

  if (text) return RunTextConsole(STDIN_FILENO);
  if (!HaveDisplay()) {
    std::fprintf(stderr, "IpcProbe: no display to show the window on; use --text\n");
    return kExitNoDialog;
  }
  return RunWindow(argc, argv);
}
