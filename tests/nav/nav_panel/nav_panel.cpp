// A minimal panel that flies the engine in the real host (TERVANE-NAVTEST.gau): it
// feeds the aircraft's position into presentLat/presentLon, as the real panels'
// present-position fields do, and shows the engine's modes. Element tree:
//   [0] head image 101          [1] power-failure overlay, image 102
//   [2] latitude field (0x47)   [3] longitude field (0x48)
//   [4] status "A<activeLeg> C<headingCoupled> V<arrived> H<commandedHeading>
//       I<programInvalid> M<arrivalAction> O<holdMode>"
//   [5] name field: the active entry's name
// Rectangles: coupling (60,50,40,20), hold (110,50,20,20), arrival action
// (140,50,20,20), data manager (10,50,40,20).
#include <cstdio>
#include <cstring>

#include "engine/engine.h"
#include "engine/panel_interface.h"
#include "sys/numeric.h"

// The simulator's position words: the upper 32-bit half, scaled, is hundredths of
// a minute of arc (latitude signed, longitude east of Greenwich 0..360 degrees).
constexpr double kLatHundredthsPerUnit = 0.053990578644026614;
constexpr double kLonHundredthsPerUnit = 0.0005029142201840742;
constexpr double kHalfTurnHundredths = 1080000.0;

extern StringElement latField, lonField, statusField, nameField;

static void WriteField(StringElement& field, const char* text) {
  if (field.textBuffer) std::snprintf(field.textBuffer, size_t(field.maxChars) + 1, "%s", text);
}

static bool UpperHalf(const StringElement& field, uint32_t* word) {
  if (!field.sources[0].storage) return false;
  std::memcpy(word, static_cast<const unsigned char*>(field.sources[0].storage) + 4, 4);
  return true;
}

static GeoCoord Split(char hemisphere, double hundredths) {
  GeoCoord c{};
  c.hemisphere = hemisphere;
  c.degrees = sys::TruncateToInt32(hundredths) / 6000;
  c.decimalMinutes = (hundredths - c.degrees * 6000.0) * 0.01;
  c.minutes = sys::TruncateToInt32(c.decimalMinutes);
  c.seconds = sys::TruncateToInt32((c.decimalMinutes - c.minutes) * 60.0);
  return c;
}

static void ShowCoord(StringElement& field, const GeoCoord& c) {
  char text[32];
  std::snprintf(text, sizeof text, "%c %d %.2f", c.hemisphere, c.degrees, c.decimalMinutes);
  WriteField(field, text);
}

static double LatText(double value) {
  uint32_t word;
  if (!UpperHalf(latField, &word)) return value;
  double v = static_cast<int32_t>(word) * kLatHundredthsPerUnit;
  gps.presentLat = v < 0 ? Split('S', -v) : Split('N', v);
  gps.comImage.aircraftLat = gps.presentLat;
  ShowCoord(latField, gps.presentLat);
  return value;
}

static double LonText(double value) {
  uint32_t word;
  if (!UpperHalf(lonField, &word)) return value;
  double v = word * kLonHundredthsPerUnit;
  if (v >= kHalfTurnHundredths) {
    v = kHalfTurnHundredths - (v - kHalfTurnHundredths);
    gps.presentLon = Split('W', v < 0 ? 0 : v);
  } else {
    gps.presentLon = Split('E', v);
  }
  gps.comImage.aircraftLon = gps.presentLon;
  ShowCoord(lonField, gps.presentLon);
  return value;
}

static double StatusText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "A%d C%d V%d H%d I%d M%d O%d", gps.activeLeg, gps.headingCoupled,
                gps.arrived, gps.commandedHeading, gps.programInvalid, gps.arrivalAction,
                gps.holdMode);
  WriteField(statusField, text);
  return value;
}

static double NameText(double value) {
  WriteField(nameField, ActiveLegEntry().name);
  return value;
}

void RefreshScreen() {
  StatusText(0.0);
  NameText(0.0);
  Services()->InitElements(&headElement.base);
}

// Couples and uncouples; coupling engages the autopilot when it is off, then
// sends the commanded heading.
int32_t ToggleHeadingCoupling(int32_t, int32_t) {
  if (gps.powerFailed || gps.programInvalid) return 1;
  gps.headingCoupled = !gps.headingCoupled;
  if (gps.headingCoupled) {
    if (ReadBinding(Binding<kTokenAutopilotEngaged>()) == 0.0) Services()->SendKeyEvent(0x1002C, 0);
    SendCommandedHeading();
  }
  RefreshScreen();
  return 1;
}

static int32_t ToggleHold(int32_t, int32_t) {
  gps.holdMode = !gps.holdMode;
  RefreshScreen();
  return 1;
}

static int32_t NextArrivalAction(int32_t, int32_t) {
  gps.arrivalAction = (gps.arrivalAction + 1) % 3;
  RefreshScreen();
  return 1;
}

static StringElement TextField(int32_t y, ValueRoutine routine, uint32_t token) {
  StringElement field{};
  field.base = {kStringElement, -1, 10, y, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 0};
  field.sources[0].token = token;
  field.textRoutine = routine;
  field.width = 180;
  field.height = 10;
  field.textColour = 0x0000FF00;
  field.backgroundColour = 0x00080808;
  std::snprintf(field.fontFace, sizeof field.fontFace, "Courier New");
  field.fontWeight = 400;
  field.charSet = 1;
  field.formatFlags = 0x25;
  field.maxChars = 40;
  return field;
}

StringElement latField = TextField(2, LatText, 0x47);
StringElement lonField = TextField(12, LonText, 0x48);
StringElement statusField = TextField(22, StatusText, 0);
StringElement nameField = TextField(32, NameText, 0);

static ImageElement overlay = {
    {kImageElement, 102, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, nullptr, nullptr, 1}, {}, nullptr, {}};
static GaugeElement* children[] = {&overlay.base,     &latField.base,  &lonField.base,
                                   &statusField.base, &nameField.base, nullptr};
ImageElement headElement = {
    {kImageElement, 101, 0, 0, 0, 0, 0, 0, &gaugeHeader, 0, children, nullptr, 5}, {}, nullptr, {}};
static GaugeElement* headCell = &headElement.base;

MouseRect mouseRects[] = {
    {kMouseGaugeEntry, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseActive, 10, 50, 40, 20, kCursorButton, 0, kMouseEventMask, 0, OpenDataManager, 0},
    {kMouseActive, 60, 50, 40, 20, kCursorButton, 0, kMouseEventMask, 0, ToggleHeadingCoupling, 0},
    {kMouseActive, 110, 50, 20, 20, kCursorButton, 0, kMouseEventMask, 0, ToggleHold, 0},
    {kMouseActive, 140, 50, 20, 20, kCursorButton, 0, kMouseEventMask, 0, NextArrivalAction, 0},
    {kMouseGaugeClose, 0, 0, 0, 0, kCursorNone, 0, kMouseEventMask, 0, nullptr, 0},
    {kMouseListEnd, 0, 0, 0, 0, kCursorNone, 0, 0, 0, nullptr, 0},
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
