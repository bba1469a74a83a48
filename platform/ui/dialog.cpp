// Modal dialogs and the control operations of dialog procedures: the model is
// changed here and the backend is told; messages reach the procedure through
// DeliverMessage.
#include "ui/dialog.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ui/backend.h"
#include "ui/dialog_model.h"

namespace ui {

int FindControl(const Dialog* dialog, int id) {
  if (!dialog || id == kNoId) return -1;
  for (size_t i = 0; i < dialog->controls.size(); ++i) {
    if (dialog->controls[i].id == id) return int(i);
  }
  return -1;
}

Control* LookupControl(Dialog* dialog, int id, const char* operation) {
  if (!dialog) {
    ReportProblem(std::string(operation) + ": no dialog");
    return nullptr;
  }
  int index = FindControl(dialog, id);
  if (index < 0) {
    ReportProblem(std::string(operation) + ": dialog " + dialog->source->name + " has no control " +
                  std::to_string(id));
    return nullptr;
  }
  return &dialog->controls[size_t(index)];
}

void Changed(Dialog* dialog, const Control* control, Change change, int row, int column) {
  int index = control ? int(control - dialog->controls.data()) : -1;
  CurrentBackend().DialogChanged(dialog, index, change, row, column);
}

bool DeliverMessage(Dialog* dialog, const Message& message) {
  return dialog->proc && dialog->proc(dialog, message);
}

void MoveFocus(Dialog* dialog, int index, FocusSelection selection) {
  int old = dialog->focus;
  if (index >= 0 && selection != FocusSelection::kKeep) {
    Control& c = dialog->controls[size_t(index)];
    if (c.kind == kEdit) {
      c.selEnd = int(c.text.size());
      c.selStart = selection == FocusSelection::kSelectAll ? 0 : c.selEnd;
      Changed(dialog, &c, Change::kTextSelection);
    }
  }
  if (old == index) return;
  dialog->focus = index;
  CurrentBackend().DialogChanged(dialog, index, Change::kFocus, -1, -1);
  if (old >= 0 && dialog->controls[size_t(old)].kind == kEdit) {
    DeliverMessage(dialog, {kCommand, dialog->controls[size_t(old)].id, kLostFocus});
  }
}

bool ControlTakesFocus(const Control& c) {
  return c.kind != kGroupBox && c.kind != kStaticText && c.kind != kIconStatic;
}

int RunModalDialog(const DialogTemplate& dialogTemplate, DialogProc proc, Dialog* owner) {
  auto dialog = std::make_unique<Dialog>();
  dialog->source = &dialogTemplate;
  dialog->proc = proc;
  dialog->owner = owner;
  dialog->title = dialogTemplate.title ? dialogTemplate.title : "";
  for (int i = 0; i < dialogTemplate.controlCount; ++i) {
    const ControlTemplate& t = dialogTemplate.controls[i];
    Control c;
    c.source = &t;
    c.id = t.id;
    c.kind = t.kind;
    c.style = t.style;
    c.text = t.text ? t.text : "";
    c.visible = !(t.style & kHidden);
    c.enabled = !(t.style & kDisabled);
    dialog->controls.push_back(std::move(c));
  }

  Backend& backend = CurrentBackend();
  if (!backend.CreateDialogWindow(dialog.get())) return -1;

  DeliverMessage(dialog.get(), {kInit});
  if (!dialog->ended && dialog->focus < 0) {
    for (size_t i = 0; i < dialog->controls.size(); ++i) {
      const Control& c = dialog->controls[i];
      if ((c.style & kTabStop) && c.visible && c.enabled && ControlTakesFocus(c)) {
        MoveFocus(dialog.get(), int(i), FocusSelection::kSelectAll);
        break;
      }
    }
  }
  if (!dialog->ended) backend.RunDialogLoop(dialog.get());

  DeliverMessage(dialog.get(), {kDestroy});
  dialog->timers.clear();
  backend.DestroyDialogWindow(dialog.get());
  return dialog->result;
}

bool EndDialog(Dialog* dialog, int result) {
  if (!dialog) return false;
  dialog->result = result;
  if (!dialog->ended) {
    dialog->ended = true;
    CurrentBackend().DialogEnded(dialog);
  }
  return true;
}

const char* DialogName(Dialog* dialog) { return dialog ? dialog->source->name : ""; }

bool SetDialogTitle(Dialog* dialog, const char* title) {
  if (!dialog) return false;
  dialog->title = title ? title : "";
  CurrentBackend().DialogChanged(dialog, -1, Change::kTitle, -1, -1);
  return true;
}

std::string GetDialogTitle(Dialog* dialog) { return dialog ? dialog->title : std::string(); }

bool SetDialogIcon(Dialog* dialog, const Icon* icon) {
  if (!dialog) return false;
  dialog->icon = icon;
  CurrentBackend().DialogChanged(dialog, -1, Change::kIcon, -1, -1);
  return true;
}

bool SetItemIcon(Dialog* dialog, int id, const Icon* icon) {
  Control* c = LookupControl(dialog, id, "SetItemIcon");
  if (!c) return false;
  c->icon = icon;
  Changed(dialog, c, Change::kIcon);
  return true;
}

bool SetItemText(Dialog* dialog, int id, const char* text) {
  Control* c = LookupControl(dialog, id, "SetItemText");
  if (!c) return false;
  c->text = text ? text : "";
  c->selStart = c->selEnd = 0;
  Changed(dialog, c, Change::kText);
  return true;
}

std::string GetItemText(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "GetItemText");
  return c ? c->text : std::string();
}

int GetItemText(Dialog* dialog, int id, char* buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  buffer[0] = '\0';
  Control* c = LookupControl(dialog, id, "GetItemText");
  if (!c) return 0;
  size_t n = std::min(c->text.size(), size_t(bufferSize - 1));
  std::memcpy(buffer, c->text.data(), n);
  buffer[n] = '\0';
  return int(n);
}

bool EnableItem(Dialog* dialog, int id, bool enable) {
  Control* c = LookupControl(dialog, id, "EnableItem");
  if (!c) return false;
  if (c->enabled != enable) {
    c->enabled = enable;
    Changed(dialog, c, Change::kEnabled);
  }
  return true;
}

bool IsItemEnabled(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "IsItemEnabled");
  return c && c->enabled;
}

bool ShowItem(Dialog* dialog, int id, bool show) {
  Control* c = LookupControl(dialog, id, "ShowItem");
  if (!c) return false;
  if (c->visible != show) {
    c->visible = show;
    Changed(dialog, c, Change::kVisible);
  }
  return true;
}

bool IsItemVisible(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "IsItemVisible");
  return c && c->visible;
}

bool CheckItem(Dialog* dialog, int id, bool checked) {
  Control* c = LookupControl(dialog, id, "CheckItem");
  if (!c) return false;
  if (c->kind != kCheckBox && c->kind != kAutoRadioButton) {
    ReportProblem(std::string("CheckItem: control ") + std::to_string(id) + " of " +
                  dialog->source->name + " cannot be checked");
    return false;
  }
  if (c->checked != checked) {
    c->checked = checked;
    Changed(dialog, c, Change::kChecked);
  }
  return true;
}

bool IsItemChecked(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "IsItemChecked");
  return c && c->checked;
}

bool SetFocusItem(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "SetFocusItem");
  if (!c) return false;
  if (!c->visible || !c->enabled || !ControlTakesFocus(*c)) return false;
  MoveFocus(dialog, int(c - dialog->controls.data()), FocusSelection::kKeep);
  return true;
}

int FocusedItem(Dialog* dialog) {
  if (!dialog || dialog->focus < 0) return 0;
  return dialog->controls[size_t(dialog->focus)].id;
}

bool SelectAllText(Dialog* dialog, int id) {
  Control* c = LookupControl(dialog, id, "SelectAllText");
  if (!c || c->kind != kEdit) return false;
  c->selStart = 0;
  c->selEnd = int(c->text.size());
  Changed(dialog, c, Change::kTextSelection);
  return true;
}

bool LimitText(Dialog* dialog, int id, int maxChars) {
  Control* c = LookupControl(dialog, id, "LimitText");
  if (!c || c->kind != kEdit) return false;
  c->limit = maxChars > 0 ? maxChars : 30000;  // 0 lifts the limit, as on the original
  Changed(dialog, c, Change::kLimit);
  return true;
}

bool RepaintNow(Dialog* dialog, int id) {
  if (!dialog) return false;
  if (id == 0) {
    CurrentBackend().DialogChanged(dialog, -1, Change::kRepaint, -1, -1);
    return true;
  }
  Control* c = LookupControl(dialog, id, "RepaintNow");
  if (!c) return false;
  Changed(dialog, c, Change::kRepaint);
  return true;
}

bool SendCommand(Dialog* dialog, int id, CommandCode code) {
  if (!dialog) return false;
  return DeliverMessage(dialog, {kCommand, id, code});
}

bool SetTimer(Dialog* dialog, int timerId, unsigned periodMs) {
  if (!dialog || periodMs == 0) return false;
  auto it = std::find_if(dialog->timers.begin(), dialog->timers.end(),
                         [&](const DialogTimer& t) { return t.id == timerId; });
  DialogTimer timer{timerId, periodMs, dialog->clockMs + periodMs};
  if (it != dialog->timers.end()) {
    *it = timer;
  } else {
    dialog->timers.push_back(timer);
  }
  CurrentBackend().TimerChanged(dialog, timerId);
  return true;
}

bool KillTimer(Dialog* dialog, int timerId) {
  if (!dialog) return false;
  auto it = std::find_if(dialog->timers.begin(), dialog->timers.end(),
                         [&](const DialogTimer& t) { return t.id == timerId; });
  if (it == dialog->timers.end()) return false;
  dialog->timers.erase(it);
  CurrentBackend().TimerChanged(dialog, timerId);
  return true;
}

}  // namespace ui
