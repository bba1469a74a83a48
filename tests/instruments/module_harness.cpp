// Loading an instrument module as the host would, with the recording services.
#include "module_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "sys/library.h"

namespace instruments_test {

using testsupport::Recording;

std::string SimDir() {
  const char* dir = std::getenv("TERVANE_SIM_DIR");
  return dir ? dir : "";
}

// The service table has no context argument: these belong to the module being
// driven (one at a time).
static PanelServices recordingTable;  // the plain recording entries, before ours
static uint32_t* word15Cell = nullptr;

// InstallElements also does what the host does for the head at install: it points
// word 15 at a cell of its own.
static int32_t InstallElements(GaugeElement* head, uint32_t argument) {
  if (head && head->kind == kImageElement)
    reinterpret_cast<ImageElement*>(head)->word15 = word15Cell;
  return recordingTable.InstallElements(head, argument);
}

// The rectangle services log the header and the cell they are handed as well.
static int32_t LogRects(const char* service, MouseRect* list, GaugeHeader* header, void* cell) {
  Recording().calls.push_back(
      {service, list, reinterpret_cast<uintptr_t>(header), reinterpret_cast<uintptr_t>(cell)});
  return 1;
}
static int32_t InstallMouseRects(MouseRect* list, GaugeHeader* header, void* cell) {
  return LogRects("InstallMouseRects", list, header, cell);
}
static int32_t RegisterMouseRects(MouseRect* list, GaugeHeader* header) {
  return LogRects("RegisterMouseRects", list, header, nullptr);
}
static int32_t UnregisterMouseRects(MouseRect* list, GaugeHeader* header) {
  return LogRects("UnregisterMouseRects", list, header, nullptr);
}

ModuleUnderTest::ModuleUnderTest(const char* gaugeFile) {
  sys::AddLibraryFolder((SimDir() + "/Gauges").c_str());
  library = sys::LoadLibraryByName(gaugeFile);
  if (!library) {
    ADD_FAILURE() << gaugeFile << ": " << sys::LastLibraryError();
    return;
  }
  linkage = static_cast<GaugeLinkage*>(sys::LibrarySymbol(library, "Linkage"));
  imports = static_cast<GaugeImportTable*>(sys::LibrarySymbol(library, "ImportTable"));
  if (!linkage || !imports || !linkage->header || !linkage->header->headCell) {
    ADD_FAILURE() << gaugeFile << ": Linkage, ImportTable or the gauge header is missing";
    return;
  }
  services = &testsupport::ResetRecording();
  recordingTable = services->table;
  services->table.InstallElements = InstallElements;
  services->table.InstallMouseRects = InstallMouseRects;
  services->table.RegisterMouseRects = RegisterMouseRects;
  services->table.UnregisterMouseRects = UnregisterMouseRects;
  imports->services = &services->table;  // before any routine runs
  word15Cell = word15Cell_;
  header = linkage->header;
  head = *header->headCell;
}

ModuleUnderTest::~ModuleUnderTest() {
  if (word15Cell == word15Cell_) word15Cell = nullptr;
  sys::FreeLibraryByHandle(library);
  sys::ClearLibraryFolders();
}

void ModuleUnderTest::Start() {
  header->GaugeQuery();
  header->GaugeInstall(0);
  header->GaugeInit();
  DescribeCalls();  // notes the bindings
  services->Clear();
}

std::string ModuleUnderTest::Subject(const void* subject) {
  if (subject == head) return "head";
  if (subject && subject == rects_) return "rects";
  auto it = std::find(bound_.begin(), bound_.end(), subject);
  if (it != bound_.end()) {
    char name[32];
    std::snprintf(name, sizeof name, "r%d=0x%X", int(it - bound_.begin()) + 1, (*it)->token);
    return name;
  }
  char unknown[32];
  std::snprintf(unknown, sizeof unknown, "?%p", subject);
  return unknown;
}

std::vector<std::string> ModuleUnderTest::DescribeCalls() {
  std::vector<std::string> out;
  for (const auto& call : services->calls) {
    if (call.service == "BindVariable" &&
        std::find(bound_.begin(), bound_.end(), call.subject) == bound_.end())
      bound_.push_back(static_cast<ModuleVar*>(const_cast<void*>(call.subject)));
    if (call.service == "InstallMouseRects" && !rects_)
      rects_ = static_cast<const MouseRect*>(call.subject);

    std::string text = call.service + "(" + Subject(call.subject);
    if (call.service == "InstallElements" || call.service == "GenerateElements") {
      text += ", " + std::to_string(call.a);
    } else if (call.service.find("MouseRects") != std::string::npos) {
      text += call.a == reinterpret_cast<uintptr_t>(header) ? ", header" : ", ?header";
      if (call.service == "InstallMouseRects")
        text += call.b == reinterpret_cast<uintptr_t>(word15Cell_) + 4 ? ", word15+4" : ", ?cell";
    }
    out.push_back(text + ")");
  }
  return out;
}

std::vector<std::string> DefinedExports(const std::string& path) {
  std::vector<std::string> names;
  std::unique_ptr<FILE, int (*)(FILE*)> nm(
      popen(("nm -D --defined-only '" + path + "' 2>/dev/null").c_str(), "r"), pclose);
  char line[512];
  while (nm && std::fgets(line, sizeof line, nm.get())) {
    std::string name = line;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    name = name.substr(name.rfind(' ') + 1);
    if (name.rfind("__odr_asan", 0) != 0) names.push_back(name);  // the sanitizer's markers
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace instruments_test
