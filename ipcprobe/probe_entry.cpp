// IpcProbe's entry: one instance per user at a time, held by the named lock
// "IpcProbe 1.10" for the life of the dialog (the system drops it if the process
// dies); a second instance says so and leaves.
#include "ipcprobe.h"
#include "sys/instance_lock.h"
#include "ui/message_box.h"

int RunIpcProbe() {
  sys::InstanceLock* lock = sys::AcquireInstanceLock(kProbeLockName);
  if (!lock) {
    ui::Beep(ui::kBeepExclamation);
    ui::MessageBox(nullptr, "This application is already running !!!", "ERROR from IpcProbe",
                   ui::kMbOk | ui::kMbIconExclamation);
    return kExitAlreadyRunning;
  }
  int result = ui::RunModalDialog(kProbeDialog, ProbeDialogProc, nullptr);
  sys::ReleaseInstanceLock(lock);
  return result == kDialogClosed ? kExitNormal : kExitNoDialog;
}
