// The button routines of the V1, V2 and V4 panels, RefreshScreen and the panel's
// display flags. Buttons change GpsState or the flags directly and refresh the
// fields they affect; during a power failure all but the data button (the
// engine's OpenDataManager) are inert. Every routine ignores its two arguments
// and returns 1.
#include "v124_panel.h"

int32_t coordDecimal;
int32_t showCommandedHeading;
int32_t showWaypointPosition;

constexpr uint32_t kEventAutopilotEngage = 0x1002C;

static void ShowNewTexts() { Services()->InitElements(&headElement.base); }

void RefreshScreen() {
  LegText(0.0);
  IdentText(0.0);
  NameText(0.0);
  if constexpr (!kIsV2Panel) {
    WaypointLonText(0.0);
    WaypointLatText(0.0);
  }
  HeadingText(0.0);
  EtaText(0.0);
  DistanceText(0.0);
  ShowNewTexts();
}

// Engages the autopilot when coupling while it is off; on coupling, steers it to
// the commanded heading at once. The status field follows at the host's next update.
int32_t ToggleHeadingCoupling(int32_t, int32_t) {
  if (gps.powerFailed || gps.programInvalid) return 1;
  double engaged = ReadBinding(Binding<kTokenAutopilotEngaged>());
  if (!gps.headingCoupled && engaged == 0.0) Services()->SendKeyEvent(kEventAutopilotEngage, 0);
  gps.headingCoupled = !gps.headingCoupled;
  if (gps.headingCoupled) SendCommandedHeading();
  return 1;
}

int32_t ToggleHeadingDisplay(int32_t, int32_t) {
  if (gps.powerFailed || gps.programInvalid) return 1;
  showCommandedHeading = !showCommandedHeading;
  HeadingText(0.0);
  ShowNewTexts();
  return 1;
}

// The ETA field shows the ground speed for four navigation cycles; a second press
// restarts the count.
int32_t ShowGroundSpeed(int32_t, int32_t) {
  if (gps.powerFailed || gps.programInvalid || !gps.etaValid) return 1;
  gps.speedDisplayCount = 4;
  EtaText(0.0);
  ShowNewTexts();
  return 1;
}

int32_t CycleArrivalAction(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  gps.arrivalAction = gps.arrivalAction >= 2 ? 0 : gps.arrivalAction + 1;
  ArrivalActionText(0.0);
  ShowNewTexts();
  return 1;
}

int32_t ToggleHoldMode(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  gps.holdMode = !gps.holdMode;
  RefreshScreen();
  return 1;
}

// V1 and V4 redraw the waypoint lines at once; V2's position lines, like the
// aircraft lines of every variant, take the new form at the host's next update.
int32_t ToggleCoordinateFormat(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  coordDecimal = !coordDecimal;
  if constexpr (!kIsV2Panel) {
    WaypointLonText(0.0);
    WaypointLatText(0.0);
    ShowNewTexts();
  }
  return 1;
}

int32_t TogglePositionSource(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  showWaypointPosition = !showWaypointPosition;
  return 1;
}

// Legs the buttons may step through: legCount held inside the table. After a
// failed reload legCount is 1 while activeLeg keeps its old value, so the buttons
// wrap when the index reaches or passes the count, never only when it equals it (2).
static int32_t SteppableLegs() {
  int32_t count = gps.legCount;
  if (count < 0) count = 0;
  if (count > kMaxLegs) count = kMaxLegs;
  return count;
}

static void AfterLegStep() {
  gps.previousDistanceNm = gps.distanceNm;
  gps.arrived = 0;
  RefreshScreen();
}

int32_t NextLeg(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  int32_t count = SteppableLegs();
  int64_t next = int64_t(gps.activeLeg) + 1;
  if (next >= count || next < 0) next = 0;  // also 0 for an empty program
  gps.activeLeg = int32_t(next);
  AfterLegStep();
  return 1;
}

int32_t PreviousLeg(int32_t, int32_t) {
  if (gps.powerFailed) return 1;
  int32_t count = SteppableLegs();
  int64_t previous = int64_t(gps.activeLeg) - 1;
  if (previous < 0 || previous >= count) previous = count - 1;
  if (previous < 0) previous = 0;  // empty program
  gps.activeLeg = int32_t(previous);
  AfterLegStep();
  return 1;
}
