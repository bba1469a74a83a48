// What the V1, V2 and V4 panel routines and their gauge tables share: the panel's
// display flags, the fields the routines write (each table names its own string
// elements by role), the text, source-value and button routines, and the colours
// the routines switch between.
//
// Invariants:
//  (1) Every text a routine writes fits its field: at most maxChars characters and
//      a NUL, into the buffer the host allocated; a field without a buffer is
//      skipped.
//  (2) The leg buttons leave activeLeg inside 0..legCount-1 (0 for an empty
//      program), whatever activeLeg was before.
#pragma once

#include <cstdint>

#include "engine/engine.h"
#include "engine/panel_interface.h"

// Panel state: all 0 at module load; survives GaugeInit, reloads and power failures.
extern int32_t coordDecimal;          // flag: coordinates as degrees and decimal minutes
extern int32_t showCommandedHeading;  // flag: HDG shows commandedHeading, not desiredTrack
extern int32_t showWaypointPosition;  // flag, V2: the position fields show the active leg

constexpr bool kIsV2Panel = IsModel(GpsModel::kV2);

// The string elements the routines write, by role. The V2 table has no waypoint
// coordinate lines: its entries for them are null.
enum FieldRole {
  kLegField,
  kIdentField,
  kNameField,
  kWaypointLonField,
  kWaypointLatField,
  kHeadingField,
  kEtaField,
  kDistanceField,
  kPresentLonField,
  kPresentLatField,
  kStatusField,
  kArrivalActionField,
  kFieldRoleCount
};
extern StringElement* const panelFields[kFieldRoleCount];  // defined by the gauge table

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t kRed = Rgb(255, 0, 0);
constexpr uint32_t kGreen = Rgb(0, 255, 0);
constexpr uint32_t kYellow = Rgb(200, 190, 40);
constexpr uint32_t kLightGrey = Rgb(210, 210, 210);
constexpr uint32_t kFieldBackground = Rgb(8, 8, 8);  // the blink's "off" colour too

// Text routines: take the field's source value, write the field's text, return the
// value unchanged.
double LegText(double value);
double IdentText(double value);
double NameText(double value);
double WaypointLatText(double value);
double WaypointLonText(double value);
double HeadingText(double value);
double EtaText(double value);
double DistanceText(double value);
double PresentLatText(double value);
double PresentLonText(double value);
double StatusText(double value);
double ArrivalActionText(double value);

// The status field's source: headingCoupled as 0.0 or 1.0; during a power failure
// the value the record already holds.
double StatusSourceValue(ModuleVar* binding);

// Aircraft position from the simulator's 64-bit storage the field's record points
// at, into presentLat/presentLon and COM_AREA's image.
void ConvertLatitude(const ModuleVar& source);
void ConvertLongitude(const ModuleVar& source);

// Button routines (ToggleHeadingCoupling and OpenDataManager: panel_interface.h and
// engine.h). Both arguments are ignored; each returns 1.
int32_t ToggleHeadingDisplay(int32_t, int32_t);
int32_t ShowGroundSpeed(int32_t, int32_t);
int32_t CycleArrivalAction(int32_t, int32_t);
int32_t ToggleHoldMode(int32_t, int32_t);
int32_t ToggleCoordinateFormat(int32_t, int32_t);
int32_t TogglePositionSource(int32_t, int32_t);
int32_t NextLeg(int32_t, int32_t);
int32_t PreviousLeg(int32_t, int32_t);
