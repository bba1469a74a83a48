// The panel services: element trees installed, updated, plotted and killed;
// mouse rectangles installed and registered; simulator variables bound and read;
// key events sent. Each service finds the host through Host::Current() and the
// gauge through the record it is given, and tolerates being called from inside
// another service (text routines call InitElements from inside UpdateElements).
#include "services.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host.h"

namespace host {

static Gauge* GaugeOf(const GaugeElement* head) {
  Host* h = Host::Current();
  return h && head ? h->GaugeOfHead(head) : nullptr;
}

// Copies what a string element's buffer holds now into what the panel shows.
static void ShowText(Gauge& gauge, StringElement& element) {
  ElementState& s = gauge.state[&element.base];
  if (!element.textBuffer || s.textStorage.empty()) return;
  size_t limit = s.textStorage.size() - 1;
  size_t length = strnlen(s.textStorage.data(), limit);
  s.shownText.assign(s.textStorage.data(), length);
  s.shownTextColour = element.textColour;
  s.shownBackgroundColour = element.backgroundColour;
}

static int32_t Redraw(GaugeElement*) { return 1; }
static int32_t Query(GaugeElement*) { return 1; }

static void BindOne(ModuleVar& var) {
  Host* h = Host::Current();
  if (h && var.token != 0) var.storage = &h->Sim().Variable(var.token)->storage;
}

static int32_t ReadVar(ModuleVar* var);

static int32_t Install(GaugeElement* head, uint32_t) {
  Gauge* gauge = GaugeOf(head);
  if (!gauge) return 1;
  for (GaugeElement* e : gauge->elements) {
    ElementState& s = gauge->state[e];
    auto bitmap = gauge->bitmaps.find(e->bitmapId);
    s.bitmap = bitmap == gauge->bitmaps.end() ? nullptr : &bitmap->second;
    auto sprite = gauge->sprites.find(e->bitmapId);
    s.sprite = sprite == gauge->sprites.end() ? nullptr : &sprite->second;
    switch (e->kind) {
      case kStringElement: {
        auto* str = reinterpret_cast<StringElement*>(e);
        s.textStorage.assign(size_t(str->maxChars) + 1, '\0');
        str->textBuffer = s.textStorage.data();
        for (ModuleVar& var : str->sources) BindOne(var);
        break;
      }
      case kNeedleElement:
        BindOne(reinterpret_cast<NeedleElement*>(e)->source);
        break;
      case kSliderElement: {
        auto* slider = reinterpret_cast<SliderElement*>(e);
        BindOne(slider->xSource);
        BindOne(slider->ySource);
        break;
      }
      default:
        break;
    }
  }
  reinterpret_cast<ImageElement*>(head)->word15 = gauge->word15Cell;
  gauge->installed = true;
  return 1;
}

static int32_t Init(GaugeElement* head) {
  Gauge* gauge = GaugeOf(head);
  if (!gauge) return 1;
  for (GaugeElement* e : gauge->elements)
    if (e->kind == kStringElement) ShowText(*gauge, *reinterpret_cast<StringElement*>(e));
  return 1;
}

static void RefreshSource(ModuleVar& var) {
  if (var.token != 0) ReadVar(&var);
}

// A slider's displacement in pixels. A routine may return anything (a NaN from a
// wild simulator value); the bitmap then stays put, and it never leaves a sane
// distance from its place.
static double Displacement(double value, double scale) {
  constexpr double kFarthest = 10000.0;  // pixels; beyond any panel
  double d = value * scale;
  if (!std::isfinite(d)) return 0.0;
  return std::clamp(d, -kFarthest, kFarthest);
}

static int32_t Update(GaugeElement* head) {
  Gauge* gauge = GaugeOf(head);
  if (!gauge) return 1;
  for (GaugeElement* e : gauge->elements) {
    switch (e->kind) {
      case kStringElement: {
        auto* str = reinterpret_cast<StringElement*>(e);
        for (int i = 0; i < 3; ++i) {
          RefreshSource(str->sources[i]);
          if (str->sourceRoutines[i])
            str->sources[i].value.real = str->sourceRoutines[i](&str->sources[i]);
        }
        if (str->textRoutine && str->textBuffer) str->textRoutine(str->sources[0].value.real);
        ShowText(*gauge, *str);
        break;
      }
      case kNeedleElement: {
        auto* needle = reinterpret_cast<NeedleElement*>(e);
        RefreshSource(needle->source);
        double value = needle->source.value.real;
        if (needle->routine) value = needle->routine(value);
        gauge->state[e].needleValue = value;
        break;
      }
      case kSliderElement: {
        auto* slider = reinterpret_cast<SliderElement*>(e);
        RefreshSource(slider->xSource);
        RefreshSource(slider->ySource);
        double x =
            slider->xRoutine ? slider->xRoutine(&slider->xSource) : slider->xSource.value.real;
        double y =
            slider->yRoutine ? slider->yRoutine(&slider->ySource) : slider->ySource.value.real;
        ElementState& s = gauge->state[e];
        s.sliderX = Displacement(x, slider->xScale);
        s.sliderY = Displacement(y, slider->yScale);
        break;
      }
      default:
        break;
    }
  }
  return 1;
}

static int32_t Generate(GaugeElement*, uint32_t) { return 1; }
static int32_t Plot(GaugeElement*) { return 1; }

static int32_t Kill(GaugeElement* head) {
  Gauge* gauge = GaugeOf(head);
  if (!gauge) return 1;
  for (GaugeElement* e : gauge->elements)
    if (e->kind == kStringElement) reinterpret_cast<StringElement*>(e)->textBuffer = nullptr;
  reinterpret_cast<ImageElement*>(head)->word15 = nullptr;
  gauge->state.clear();
  gauge->installed = false;
  return 1;
}

// The longest rectangle list the host accepts; a list without its end is refused.
static constexpr size_t kMaxMouseRects = 256;

static int32_t InstallRects(MouseRect* list, GaugeHeader* header, void* cell) {
  Host* h = Host::Current();
  Gauge* gauge = h ? h->GaugeOfHeader(header) : nullptr;
  if (!gauge || !list) return 1;
  size_t count = 0;
  while (count < kMaxMouseRects && list[count].kind != kMouseListEnd) ++count;
  if (count == kMaxMouseRects) return 1;  // no end entry: ignore the list
  gauge->mouseRects = list;
  gauge->mouseRectCount = count;
  return 1;
}

static int32_t RegisterRects(MouseRect* list, GaugeHeader* header) {
  Host* h = Host::Current();
  Gauge* gauge = h ? h->GaugeOfHeader(header) : nullptr;
  if (gauge && gauge->mouseRects == list) gauge->mouseRegistered = true;
  return 1;
}

static int32_t UnregisterRects(MouseRect* list, GaugeHeader* header) {
  Host* h = Host::Current();
  Gauge* gauge = h ? h->GaugeOfHeader(header) : nullptr;
  if (gauge && gauge->mouseRects == list) gauge->mouseRegistered = false;
  return 1;
}

static int32_t SendKey(uint32_t eventId, uint32_t value) {
  if (Host* h = Host::Current()) h->RecordKeyEvent(eventId, value);
  return 1;
}

static int32_t Bind(ModuleVar* var) {
  if (var) BindOne(*var);
  return 1;
}

static int32_t ReadVar(ModuleVar* var) {
  Host* h = Host::Current();
  if (!h || !var || var->token == 0) return 1;
  if (!var->storage) BindOne(*var);
  const SimVariable* sim = h->Sim().Variable(var->token);
  switch (sim->kind) {
    case VarKind::kBcd:
      var->value.real = 0.0;
      var->value.bcd = sim->storage.bcd;
      break;
    case VarKind::kPosition64:
    case VarKind::kReal:
      var->value.real = h->Sim().Get(var->token);
      break;
  }
  return 1;
}

PanelServices* HostServices() {
  static PanelServices table = [] {
    PanelServices t{};
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
    t.ReadVariable = ReadVar;
    return t;
  }();
  return &table;
}

}  // namespace host
