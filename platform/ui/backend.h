// The seam between the dialog layer and what shows it. One backend serves the whole
// process: the headless backend (the default; ui/headless.h) or a GUI backend that a
// program installs (the Qt one lives in platform/ui_qt). Backends receive every
// change of the dialog model and provide the modal pieces: the dialog's loop,
// message boxes, file dialogs, the beep's sound.
#pragma once

#include <string>

#include "ui/dialog_model.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"

namespace ui {

struct MessageBoxRequest {
  Dialog* owner;
  std::string text;     // Windows-1252
  std::string caption;  // Windows-1252
  unsigned flags;
};

struct FileDialogRequest {
  bool save;
  FileDialogSettings* settings;
  std::string folder;        // where the dialog opens
  std::string proposedName;  // file name shown, without folder
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  // Makes a window for a new dialog whose model is complete but before kInit.
  // False when it cannot be shown; the dialog then fails with -1.
  virtual bool CreateDialogWindow(Dialog* dialog) = 0;
  // Shows the dialog and runs until dialog->ended. Called only when kInit did not end it.
  virtual void RunDialogLoop(Dialog* dialog) = 0;
  virtual void DestroyDialogWindow(Dialog* dialog) = 0;

  virtual void DialogChanged(Dialog* dialog, int index, Change change, int row, int column) = 0;
  virtual void DialogEnded(Dialog* dialog) = 0;                // EndDialog was called
  virtual void TimerChanged(Dialog* dialog, int timerId) = 0;  // set, reset or killed

  // Returns the answer, or 0 when the box cannot be shown.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  // Returns the chosen file's full path, or "" when cancelled.
  virtual std::string ShowFileDialog(const FileDialogRequest& request) = 0;
  virtual void SoundBeep(BeepKind kind) = 0;
};

// The backend in use; the headless one unless a program installed another.
Backend& CurrentBackend();
// Installs `backend` (nullptr: back to headless). Only between dialogs.
void SetBackend(Backend* backend);

}  // namespace ui
