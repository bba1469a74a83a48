// The unit tests' panel: the records the engine hands to the host services, and
// screen routines that only count.
#include "fake_panel.h"

#include "engine/engine.h"
#include "engine/panel_interface.h"

namespace fakepanel {
static Calls calls;
Calls& PanelCalls() { return calls; }
}  // namespace fakepanel

static ImageElement overlay = {
    {kImageElement, 102, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 1}, {}, nullptr, {}};
static GaugeElement* children[] = {&overlay.base, nullptr};
ImageElement headElement = {
    {kImageElement, 101, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, children, nullptr, 5}, {}, nullptr, {}};
static GaugeElement* headCell = &headElement.base;

MouseRect mouseRects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseActive, 10, 10, 20, 20, kCursorButton, 0, kMouseEventMask, 0, OpenDataManager, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};

void RefreshScreen() { ++fakepanel::calls.refreshScreen; }

int32_t ToggleHeadingCoupling(int32_t, int32_t) {
  ++fakepanel::calls.toggleHeadingCoupling;
  return 1;
}

#ifdef TERVANE_GPS_MODEL_V3
void EnterCodeDigit(int32_t digit) { fakepanel::calls.codeDigits.push_back(digit); }
#endif

#ifdef TERVANE_GPS_MODEL_KLN90B
void ApplyUnitPower() { ++fakepanel::calls.applyUnitPower; }
void HideLampsAtInstall() { ++fakepanel::calls.hideLampsAtInstall; }
#endif
