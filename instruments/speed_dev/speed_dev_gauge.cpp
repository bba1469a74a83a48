// QUOR_SPEED_DEV: the speed deviation gauge. A narrow black strip with a small
// pointer that slides up and down to show how far the speed lies above or below a
// reference speed, limited to 15 units either way. No buttons, no link to the GPS.
//
// The file reads top to bottom: module state, the slider routine, the gauge
// routines, then the gauge records the host walks. The module keeps no state but
// the reference record.
#include <cstdint>

#include "panel/panel_services.h"

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;
TERVANE_MODULE_EXPORT GaugeLinkage Linkage;

// Every call into the host goes through the table it stored in ImportTable.
static PanelServices* Host() { return ImportTable.services; }

// ---- Module state ----

static constexpr double kLimit = 15.0;  // largest deviation shown, either way

// The reference speed: a stand-alone record of the module (token 0x74), bound at
// install and read at the start of every update, before the elements run.
static ModuleVar reference = {0x74, nullptr, 0, {0.0}, {}};

// The gauge records, defined at the end of the file.
namespace {
extern ImageElement strip;
extern MouseRect mouseRects[];
extern GaugeHeader gaugeHeader;
}  // namespace

// ---- Slider routine ----

// The pointer's slider routine: speed (its own source record, token 0x3D) minus
// the reference, limited to +-15; the limits themselves pass unchanged.
static double SpeedDeviationValue(ModuleVar* speed) {
  double d = speed->value.real - reference.value.real;
  if (d > kLimit) return kLimit;
  if (d < -kLimit) return -kLimit;
  return d;
}

// ---- Gauge routines ----

static void ModuleStartStop() {}

static void GaugeQuery() { Host()->QueryElements(&strip.base); }

static void GaugeInstall(uint32_t argument) {
  Host()->BindVariable(&reference);
  Host()->InstallElements(&strip.base, argument);
  Host()->InstallMouseRects(mouseRects, &gaugeHeader, static_cast<char*>(strip.word15) + 4);
  Host()->RegisterMouseRects(mouseRects, &gaugeHeader);
}

static void GaugeInit() { Host()->InitElements(&strip.base); }

// The reference is refreshed before the pointer's routine runs, so the routine
// always compares with the current reference.
static void GaugeUpdate() {
  Host()->ReadVariable(&reference);
  Host()->UpdateElements(&strip.base);
}

static void GaugeGenerate(uint32_t argument) { Host()->GenerateElements(&strip.base, argument); }
static void GaugeDraw() { Host()->PlotElements(&strip.base); }

static void GaugeKill() {
  Host()->UnregisterMouseRects(mouseRects, &gaugeHeader);
  Host()->KillElements(&strip.base);
}

// ---- Gauge records ----

namespace {

enum : int32_t { kStripBitmap = 4096, kPointerBitmap = 4112 };

const FailurePair failures[] = {{1, 2}, {0, 0}};

// At rest the pointer's centre lies at row 36; +15 lifts it 25.5 pixels.
SliderElement pointer = {
    {kSliderElement, kPointerBitmap, 4, 33, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 7},
    {},
    {0, nullptr, 0, {0.0}, {}},
    nullptr,
    0.0,  // no horizontal part
    {0x3D, nullptr, 0, {0.0}, {}},
    SpeedDeviationValue,
    -1.7,  // vertical: speed
    {}};

GaugeElement* stripChildren[] = {&pointer.base, nullptr};

ImageElement strip = {
    {kImageElement, kStripBitmap, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, stripChildren, failures, 7},
    {},
    nullptr,
    {}};
GaugeElement* headCell = &strip.base;

// No buttons: the gauge entry, the end entry and the terminating entry.
MouseRect mouseRects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

GaugeHeader gaugeHeader = {kGaugeHeaderMagic,
                           "QUOR_SPEED_DEV",
                           &headCell,
                           GaugeQuery,
                           GaugeInstall,
                           GaugeInit,
                           GaugeUpdate,
                           GaugeGenerate,
                           GaugeDraw,
                           GaugeKill,
                           0,
                           14,  // declared width
                           {}};

}  // namespace

GaugeLinkage Linkage = {kLinkageModuleId, ModuleStartStop, ModuleStartStop, {}, &gaugeHeader, 0};
GaugeImportTable ImportTable = {kImportPanelServicesId, nullptr, 0, 0};
