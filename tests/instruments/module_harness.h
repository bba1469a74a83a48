// Loads an instrument module the way the panel host does, without the host: by
// name from the simulator directory's Gauges/ folder, its PanelServices cell
// filled with the recording table before any routine runs, and its records
// reached only through the exports (Linkage -> header -> head -> children).
//
// The recording table is extended so that the mouse-rectangle services also log
// the gauge header and the cell they are handed, and calls can be described as
// short texts ("InstallElements(head, 5)") for order checks.
#pragma once

#include <string>
#include <vector>

#include "panel/panel_services.h"
#include "support/recording_services.h"

namespace sys {
struct Library;
}

namespace instruments_test {

// The simulator directory the build staged (environment TERVANE_SIM_DIR).
std::string SimDir();

// One loaded module; unloaded again when it goes out of scope, so the next load
// starts from the module's state at load.
class ModuleUnderTest {
 public:
  explicit ModuleUnderTest(const char* gaugeFile);
  ~ModuleUnderTest();
  ModuleUnderTest(const ModuleUnderTest&) = delete;
  ModuleUnderTest& operator=(const ModuleUnderTest&) = delete;

  bool ok() const { return header != nullptr; }

  // Query, install (argument 0) and init, as the host does at load.
  void Start();

  // Names the calls logged since the last Clear() of the recording table:
  // "head" for the head element, "rects" for the rectangle list, "header" for the
  // gauge header, "word15+4" for the head's word 15 plus 4 bytes, and "rN=0xT"
  // for the variable record bound N-th (token T). Integer arguments follow.
  std::vector<std::string> DescribeCalls();

  // The variable records in the order the module bound them.
  const std::vector<ModuleVar*>& Bound() const { return bound_; }

  sys::Library* library = nullptr;
  GaugeLinkage* linkage = nullptr;
  GaugeImportTable* imports = nullptr;
  GaugeHeader* header = nullptr;
  GaugeElement* head = nullptr;
  testsupport::RecordingServices* services = nullptr;

 private:
  void NoteBindings();
  std::string Subject(const void* subject);

  std::vector<ModuleVar*> bound_;
  const MouseRect* rects_ = nullptr;
  uint32_t word15Cell_[4] = {};  // what the head's word 15 points at, as the host's own
};

// The defined dynamic symbols of a shared object (nm -D --defined-only), less the
// sanitizer's own markers.
std::vector<std::string> DefinedExports(const std::string& path);

}  // namespace instruments_test
