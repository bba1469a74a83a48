// IpcProbe: the monitor that attaches by name to the two shared areas of a running
// GPS unit (COM_AREA, PGR_AREA), shows them once a second in its one dialog, and
// writes request words back (reload, leg, coupling, power failure).
//
// What the program is made of: the dialog template (main_dialog_template.cpp), its
// procedure with the monitor's state (main_dialog.cpp), the entry with the
// single-instance lock (probe_entry.cpp), and the terminal console that runs the
// same procedure headless (text_console.cpp). main.cpp picks the window or the
// console.
#pragma once

#include "ui/dialog.h"

// Control ids of "MainDialog".
enum ProbeControlId {
  kLinkButton = 1001,
  kUnlinkButton = 1002,
  kRealHeadingField = 1003,
  kGpsHeadingField = 1004,
  kAutopilotHeadingField = 1005,
  kAircraftLonField = 1006,
  kAircraftLatField = 1007,
  kGroundSpeedField = 1008,
  kDistanceField = 1009,
  kEtaField = 1010,
  kOnlineField = 1011,
  kCouplingField = 1012,
  kWindField = 1013,
  kAltitudeField = 1014,
  kLegNumberField = 1015,
  kLegLonField = 1016,
  kLegLatField = 1017,
  kLegNameField = 1018,
  kReloadButton = 1019,
  kLegIdentField = 1020,
  kLinkedField = 1021,
  kCouplingButton = 1022,
  kPreviousLegButton = 1023,
  kNextLegButton = 1024,
  kPowerFailureButton = 1025,
  kPowerFailureField = 1026,
};

constexpr int kProbeTimerId = 1;
constexpr unsigned kProbeTimerPeriodMs = 1000;
constexpr const char kProbeTitle[] = "IpcProbe 1.10";
constexpr const char kProbeLockName[] = "IpcProbe 1.10";

// How the dialog ended (its EndDialog result).
enum ProbeDialogResult {
  kDialogClosed = 0,       // the user closed it
  kDialogTimerFailed = 2,  // the one-second timer could not be started
};

// Exit codes of the program. The original reported a refused second instance as
// success (0) and a normal end as failure (1); here a normal end is 0 and every
// failure is non-zero.
enum ProbeExitCode {
  kExitNormal = 0,          // the dialog was closed
  kExitAlreadyRunning = 1,  // another IpcProbe holds the single-instance lock
  kExitUsage = 2,           // bad command line
  kExitNoDialog = 3,        // the dialog could not be shown or its timer not started
};

extern const ui::DialogTemplate kProbeDialog;  // "MainDialog"

bool ProbeDialogProc(ui::Dialog* dialog, const ui::Message& message);

// Takes the single-instance lock, runs the dialog with the process's dialog backend,
// releases the lock; returns the exit code.
int RunIpcProbe();

// Runs IpcProbe on the terminal: the same dialog procedure under the headless
// backend, its fields printed every second, the buttons taken as typed commands
// from `input` (a file descriptor). Returns the exit code.
int RunTextConsole(int input);
