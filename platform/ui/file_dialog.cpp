// Open and save file dialogs: where the dialog opens, the log, and the change of
// the current directory that follows a choice.
#include "ui/file_dialog.h"

#include "sys/paths.h"
#include "ui/backend.h"
#include "ui/layer_state.h"

namespace ui {

static bool RunFileDialog(bool save, FileDialogSettings& settings, std::string& path) {
  FileDialogRequest request{save, &settings, settings.initialFolder, path};
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) {
    request.folder = slash == 0 ? "/" : path.substr(0, slash);
    request.proposedName = path.substr(slash + 1);
  }
  if (request.folder.empty()) request.folder = sys::CurrentDirectory();

  LayerState& state = State();
  state.fileDialogs.push_back({save, settings.title ? settings.title : "", request.folder,
                               request.proposedName, settings.options, settings.filterIndex, ""});
  size_t entry = state.fileDialogs.size() - 1;
  std::string chosen = CurrentBackend().ShowFileDialog(request);
  State().fileDialogs[entry].chosen = chosen;
  if (chosen.empty()) return false;

  path = chosen;
  if (!(settings.options & kNoChangeDir)) {
    size_t end = chosen.rfind('/');
    if (end != std::string::npos) sys::SetCurrentDirectory(chosen.substr(0, end ? end : 1).c_str());
  }
  return true;
}

bool GetOpenFileName(FileDialogSettings& settings, std::string& path) {
  return RunFileDialog(false, settings, path);
}

bool GetSaveFileName(FileDialogSettings& settings, std::string& path) {
  return RunFileDialog(true, settings, path);
}

}  // namespace ui
