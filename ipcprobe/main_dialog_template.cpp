// The template of IpcProbe's dialog "MainDialog": 300 × 189 dialog units in an
// 8-point "MS Sans Serif", the value fields as centred sunken statics, the request
// buttons, and the labels and group boxes that name them.
#include <iterator>

#include "ipcprobe.h"

using namespace ui;

// Value fields: centred, sunken; a few are also centred vertically.
static constexpr uint32_t kValue = kTextCentre | kSunken;
static constexpr uint32_t kValueMiddle = kValue | kVCentre;

static const ControlTemplate kControls[] = {
    {kLinkButton, kPushButton, "Link to Tervane", 203, 129, 90, 17, kTabStop},
    {kUnlinkButton, kPushButton, "Unlink from Tervane", 203, 147, 90, 17, kTabStop},
    {kAircraftLatField, kStaticText, "", 133, 18, 56, 10, kValue},
    {kAircraftLonField, kStaticText, "", 133, 30, 56, 10, kValue},
    {kRealHeadingField, kStaticText, "", 70, 49, 20, 10, kValue},
    {kGpsHeadingField, kStaticText, "", 159, 49, 20, 10, kValue},
    {kAutopilotHeadingField, kStaticText, "", 264, 50, 20, 10, kValue},
    {kGroundSpeedField, kStaticText, "", 66, 68, 24, 10, kValue},
    {kDistanceField, kStaticText, "", 141, 68, 38, 10, kValue},
    {kEtaField, kStaticText, "", 258, 68, 26, 10, kValue},
    {kAltitudeField, kStaticText, "", 255, 87, 29, 10, kValue},
    {kOnlineField, kStaticText, "", 235, 112, 58, 15, kValueMiddle},
    {kCouplingField, kStaticText, "", 224, 16, 60, 13, kValueMiddle},
    {kWindField, kStaticText, "", 224, 30, 60, 12, kValueMiddle},
    {kLinkedField, kStaticText, "", 235, 167, 58, 15, kValueMiddle},
    {kLegNumberField, kStaticText, "", 40, 120, 27, 10, kValue},
    {kLegIdentField, kStaticText, "", 99, 120, 38, 10, kValue},
    {kLegNameField, kStaticText, "", 40, 137, 144, 10, kValue},
    {kLegLatField, kStaticText, "", 54, 155, 56, 10, kValue},
    {kLegLonField, kStaticText, "", 54, 167, 56, 10, kValue},
    {kReloadButton, kPushButton, "Reload Program", 121, 158, 62, 15, kTabStop},
    {kCouplingButton, kPushButton, "", 208, 17, 13, 11, kTabStop},
    {kPreviousLegButton, kPushButton, "-", 155, 119, 13, 11, kTabStop},
    {kNextLegButton, kPushButton, "+", 170, 119, 13, 11, kTabStop},
    {kPowerFailureButton, kPushButton, "Toggle PowerFailure variable ->", 14, 85, 112, 15,
     kTabStop},
    {kPowerFailureField, kStaticText, "FALSE", 132, 88, 26, 9, kTextCentre},
    // Group boxes and labels.
    {kNoId, kGroupBox, "TERVANE_COM_IPC", 7, 7, 286, 96, 0},
    {kNoId, kGroupBox, "TERVANE_PGR_IPC", 7, 107, 188, 75, 0},
    {kNoId, kStaticText, "Aircraft actual position", 14, 20, 72, 10, 0},
    {kNoId, kStaticText, "Latitude:", 93, 20, 35, 10, 0},
    {kNoId, kStaticText, "Longitude:", 93, 31, 35, 10, 0},
    {kNoId, kStaticText, "Real heading:", 13, 50, 44, 10, 0},
    {kNoId, kStaticText, "GPS heading:", 109, 50, 44, 10, 0},
    {kNoId, kStaticText, "GPS autopilot heading:", 188, 51, 73, 10, 0},
    {kNoId, kStaticText, "Ground speed:", 13, 69, 48, 10, 0},
    {kNoId, kStaticText, "Distance:", 107, 69, 34, 10, 0},
    {kNoId, kStaticText, "ETA:", 237, 69, 17, 10, 0},
    {kNoId, kStaticText, "Altitude:", 225, 88, 26, 10, 0},
    {kNoId, kStaticText, "Leg:", 14, 121, 16, 10, 0},
    {kNoId, kStaticText, "Ident:", 73, 121, 19, 10, 0},
    {kNoId, kStaticText, "Name:", 14, 138, 22, 10, 0},
    {kNoId, kStaticText, "Latitude:", 14, 157, 35, 10, 0},
    {kNoId, kStaticText, "Longitude:", 14, 168, 35, 10, 0},
};

const DialogTemplate kProbeDialog = {
    "MainDialog",
    kProbeTitle,
    300,
    189,
    "MS Sans Serif",
    8,
    kDialogCaption | kDialogSysMenu | kDialogModalFrame | kDialogCentred,
    kControls,
    int(std::size(kControls)),
};
