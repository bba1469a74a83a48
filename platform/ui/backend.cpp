// Which backend serves the process, the layer's logs and the problem reports.
#include "ui/backend.h"

#include <cstdio>

#include "ui/layer_state.h"

namespace ui {

Backend& HeadlessBackend();  // headless.cpp

static Backend* installed = nullptr;

Backend& CurrentBackend() { return installed ? *installed : HeadlessBackend(); }

void SetBackend(Backend* backend) { installed = backend; }

LayerState& State() {
  static LayerState state;
  return state;
}

void ReportProblem(const std::string& text) {
  LayerState& state = State();
  state.problems.push_back(text);
  if (state.problemHandler) {
    state.problemHandler(text);
  } else {
    std::fprintf(stderr, "dialog layer: %s\n", text.c_str());
  }
}

namespace headless {

void SetProblemHandler(std::function<void(const std::string&)> handler) {
  State().problemHandler = std::move(handler);
}

const std::vector<std::string>& Problems() { return State().problems; }
const std::vector<MessageBoxRecord>& MessageBoxes() { return State().messageBoxes; }
const std::vector<BeepKind>& Beeps() { return State().beeps; }
const std::vector<FileDialogRecord>& FileDialogs() { return State().fileDialogs; }

}  // namespace headless
}  // namespace ui
