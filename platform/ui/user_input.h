// What a user does to a dialog, with the original platform's order of events. Both
// backends come through here: the headless user (ui/headless.h) for tests and
// scripted runs, the Qt backend for real mouse and keyboard events. Controls are
// addressed by index in the dialog model.
//
// The orders that the dialogs rely on:
//   - a click on a button or a list view first takes the focus, so the edit that had
//     it sends kLostFocus before the click's command or notification arrives; if
//     that handling disables or hides the clicked control, the click is lost;
//   - a click on a row selects and focuses it; a click below the rows clears the
//     selection and keeps the focused row;
//   - Tab selects the whole text of the edit it reaches; a click puts the caret at
//     the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/dialog_model.h"

namespace ui::input {

// A whole click (press and release) on a control. Returns false when the control
// ignores clicks (statics, group boxes), is hidden or disabled, or became so while
// taking the focus.
bool Click(Dialog* dialog, int index);
// The two halves for GUI backends: the press takes the focus; the release changes
// the check state and sends kClicked (false when the click was lost).
bool Press(Dialog* dialog, int index);
bool Release(Dialog* dialog, int index);

// Tab (forward) or Shift+Tab: the next visible, enabled tab stop in template order.
bool Tab(Dialog* dialog, bool forward);

// Types characters into an edit at its selection ('\b' deletes the selection or the
// character before the caret). Characters the edit refuses (beyond its limit, a
// non-digit in a digits-only edit) are dropped. Returns how many were taken.
int TypeText(Dialog* dialog, int index, std::string_view chars);
// Whether the edit would take `newText` in place of its text by typing (GUI
// validators): digits only where asked, and no growth beyond the limit.
bool AcceptsTypedText(const Control& edit, std::string_view newText);
// A GUI edit changed under the user's hands: the model takes the text as it is.
void EditTextChanged(Dialog* dialog, int index, std::string text, int caret);

void Enter(Dialog* dialog);
void Escape(Dialog* dialog);
void Close(Dialog* dialog);

// A press of the left (or right) button in a list view on `row` (-1: below the
// rows): focus, selection, then kRowClick / kRowRightClick. The second press of a
// double-click is RowDoubleClick instead: focus and selection again, then
// kRowDoubleClick / kRowRightDoubleClick.
bool RowPress(Dialog* dialog, int index, int row, bool right);
bool RowDoubleClick(Dialog* dialog, int index, int row, bool right);
// The keyboard in a list view: moves the focused row, selecting it when asked
// (plain arrows) or not (Ctrl+arrows). No message.
bool MoveRowFocus(Dialog* dialog, int index, int row, bool select);

// Sends kTimer for a running timer; false when it is not running.
bool FireTimer(Dialog* dialog, int timerId);
// Lets `ms` pass on the dialog's clock, firing each timer as it comes due.
void AdvanceClock(Dialog* dialog, uint64_t ms);

// Rows a list view shows entirely at once in the headless model (from its height
// in dialog units, with the metrics of an 8-point dialog font).
int RowsPerPage(const Control& list);

}  // namespace ui::input
