// IpcProbe on a terminal: the dialog procedure runs under the headless backend; a
// console user lets the one-second timer tick in real time, prints the fields after
// every tick as a block of labelled lines, and clicks the buttons named by the
// commands typed on the input. Message boxes are printed and answered with OK.
// The end of the input, "quit", SIGINT and SIGTERM close the dialog as its close
// box would, so the areas are released before the program ends.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "ipcprobe.h"
#include "sys/text_codec.h"
#include "ui/headless.h"

namespace {

using Clock = std::chrono::steady_clock;
using ui::headless::User;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

struct CommandName {
  const char* name;
  int button;  // 0: close the dialog
};

const CommandName kCommands[] = {
    {"link", kLinkButton},
    {"unlink", kUnlinkButton},
    {"reload", kReloadButton},
    {"prev", kPreviousLegButton},
    {"-", kPreviousLegButton},
    {"next", kNextLegButton},
    {"+", kNextLegButton},
    {"couple", kCouplingButton},
    {"power", kPowerFailureButton},
    {"quit", 0},
    {"exit", 0},
};

const char kHelp[] =
    "commands: link, unlink, reload, prev (-), next (+), couple, power, quit, help\n";

void Print(const std::string& cp1252) {
  std::fputs(sys::Cp1252ToUtf8(cp1252).c_str(), stdout);
  std::fflush(stdout);
}

void PrintFields(const User& u) {
  auto field = [&u](const char* label, int id) { return std::string(label) + " " + u.Text(id); };
  std::string block;
  block += u.Title() + "  [" + u.Text(kLinkedField) + "]  [" + u.Text(kOnlineField) + "]\n";
  block += "  Aircraft actual position  " + field("Latitude:", kAircraftLatField) + "  " +
           field("Longitude:", kAircraftLonField) + "\n";
  block += "  " + field("Real heading:", kRealHeadingField) + "  " +
           field("GPS heading:", kGpsHeadingField) + "  " +
           field("GPS autopilot heading:", kAutopilotHeadingField) + "\n";
  block += "  " + field("Ground speed:", kGroundSpeedField) + "  " +
           field("Distance:", kDistanceField) + "  " + field("ETA:", kEtaField) + "  " +
           field("Altitude:", kAltitudeField) + "\n";
  block += "  " + field("Coupling:", kCouplingField) + "  " + field("Wind:", kWindField) + "  " +
           field("PowerFailure:", kPowerFailureField) + "\n";
  block += "  " + field("Leg:", kLegNumberField) + "  " + field("Ident:", kLegIdentField) + "  " +
           field("Name:", kLegNameField) + "\n";
  block += "  " + field("Leg latitude:", kLegLatField) + "  " +
           field("Leg longitude:", kLegLonField) + "\n\n";
  Print(block);
}

void Execute(User& u, std::string line) {
  size_t first = line.find_first_not_of(" \t\r");
  size_t last = line.find_last_not_of(" \t\r");
  if (first == std::string::npos) return;
  line = line.substr(first, last - first + 1);
  for (char& c : line) c = char(std::tolower(static_cast<unsigned char>(c)));
  if (line == "help" || line == "?") {
    Print(kHelp);
    return;
  }
  for (const CommandName& command : kCommands) {
    if (line != command.name) continue;
    if (command.button == 0) {
      u.Close();
    } else if (!u.Click(command.button)) {
      Print("'" + line + "' is not available now\n");
    }
    return;
  }
  Print("unknown command '" + line + "'; " + kHelp);
}

void RunConsole(User& u, int input) {
  Print(u.Title() + " on the terminal; " + kHelp + "\n");
  std::string pending;
  Clock::time_point nextTick = Clock::now() + std::chrono::milliseconds(kProbeTimerPeriodMs);
  while (!u.Ended()) {
    if (stopRequested) {
      u.Close();
      break;
    }
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
    pollfd p{input, POLLIN, 0};
    int ready = poll(&p, 1, int(std::max<long long>(0, wait.count())));
    if (ready > 0) {
      char buffer[256];
      ssize_t n = read(input, buffer, sizeof buffer);
      if (n > 0) {
        pending.append(buffer, size_t(n));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos && !u.Ended()) {
          std::string line = pending.substr(0, end);
          pending.erase(0, end + 1);
          Execute(u, line);
        }
      } else if (n == 0 || errno != EINTR) {
        if (!pending.empty() && !u.Ended()) Execute(u, pending);
        if (!u.Ended()) u.Close();  // the end of the input ends the session
        break;
      }
    }
    if (!u.Ended() && Clock::now() >= nextTick) {
      u.Wait(kProbeTimerPeriodMs);
      PrintFields(u);
      nextTick += std::chrono::milliseconds(kProbeTimerPeriodMs);
      if (nextTick < Clock::now())
        nextTick = Clock::now() + std::chrono::milliseconds(kProbeTimerPeriodMs);
    }
  }
}

int AnswerWithFirstButton(const ui::headless::MessageBoxRecord& box) {
  Print(box.caption + ": " + box.text + "\n");
  switch (box.flags & ui::kMbButtonsMask) {
    case ui::kMbYesNo:
    case ui::kMbYesNoCancel:
      return ui::kIdYes;
    case ui::kMbAbortRetryIgnore:
      return ui::kIdAbort;
    case ui::kMbRetryCancel:
      return ui::kIdRetry;
    default:
      return ui::kIdOk;
  }
}

}  // namespace

int RunTextConsole(int input) {
  ui::headless::Install();
  ui::headless::SetMessageBoxHandler(AnswerWithFirstButton);
  ui::headless::OnDialog(kProbeDialog.name, [input](User& u) { RunConsole(u, input); });

  struct sigaction stop {
  }, oldInt{}, oldTerm{};
  stop.sa_handler = RequestStop;  // no SA_RESTART: poll returns at once
  sigemptyset(&stop.sa_mask);
  sigaction(SIGINT, &stop, &oldInt);
  sigaction(SIGTERM, &stop, &oldTerm);
  int code = RunIpcProbe();
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  ui::headless::Reset();  // a refused start leaves its script queued
  return code;
}
