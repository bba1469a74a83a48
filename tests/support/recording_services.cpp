#include "recording_services.h"

namespace testsupport {

static RecordingServices recording;

static int32_t Record(const char* service, const void* subject, uint64_t a = 0, uint64_t b = 0) {
  recording.calls.push_back({service, subject, a, b});
  return 1;
}

static int32_t Redraw(GaugeElement* head) { return Record("RedrawElements", head); }
static int32_t Query(GaugeElement* head) { return Record("QueryElements", head); }
static int32_t Install(GaugeElement* head, uint32_t arg) {
  return Record("InstallElements", head, arg);
}
static int32_t Init(GaugeElement* head) { return Record("InitElements", head); }
static int32_t Update(GaugeElement* head) { return Record("UpdateElements", head); }
static int32_t Generate(GaugeElement* head, uint32_t arg) {
  return Record("GenerateElements", head, arg);
}
static int32_t Plot(GaugeElement* head) { return Record("PlotElements", head); }
static int32_t Kill(GaugeElement* head) { return Record("KillElements", head); }
static int32_t InstallRects(MouseRect* list, GaugeHeader*, void*) {
  return Record("InstallMouseRects", list);
}
static int32_t RegisterRects(MouseRect* list, GaugeHeader*) {
  return Record("RegisterMouseRects", list);
}
static int32_t UnregisterRects(MouseRect* list, GaugeHeader*) {
  return Record("UnregisterMouseRects", list);
}

static int32_t SendKey(uint32_t id, uint32_t value) {
  recording.keyEvents.emplace_back(id, value);
  return Record("SendKeyEvent", nullptr, id, value);
}

static int32_t Bind(ModuleVar* var) { return Record("BindVariable", var, var->token); }

static int32_t Read(ModuleVar* var) {
  if (auto it = recording.bcdVariables.find(var->token); it != recording.bcdVariables.end()) {
    var->value.real = 0;
    var->value.bcd = it->second;
  } else {
    auto value = recording.variables.find(var->token);
    var->value.real = value == recording.variables.end() ? 0.0 : value->second;
  }
  return Record("ReadVariable", var, var->token);
}

std::vector<std::string> RecordingServices::ServiceNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls) names.push_back(call.service);
  return names;
}

RecordingServices& Recording() { return recording; }

RecordingServices& ResetRecording() {
  recording = RecordingServices{};
  PanelServices& t = recording.table;
  t.RedrawElements = Redraw;
  t.QueryElements = Query;
  t.InstallElements = Install;
  t.InitElements = Init;
  t.UpdateElements = Update;
  t.GenerateElements = Generate;
  t.PlotElements = Plot;
  t.KillElements = Kill;
  t.InstallMouseRects = InstallRects;
  t.RegisterMouseRects = RegisterRects;
  t.UnregisterMouseRects = UnregisterRects;
  t.SendKeyEvent = SendKey;
  t.BindVariable = Bind;
  t.ReadVariable = Read;
  return recording;
}

}  // namespace testsupport
