// IpcProbe's dialog procedure and the monitor's state: Link and Unlink attach and
// detach the two areas, the one-second timer copies COM_AREA (and PGR_AREA when the
// program checksum changed) and shows them, and the request buttons write single
// 32-bit words into COM_AREA.
//
// Everything read from the areas is another process's data and is shown, never
// trusted: a leg index outside the table selects no record (placeholders instead),
// texts are taken only up to their field's end, and number formats are bounded.
//
// Invariants:
//   (1) comArea and pgrArea are null or attached, independently of each other;
//   (2) "LINKED" is shown only after PGR_AREA was attached by Link;
//   (3) the COM copy and the PGR copy survive an unlink; only the next read
//       replaces them.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/shared_areas.h"
#include "ipcprobe.h"
#include "sys/shared_area.h"
#include "ui/message_box.h"

struct ProbeState {
  sys::SharedArea* comArea;  // set while COM_AREA is attached (1)
  sys::SharedArea* pgrArea;  // set while PGR_AREA is attached (1)
  ComArea comCopy;           // the last COM_AREA record read (3)
  PgrArea pgrCopy;           // the last program read (3)
  int32_t lastChecksum;      // programChecksum of comCopy when pgrCopy was last refreshed
  int32_t powerFailure;      // the value last written as power-failure request, 0 or 1
};

static ProbeState probe;

// The value fields that Unlink and an offline unit empty.
static const int kValueFields[] = {
    kRealHeadingField, kGpsHeadingField,  kAutopilotHeadingField, kAircraftLonField,
    kAircraftLatField, kGroundSpeedField, kDistanceField,         kEtaField,
    kCouplingField,    kWindField,        kAltitudeField,         kLegNumberField,
    kLegLonField,      kLegLatField,      kLegNameField,          kLegIdentField,
};

static const char kInfoCaption[] = "INFO from IpcProbe";
static const char kFatalCaption[] = "FATAL ERROR from IpcProbe";

static void EmptyValueFields(ui::Dialog* dialog) {
  for (int id : kValueFields) ui::SetItemText(dialog, id, "");
}

// "N 47º 27' 20"" and "E   8º 33' 30"": hemisphere, degrees, minutes, seconds,
// with the degree sign of code page 1252 and the seconds mark.
static void ShowCoordinate(ui::Dialog* dialog, int id, const GeoCoord& coord, bool longitude) {
  char text[64];
  std::snprintf(text, sizeof text,
                longitude ? "%c %3d\xBA %02d' %02d\"" : "%c %2d\xBA %02d' %02d\"", coord.hemisphere,
                coord.degrees, coord.minutes, coord.seconds);
  ui::SetItemText(dialog, id, text);
}

static void ShowNumber(ui::Dialog* dialog, int id, const char* format, int32_t value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  ui::SetItemText(dialog, id, text);
}

// A NUL-terminated text of a fixed-size field, ending at the field's end at the
// latest (the other process may have left no NUL).
template <size_t N>
static std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

static void CloseAreas() {
  sys::CloseSharedArea(probe.comArea);
  sys::CloseSharedArea(probe.pgrArea);
  probe.comArea = nullptr;
  probe.pgrArea = nullptr;
}

static void StartDialog(ui::Dialog* dialog) {
  probe = ProbeState{};
  ui::SetDialogTitle(dialog, kProbeTitle);
  if (ui::SetTimer(dialog, kProbeTimerId, kProbeTimerPeriodMs)) {
    ui::SetItemText(dialog, kLinkedField, "NOT LINKED");
  } else {
    ui::MessageBox(dialog, "Sorry, unable to create a timer!", kFatalCaption,
                   ui::kMbOk | ui::kMbIconExclamation);
    ui::EndDialog(dialog, kDialogTimerFailed);
  }
  ui::EnableItem(dialog, kLinkButton, true);
  ui::EnableItem(dialog, kUnlinkButton, false);
}

// Attaches one area; on failure reports which step failed and returns null.
static sys::SharedArea* Attach(ui::Dialog* dialog, const char* name, size_t bytes, bool writable,
                               const char* label) {
  sys::SharedArea* area =
      writable ? sys::OpenSharedArea(name, bytes) : sys::OpenSharedAreaForReading(name, bytes);
  const char* failed = nullptr;
  if (!area) {
    failed = "OpenFileMapping";
  } else if (!sys::SharedAreaView(area)) {
    sys::CloseSharedArea(area);
    area = nullptr;
    failed = "MapViewOfFile";
  }
  if (failed) {
    std::string text = std::string("Sorry, ") + failed + "(" + label + ") fail!";
    ui::Beep(ui::kBeepPlain);
    ui::MessageBox(dialog, text.c_str(), kInfoCaption, ui::kMbOk | ui::kMbIconError);
  }
  return area;
}

static void Link(ui::Dialog* dialog) {
  if (!probe.comArea) {
    probe.comArea = Attach(dialog, kComAreaName, kComAreaBytes, true, "COM_AREA");
    if (!probe.comArea) return;
  }
  if (!probe.pgrArea) {
    probe.pgrArea = Attach(dialog, kPgrAreaName, kPgrAreaBytes, false, "PGR_AREA");
    if (!probe.pgrArea) return;  // COM_AREA stays attached; the next Link retries this
    ui::SetItemText(dialog, kLinkedField, "LINKED");  // (2)
  }
  ui::EnableItem(dialog, kLinkButton, false);
  ui::EnableItem(dialog, kUnlinkButton, true);
}

static void Unlink(ui::Dialog* dialog) {
  CloseAreas();
  EmptyValueFields(dialog);
  ui::SetItemText(dialog, kOnlineField, "");
  ui::SetItemText(dialog, kLinkedField, "NOT LINKED");
  ui::EnableItem(dialog, kLinkButton, true);
  ui::EnableItem(dialog, kUnlinkButton, false);
}

// The leg fields from the PGR copy's record at the active leg. The index is the
// other process's word: outside the table (the -1 that "-" writes on an empty
// program, or garbage) it selects no record, and the fields show "--" as the leg
// number and nothing else.
static void ShowActiveLeg(ui::Dialog* dialog) {
  const ComArea& com = probe.comCopy;
  char text[48];
  if (com.activeLeg < 0 || com.activeLeg >= kMaxLegs) {
    std::snprintf(text, sizeof text, "--/%02" PRId32, com.legCount);
    ui::SetItemText(dialog, kLegNumberField, text);
    for (int id : {kLegIdentField, kLegNameField, kLegLatField, kLegLonField}) {
      ui::SetItemText(dialog, id, "");
    }
    return;
  }
  std::snprintf(text, sizeof text, "%02" PRId32 "/%02" PRId32, com.activeLeg + 1, com.legCount);
  ui::SetItemText(dialog, kLegNumberField, text);
  const ProgramLeg& leg = probe.pgrCopy.legs[com.activeLeg];
  ui::SetItemText(dialog, kLegIdentField, FieldText(leg.ident).c_str());
  ui::SetItemText(dialog, kLegNameField, FieldText(leg.name).c_str());
  ShowCoordinate(dialog, kLegLatField, leg.latitude, false);
  ShowCoordinate(dialog, kLegLonField, leg.longitude, true);
}

static void Tick(ui::Dialog* dialog) {
  if (!probe.comArea) return;
  probe.comCopy = ReadComArea(sys::SharedAreaView(probe.comArea));
  const ComArea& com = probe.comCopy;
  if (com.modelCode == 0) {
    EmptyValueFields(dialog);
    ui::SetItemText(dialog, kOnlineField, "GPS OFFLINE");
    return;
  }
  ui::SetItemText(dialog, kOnlineField, "GPS ONLINE");
  ShowCoordinate(dialog, kAircraftLatField, com.aircraftLat, false);
  ShowCoordinate(dialog, kAircraftLonField, com.aircraftLon, true);
  ShowNumber(dialog, kRealHeadingField, "%03" PRId32, com.aircraftHeading);
  ShowNumber(dialog, kGpsHeadingField, "%03" PRId32, com.desiredTrack);
  ShowNumber(dialog, kAutopilotHeadingField, "%03" PRId32, com.commandedHeading);
  ShowNumber(dialog, kGroundSpeedField, "%04" PRId32, com.groundSpeed);
  char text[48];  // a wild real prints long; the field shows what fits
  std::snprintf(text, sizeof text, "%4.2f", com.distanceNm);
  ui::SetItemText(dialog, kDistanceField, text);
  std::snprintf(text, sizeof text, "%02" PRId32 ":%02" PRId32, com.etaHours, com.etaMinutes);
  ui::SetItemText(dialog, kEtaField, text);
  ShowNumber(dialog, kAltitudeField, "%05" PRId32, com.aircraftAltitude);
  ui::SetItemText(dialog, kCouplingField, com.headingCoupled ? "GPS ACTIVE" : "GPS STANDBY");
  ui::SetItemText(dialog, kWindField, com.windCorrected ? "WIND" : "NO WIND");
  if (probe.pgrArea && com.programChecksum != probe.lastChecksum) {
    probe.lastChecksum = com.programChecksum;
    std::memcpy(&probe.pgrCopy, sys::SharedAreaView(probe.pgrArea), sizeof probe.pgrCopy);
  }
  ShowActiveLeg(dialog);
}

static void WriteRequest(size_t offset, int32_t value) {
  WriteAreaInt32(sys::SharedAreaView(probe.comArea), offset, value);
}

// "-": the previous leg, or the last one from the first (count - 1, which is -1 for
// an empty program; the unit clamps it). "+": the next leg, or the first after the
// last. Both in 32-bit two's complement arithmetic, whatever the words hold.
static int32_t PreviousLeg(const ComArea& com) {
  uint32_t from = com.activeLeg > 0 ? uint32_t(com.activeLeg) : uint32_t(com.legCount);
  return int32_t(from - 1u);
}

static int32_t NextLeg(const ComArea& com) {
  return int64_t(com.activeLeg) < int64_t(com.legCount) - 1 ? com.activeLeg + 1 : 0;
}

static void RequestLeg(int32_t leg) {
  probe.comCopy.activeLeg = leg;
  WriteRequest(TERVANE_COM_AT(activeLeg), leg);
  WriteRequest(TERVANE_COM_AT(legRequest), 1);
}

static void SwitchCoupling() {
  int32_t coupled = probe.comCopy.headingCoupled != 0 ? 0 : 1;
  probe.comCopy.headingCoupled = coupled;
  WriteRequest(TERVANE_COM_AT(headingCoupled), coupled);
  WriteRequest(TERVANE_COM_AT(legRequest), 1);
}

static void TogglePowerFailure(ui::Dialog* dialog) {
  probe.powerFailure = probe.powerFailure ? 0 : 1;
  WriteRequest(TERVANE_COM_AT(powerFailRequest), probe.powerFailure);
  ui::SetItemText(dialog, kPowerFailureField, probe.powerFailure ? "TRUE" : "FALSE");
}

static bool Command(ui::Dialog* dialog, int id) {
  switch (id) {
    case kLinkButton:
      Link(dialog);
      return true;
    case kUnlinkButton:
      Unlink(dialog);
      return true;
    case kReloadButton:
    case kCouplingButton:
    case kPreviousLegButton:
    case kNextLegButton:
    case kPowerFailureButton:
      break;
    default:
      return false;
  }
  if (!probe.comArea) return true;  // requests need COM_AREA
  switch (id) {
    case kReloadButton:
      WriteRequest(TERVANE_COM_AT(reloadRequest), 1);
      break;
    case kCouplingButton:
      SwitchCoupling();
      break;
    case kPreviousLegButton:
      RequestLeg(PreviousLeg(probe.comCopy));
      break;
    case kNextLegButton:
      RequestLeg(NextLeg(probe.comCopy));
      break;
    case kPowerFailureButton:
      TogglePowerFailure(dialog);
      break;
  }
  return true;
}

bool ProbeDialogProc(ui::Dialog* dialog, const ui::Message& message) {
  switch (message.kind) {
    case ui::kInit:
      StartDialog(dialog);
      return true;
    case ui::kCommand:
      return message.code == ui::kClicked && Command(dialog, message.id);
    case ui::kTimer:
      if (message.id != kProbeTimerId) return false;
      Tick(dialog);
      return true;
    case ui::kClose:
      CloseAreas();
      ui::EndDialog(dialog, kDialogClosed);
      return true;
    case ui::kDestroy:
      ui::KillTimer(dialog, kProbeTimerId);
      CloseAreas();  // no-op after a close; an ended run leaves nothing attached
      return true;
    case ui::kNotify:
      return false;
  }
  return false;
}
