// Message boxes (caption, text, icon, buttons) and beeps. The flag and answer values
// are those of the original platform, so a Part's "exclamation icon, OK button"
// reads the same here.
#pragma once

#include "ui/dialog.h"

namespace ui {

enum MessageBoxFlags : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbAbortRetryIgnore = 0x2,
  kMbYesNoCancel = 0x3,
  kMbYesNo = 0x4,
  kMbRetryCancel = 0x5,
  kMbButtonsMask = 0xF,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
  kMbIconInformation = 0x40,
  kMbIconMask = 0xF0,
};

// Shows a modal message box owned by `owner` (nullptr: the active window). Returns
// the button chosen (kIdOk .. kIdNo), or 0 when no box could be shown (a headless
// run with no answer for it).
int MessageBox(Dialog* owner, const char* text, const char* caption, unsigned flags);

enum BeepKind : unsigned {
  kBeepDefault = 0x0,  // the system's default sound
  kBeepError = 0x10,
  kBeepQuestion = 0x20,
  kBeepExclamation = 0x30,
  kBeepInformation = 0x40,
  kBeepPlain = 0xFFFFFFFF,  // the simple beep of the speaker
};

// Sounds a beep (GUI backend) and records it in the beep log (ui/headless.h).
void Beep(BeepKind kind);

}  // namespace ui
