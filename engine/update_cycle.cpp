// GaugeUpdate, the engine's heartbeat, called for every panel update, and
// SendCommandedHeading. On every call: the power-failure switch, the off state, a
// pending reload, the count; every 18th call the navigation cycle: counters,
// navigation and leg sequencing, the arrival action, the autopilot coupling
// upkeep, the requests other processes left in COM_AREA, and the publication of
// comImage. The blink phase toggles on the 9th and the 18th call, so it has a
// period of 18 calls.
//
// COM_AREA's request words are written by other processes at any time and without
// a lock: each is read once, with a byte copy, and nothing read from there indexes
// anything before it has been clamped to the program.
#include <cstring>

#include "engine/area_publishing.h"
#include "engine/engine.h"
#include "engine/navigation.h"
#include "engine/panel_interface.h"
#include "sys/numeric.h"

constexpr int32_t kNavigationCycleCalls = 18;  // one navigation cycle per 18 update calls
constexpr int32_t kBlinkCall = 9;              // the half-cycle blink
// BeginReload sets the countdown to 1 and every update call while the power is on
// adds 1; the file is read when it reaches 36, on the 35th call after arming.
constexpr int32_t kReloadDueCount = 36;
// Within this distance a growing distance means the waypoint has been passed.
constexpr double kSequencingDistanceNm = 4.0;
constexpr int32_t kTurnStepDegrees = 30;  // arrival action 2 turns this much per cycle

enum : int32_t { kArriveUncouple = 0, kArriveUncoupleAndSignal = 1, kArriveTurn = 2 };

constexpr uint32_t kEventHeadingHoldOn = 0x1010F;
constexpr uint32_t kEventHeadingBugSet = 0x101FA;
constexpr uint32_t kEventEndOfProgram = 0x10102;  // sent once by arrival action 1

constexpr char kReloadingText[] = "DATA RELOADING";
static_assert(sizeof kReloadingText <= sizeof(ProgramLeg::name));

static GaugeElement* Head() { return &headElement.base; }

// The V1, V2, V4 and LearJet panels' power-failure overlay: the head's first child.
static GaugeElement* PowerOverlay() {
  GaugeElement** children = headElement.base.children;
  return children ? children[0] : nullptr;
}

static int32_t ReadComWord(size_t offset) { return ReadAreaInt32(gps.comView, offset); }

// Follows the power-failure request word of COM_AREA. The word is taken as it is:
// any non-zero value fails the unit, and powerFailed holds what was written.
static void FollowPowerSwitch() {
  if constexpr (kPowerChange == PowerChange::kNever) return;
  if (!gps.comMapping) return;
  int32_t request = ReadComWord(TERVANE_COM_AT(powerFailRequest));
  gps.comImage.powerFailRequest = request;
  if (request == gps.powerFailed) return;
  gps.powerFailed = request;
  if constexpr (kPowerChange == PowerChange::kApplyUnitPower) {
#ifdef TERVANE_GPS_MODEL_KLN90B
    ApplyUnitPower();
#endif
  } else {
    if constexpr (kPowerChange == PowerChange::kOverlayAndRedraw) {
      if (GaugeElement* overlay = PowerOverlay()) {
        if (request == 0)
          overlay->flags |= kElementHidden;
        else
          overlay->flags &= ~kElementHidden;
      }
    }
    Services()->RedrawElements(Head());
    Services()->UpdateElements(Head());
  }
}

// The aircraft's heading and altitude into comImage. The Concorde module reads no
// heading here: its record carries whatever the heading variable held when last
// read (by an arrival action).
static void PublishAircraftState() {
  ModuleVar& heading = Binding<kTokenHeading>();
  if constexpr (kReadsHeadingBeforePublishing) ReadBinding(heading);
  gps.comImage.aircraftHeading = sys::TruncateToInt32(heading.value.real);
  gps.comImage.aircraftAltitude = sys::TruncateToInt32(ReadBinding(Binding<kTokenAltitude>()));
}

// What a unit that is off publishes: position, heading, altitude and the power
// request as read; everything else 0.
static void PublishOffRecord() {
  PublishAircraftState();
  ComArea& r = gps.comImage;
  r.desiredTrack = 0;
  r.commandedHeading = 0;
  r.groundSpeed = 0;
  r.distanceNm = 0.0;
  r.etaHours = 0;
  r.etaMinutes = 0;
  r.headingCoupled = 0;
  r.windCorrected = 0;
  r.windWarning = 0;
  r.programChecksum = 0;
  r.legCount = 0;
  r.activeLeg = 0;
  r.modelCode = 0;
  r.reloadRequest = 0;
  r.legRequest = 0;
  PublishComImage();
}

// The running record. The copy writes 0 over both request words, which consumes a
// leg request and drops one that was not taken.
static void PublishRunningRecord() {
  PublishAircraftState();
  ComArea& r = gps.comImage;
  r.desiredTrack = gps.desiredTrack;
  r.commandedHeading = gps.commandedHeading;
  r.groundSpeed = gps.groundSpeed;
  r.distanceNm = gps.distanceNm;
  r.etaHours = gps.etaHours;
  r.etaMinutes = gps.etaMinutes;
  r.headingCoupled = gps.headingCoupled;
  r.windCorrected = gps.windCorrected;
  r.windWarning = gps.windWarning;
  r.programChecksum = gps.programInvalid ? 0 : gps.programChecksum;
  r.legCount = gps.legCount;
  r.activeLeg = gps.programInvalid ? 0 : gps.activeLeg;
  r.modelCode = kModelCode;
  r.reloadRequest = 0;
  r.legRequest = 0;
  PublishComImage();
}

// While the unit is off (power failed; KLN 90B also while switched off) it only
// counts and publishes the off record every 18 calls. True when the update ends.
static bool RunOffState() {
  bool off = gps.powerFailed != 0;
  if constexpr (kOffWhileUnitSwitchedOff) off = off || !gps.unitOn;
  if (!off) return false;
  if (++gps.updateCount >= kNavigationCycleCalls) {
    gps.updateCount = 0;
    if (gps.comMapping) PublishOffRecord();
  }
  return true;
}

// Completes a pending reload on the call at which its count falls due. A failed
// load keeps programInvalid set; PGR_AREA then keeps the last good program.
static void AdvanceReload() {
  if (gps.reloadCountdown == 0) return;
  if (++gps.reloadCountdown < kReloadDueCount) return;
  gps.reloadCountdown = 0;
  if (LoadGpsMemory()) {
    PublishProgram();
    gps.programInvalid = 0;
    if constexpr (kUsesShowName) gps.showName = 0;
  }
  RefreshScreen();
}

static void CountCycleCounters() {
  gps.blinkPhase = !gps.blinkPhase;
  gps.updateCount = 0;
  if constexpr (kCountsSpeedDisplay) {
    if (gps.speedDisplayCount > 0) --gps.speedDisplayCount;
  }
  if constexpr (kCountsCodeEntry) {
    if (gps.entryCountdown > 0 && --gps.entryCountdown == 0) gps.entryMode = 0;
  }
}

// The heading variable truncated, as a key event value.
static uint32_t PresentHeadingValue() {
  return static_cast<uint32_t>(sys::TruncateToInt32(ReadBinding(Binding<kTokenHeading>())));
}

// Navigation and leg sequencing. The waypoint counts as passed when it is within
// 4 nm and the distance grows; only a coupled unit sequences.
static void NavigateActiveLeg() {
  ComputeNavigation();
  if (gps.headingCoupled) {
    if (gps.distanceNm < kSequencingDistanceNm && gps.previousDistanceNm < gps.distanceNm) {
      if (!gps.holdMode && gps.activeLeg < gps.legCount - 1) {
        ++gps.activeLeg;
        ComputeNavigation();
      } else {
        gps.arrived = 1;  // its action starts with the next cycle
      }
    }
    gps.previousDistanceNm = gps.distanceNm;
  }
  RefreshScreen();
}

// What happens on every cycle after the final or held waypoint was passed.
static void RunArrivalAction() {
  switch (gps.arrivalAction) {
    case kArriveUncouple:
      gps.headingCoupled = 0;
      break;
    case kArriveUncoupleAndSignal:
      gps.headingCoupled = 0;
      Services()->SendKeyEvent(kEventEndOfProgram, 0);
      break;
    case kArriveTurn: {
      // Widened so that a wild heading cannot overflow; the result fits again.
      int64_t heading =
          int64_t{sys::TruncateToInt32(ReadBinding(Binding<kTokenHeading>()))} + kTurnStepDegrees;
      if (heading >= 360) heading -= 360;
      gps.commandedHeading = static_cast<int32_t>(heading);
      RefreshScreen();
      break;
    }
    default:
      break;
  }
}

static void RunProgramAndModes() {
  if (!gps.programInvalid) {
    if (!gps.headingCoupled) {
      gps.previousDistanceNm = gps.distanceNm;
      // The pilot uncoupled during the turn: end it on the present heading.
      if (gps.arrived && gps.arrivalAction == kArriveTurn)
        Services()->SendKeyEvent(kEventHeadingBugSet, PresentHeadingValue());
      gps.arrived = 0;
    }
    if (!gps.arrived)
      NavigateActiveLeg();
    else
      RunArrivalAction();
    return;
  }
  if constexpr (kUsesShowName) {
    bool alternate = gps.windWarning || gps.reloadCountdown == 0;
    if constexpr (kIsV3) alternate = alternate || gps.entryMode;
    if (alternate) {
      gps.showName = !gps.showName;
      RefreshScreen();
    }
  } else {
    if (gps.windWarning) RefreshScreen();
  }
}

// Keeps the autopilot on the commanded heading while coupled; a disengaged
// autopilot ends the coupling.
static void KeepCoupling() {
  double engaged = ReadBinding(Binding<kTokenAutopilotEngaged>());
  double headingHold = ReadBinding(Binding<kTokenHeadingHold>());
  double headingBug = ReadBinding(Binding<kTokenHeadingBug>());
  if (engaged == 0.0 && gps.headingCoupled) gps.headingCoupled = 0;
  if (engaged != 0.0 && gps.headingCoupled &&
      (headingHold == 0.0 || double(gps.commandedHeading) != headingBug))
    SendCommandedHeading();
}

// The reload request: taken only when no reload is pending (BeginReload's steps
// without its showName). True when it was taken; that call publishes nothing.
static bool TakeReloadRequest() {
  if (ReadComWord(TERVANE_COM_AT(reloadRequest)) != 1 || gps.reloadCountdown != 0) return false;
  WriteAreaInt32(gps.comView, TERVANE_COM_AT(reloadRequest), 0);
  gps.reloadCountdown = 1;
  gps.headingCoupled = 0;
  gps.programInvalid = 1;
  std::memcpy(ActiveLegEntry().name, kReloadingText, sizeof kReloadingText);
  RefreshScreen();
  return true;
}

// The leg request: the leg wanted, clamped to the program, and the coupling wanted.
// The new leg is computed at the next cycle.
static void TakeLegRequest() {
  if (ReadComWord(TERVANE_COM_AT(legRequest)) != 1) return;
  int32_t leg = ReadComWord(TERVANE_COM_AT(activeLeg));
  if (leg >= gps.legCount) leg = gps.legCount - 1;
  if (leg < 0) leg = 0;
  gps.activeLeg = leg;
  if (ReadComWord(TERVANE_COM_AT(headingCoupled)) != gps.headingCoupled)
    ToggleHeadingCoupling(0, 0);
}

// Every 18th call. A call that takes a reload request publishes nothing.
static void RunNavigationCycle() {
  CountCycleCounters();
  RunProgramAndModes();
  KeepCoupling();
  if (!gps.comMapping) return;
  if constexpr (kTakesRequests) {
    if (TakeReloadRequest()) return;
    TakeLegRequest();
  }
  PublishRunningRecord();
}

void GaugeUpdate() {
  FollowPowerSwitch();
  if (RunOffState()) return;
  AdvanceReload();
  ++gps.updateCount;
  if (gps.updateCount == kBlinkCall) {
    gps.blinkPhase = !gps.blinkPhase;
    if (gps.windWarning || (kIsV3 && gps.entryMode)) RefreshScreen();
  }
  if (gps.updateCount >= kNavigationCycleCalls) RunNavigationCycle();
  Services()->UpdateElements(Head());
}

void SendCommandedHeading() {
  Services()->SendKeyEvent(kEventHeadingHoldOn, 0);
  Services()->SendKeyEvent(kEventHeadingBugSet, static_cast<uint32_t>(gps.commandedHeading));
}
