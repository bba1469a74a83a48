// The in-memory model of an open dialog: every control's text, states, edit limit
// and selection, list-view columns and rows, the focus, the timers. It is the one
// truth of a dialog under both backends: the procedure's operations change it and
// tell the backend; the backend turns the user's actions into the calls of
// ui/user_input.h, which change it and message the procedure.
//
// For backends and the headless user only; the Parts see Dialog as opaque.
//
// Invariants:
//   (1) focus is -1 or the index of a control that was visible and enabled when it
//       got the focus;
//   (2) a list view's selectedRow and focusedRow are -1 or valid row indices;
//   (3) an edit's selection satisfies 0 <= selStart <= selEnd <= text size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialog.h"
#include "ui/list_view.h"

namespace ui {

struct ListColumn {
  std::string header;
  int width;  // pixels
  ColumnAlign align;
};

struct ListRow {
  std::vector<std::string> cells;  // one per column at most; missing cells are empty
  void* data;
};

struct Control {
  const ControlTemplate* source;
  int id;
  ControlKind kind;
  uint32_t style;
  std::string text;
  bool visible;
  bool enabled;
  bool checked = false;
  int limit = 30000;             // edits: most characters typing may reach
  int selStart = 0, selEnd = 0;  // edits: selected text; the caret is at selEnd
  const Icon* icon = nullptr;
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  int selectedRow = -1;
  int focusedRow = -1;
  int topRow = 0;
};

struct DialogTimer {
  int id;
  unsigned periodMs;
  uint64_t dueMs;  // on the dialog's clock
};

struct Dialog {
  const DialogTemplate* source;
  DialogProc proc;
  Dialog* owner;
  std::string title;
  const Icon* icon = nullptr;
  std::vector<Control> controls;
  int focus = -1;  // control index (1)
  bool ended = false;
  int result = 0;
  std::vector<DialogTimer> timers;
  uint64_t clockMs = 0;  // headless: time the user let pass since creation
  void* backendData = nullptr;
};

// What changed, for the backend to show. `row`/`column` qualify list changes.
enum class Change {
  kTitle,
  kIcon,
  kText,
  kEnabled,
  kVisible,
  kChecked,
  kFocus,          // the dialog's focus moved to `focus` (may be -1)
  kTextSelection,  // an edit's selection
  kLimit,
  kColumns,      // the list's columns were replaced or changed
  kRowInserted,  // row
  kRowDeleted,   // row
  kAllRowsDeleted,
  kCell,          // row, column
  kRowSelection,  // selected or focused row
  kScroll,        // row to bring into view
  kRepaint,
};

// Control index for an id; -1 when absent.
int FindControl(const Dialog* dialog, int id);

// The control with `id` for `operation`, or null with the problem reported.
Control* LookupControl(Dialog* dialog, int id, const char* operation);

// Tells the backend that `control` (null: the dialog itself) changed.
void Changed(Dialog* dialog, const Control* control, Change change, int row = -1, int column = -1);

// Whether a control can hold the keyboard focus (not labels, frames, icons).
bool ControlTakesFocus(const Control& control);

// Sends a message to the procedure; returns whether it was handled.
bool DeliverMessage(Dialog* dialog, const Message& message);

// What an edit that gets the focus does with its selection.
enum class FocusSelection {
  kKeep,        // a procedure's SetFocusItem
  kCaretAtEnd,  // a click into the edit
  kSelectAll,   // Tab, or the first focus after kInit
};

// Sets the focus to control `index` (-1: none) and sends kLostFocus to the edit that
// had it, after the focus has moved (so the handler sees the new focus and may move
// it back).
void MoveFocus(Dialog* dialog, int index, FocusSelection selection);

// Records a programming error of a procedure or a script: the problem handler of
// ui/headless.h receives it.
void ReportProblem(const std::string& text);

}  // namespace ui
