// A small dialog with the controls and behaviours the data manager's dialogs need:
// edits with limits and a range check on losing the focus, buttons, radio groups, a
// push-like check box, a report list view, a nested dialog, a message box. Its
// procedure logs every message it receives, so tests can check their order.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog.h"

namespace testdialog {

enum Id {
  kIdent = 100,    // edit, limit 5
  kDegrees = 101,  // edit, digits only, limit 3; above 180 is an error on losing focus
  kName = 102,     // edit
  kAdd = 200,
  kOk = 201,  // default button; ends the dialog with 7
  kNested = 203,
  kAsk = 204,    // OK/Cancel message box
  kTimer = 205,  // starts timer 1 every 1000 ms
  kNorth = 300,  // radio group N / S
  kSouth = 301,
  kEast = 302,  // radio group E / W
  kWest = 303,
  kAirports = 304,  // push-like check box
  kList = 400,
  kStatus = 500,
  kHiddenNote = 501,
};

extern const ui::DialogTemplate kTemplate;        // "TestDialog"
extern const ui::DialogTemplate kNestedTemplate;  // "Nested": OK (1) ends it with 5
extern const ui::DialogTemplate kPlainTemplate;   // "Plain": one edit, no default button

// What the procedure saw, one line per message: "init", "cmd 101 lost",
// "cmd 200 clicked", "notify 400 dblclick row 2 focused 2 selected 2", "timer 1",
// "close", "destroy", "nested -1", "box 2".
extern std::vector<std::string> log;
extern bool handleClose;        // kClose ends the dialog with 9
extern bool disableAddOnLeave;  // kName losing focus disables Add

bool Proc(ui::Dialog* dialog, const ui::Message& message);
bool PlainProc(ui::Dialog* dialog, const ui::Message& message);
void Reset();

}  // namespace testdialog
