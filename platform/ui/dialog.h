// Modal dialogs run by a dialog procedure, and the operations a procedure performs on
// its controls by id. This is the whole surface the data manager and IpcProbe use;
// list views, message boxes and file dialogs have headers of their own.
//
// Messages a procedure receives, in the order a dialog lives through them:
//   kInit     once, before the dialog is shown; focus goes afterwards to the first
//             tab stop unless the procedure set it
//   kCommand  a control acted: id = control id, code = kClicked or kLostFocus.
//             Escape sends id kIdCancel; Enter sends the focused push button's id,
//             else the default push button's, else kIdOk. Nothing ends the dialog
//             unless the procedure calls EndDialog.
//   kNotify   a list view was clicked: id = list id, code = a NotifyCode, row = the
//             row under the pointer or -1
//   kTimer    id = timer id
//   kClose    the window's close box (or the system's close); when not handled it
//             becomes a kCommand with id kIdCancel
//   kDestroy  once, as the dialog goes away; its timers stop afterwards
// The procedure returns true when it handled the message.
//
// Texts are Windows-1252 bytes. Every operation on a control id that the dialog
// does not have fails (returns false / empty) and is reported as a problem
// (ui/headless.h), since it is always a programming error.
#pragma once

#include <string>

#include "ui/dialog_template.h"

namespace ui {

struct Dialog;  // one open dialog; valid from kInit to kDestroy

enum MessageKind { kInit, kCommand, kNotify, kTimer, kClose, kDestroy };

enum CommandCode {
  kClicked,    // a button was clicked (or Enter/Escape stood for one)
  kLostFocus,  // an edit lost the keyboard focus
};

enum NotifyCode {
  kRowClick,             // left click in a list view
  kRowDoubleClick,       // left double-click (after its kRowClick)
  kRowRightClick,        // right click
  kRowRightDoubleClick,  // right double-click (after its kRowRightClick)
};

// Command ids of Enter and Escape, and the answers of message boxes.
enum StandardId {
  kIdOk = 1,
  kIdCancel = 2,
  kIdAbort = 3,
  kIdRetry = 4,
  kIdIgnore = 5,
  kIdYes = 6,
  kIdNo = 7
};

struct Message {
  MessageKind kind;
  int id = 0;    // control id (kCommand, kNotify) or timer id (kTimer)
  int code = 0;  // CommandCode (kCommand) or NotifyCode (kNotify)
  int row = -1;  // kNotify: row under the pointer, -1 for none
};

using DialogProc = bool (*)(Dialog* dialog, const Message& message);

// Runs a dialog modally: creates it from the template, sends kInit, runs until the
// procedure calls EndDialog, sends kDestroy. `owner` is the dialog that owns it
// (nullptr: none, the application's active window). Returns the EndDialog result,
// or -1 when the dialog cannot be created (no backend able to show it, or a
// headless run without a script for it); the procedure is then never called.
int RunModalDialog(const DialogTemplate& dialogTemplate, DialogProc proc, Dialog* owner);

// Ends the dialog with `result` once the current message has been handled.
bool EndDialog(Dialog* dialog, int result);

// The template name of a dialog ("MainDialog").
const char* DialogName(Dialog* dialog);

bool SetDialogTitle(Dialog* dialog, const char* title);
std::string GetDialogTitle(Dialog* dialog);

// An icon: `width` × `height` pixels, 0xAARRGGBB, rows top down. Kept by pointer.
struct Icon {
  int width, height;
  const uint32_t* pixels;
};
bool SetDialogIcon(Dialog* dialog, const Icon* icon);
bool SetItemIcon(Dialog* dialog, int id, const Icon* icon);  // kIconStatic controls

// Texts. Setting a text is not bound by the edit's limit (as on the original
// platform; the limit bounds typing). The buffer form copies at most
// bufferSize - 1 bytes and a NUL, and returns the number copied.
bool SetItemText(Dialog* dialog, int id, const char* text);
std::string GetItemText(Dialog* dialog, int id);
int GetItemText(Dialog* dialog, int id, char* buffer, int bufferSize);

bool EnableItem(Dialog* dialog, int id, bool enable);
bool IsItemEnabled(Dialog* dialog, int id);
bool ShowItem(Dialog* dialog, int id, bool show);
bool IsItemVisible(Dialog* dialog, int id);
bool CheckItem(Dialog* dialog, int id, bool checked);  // check boxes and radio buttons
bool IsItemChecked(Dialog* dialog, int id);

// Moves the keyboard focus. The edit that loses it sends kLostFocus (from inside this
// call). Fails for a hidden or disabled control.
bool SetFocusItem(Dialog* dialog, int id);
int FocusedItem(Dialog* dialog);  // control id, 0 when no control has the focus

bool SelectAllText(Dialog* dialog, int id);            // edits
bool LimitText(Dialog* dialog, int id, int maxChars);  // edits; typing stops there
bool RepaintNow(Dialog* dialog, int id);               // paints the control (0: the dialog) at once

// Sends the procedure a command as if the control had sent it; returns whether the
// procedure handled it.
bool SendCommand(Dialog* dialog, int id, CommandCode code = kClicked);

// Timers deliver kTimer every `periodMs` while the dialog runs. Setting an id that
// runs restarts it with the new period. SetTimer fails for a period of 0.
bool SetTimer(Dialog* dialog, int timerId, unsigned periodMs);
bool KillTimer(Dialog* dialog, int timerId);

}  // namespace ui
