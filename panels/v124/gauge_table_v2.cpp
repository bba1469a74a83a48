// The V2 gauge table: face and power-failure overlay (256 x 200), ten text fields
// and ten buttons. V2 has no waypoint coordinate lines; its two position lines
// show the aircraft or, at the press of the position values, the active leg.
#include "gauge_table.h"

static StringElement legField = TextField({48, 26, 85, 22, Rgb(200, 200, 200), 5, LegText});
static StringElement identField = TextField({163, 26, 85, 22, kLightGrey, 5, IdentText});
static StringElement nameField = TextField({9, 46, 242, 24, kYellow, 20, NameText});
static StringElement headingField = TextField({55, 74, 51, 22, kRed, 3, HeadingText});
static StringElement etaField = TextField({160, 74, 85, 22, kRed, 5, EtaText});
static StringElement distanceField = TextField({125, 101, 121, 22, kLightGrey, 7, DistanceText});
static StringElement presentLonField =
    TextField({60, 143, 187, 22, kLightGrey, 11, PresentLonText, 0x48});
static StringElement presentLatField =
    TextField({60, 121, 187, 22, kLightGrey, 11, PresentLatText, 0x47});
static StringElement statusField =
    TextField({78, 170, 122, 22, kRed, 10, StatusText, 0, StatusSourceValue});
static StringElement arrivalActionField =
    TextField({215, 170, 30, 22, kYellow, 2, ArrivalActionText});

static ImageElement overlay = Picture(kOverlayBitmap, kOverlayFlags, nullptr);

static GaugeElement* headChildren[] = {
    &overlay.base,         &legField.base,    &identField.base,         &nameField.base,
    &headingField.base,    &etaField.base,    &distanceField.base,      &presentLonField.base,
    &presentLatField.base, &statusField.base, &arrivalActionField.base, nullptr};

ImageElement headElement = Picture(kFaceBitmap, kHeadFlags, headChildren);
static GaugeElement* headCell = &headElement.base;

StringElement* const panelFields[kFieldRoleCount] = {
    &legField,        &identField,      &nameField,   nullptr,
    nullptr,          &headingField,    &etaField,    &distanceField,
    &presentLonField, &presentLatField, &statusField, &arrivalActionField};

MouseRect mouseRects[] = {
    MouseEntry(kMouseGaugeEntry),
    Button(12, 170, 60, 20, ToggleHeadingCoupling),
    Button(12, 78, 33, 20, ToggleHeadingDisplay),
    Button(116, 78, 33, 20, ShowGroundSpeed),
    Button(214, 170, 20, 20, CycleArrivalAction),
    Button(12, 25, 34, 20, ToggleHoldMode),
    Button(12, 131, 40, 25, ToggleCoordinateFormat),
    Button(130, 46, 110, 25, NextLeg, kCursorIncrease),
    Button(12, 46, 110, 25, PreviousLeg, kCursorDecrease),
    Button(50, 5, 150, 20, OpenDataManager),
    Button(75, 131, 150, 25, TogglePositionSource),
    MouseEntry(kMouseGaugeClose),
    MouseEntry(kMouseListEnd),
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
