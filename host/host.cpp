#include "host.h"

#include <filesystem>
#include <set>
#include <stdexcept>

#include "resources.h"
#include "services.h"
#include "sys/library.h"
#include "sys/paths.h"

namespace host {

static Host* current = nullptr;

// Bounds on what a module may declare; a tree beyond them is refused as corrupt.
static constexpr size_t kMaxElements = 1024;
static constexpr int kMaxTreeDepth = 32;
static constexpr int32_t kMaxTextChars = 4096;
static constexpr int32_t kMaxScaleEntries = 256;

Host* Host::Current() { return current; }

Host::Host(const std::string& simDir) {
  if (current) throw std::runtime_error("a panel host is already running in this process");
  if (!sys::IsDirectory(simDir.c_str()))
    throw std::runtime_error("simulator directory '" + simDir + "' does not exist");
  if (!sys::SetCurrentDirectory(simDir.c_str()))
    throw std::runtime_error("cannot enter simulator directory '" + simDir + "'");
  sys::AddLibraryFolder((sys::CurrentDirectory() + "/Gauges").c_str());
  current = this;
}

Host::~Host() {
  KillAll();
  sys::ClearLibraryFolders();
  current = nullptr;
}

Gauge* Host::GaugeOfHead(const GaugeElement* head) {
  for (auto& g : gauges_)
    if (g->head == head) return g.get();
  return nullptr;
}

Gauge* Host::GaugeOfHeader(const GaugeHeader* header) {
  for (auto& g : gauges_)
    if (g->header == header) return g.get();
  return nullptr;
}

Gauge* Host::FindGauge(const std::string& name) {
  for (auto& g : gauges_)
    if (g->name == name || g->file == name) return g.get();
  return nullptr;
}

void Host::RecordKeyEvent(uint32_t eventId, uint32_t value) {
  keyEvents_.push_back({updateCount_, calling_ ? calling_->name : std::string(), eventId, value});
  sim_.ApplyKeyEvent(eventId, value);
  if (keyObserver_) keyObserver_(keyEvents_.back());
}

void Host::CallGauge(Gauge& gauge, const std::function<void()>& call) {
  Gauge* outer = calling_;
  calling_ = &gauge;
  ++callDepth_;
  call();
  --callDepth_;
  calling_ = outer;
}

// Collects the element tree in drawing order, checking every record on the way.
static void CollectElements(const std::string& module, GaugeElement* element, int depth,
                            std::vector<GaugeElement*>& out, std::set<GaugeElement*>& seen) {
  auto refuse = [&](const std::string& why) {
    throw std::runtime_error(module + ": element " + std::to_string(out.size()) + ": " + why);
  };
  if (depth > kMaxTreeDepth) refuse("element tree nested too deeply");
  if (out.size() >= kMaxElements) refuse("too many elements");
  if (!seen.insert(element).second) refuse("element appears twice in the tree");
  if (element->kind < kImageElement || element->kind > kSliderElement)
    refuse("unknown element kind " + std::to_string(element->kind));
  if (element->kind == kStringElement) {
    auto* s = reinterpret_cast<StringElement*>(element);
    if (s->maxChars < 0 || s->maxChars > kMaxTextChars) refuse("text field length out of range");
  }
  if (element->kind == kNeedleElement) {
    auto* n = reinterpret_cast<NeedleElement*>(element);
    if (n->scaleCount < 0 || n->scaleCount > kMaxScaleEntries || (n->scaleCount > 0 && !n->scale))
      refuse("needle scale table unusable");
  }
  out.push_back(element);
  if (!element->children) return;
  for (size_t i = 0; element->children[i]; ++i) {
    if (i >= kMaxElements) refuse("child list has no end");
    CollectElements(module, element->children[i], depth + 1, out, seen);
  }
}

Gauge& Host::Load(const std::string& gaugeFile, int x, int y, uint32_t installArgument) {
  auto refuse = [&](const std::string& why) -> void {
    throw std::runtime_error(gaugeFile + ": " + why);
  };
  for (auto& g : gauges_)
    if (g->file == gaugeFile) refuse("already loaded on this panel");
  sys::Library* library = sys::LoadLibraryByName(gaugeFile.c_str());
  if (!library) refuse("cannot load: " + sys::LastLibraryError());
  auto gauge = std::make_unique<Gauge>();
  gauge->file = gaugeFile;
  gauge->library = library;
  gauge->x = x;
  gauge->y = y;
  try {
    gauge->linkage = static_cast<GaugeLinkage*>(sys::LibrarySymbol(library, "Linkage"));
    gauge->imports = static_cast<GaugeImportTable*>(sys::LibrarySymbol(library, "ImportTable"));
    if (!gauge->linkage) refuse("no Linkage export");
    if (!gauge->imports) refuse("no ImportTable export");
    if (gauge->linkage->moduleId != kLinkageModuleId) refuse("Linkage has the wrong module id");
    if (gauge->imports->servicesId != kImportPanelServicesId)
      refuse("ImportTable has the wrong id");
    GaugeHeader* header = gauge->linkage->header;
    if (!header) refuse("Linkage names no gauge header");
    if (header->magic != kGaugeHeaderMagic) refuse("gauge header has the wrong magic");
    if (!header->name) refuse("gauge header has no name");
    if (!header->GaugeQuery || !header->GaugeInstall || !header->GaugeInit ||
        !header->GaugeUpdate || !header->GaugeGenerate || !header->GaugeDraw || !header->GaugeKill)
      refuse("gauge header lacks a routine");
    if (!header->headCell || !*header->headCell) refuse("gauge header has no head element");
    gauge->header = header;
    gauge->name = header->name;
    gauge->head = *header->headCell;
    if (gauge->head->kind != kImageElement) refuse("head element is not an image element");
    std::set<GaugeElement*> seen;
    CollectElements(gaugeFile, gauge->head, 0, gauge->elements, seen);
    std::string why;
    if (!LoadModuleBitmaps(sys::LibraryPath(library), &gauge->bitmaps, &why)) refuse(why);
    for (const auto& [id, bitmap] : gauge->bitmaps) gauge->sprites[id] = MakeSprite(bitmap);
  } catch (...) {
    sys::FreeLibraryByHandle(library);
    throw;
  }
  if (auto head = gauge->bitmaps.find(gauge->head->bitmapId); head != gauge->bitmaps.end()) {
    gauge->width = gauge->head->x + head->second.width();
    gauge->height = gauge->head->y + head->second.height();
  }
  gauge->imports->services = HostServices();
  Gauge& g = *gauge;
  gauges_.push_back(std::move(gauge));
  CallGauge(g, [&] {
    g.header->GaugeQuery();
    g.header->GaugeInstall(installArgument);
    g.header->GaugeInit();
  });
  return g;
}

void Host::Update() {
  // A gauge routine may block (a modal dialog inside a mouse routine); while it
  // runs, the panel and the simulator stand still.
  if (updating_ || callDepth_ > 0) return;
  updating_ = true;
  ++updateCount_;
  for (auto& g : gauges_) {
    CallGauge(*g, [&] {
      g->header->GaugeUpdate();
      g->header->GaugeGenerate(0);
      g->header->GaugeDraw();
    });
  }
  if (flight_) flight_->Step(timeRate_ / kUpdatesPerSecond);
  updating_ = false;
  if (afterUpdate_) afterUpdate_(*this);
}

FlightModel& Host::EnableFlightModel() {
  if (!flight_) flight_ = std::make_unique<FlightModel>(sim_);
  return *flight_;
}

void Host::Kill(Gauge& gauge) {
  for (auto it = gauges_.begin(); it != gauges_.end(); ++it) {
    if (it->get() != &gauge) continue;
    CallGauge(gauge, [&] { gauge.header->GaugeKill(); });
    gauge.killed = true;
    gauge.imports->services = nullptr;
    sys::FreeLibraryByHandle(gauge.library);
    gauges_.erase(it);
    return;
  }
}

void Host::KillAll() {
  while (!gauges_.empty()) Kill(*gauges_.back());
}

bool Host::Click(Gauge& gauge, int x, int y) {
  if (!gauge.mouseRegistered || !gauge.mouseRects) return false;
  for (size_t i = 0; i < gauge.mouseRectCount; ++i) {
    const MouseRect& r = gauge.mouseRects[i];
    if (r.kind != kMouseActive || !r.routine) continue;
    if (x < r.x || y < r.y || x >= r.x + r.width || y >= r.y + r.height) continue;
    CallGauge(gauge, [&] { r.routine(0, 0); });
    return true;
  }
  return false;
}

bool Host::ClickPanel(int x, int y) {
  for (auto it = gauges_.rbegin(); it != gauges_.rend(); ++it) {
    Gauge& g = **it;
    if (x >= g.x && y >= g.y && x < g.x + g.width && y < g.y + g.height)
      return Click(g, x - g.x, y - g.y);
  }
  return false;
}

}  // namespace host
