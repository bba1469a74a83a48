// A PanelServices table for unit tests of module code without the host: every
// call is recorded by name, variables are served from a map of token to value,
// and element services do nothing else. Tests that need the element tree run,
// drawn or clicked use the real host instead.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "panel/panel_services.h"

namespace testsupport {

struct RecordedCall {
  std::string service;  // e.g. "BindVariable"
  const void* subject;  // head element, rectangle list or variable record
  uint64_t a, b;        // further arguments (token, event id, value, ...)
};

struct RecordingServices {
  PanelServices table{};
  std::vector<RecordedCall> calls;
  std::map<uint32_t, double> variables;       // token -> value served by ReadVariable
  std::map<uint32_t, uint32_t> bcdVariables;  // token -> BCD value
  std::vector<std::pair<uint32_t, uint32_t>> keyEvents;

  std::vector<std::string> ServiceNames() const;  // the calls' names in order
  void Clear() {
    calls.clear();
    keyEvents.clear();
  }
};

// The one recording table of the process; Reset() empties it and returns it.
RecordingServices& Recording();
RecordingServices& ResetRecording();

}  // namespace testsupport
