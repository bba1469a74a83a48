// The user's actions on a dialog model, in the original platform's order of events
// (see user_input.h). Every message may re-enter the layer, end the dialog or
// change any control, so nothing is held across a delivery but indices.
#include "ui/user_input.h"

#include <algorithm>

#include "ui/backend.h"

namespace ui::input {

static Control& At(Dialog* dialog, int index) { return dialog->controls[size_t(index)]; }

static bool Live(Dialog* dialog, int index) {
  const Control& c = At(dialog, index);
  return c.visible && c.enabled;
}

static bool IsButton(ControlKind kind) {
  return kind == kPushButton || kind == kDefPushButton || kind == kCheckBox ||
         kind == kAutoRadioButton;
}

bool Press(Dialog* dialog, int index) {
  if (!Live(dialog, index)) return false;
  const Control& c = At(dialog, index);
  if (!ControlTakesFocus(c)) return false;
  MoveFocus(dialog, index, c.kind == kEdit ? FocusSelection::kCaretAtEnd : FocusSelection::kKeep);
  return Live(dialog, index);
}

// Checks an auto radio button and unchecks the other radio buttons of its group,
// which runs from the last group start at or before it to the next group start.
static void CheckInGroup(Dialog* dialog, int index) {
  int first = index;
  while (first > 0 && !(At(dialog, first).style & kGroupStart)) --first;
  int end = index + 1;
  int count = int(dialog->controls.size());
  while (end < count && !(At(dialog, end).style & kGroupStart)) ++end;
  for (int i = first; i < end; ++i) {
    Control& c = At(dialog, i);
    if (c.kind != kAutoRadioButton) continue;
    bool checked = i == index;
    if (c.checked != checked) {
      c.checked = checked;
      Changed(dialog, &c, Change::kChecked);
    }
  }
}

bool Release(Dialog* dialog, int index) {
  if (!Live(dialog, index)) return false;
  Control& c = At(dialog, index);
  if (!IsButton(c.kind)) return false;
  if (c.kind == kCheckBox) {
    c.checked = !c.checked;
    Changed(dialog, &c, Change::kChecked);
  } else if (c.kind == kAutoRadioButton) {
    CheckInGroup(dialog, index);
  }
  DeliverMessage(dialog, {kCommand, At(dialog, index).id, kClicked});
  return true;
}

bool Click(Dialog* dialog, int index) {
  if (!Press(dialog, index)) return false;
  if (!IsButton(At(dialog, index).kind)) return true;  // edits and lists: focus only
  return Release(dialog, index);
}

bool Tab(Dialog* dialog, bool forward) {
  int count = int(dialog->controls.size());
  if (count == 0) return false;
  int start = dialog->focus >= 0 ? dialog->focus : (forward ? count - 1 : 0);
  for (int step = 1; step <= count; ++step) {
    int i = ((start + (forward ? step : -step)) % count + count) % count;
    const Control& c = At(dialog, i);
    if ((c.style & kTabStop) && c.visible && c.enabled && ControlTakesFocus(c)) {
      MoveFocus(dialog, i, FocusSelection::kSelectAll);
      return true;
    }
  }
  return false;
}

bool AcceptsTypedText(const Control& edit, std::string_view newText) {
  if (edit.style & kDigitsOnly) {
    for (char ch : newText) {
      if (ch < '0' || ch > '9') return false;
    }
  }
  // Text set by the program may exceed the limit; typing may shorten it but never
  // make it longer than the limit.
  return newText.size() <= size_t(edit.limit) || newText.size() <= edit.text.size();
}

int TypeText(Dialog* dialog, int index, std::string_view chars) {
  Control& c = At(dialog, index);
  if (c.kind != kEdit || !c.visible || !c.enabled) return 0;
  int taken = 0;
  for (char ch : chars) {
    std::string text = c.text;
    size_t from = size_t(std::min(c.selStart, c.selEnd));
    size_t to = size_t(std::max(c.selStart, c.selEnd));
    if (ch == '\b') {
      if (from == to && from > 0) --from;
      text.erase(from, to - from);
    } else {
      if ((c.style & kDigitsOnly) && (ch < '0' || ch > '9')) continue;
      text.replace(from, to - from, 1, ch);
      if (text.size() > size_t(c.limit)) continue;
      ++from;
    }
    c.text = std::move(text);
    c.selStart = c.selEnd = int(from);
    ++taken;
  }
  Changed(dialog, &c, Change::kText);
  Changed(dialog, &c, Change::kTextSelection);
  return taken;
}

void EditTextChanged(Dialog* dialog, int index, std::string text, int caret) {
  Control& c = At(dialog, index);
  c.text = std::move(text);
  c.selStart = c.selEnd = std::clamp(caret, 0, int(c.text.size()));
}

void Enter(Dialog* dialog) {
  int id = kIdOk;
  int focus = dialog->focus;
  if (focus >= 0 &&
      (At(dialog, focus).kind == kPushButton || At(dialog, focus).kind == kDefPushButton)) {
    id = At(dialog, focus).id;  // a focused push button is the default while it has the focus
  } else {
    for (size_t i = 0; i < dialog->controls.size(); ++i) {
      if (dialog->controls[i].kind != kDefPushButton) continue;
      if (!Live(dialog, int(i))) return;  // a disabled default button takes no Enter
      id = dialog->controls[i].id;
      break;
    }
  }
  DeliverMessage(dialog, {kCommand, id, kClicked});
}

void Escape(Dialog* dialog) { DeliverMessage(dialog, {kCommand, kIdCancel, kClicked}); }

void Close(Dialog* dialog) {
  if (!DeliverMessage(dialog, {kClose})) DeliverMessage(dialog, {kCommand, kIdCancel, kClicked});
}

// Focus to the list, then the row's selection; false when the press was lost.
static bool PressInList(Dialog* dialog, int index, int* row) {
  if (At(dialog, index).kind != kListView || !Press(dialog, index)) return false;
  Control& list = At(dialog, index);
  if (*row < 0 || size_t(*row) >= list.rows.size()) {
    *row = -1;
    list.selectedRow = -1;  // a press below the rows keeps the focused row
  } else {
    list.selectedRow = list.focusedRow = *row;
  }
  Changed(dialog, &list, Change::kRowSelection);
  return true;
}

bool RowPress(Dialog* dialog, int index, int row, bool right) {
  if (!PressInList(dialog, index, &row)) return false;
  DeliverMessage(dialog, {kNotify, At(dialog, index).id, right ? kRowRightClick : kRowClick, row});
  return true;
}

bool RowDoubleClick(Dialog* dialog, int index, int row, bool right) {
  if (!PressInList(dialog, index, &row)) return false;
  DeliverMessage(
      dialog, {kNotify, At(dialog, index).id, right ? kRowRightDoubleClick : kRowDoubleClick, row});
  return true;
}

bool MoveRowFocus(Dialog* dialog, int index, int row, bool select) {
  Control& list = At(dialog, index);
  if (list.kind != kListView || !Live(dialog, index)) return false;
  if (row < 0 || size_t(row) >= list.rows.size()) return false;
  list.focusedRow = row;
  if (select) list.selectedRow = row;
  Changed(dialog, &list, Change::kRowSelection);
  return true;
}

bool FireTimer(Dialog* dialog, int timerId) {
  auto running = std::find_if(dialog->timers.begin(), dialog->timers.end(),
                              [&](const DialogTimer& t) { return t.id == timerId; });
  if (running == dialog->timers.end()) return false;
  DeliverMessage(dialog, {kTimer, timerId});
  return true;
}

void AdvanceClock(Dialog* dialog, uint64_t ms) {
  uint64_t target = dialog->clockMs + ms;
  while (!dialog->ended) {
    // The earliest timer due by the target; handlers may set or kill timers.
    auto due = std::min_element(
        dialog->timers.begin(), dialog->timers.end(),
        [](const DialogTimer& a, const DialogTimer& b) { return a.dueMs < b.dueMs; });
    if (due == dialog->timers.end() || due->dueMs > target) break;
    dialog->clockMs = due->dueMs;
    due->dueMs += due->periodMs;
    DeliverMessage(dialog, {kTimer, due->id});
  }
  dialog->clockMs = target;
}

int RowsPerPage(const Control& list) {
  // An 8-point dialog font: a dialog unit is 13/8 pixels high; the report view has
  // a 2-pixel border each side, a 17-pixel header and 14-pixel rows.
  constexpr int kBorder = 2, kHeader = 17, kRow = 14;
  int height = list.source ? list.source->height * 13 / 8 : 0;
  return std::max(1, (height - 2 * kBorder - kHeader) / kRow);
}

}  // namespace ui::input
