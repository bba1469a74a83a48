// The update cycle's per-module differences against a recording host, with the
// real named COM_AREA: the power switch (overlay and redraw, ApplyUnitPower, none
// in Concorde), the KLN 90B's off state while switched off, the counters, the
// invalid-program display, the requests Concorde does not take, and wild values
// from the simulator and from COM_AREA. Built for V1, V3, KLN 90B and Concorde.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fake_panel.h"
#include "nav_fixture.h"

namespace {

class CycleBase : public NavFixture {
 protected:
  void SetUp() override {
    NavFixture::SetUp();
    fakepanel::PanelCalls() = fakepanel::Calls{};
    headElement.base.children[0]->flags = kElementHidden;
    CreateComArea();
    ASSERT_NE(gps.comMapping, nullptr);
    gps.legCount = 2;
    SetWaypoint(0, 45.0, 7.0);
    SetWaypoint(1, 46.0, 7.0);
    SetAircraft(44.0, 7.0);
    if constexpr (kIsKln90b) gps.unitOn = 1;
  }
  void Updates(int n) {
    for (int i = 0; i < n; ++i) GaugeUpdate();
  }
  int32_t Word(size_t offset) { return ReadAreaInt32(gps.comView, offset); }
  void Write(size_t offset, int32_t value) { WriteAreaInt32(gps.comView, offset, value); }
  int Count(const std::string& service) {
    int n = 0;
    for (const auto& call : Host().calls) n += call.service == service;
    return n;
  }
  fakepanel::Calls& Panel() { return fakepanel::PanelCalls(); }
};

class CYCLE_SUITE : public CycleBase {};

// A running unit publishes its model code at the 18th call and not before.
TEST_F(CYCLE_SUITE, PublishesTheModelCodeEvery18Calls) {
  Updates(17);
  EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), 0);
  GaugeUpdate();
  EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), kModelCode);
  EXPECT_EQ(Word(TERVANE_COM_AT(legCount)), 2);
  EXPECT_NEAR(ReadAreaReal(gps.comView, TERVANE_COM_AT(distanceNm)), 60.0, 0.1);
  EXPECT_EQ(Count("UpdateElements"), 18);
}

// The power-failure word, taken as written. Concorde never fails.
TEST_F(CYCLE_SUITE, PowerSwitch) {
  Write(TERVANE_COM_AT(powerFailRequest), 2);
  GaugeUpdate();
  if constexpr (kIsConcorde) {
    EXPECT_EQ(gps.powerFailed, 0);
    Updates(17);
    EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), kModelCode);
    EXPECT_EQ(Word(TERVANE_COM_AT(powerFailRequest)), 0);  // nothing copied back
    return;
  }
  EXPECT_EQ(gps.powerFailed, 2);
  if constexpr (kIsKln90b) {
    EXPECT_EQ(Panel().applyUnitPower, 1);
    EXPECT_EQ(Count("RedrawElements"), 0);
  } else {
    EXPECT_EQ(Count("RedrawElements"), 1);
    EXPECT_EQ((Host().ServiceNames()),
              (std::vector<std::string>{"RedrawElements", "UpdateElements"}));
  }
  EXPECT_EQ((headElement.base.children[0]->flags & kElementHidden) == 0, kHasPowerOverlay);
  // Off: no UpdateElements, no reload counting, the off record within 18 calls.
  gps.reloadCountdown = 5;
  Updates(17);
  EXPECT_EQ(Count("UpdateElements"), kIsKln90b ? 0 : 1);  // only the power change's
  EXPECT_EQ(gps.reloadCountdown, 5);
  EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), 0);
  EXPECT_EQ(Word(TERVANE_COM_AT(powerFailRequest)), 2);

  // 2 then 1 is another change, though both mean "failed".
  Write(TERVANE_COM_AT(powerFailRequest), 1);
  GaugeUpdate();
  EXPECT_EQ(gps.powerFailed, 1);
  Write(TERVANE_COM_AT(powerFailRequest), 0);
  GaugeUpdate();
  EXPECT_EQ(gps.powerFailed, 0);
  EXPECT_NE(headElement.base.children[0]->flags & kElementHidden, 0u);
}

// Concorde takes no requests; the others take both.
TEST_F(CYCLE_SUITE, RequestsOnlyOutsideConcorde) {
  Updates(18);
  Write(TERVANE_COM_AT(activeLeg), 1);
  Write(TERVANE_COM_AT(legRequest), 1);
  Updates(18);
  EXPECT_EQ(gps.activeLeg, kIsConcorde ? 0 : 1);
  EXPECT_EQ(Word(TERVANE_COM_AT(legRequest)), 0);  // every publication clears it
  Write(TERVANE_COM_AT(reloadRequest), 1);
  Updates(18);
  EXPECT_EQ(gps.reloadCountdown, kIsConcorde ? 0 : 1);
  EXPECT_EQ(Word(TERVANE_COM_AT(reloadRequest)), 0);
  if constexpr (!kIsConcorde) {
    EXPECT_EQ(gps.programInvalid, 1);
    EXPECT_STREQ(gps.legs[1].name, "DATA RELOADING");
    EXPECT_EQ(gps.showName, 0);  // the request does not set it, unlike the button
  }
}

// Concorde publishes the heading last read (by an arrival action), the others
// read it for every publication.
TEST_F(CYCLE_SUITE, PublishedHeading) {
  SetVar(kTokenHeading, 123.9);
  Updates(18);
  EXPECT_EQ(Word(TERVANE_COM_AT(aircraftHeading)), kIsConcorde ? 0 : 123);
}

// Counters of the navigation cycle.
TEST_F(CYCLE_SUITE, CycleCounters) {
  gps.speedDisplayCount = 2;
  gps.entryCountdown = 1;
  gps.entryMode = 1;
  Updates(18);
  EXPECT_EQ(gps.speedDisplayCount, kCountsSpeedDisplay ? 1 : 2);
  EXPECT_EQ(gps.entryCountdown, kIsV3 ? 0 : 1);
  EXPECT_EQ(gps.entryMode, kIsV3 ? 0 : 1);
  EXPECT_EQ(gps.blinkPhase, 0);  // toggled at 9 and 18
  Updates(9);
  EXPECT_EQ(gps.blinkPhase, 1);
}

// While the program is invalid: V3 and KLN 90B alternate the name (not while a
// reload is pending, unless the wind warning or, in V3, the code entry is on);
// the others refresh only on the wind warning.
TEST_F(CYCLE_SUITE, InvalidProgramDisplay) {
  gps.programInvalid = 1;
  gps.reloadCountdown = 0;
  Updates(18);
  EXPECT_EQ(gps.showName, kUsesShowName ? 1 : 0);
  EXPECT_EQ(Panel().refreshScreen, kUsesShowName ? 1 : 0);
  EXPECT_EQ(Word(TERVANE_COM_AT(programChecksum)), 0);
  gps.windWarning = 1;
  Updates(18);
  EXPECT_EQ(Panel().refreshScreen, kUsesShowName ? 3 : 2);  // call 9 and call 18
}

#ifdef TERVANE_GPS_MODEL_KLN90B
// The KLN 90B switched off is off like a failed unit.
TEST_F(CYCLE_SUITE, SwitchedOffPublishesTheOffRecord) {
  Updates(18);
  ASSERT_EQ(Word(TERVANE_COM_AT(modelCode)), 101);
  gps.unitOn = 0;
  Updates(18);
  EXPECT_EQ(Word(TERVANE_COM_AT(modelCode)), 0);
  EXPECT_EQ(Count("UpdateElements"), 18);
}
#endif

// Wild values: a NaN or huge heading in the turn, a huge altitude; nothing traps
// and the turn result stays an ordinary integer.
TEST_F(CYCLE_SUITE, WildSimulatorValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  gps.headingCoupled = 1;
  gps.arrived = 1;
  gps.arrivalAction = 2;
  SetVar(kTokenAutopilotEngaged, 1);
  for (double heading : {nan, 1e300, -1e300, 359.99}) {
    SCOPED_TRACE(heading);
    SetVar(kTokenHeading, heading);
    SetVar(kTokenAltitude, heading);
    Updates(18);
    EXPECT_EQ(gps.arrived, 1);
  }
  EXPECT_EQ(gps.commandedHeading, 29);
}

}  // namespace
