// Benchmarks of the navigation computation and of the update cycle, against the
// 1/18 s the host gives one panel update: ComputeNavigation alone (calm air and
// with the wind triangle), a plain GaugeUpdate call (count only) and the
// navigation-cycle call (navigation, coupling upkeep, requests, publication).
//
// The engine runs against a minimal service table that serves the simulator's
// variables from an array and does nothing else, with a panel that draws nothing.
// COM_AREA is a local 118-byte record standing in for the view, so the benchmark
// never touches the named areas that tests running meanwhile rely on.
#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/engine.h"
#include "engine/navigation.h"
#include "engine/panel_interface.h"

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;

// The bench's panel: the records the engine passes on, screen routines that do
// nothing.
static ImageElement overlay = {
    {kImageElement, 102, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 1}, {}, nullptr, {}};
static GaugeElement* children[] = {&overlay.base, nullptr};
ImageElement headElement = {
    {kImageElement, 101, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, children, nullptr, 5}, {}, nullptr, {}};
static GaugeElement* headCell = &headElement.base;
MouseRect mouseRects[] = {{kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0}};
GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
void RefreshScreen() {}
int32_t ToggleHeadingCoupling(int32_t, int32_t) { return 1; }

namespace {

double variables[0x200];  // by token

int32_t ReadVariable(ModuleVar* var) {
  var->value.real = var->token < 0x200 ? variables[var->token] : 0.0;
  return 1;
}
int32_t Nothing(GaugeElement*) { return 1; }
int32_t SendKeyEvent(uint32_t, uint32_t) { return 1; }

PanelServices services = [] {
  PanelServices t{};
  t.ReadVariable = ReadVariable;
  t.UpdateElements = Nothing;
  t.RedrawElements = Nothing;
  t.InitElements = Nothing;
  t.SendKeyEvent = SendKeyEvent;
  return t;
}();

unsigned char comRecord[sizeof(ComArea)];
int areaStandIn;  // comMapping must be non-null for the engine to publish

GeoCoord Coord(char hemisphere, int degrees, double minutes) {
  GeoCoord c{};
  c.hemisphere = hemisphere;
  c.degrees = degrees;
  c.decimalMinutes = minutes;
  return c;
}

// Aircraft over the Alps toward a waypoint 50 nm north-east, coupled, the
// autopilot holding the commanded heading; wind from 290 at 20 m/s.
void SetUpUnit(bool windy) {
  gps = GpsState{};
  for (int i = 0; i < kBindingCount; ++i) gps.bindings[i].token = kBindingTokens[i];
  ImportTable.services = &services;
  gps.legCount = 2;
  gps.legs[0].latitude = Coord('N', 47, 10.5);
  gps.legs[0].longitude = Coord('E', 9, 40.2);
  gps.legs[1].latitude = Coord('N', 48, 2.0);
  gps.legs[1].longitude = Coord('E', 10, 12.0);
  gps.presentLat = Coord('N', 46, 30.0);
  gps.presentLon = Coord('E', 9, 0.0);
  gps.comMapping = reinterpret_cast<sys::SharedArea*>(&areaStandIn);
  gps.comView = comRecord;
  variables[kTokenMagneticVariation] = 2.5;
  variables[kTokenMach] = 0.35 * 20480;
  variables[kTokenOutsideAirTemperature] = -5.0;
  variables[kTokenAirspeedZero] = 0;
  variables[kTokenWindSpeed] = windy ? 20.0 : 0.0;
  variables[kTokenWindEast] = 18.8;
  variables[kTokenWindNorth] = -6.8;
  variables[kTokenHeading] = 35.2;
  variables[kTokenAltitude] = 9500;
  variables[kTokenAutopilotEngaged] = 1;
  variables[kTokenHeadingHold] = 1;
  ComputeNavigation();
  gps.headingCoupled = 1;
  variables[kTokenHeadingBug] = gps.commandedHeading;
}

void BM_ComputeNavigation(benchmark::State& state) {
  SetUpUnit(state.range(0) != 0);
  for (auto _ : state) {
    ComputeNavigation();
    benchmark::DoNotOptimize(gps.distanceNm);
  }
  state.SetLabel(state.range(0) ? "wind triangle" : "calm air");
}
BENCHMARK(BM_ComputeNavigation)->Arg(0)->Arg(1);

// One update call that only counts (calls 1 to 17 of a cycle).
void BM_GaugeUpdatePlainCall(benchmark::State& state) {
  SetUpUnit(true);
  for (auto _ : state) {
    gps.updateCount = 0;
    GaugeUpdate();
  }
}
BENCHMARK(BM_GaugeUpdatePlainCall);

// The 18th call: navigation, sequencing test, coupling upkeep, requests and the
// publication of the status record.
void BM_GaugeUpdateNavigationCycle(benchmark::State& state) {
  SetUpUnit(true);
  for (auto _ : state) {
    gps.updateCount = 17;
    GaugeUpdate();
    benchmark::DoNotOptimize(comRecord);
  }
}
BENCHMARK(BM_GaugeUpdateNavigationCycle);

}  // namespace

BENCHMARK_MAIN();
