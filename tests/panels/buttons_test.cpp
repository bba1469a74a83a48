// The V1/V2/V4 button routines against the recording host: leg stepping kept
// inside the program and the table, the coupling's key events, the ETA and HDG
// buttons' gates, the arrival action cycle, and every button but the data button
// inert during a power failure.
#include "routine_fixture.h"

namespace {

using ButtonTest = RoutineTest;
using testsupport::Recording;

constexpr uint32_t kEngage = 0x1002C, kHeadingHold = 0x1010F, kHeadingBug = 0x101FA;

TEST_F(ButtonTest, LegStepsStayInsideTheProgram) {
  struct Case {
    const char* what;
    int32_t legCount, activeLeg, afterNext, afterPrevious;
  };
  const Case cases[] = {
      {"middle", 5, 2, 3, 1},
      {"last wraps to first", 5, 4, 0, 3},
      {"first wraps to last", 5, 0, 1, 4},
      {"full table", 99, 98, 0, 97},
      {"one leg", 1, 0, 0, 0},
      // After a failed reload legCount is 1 while activeLeg kept its old value.
      {"stale index after a failed reload", 1, 50, 0, 0},
      {"empty program", 0, 0, 0, 0},
      {"index past the table", 99, 120, 0, 98},
      {"negative index", 5, -3, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoadProgram(c.legCount);
    gps.legCount = c.legCount;
    gps.activeLeg = c.activeLeg;
    gps.distanceNm = 7.5;
    gps.previousDistanceNm = 1.0;
    gps.arrived = 1;
    EXPECT_EQ(NextLeg(3, 4), 1);
    EXPECT_EQ(gps.activeLeg, c.afterNext);
    EXPECT_EQ(gps.previousDistanceNm, 7.5);
    EXPECT_EQ(gps.arrived, 0);
    gps.activeLeg = c.activeLeg;
    gps.arrived = 1;
    gps.previousDistanceNm = 1.0;
    EXPECT_EQ(PreviousLeg(0, 0), 1);
    EXPECT_EQ(gps.activeLeg, c.afterPrevious);
    EXPECT_EQ(gps.previousDistanceNm, 7.5);
    EXPECT_EQ(gps.arrived, 0);
  }
}

TEST_F(ButtonTest, LegStepWalksTheWholeProgramAndRefreshes) {
  LoadProgram(3);
  const char* legs[] = {"02/03", "03/03", "01/03"};
  for (const char* leg : legs) {
    Recording().Clear();
    NextLeg(0, 0);
    EXPECT_EQ(Text(kLegField), leg);
    EXPECT_EQ(Recording().ServiceNames(), std::vector<std::string>{"InitElements"});
  }
  EXPECT_EQ(Text(kIdentField), "W01");
}

TEST_F(ButtonTest, CouplingEngagesTheAutopilotAndSteers) {
  struct Case {
    const char* what;
    double autopilot;
    int32_t coupledBefore;
    std::vector<std::pair<uint32_t, uint32_t>> events;
  };
  const Case cases[] = {
      {"autopilot off", 0.0, 0, {{kEngage, 0}, {kHeadingHold, 0}, {kHeadingBug, 123}}},
      {"autopilot on", 1.0, 0, {{kHeadingHold, 0}, {kHeadingBug, 123}}},
      {"uncouple", 0.0, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recording().Clear();
    Recording().variables[0x67] = c.autopilot;
    gps.headingCoupled = c.coupledBefore;
    gps.commandedHeading = 123;
    EXPECT_EQ(ToggleHeadingCoupling(0, 0), 1);
    EXPECT_EQ(gps.headingCoupled, !c.coupledBefore);
    EXPECT_EQ(Recording().keyEvents, c.events);
  }
}

TEST_F(ButtonTest, EtaButtonNeedsAnEtaAndRestartsTheCount) {
  gps.groundSpeed = 180;
  ShowGroundSpeed(0, 0);
  EXPECT_EQ(gps.speedDisplayCount, 0);  // inert while "--:--" is shown
  gps.etaValid = 1;
  ShowGroundSpeed(0, 0);
  EXPECT_EQ(gps.speedDisplayCount, 4);
  EXPECT_EQ(Text(kEtaField), " 180");
  gps.speedDisplayCount = 1;
  ShowGroundSpeed(0, 0);
  EXPECT_EQ(gps.speedDisplayCount, 4);
}

TEST_F(ButtonTest, HdgButtonShowsTheCommandedHeadingOnlyWithAWindCorrection) {
  gps.desiredTrack = 90;
  gps.commandedHeading = 97;
  ToggleHeadingDisplay(0, 0);
  EXPECT_EQ(Text(kHeadingField), "090");
  EXPECT_EQ(showCommandedHeading, 0);  // cleared at once: nothing visible changes
  gps.windCorrected = 1;
  ToggleHeadingDisplay(0, 0);
  EXPECT_EQ(Text(kHeadingField), "097");
  ToggleHeadingDisplay(0, 0);
  EXPECT_EQ(Text(kHeadingField), "090");
}

TEST_F(ButtonTest, ArrivalActionCyclesAlsoWhileInvalid) {
  gps.programInvalid = 1;
  for (const char* text : {"Ps", "Ci", "Of", "Ps"}) {
    CycleArrivalAction(0, 0);
    EXPECT_EQ(Text(kArrivalActionField), text);
  }
  gps.arrivalAction = 7;  // outside 0..2 from anywhere: back to the first
  CycleArrivalAction(0, 0);
  EXPECT_EQ(gps.arrivalAction, 0);
}

TEST_F(ButtonTest, HoldModeAndCoordinateFormat) {
  LoadProgram(4);
  gps.legs[0].latitude = Coord('N', 0, 0.0);
  ToggleHoldMode(0, 0);
  EXPECT_EQ(Text(kLegField), "01-SD");
  ToggleHoldMode(0, 0);
  EXPECT_EQ(Text(kLegField), "01/04");
  Recording().Clear();
  ToggleCoordinateFormat(0, 0);
  EXPECT_EQ(coordDecimal, 1);
#ifdef TERVANE_GPS_MODEL_V2
  EXPECT_TRUE(Recording().calls.empty());  // V2's lines follow at the next update
  TogglePositionSource(0, 0);
  EXPECT_EQ(showWaypointPosition, 1);
#else
  EXPECT_EQ(Text(kWaypointLatField),
            "N  0\xBA"
            "0.00'");
  EXPECT_EQ(Recording().ServiceNames(), std::vector<std::string>{"InitElements"});
#endif
}

TEST_F(ButtonTest, ButtonsNeedingAProgramAreInertWhileInvalid) {
  gps.programInvalid = 1;
  gps.etaValid = 1;
  ToggleHeadingCoupling(0, 0);
  ToggleHeadingDisplay(0, 0);
  ShowGroundSpeed(0, 0);
  EXPECT_EQ(gps.headingCoupled, 0);
  EXPECT_EQ(showCommandedHeading, 0);
  EXPECT_EQ(gps.speedDisplayCount, 0);
  EXPECT_TRUE(Recording().calls.empty());
  LoadProgram(3);
  gps.programInvalid = 1;
  NextLeg(0, 0);  // leg stepping remains usable
  EXPECT_EQ(gps.activeLeg, 1);
}

TEST_F(ButtonTest, EveryButtonButTheDataButtonIsInertDuringAPowerFailure) {
  LoadProgram(3);
  gps.powerFailed = 1;
  gps.etaValid = 1;
  gps.windCorrected = 1;
  MouseRoutine buttons[] = {ToggleHeadingCoupling,
                            ToggleHeadingDisplay,
                            ShowGroundSpeed,
                            CycleArrivalAction,
                            ToggleHoldMode,
                            ToggleCoordinateFormat,
                            TogglePositionSource,
                            NextLeg,
                            PreviousLeg};
  for (MouseRoutine button : buttons) EXPECT_EQ(button(0, 0), 1);
  EXPECT_EQ(gps.activeLeg, 0);
  EXPECT_EQ(gps.headingCoupled, 0);
  EXPECT_EQ(gps.holdMode, 0);
  EXPECT_EQ(gps.arrivalAction, 0);
  EXPECT_EQ(gps.speedDisplayCount, 0);
  EXPECT_EQ(coordDecimal + showCommandedHeading + showWaypointPosition, 0);
  EXPECT_TRUE(Recording().calls.empty());
}

}  // namespace
