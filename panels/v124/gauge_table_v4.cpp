// The V4 gauge table: face and power-failure overlay (186 x 144), twelve text
// fields and nine buttons over the face's labels.
#include "gauge_table.h"

static StringElement legField = TextField({35, 16, 40, 12, Rgb(200, 200, 200), 5, LegText});
static StringElement identField = TextField({138, 16, 40, 12, kLightGrey, 5, IdentText});
static StringElement nameField =
    TextField({9, 27, 160, 12, kYellow, 20, NameText, 0, nullptr, Rgb(28, 28, 28)});
static StringElement waypointLonField =
    TextField({81, 51, 88, 12, kLightGrey, 11, WaypointLonText});
static StringElement waypointLatField =
    TextField({81, 39, 88, 12, kLightGrey, 11, WaypointLatText});
static StringElement headingField = TextField({35, 69, 24, 12, kRed, 3, HeadingText});
static StringElement etaField = TextField({129, 69, 40, 12, kRed, 5, EtaText});
static StringElement distanceField = TextField({81, 86, 56, 12, kLightGrey, 7, DistanceText});
static StringElement presentLonField =
    TextField({81, 110, 88, 12, kLightGrey, 11, PresentLonText, 0x48});
static StringElement presentLatField =
    TextField({81, 98, 88, 12, kLightGrey, 11, PresentLatText, 0x47});
static StringElement statusField =
    TextField({58, 129, 80, 12, kRed, 10, StatusText, 0, StatusSourceValue});
static StringElement arrivalActionField =
    TextField({162, 129, 16, 12, kYellow, 2, ArrivalActionText});

static ImageElement overlay = Picture(kOverlayBitmap, kOverlayFlags, nullptr);

static GaugeElement* headChildren[] = {&overlay.base,
                                       &legField.base,
                                       &identField.base,
                                       &nameField.base,
                                       &waypointLonField.base,
                                       &waypointLatField.base,
                                       &headingField.base,
                                       &etaField.base,
                                       &distanceField.base,
                                       &presentLonField.base,
                                       &presentLatField.base,
                                       &statusField.base,
                                       &arrivalActionField.base,
                                       nullptr};

ImageElement headElement = Picture(kFaceBitmap, kHeadFlags, headChildren);
static GaugeElement* headCell = &headElement.base;

StringElement* const panelFields[kFieldRoleCount] = {
    &legField,         &identField,      &nameField,   &waypointLonField,
    &waypointLatField, &headingField,    &etaField,    &distanceField,
    &presentLonField,  &presentLatField, &statusField, &arrivalActionField};

MouseRect mouseRects[] = {
    MouseEntry(kMouseGaugeEntry),
    Button(8, 132, 41, 8, ToggleHeadingCoupling),
    Button(8, 71, 21, 8, ToggleHeadingDisplay),
    Button(100, 71, 21, 8, ShowGroundSpeed),
    Button(164, 130, 13, 8, CycleArrivalAction),
    Button(8, 18, 21, 8, ToggleHoldMode),
    Button(8, 100, 72, 21, ToggleCoordinateFormat),
    Button(8, 41, 46, 8, NextLeg, kCursorIncrease),
    Button(8, 53, 46, 8, PreviousLeg, kCursorDecrease),
    Button(57, 1, 64, 8, OpenDataManager),
    MouseEntry(kMouseGaugeClose),
    MouseEntry(kMouseListEnd),
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
