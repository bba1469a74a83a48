// A gauge module for host tests. It reports each of its routines to the host as a
// key event (kReportBase + routine number), so a test reads the calling order
// from the host's key-event log. Its tree has one element of every kind:
//   [0] head image 4096   [1] string: shows "<value of 0x155>|<clicks>"
//   [2] needle on 0x3D: -100 right, 0 up, 100 left of its pivot (50,50)   [3] slider on 0x3D, y
//   scale -2
// and two active rectangles: (10,10,20,20) counts clicks, writes the count into
// the text field and calls InitElements; (40,10,20,20) only reports itself
// (kBlock), so a test can block inside a mouse routine as a modal dialog does. Building it with
// RECORDER_BAD_MAGIC gives a module whose header the host must refuse.
#include <cstdio>

#include "panel/panel_services.h"

enum : uint32_t { kReportBase = 0xF000 };
enum Report : uint32_t {
  kQuery = 1,
  kInstall,
  kInit,
  kUpdate,
  kGenerate,
  kDraw,
  kKill,
  kClick,
  kText,
  kNeedle,
  kSlider,
  kBlock
};

TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;
TERVANE_MODULE_EXPORT GaugeLinkage Linkage;
static PanelServices*& Services() { return ImportTable.services; }

static int clicks;  // this module's own state
static uint32_t installArgument;

static void Report(uint32_t what, uint32_t value = 0) {
  Services()->SendKeyEvent(kReportBase + what, value);
}

extern ImageElement head;
extern StringElement text;
extern MouseRect rects[];
extern GaugeHeader header;

static double TextRoutine(double value) {
  Report(kText);
  std::snprintf(text.textBuffer, size_t(text.maxChars) + 1, "%.1f|%d", value, clicks);
  return value;
}

static double NeedleRoutine(double value) {
  Report(kNeedle);
  return value;
}

static double SliderRoutine(ModuleVar* var) {
  Report(kSlider);
  return var->value.real;
}

static int32_t ClickRoutine(int32_t, int32_t) {
  ++clicks;
  Report(kClick, uint32_t(clicks));
  std::snprintf(text.textBuffer, size_t(text.maxChars) + 1, "click %d", clicks);
  Services()->InitElements(&head.base);
  return 1;
}

static int32_t BlockRoutine(int32_t, int32_t) {
  Report(kBlock);
  return 1;
}

static void GaugeQuery() {
  Report(kQuery);
  Services()->QueryElements(&head.base);
}

static void GaugeInstall(uint32_t argument) {
  installArgument = argument;
  Report(kInstall, argument);
  Services()->InstallElements(&head.base, argument);
  Services()->InstallMouseRects(rects, &header, static_cast<char*>(head.word15) + 4);
  Services()->RegisterMouseRects(rects, &header);
}

static void GaugeInit() {
  Report(kInit, text.textBuffer != nullptr);
  Services()->InitElements(&head.base);
}

static void GaugeUpdate() {
  Report(kUpdate);
  Services()->UpdateElements(&head.base);
}

static void GaugeGenerate(uint32_t argument) {
  Report(kGenerate);
  Services()->GenerateElements(&head.base, argument);
}

static void GaugeDraw() {
  Report(kDraw);
  Services()->PlotElements(&head.base);
}

static void GaugeKill() {
  Report(kKill);
  Services()->UnregisterMouseRects(rects, &header);
  Services()->KillElements(&head.base);
}

static void Nothing() {}

static const ScaleEntry needleScale[3] = {
    {100, 50, -100.0, 0.0}, {50, 0, 0.0, 0.0}, {0, 50, 100.0, 0.0}};

static NeedleElement needle = {
    {kNeedleElement, 4097, 50, 50, 0, 0, 2, 2, &header, 0, nullptr, nullptr, 0},
    {},
    {0x3D, nullptr, 0, {0.0}, {}},
    NeedleRoutine,
    {},
    0,
    0,
    needleScale,
    3,
    0,
    {}};

static SliderElement slider = {
    {kSliderElement, 4098, 80, 40, 0, 0, 0, 0, &header, 0, nullptr, nullptr, 0},
    {},
    {},
    nullptr,
    0.0,
    {0x3D, nullptr, 0, {0.0}, {}},
    SliderRoutine,
    -2.0,
    {}};

StringElement text = {{kStringElement, -1, 0, 80, 0, 0, 0, 0, &header, 0, nullptr, nullptr, 0},
                      {},
                      {{0x155, nullptr, 0, {0.0}, {}}, {}, {}},
                      {},
                      {},
                      TextRoutine,
                      nullptr,
                      0,
                      100,
                      16,
                      {},
                      0x0000FF00,
                      0x00000000,
                      0,
                      {},
                      "Courier New",
                      400,
                      1,
                      0x25,
                      15,
                      {}};

static GaugeElement* children[] = {&text.base, &needle.base, &slider.base, nullptr};

ImageElement head = {
    {kImageElement, 4096, 0, 0, 0, 0, 0, 0, &header, 0, children, nullptr, 0}, {}, nullptr, {}};

static GaugeElement* headCell = &head.base;

MouseRect rects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseActive, 10, 10, 20, 20, kCursorButton, 0, kMouseEventMask, 0, ClickRoutine, 0},
    {kMouseActive, 40, 10, 20, 20, kCursorButton, 0, kMouseEventMask, 0, BlockRoutine, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

#ifndef RECORDER_NAME
#define RECORDER_NAME "TEST_RECORDER"
#endif
#ifdef RECORDER_BAD_MAGIC
#define RECORDER_MAGIC 0x263
#else
#define RECORDER_MAGIC kGaugeHeaderMagic
#endif

GaugeHeader header = {
    RECORDER_MAGIC, RECORDER_NAME, &headCell, GaugeQuery, GaugeInstall, GaugeInit, GaugeUpdate,
    GaugeGenerate,  GaugeDraw,     GaugeKill, 0,          128,          {}};

GaugeLinkage Linkage = {kLinkageModuleId, Nothing, Nothing, {}, &header, 0};
GaugeImportTable ImportTable = {kImportPanelServicesId, nullptr, 0, 0};
