// VELT_DD_OIL: the dual fuel temperature gauge. A round dial with two needles on
// one pivot; both show one modelled temperature: the outside air temperature
// times a factor that starts at 0.3 and is held once it reaches 0.95, less a
// small correction. The right needle moves over the right scale, the left needle
// over the mirrored left scale. No buttons, no link to the GPS modules.
//
// The file reads top to bottom: module state, the needle routine, the gauge
// routines, then the gauge records the host walks.
//
// Invariants:
//  (1) Once temperatureFactor is 0.95 at the start of a needle call it stays
//      exactly 0.95 until the module is unloaded.
//  (2) The needle routine reads only values that GaugeUpdate read at the end of
//      the previous update (it runs inside UpdateElements, before the reads).
#include <cstdint>
#include <initializer_list>

#include "panel/panel_services.h"
#include "sys/numeric.h"

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;
TERVANE_MODULE_EXPORT GaugeLinkage Linkage;

// Every call into the host goes through the table it stored in ImportTable.
static PanelServices* Host() { return ImportTable.services; }

// ---- Module state ----

static constexpr double kFactorHeld = 0.95;  // the factor's ceiling, held once reached (1)
static double temperatureFactor = 0.3;       // shared by both needles; 0.3 at load
static const double kFactorScale = 1.0;      // the factor is multiplied by this before the offset

// Simulator variables, bound in this order; records are numbered from 1.
static ModuleVar vars[7] = {
    {0x155, nullptr, 0, {0.0}, {}},  // 1 outside air temperature, degrees Celsius
    {0xC0, nullptr, 0, {0.0}, {}},   // 2 bound and refreshed; not used
    {0x3D, nullptr, 0, {0.0}, {}},   // 3 its value / 100 is subtracted from the needle value
    {0x155, nullptr, 0, {0.0}, {}},  // 4 a second record of 0x155, read once at init; not used
    {0x01, nullptr, 0, {0.0}, {}},   // 5 its value / 10000 raises the temperature factor
    {0x03, nullptr, 0, {0.0}, {}},   // 6 enters the divisor as 12 - value
    {0x08, nullptr, 0, {0.0}, {}},   // 7 enters the divisor as 7 - value / 30
};
static double Value(int record) { return vars[record - 1].value.real; }

// The gauge records, defined at the end of the file.
namespace {
extern ImageElement face;
extern MouseRect mouseRects[];
extern GaugeHeader gaugeHeader;
}  // namespace

// ---- Needle routine ----

// |v| of a 32-bit integer as the unsigned 32-bit number it is on the original
// target: |INT32_MIN| is 2^31 there, not an overflow.
static uint32_t AbsoluteUnsigned(int32_t v) { return v < 0 ? 0u - uint32_t(v) : uint32_t(v); }

// The needle routine of both needles: ignores its argument and returns the
// modelled temperature, degrees Celsius. Runs twice per update, once per needle.
static double FuelTemperatureValue(double) {
  if (temperatureFactor < kFactorHeld) {
    // A and B are truncated toward zero before the absolute value is taken.
    // K = 2 B A + 1 is 32-bit arithmetic taken as unsigned: it wraps modulo 2^32
    // for wild simulator values instead of overflowing, and being odd it is
    // never 0, so the division below is always defined.
    uint32_t a = AbsoluteUnsigned(sys::TruncateToInt32(7.0 - Value(7) / 30.0));
    uint32_t b = AbsoluteUnsigned(sys::TruncateToInt32(12.0 - Value(6)));
    uint32_t k = 2u * b * a + 1u;
    // May exceed 0.95 here; this call uses it unclamped, the next one holds it.
    temperatureFactor = (Value(5) / 10000.0 / k + 1.0) * kFactorScale - 0.7;
  } else {
    temperatureFactor = kFactorHeld;
  }
  return sys::TruncateToInt32(Value(1)) * temperatureFactor - Value(3) / 100.0;
}

// ---- Gauge routines ----

static void ModuleStart() {}
static void ModuleStop() {}

static void GaugeQuery() { Host()->QueryElements(&face.base); }

static void GaugeInstall(uint32_t argument) {
  Host()->InstallElements(&face.base, argument);
  Host()->InstallMouseRects(mouseRects, &gaugeHeader, static_cast<char*>(face.word15) + 4);
  Host()->RegisterMouseRects(mouseRects, &gaugeHeader);
}

static void GaugeInit() {
  Host()->InitElements(&face.base);
  for (ModuleVar& v : vars) Host()->BindVariable(&v);
  Host()->ReadVariable(&vars[3]);
}

// The needles run first, with the values read here at the end of the update
// before (2).
static void GaugeUpdate() {
  Host()->UpdateElements(&face.base);
  for (int record : {1, 2, 3, 5, 6, 7}) Host()->ReadVariable(&vars[record - 1]);
}

static void GaugeGenerate(uint32_t argument) { Host()->GenerateElements(&face.base, argument); }
static void GaugeDraw() { Host()->PlotElements(&face.base); }

static void GaugeKill() {
  Host()->UnregisterMouseRects(mouseRects, &gaugeHeader);
  Host()->KillElements(&face.base);
}

// ---- Gauge records ----

namespace {

enum : int32_t { kFaceBitmap = 4096, kRightNeedleBitmap = 8192, kLeftNeedleBitmap = 8240 };

const FailurePair failures[] = {{1, 2}, {0, 0}};  // shared by the three elements

// Right scale: 50 at the top, 0 at the side, -50 at the bottom; 999 and -999 stop
// the needle just beyond the end marks. The left scale mirrors it.
const ScaleEntry rightScale[5] = {{224, 66, 999.0, 0.0},
                                  {230, 72, 50.0, 0.0},
                                  {253, 147, 0.0, 0.0},
                                  {235, 226, -50.0, 0.0},
                                  {228, 235, -999.0, 0.0}};
const ScaleEntry leftScale[5] = {{65, 237, -999.0, 0.0},
                                 {60, 228, -50.0, 0.0},
                                 {33, 147, 0.0, 0.0},
                                 {62, 71, 50.0, 0.0},
                                 {69, 66, 999.0, 0.0}};

// Both needles: at (157,155), pivot (1,13) in the bitmap, flags 3, no source
// variable; then the words 150 and 52, the scale table, its 5 entries, and 3.
NeedleElement leftNeedle = {{kNeedleElement, kLeftNeedleBitmap, 157, 155, 0, 0, 1, 13, &gaugeHeader,
                             0, nullptr, failures, 3},
                            {},
                            {},
                            FuelTemperatureValue,
                            {},
                            150,
                            52,
                            leftScale,
                            5,
                            3,
                            {}};
NeedleElement rightNeedle = {{kNeedleElement, kRightNeedleBitmap, 157, 155, 0, 0, 1, 13,
                              &gaugeHeader, 0, nullptr, failures, 3},
                             {},
                             {},
                             FuelTemperatureValue,
                             {},
                             150,
                             52,
                             rightScale,
                             5,
                             3,
                             {}};

GaugeElement* faceChildren[] = {&leftNeedle.base, &rightNeedle.base, nullptr};

ImageElement face = {
    {kImageElement, kFaceBitmap, 9, 0, 0, 0, 0, 0, &gaugeHeader, 0, faceChildren, failures, 3},
    {},
    nullptr,
    {}};
GaugeElement* headCell = &face.base;

// No buttons: the gauge entry, the end entry and the terminating entry.
MouseRect mouseRects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

GaugeHeader gaugeHeader = {kGaugeHeaderMagic,
                           "VELT_DD_OIL",
                           &headCell,
                           GaugeQuery,
                           GaugeInstall,
                           GaugeInit,
                           GaugeUpdate,
                           GaugeGenerate,
                           GaugeDraw,
                           GaugeKill,
                           0,
                           57,  // declared width
                           {}};

}  // namespace

GaugeLinkage Linkage = {kLinkageModuleId, ModuleStart, ModuleStop, {}, &gaugeHeader, 0};
GaugeImportTable ImportTable = {kImportPanelServicesId, nullptr, 0, 0};
