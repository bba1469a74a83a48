// A minimal panel that makes the engine a real gauge module before the real panels
// exist (TERVANE-TEST.gau). Element tree, in tree order:
//   [0] head image 101, 200 x 80
//   [1] power-failure overlay, image 102 (hidden while the unit has power)
//   [2] name field: the active entry's name
//   [3] status field: "L<legCount> A<activeLeg> I<programInvalid> R<refreshes>"
// Rectangles: the data button (10,50,40,20) runs OpenDataManager, the coupling
// button (60,50,40,20) ToggleHeadingCoupling. RefreshScreen counts its calls.
#include <cstdio>

#include "engine/engine.h"
#include "engine/panel_interface.h"

static int refreshes;  // RefreshScreen calls since the module was loaded

extern StringElement nameField;
extern StringElement statusField;

static void WriteField(StringElement& field, const char* text) {
  if (field.textBuffer) std::snprintf(field.textBuffer, size_t(field.maxChars) + 1, "%s", text);
}

static double NameText(double value) {
  WriteField(nameField, ActiveLegEntry().name);
  return value;
}

static double StatusText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "L%d A%d I%d R%d", gps.legCount, gps.activeLeg,
                gps.programInvalid, refreshes);
  WriteField(statusField, text);
  return value;
}

void RefreshScreen() {
  ++refreshes;
  NameText(0.0);
  StatusText(0.0);
  Services()->InitElements(&headElement.base);
}

int32_t ToggleHeadingCoupling(int32_t, int32_t) {
  if (gps.powerFailed || gps.programInvalid) return 1;
  gps.headingCoupled = !gps.headingCoupled;
  if (gps.headingCoupled) SendCommandedHeading();
  return 1;
}

static StringElement TextField(int32_t y, ValueRoutine routine) {
  StringElement field{};
  field.base = {kStringElement, -1, 10, y, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 0};
  field.textRoutine = routine;
  field.width = 180;
  field.height = 16;
  field.textColour = 0x0000FF00;
  field.backgroundColour = 0x00080808;
  std::snprintf(field.fontFace, sizeof field.fontFace, "Courier New");
  field.fontWeight = 400;
  field.charSet = 1;
  field.formatFlags = 0x25;
  field.maxChars = 20;
  return field;
}

StringElement nameField = TextField(8, NameText);
StringElement statusField = TextField(28, StatusText);

static ImageElement overlay = {
    {kImageElement, 102, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 1}, {}, nullptr, {}};
static GaugeElement* children[] = {&overlay.base, &nameField.base, &statusField.base, nullptr};
ImageElement headElement = {
    {kImageElement, 101, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, children, nullptr, 5}, {}, nullptr, {}};
static GaugeElement* headCell = &headElement.base;

MouseRect mouseRects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseActive, 10, 50, 40, 20, kCursorButton, 0, kMouseEventMask, 0, OpenDataManager, 0},
    {kMouseActive, 60, 50, 40, 20, kCursorButton, 0, kMouseEventMask, 0, ToggleHeadingCoupling, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
