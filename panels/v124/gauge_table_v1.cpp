// The V1 gauge table: face and power-failure overlay (256 x 262), twelve text
// fields and nine buttons over the face's labels.
#include "gauge_table.h"

static StringElement legField = TextField({48, 29, 85, 22, Rgb(200, 200, 200), 5, LegText});
static StringElement identField = TextField({163, 29, 85, 22, kLightGrey, 5, IdentText});
static StringElement nameField = TextField({10, 49, 235, 24, kYellow, 20, NameText});
static StringElement waypointLonField =
    TextField({60, 93, 187, 22, kLightGrey, 11, WaypointLonText});
static StringElement waypointLatField =
    TextField({60, 72, 187, 22, kLightGrey, 11, WaypointLatText});
static StringElement headingField = TextField({55, 121, 51, 22, kRed, 3, HeadingText});
static StringElement etaField = TextField({160, 121, 85, 22, kRed, 5, EtaText});
static StringElement distanceField = TextField({125, 151, 121, 22, kLightGrey, 7, DistanceText});
static StringElement presentLonField =
    TextField({60, 192, 187, 22, kLightGrey, 11, PresentLonText, 0x48});
static StringElement presentLatField =
    TextField({60, 172, 187, 22, kLightGrey, 11, PresentLatText, 0x47});
static StringElement statusField =
    TextField({78, 225, 122, 22, kRed, 10, StatusText, 0, StatusSourceValue});
static StringElement arrivalActionField =
    TextField({216, 225, 30, 22, kYellow, 2, ArrivalActionText});

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
    Button(12, 230, 60, 20, ToggleHeadingCoupling),
    Button(12, 122, 33, 20, ToggleHeadingDisplay),
    Button(116, 122, 33, 20, ShowGroundSpeed),
    Button(216, 225, 30, 22, CycleArrivalAction),
    Button(12, 28, 34, 20, ToggleHoldMode),
    Button(12, 180, 40, 25, ToggleCoordinateFormat),
    Button(12, 67, 40, 25, NextLeg, kCursorIncrease),
    Button(12, 91, 40, 25, PreviousLeg, kCursorDecrease),
    Button(50, 5, 150, 20, OpenDataManager),
    MouseEntry(kMouseGaugeClose),
    MouseEntry(kMouseListEnd),
};

GaugeHeader gaugeHeader = {
    kGaugeHeaderMagic, kGaugeName, &headCell, GaugeQuery, GaugeInstall,   GaugeInit, GaugeUpdate,
    GaugeGenerate,     GaugeDraw,  GaugeKill, 0,          kDeclaredWidth, {}};
