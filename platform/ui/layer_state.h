// The dialog layer's process-wide state that is not a dialog: the logs every
// backend writes and the problem handler. Internal to platform/ui.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/headless.h"

namespace ui {

struct LayerState {
  std::vector<headless::MessageBoxRecord> messageBoxes;
  std::vector<BeepKind> beeps;
  std::vector<headless::FileDialogRecord> fileDialogs;
  std::vector<std::string> problems;
  std::function<void(const std::string&)> problemHandler;
};

LayerState& State();

}  // namespace ui
