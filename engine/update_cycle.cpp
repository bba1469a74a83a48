// GaugeUpdate, the engine's heartbeat, called for every panel update. On every
// call: the power-failure switch, the off state, a pending reload, the count; every
// 18th call the navigation cycle. The blink phase toggles on the 9th and the 18th
// call, so it has a period of 18 calls.
//
// Still to come in this file: the power switch and the off state (FollowPowerSwitch,
// RunOffState) and the body of the navigation cycle after its counters
// (RunNavigationCycle): navigation, leg sequencing, the arrival action, the
// coupling upkeep, the requests left in COM_AREA and the publication of comImage.
#include "engine/area_publishing.h"
#include "engine/engine.h"
#include "engine/panel_interface.h"

constexpr int32_t kNavigationCycleCalls = 18;  // one navigation cycle per 18 update calls
constexpr int32_t kBlinkCall = 9;              // the half-cycle blink
// BeginReload sets the countdown to 1 and every update call while the power is on
// adds 1; the file is read when it reaches 36, on the 35th call after arming.
constexpr int32_t kReloadDueCount = 36;

constexpr uint32_t kEventHeadingHoldOn = 0x1010F;
constexpr uint32_t kEventHeadingBugSet = 0x101FA;

static GaugeElement* Head() { return &headElement.base; }

// Follows the power-failure request word of COM_AREA.
static void FollowPowerSwitch() {}

// Counts and publishes while the unit is off; true when the update ends there.
static bool RunOffState() { return false; }

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

// Every 18th call.
static void RunNavigationCycle() {
  gps.blinkPhase = !gps.blinkPhase;
  gps.updateCount = 0;
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
