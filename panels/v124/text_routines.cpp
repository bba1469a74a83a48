// The text routines of the V1, V2 and V4 fields and the status field's source.
// The host runs them inside UpdateElements; RefreshScreen and the buttons run
// them too, with the value 0.0. Each writes straight into the buffer the host
// gave its field, bounded by the field's maximum (1): a 5-digit speed, a huge
// distance, a leg number out of range or an ident without its NUL is cut at the
// field's width rather than written past it. Nothing is allocated.
//
// While the power has failed every field is empty and nothing is converted, so the
// aircraft position keeps its last value.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "coordinate_text.h"
#include "sys/numeric.h"
#include "v124_panel.h"

// The buffer of a field and its size with the NUL, or null when the field is
// absent from this table or not installed.
static char* FieldBuffer(StringElement* field, size_t* size) {
  if (!field || !field->textBuffer || field->maxChars < 0) return nullptr;
  *size = size_t(field->maxChars) + 1;
  return field->textBuffer;
}

static void WriteText(StringElement* field, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
static void WriteText(StringElement* field, const char* format, ...) {
  size_t size;
  char* out = FieldBuffer(field, &size);
  if (!out) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(out, size, format, args);
  va_end(args);
}

// Copies a table text that should end in a NUL within `capacity` bytes; one that
// does not (a corrupt table) is cut at the capacity and at the field's width.
static void CopyText(StringElement* field, const char* text, size_t capacity) {
  size_t size;
  char* out = FieldBuffer(field, &size);
  if (!out) return;
  size_t length = strnlen(text, capacity);
  if (length > size - 1) length = size - 1;
  std::memcpy(out, text, length);
  out[length] = '\0';
}

static void SetColour(StringElement* field, uint32_t colour) {
  if (field) field->textColour = colour;
}

// The common rule: no text at all while the power has failed.
static bool BlankWhilePowerFailed(StringElement* field) {
  if (!gps.powerFailed) return false;
  WriteText(field, "%s", "");
  return true;
}

// The active leg's latitude or longitude in the long form, or the placeholder
// while the program is invalid.
static void WriteWaypointCoordinate(StringElement* field, bool latitude) {
  size_t size;
  char* out = FieldBuffer(field, &size);
  if (!out) return;
  if (gps.programInvalid) {
    FormatCoordinatePlaceholder(out, size, coordDecimal);
    return;
  }
  const ProgramLeg& leg = ActiveLegEntry();
  FormatCoordinate(out, size, latitude ? leg.latitude : leg.longitude, CoordForm::kLong,
                   coordDecimal);
}

static void WriteAircraftCoordinate(StringElement* field, const GeoCoord& coord, CoordForm form) {
  size_t size;
  if (char* out = FieldBuffer(field, &size)) FormatCoordinate(out, size, coord, form, coordDecimal);
}

double LegText(double value) {
  StringElement* field = panelFields[kLegField];
  if (BlankWhilePowerFailed(field)) return value;
  if (gps.programInvalid)
    WriteText(field, "--/--");
  else if (gps.holdMode)
    WriteText(field, "%02d-SD", gps.activeLeg + 1);
  else
    WriteText(field, "%02d/%02d", gps.activeLeg + 1, gps.legCount);
  return value;
}

double IdentText(double value) {
  StringElement* field = panelFields[kIdentField];
  if (BlankWhilePowerFailed(field)) return value;
  if (gps.programInvalid)
    WriteText(field, "%s", gps.reloadCountdown != 0 ? "-----" : "ERROR");
  else
    CopyText(field, ActiveLegEntry().ident, sizeof ProgramLeg::ident);
  return value;
}

// While the program is invalid the name carries the load error or "DATA RELOADING".
double NameText(double value) {
  StringElement* field = panelFields[kNameField];
  if (BlankWhilePowerFailed(field)) return value;
  CopyText(field, ActiveLegEntry().name, sizeof ProgramLeg::name);
  return value;
}

double WaypointLatText(double value) {
  StringElement* field = panelFields[kWaypointLatField];
  if (BlankWhilePowerFailed(field)) return value;
  WriteWaypointCoordinate(field, true);
  return value;
}

double WaypointLonText(double value) {
  StringElement* field = panelFields[kWaypointLonField];
  if (BlankWhilePowerFailed(field)) return value;
  WriteWaypointCoordinate(field, false);
  return value;
}

// Red desired track; yellow commanded heading while a wind correction applies and
// the pilot asked for it, blinking out in the off phases of a wind warning.
double HeadingText(double value) {
  StringElement* field = panelFields[kHeadingField];
  if (BlankWhilePowerFailed(field)) return value;
  SetColour(field, kRed);
  if (gps.programInvalid) {
    WriteText(field, "---");
    return value;
  }
  int32_t heading;
  if (gps.windCorrected && showCommandedHeading) {
    SetColour(field, gps.windWarning && gps.blinkPhase ? kFieldBackground : kYellow);
    heading = gps.commandedHeading;
  } else {
    heading = gps.desiredTrack;
    showCommandedHeading = 0;  // without a wind correction there is nothing else to show
  }
  if (heading == 0)
    WriteText(field, "360");
  else
    WriteText(field, "%03d", heading);
  return value;
}

double EtaText(double value) {
  StringElement* field = panelFields[kEtaField];
  if (BlankWhilePowerFailed(field)) return value;
  if (gps.programInvalid || !gps.etaValid)
    WriteText(field, "--:--");
  else if (gps.speedDisplayCount > 0)
    WriteText(field, " %d", gps.groundSpeed);
  else
    WriteText(field, "%02d:%02d", gps.etaHours, gps.etaMinutes);
  return value;
}

double DistanceText(double value) {
  StringElement* field = panelFields[kDistanceField];
  if (BlankWhilePowerFailed(field)) return value;
  if (gps.programInvalid)
    WriteText(field, "-----nm");
  else
    WriteText(field, "%5dnm", sys::TruncateToInt32(gps.distanceNm));
  return value;
}

// V2: the position lines show the active leg instead when the pilot chose so; the
// aircraft position is converted either way.
static bool ShowWaypointInstead(StringElement* field, bool latitude) {
  if constexpr (!kIsV2Panel) return false;
  if (!showWaypointPosition) {
    SetColour(field, kLightGrey);
    return false;
  }
  SetColour(field, kYellow);
  WriteWaypointCoordinate(field, latitude);
  return true;
}

double PresentLatText(double value) {
  StringElement* field = panelFields[kPresentLatField];
  if (BlankWhilePowerFailed(field)) return value;
  if (field) ConvertLatitude(field->sources[0]);
  if (!ShowWaypointInstead(field, true))
    WriteAircraftCoordinate(field, gps.presentLat, CoordForm::kShort);
  return value;
}

double PresentLonText(double value) {
  StringElement* field = panelFields[kPresentLonField];
  if (BlankWhilePowerFailed(field)) return value;
  if (field) ConvertLongitude(field->sources[0]);
  if (!ShowWaypointInstead(field, false))
    WriteAircraftCoordinate(field, gps.presentLon, CoordForm::kLong);
  return value;
}

double StatusText(double value) {
  StringElement* field = panelFields[kStatusField];
  if (BlankWhilePowerFailed(field)) return value;
  if (gps.headingCoupled) {
    SetColour(field, gps.windWarning && gps.blinkPhase ? kRed : kGreen);
    WriteText(field, "%s", gps.windCorrected ? "ACTIVE WND" : "ACTIVE");
  } else {
    SetColour(field, kRed);
    WriteText(field, "STANDBY");
  }
  return value;
}

double ArrivalActionText(double value) {
  static const char* const kActionTexts[] = {"Of", "Ps", "Ci"};
  StringElement* field = panelFields[kArrivalActionField];
  if (BlankWhilePowerFailed(field)) return value;
  int32_t action = gps.arrivalAction;
  WriteText(field, "%s", action >= 0 && action <= 2 ? kActionTexts[action] : "");
  return value;
}

double StatusSourceValue(ModuleVar* binding) {
  if (gps.powerFailed) return binding ? binding->value.real : 0.0;
  return gps.headingCoupled ? 1.0 : 0.0;
}
