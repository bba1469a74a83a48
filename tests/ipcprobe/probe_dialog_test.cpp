// IpcProbe's dialog procedure, headless, against a stand-in unit that holds the two
// areas under their real names: the start state, Link and its failures, the fields
// and their formats, the offline display, the request words, the power toggle, the
// program copy refreshed only on a new checksum, and the untrusted words of the
// other process (leg index, texts without NUL, wild reals).
#include <climits>
#include <cmath>

#include "probe_fixture.h"
#include "ui/message_box.h"

namespace {

using probetest::Coord;
using probetest::FakeUnit;
using probetest::Leg;
using probetest::RunningRecord;
using ui::headless::User;

class IpcProbeDialog : public probetest::ProbeTest {};

const int kEmptiedFields[] = {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                              1012, 1013, 1014, 1015, 1016, 1017, 1018, 1020};

TEST_F(IpcProbeDialog, StartsUnlinkedWithItsTimer) {
  Run([](User& u) {
    EXPECT_EQ(u.Title(), "IpcProbe 1.10");
    EXPECT_EQ(u.Text(kLinkedField), "NOT LINKED");
    EXPECT_TRUE(u.Enabled(kLinkButton));
    EXPECT_FALSE(u.Enabled(kUnlinkButton));
    EXPECT_EQ(u.Text(kPowerFailureField), "FALSE");
    EXPECT_EQ(u.TimerPeriod(kProbeTimerId), 1000u);
  });
}

TEST_F(IpcProbeDialog, LinkWithoutAUnitShowsTheComMessageAndStaysUnlinked) {
  Run([](User& u) {
    ui::headless::AnswerMessageBox(ui::kIdOk);
    u.Click(kLinkButton);
    EXPECT_EQ(u.Text(kLinkedField), "NOT LINKED");
    EXPECT_TRUE(u.Enabled(kLinkButton));
    EXPECT_FALSE(u.Enabled(kUnlinkButton));
    Tick(u);
    EXPECT_EQ(u.Text(kOnlineField), "");
  });
  ASSERT_EQ(ui::headless::MessageBoxes().size(), 1u);
  const auto& box = ui::headless::MessageBoxes()[0];
  EXPECT_EQ(box.text, "Sorry, OpenFileMapping(COM_AREA) fail!");
  EXPECT_EQ(box.caption, "INFO from IpcProbe");
  EXPECT_EQ(box.flags, unsigned(ui::kMbOk | ui::kMbIconError));
  EXPECT_EQ(ui::headless::Beeps(), std::vector<ui::BeepKind>{ui::kBeepPlain});
}

TEST_F(IpcProbeDialog, AMissingProgramAreaLeavesComAttachedAndTheNextLinkRetriesIt) {
  FakeUnit unit(false);
  ASSERT_TRUE(unit.ok());
  unit.Publish(RunningRecord(0, 1, 7));
  Run([&](User& u) {
    ui::headless::AnswerMessageBox(ui::kIdOk);
    u.Click(kLinkButton);
    EXPECT_EQ(ui::headless::MessageBoxes().back().text, "Sorry, OpenFileMapping(PGR_AREA) fail!");
    EXPECT_EQ(u.Text(kLinkedField), "NOT LINKED");
    EXPECT_TRUE(u.Enabled(kLinkButton));
    Tick(u);
    EXPECT_EQ(u.Text(kOnlineField), "GPS ONLINE");  // COM_AREA is read meanwhile
    unit.AddPgr();
    u.Click(kLinkButton);
    EXPECT_EQ(u.Text(kLinkedField), "LINKED");
    EXPECT_FALSE(u.Enabled(kLinkButton));
    EXPECT_TRUE(u.Enabled(kUnlinkButton));
  });
}

TEST_F(IpcProbeDialog, ShowsEveryFieldInItsFormat) {
  FakeUnit unit;
  ComArea com = RunningRecord(1, 12, 99);
  com.desiredTrack = 92;
  com.commandedHeading = 95;
  com.aircraftHeading = 7;
  com.aircraftAltitude = 3000;
  com.groundSpeed = 120;
  com.distanceNm = 12.5;
  com.etaHours = 1;
  com.etaMinutes = 5;
  com.headingCoupled = 1;
  com.windCorrected = 0;
  unit.Publish(com);
  unit.SetLeg(1, Leg("LSZH", "ZURICH", Coord('E', 8, 33, 30), Coord('N', 47, 27, 20)));
  Run([](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    struct Expect {
      int id;
      const char* text;
    };
    const Expect shown[] = {
        {kOnlineField, "GPS ONLINE"},
        {kAircraftLatField, "N 47\xBA 27' 20\""},
        {kAircraftLonField, "E   8\xBA 33' 30\""},
        {kRealHeadingField, "007"},
        {kGpsHeadingField, "092"},
        {kAutopilotHeadingField, "095"},
        {kGroundSpeedField, "0120"},
        {kDistanceField, "12.50"},
        {kEtaField, "01:05"},
        {kAltitudeField, "03000"},
        {kCouplingField, "GPS ACTIVE"},
        {kWindField, "NO WIND"},
        {kLegNumberField, "02/12"},
        {kLegIdentField, "LSZH"},
        {kLegNameField, "ZURICH"},
        {kLegLatField, "N 47\xBA 27' 20\""},
        {kLegLonField, "E   8\xBA 33' 30\""},
        {kLinkedField, "LINKED"},
    };
    for (const Expect& e : shown) EXPECT_EQ(u.Text(e.id), e.text) << "field " << e.id;
  });
}

TEST_F(IpcProbeDialog, AnOfflineUnitEmptiesTheFieldsAndKeepsTheLink) {
  FakeUnit unit;
  unit.Publish(RunningRecord(0, 3, 5));
  Run([&](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    ASSERT_EQ(u.Text(kLegNumberField), "01/03");
    unit.SetWord(TERVANE_COM_AT(modelCode), 0);
    Tick(u);
    EXPECT_EQ(u.Text(kOnlineField), "GPS OFFLINE");
    for (int id : kEmptiedFields) EXPECT_EQ(u.Text(id), "") << "field " << id;
    EXPECT_EQ(u.Text(kLinkedField), "LINKED");
    EXPECT_FALSE(u.Enabled(kLinkButton));
    EXPECT_TRUE(u.Enabled(kUnlinkButton));
  });
}

TEST_F(IpcProbeDialog, LegButtonsRequestTheNeighbouringLegWithWrapAround) {
  struct Case {
    int32_t active, count;
    int button;
    int32_t requested;
  };
  const Case cases[] = {
      {0, 12, kPreviousLegButton, 11},  // "-" on leg 1 of 12
      {11, 12, kNextLegButton, 0},      // "+" on leg 12 of 12
      {5, 12, kPreviousLegButton, 4},
      {5, 12, kNextLegButton, 6},
      {0, 0, kPreviousLegButton, -1},  // empty program: the unit clamps it
      {0, 0, kNextLegButton, 0},
      {-7, 12, kPreviousLegButton, 11},
      {40, 12, kNextLegButton, 0},
      // Garbage words: two's complement wrap, never undefined behaviour.
      {INT_MIN, INT_MIN, kPreviousLegButton, INT_MAX},
      {INT_MAX - 2, INT_MAX, kNextLegButton, INT_MAX - 1},
      {INT_MAX, INT_MIN, kNextLegButton, 0},
  };
  FakeUnit unit;
  for (const Case& c : cases) {
    unit.Publish(RunningRecord(c.active, c.count, 1));
    Run([&](User& u) {
      u.Click(kLinkButton);
      Tick(u);
      u.Click(c.button);
      EXPECT_EQ(unit.Word(TERVANE_COM_AT(activeLeg)), c.requested)
          << c.active << " of " << c.count << ", button " << c.button;
      EXPECT_EQ(unit.Word(TERVANE_COM_AT(legRequest)), 1);
    });
  }
}

TEST_F(IpcProbeDialog, LegAndCouplingRequestsBuildOnTheCopyUntilTheNextTick) {
  FakeUnit unit;
  unit.Publish(RunningRecord(0, 12, 1));
  Run([&](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    u.Click(kPreviousLegButton);
    u.Click(kPreviousLegButton);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(activeLeg)), 10);
    u.Click(kCouplingButton);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(headingCoupled)), 1);
    u.Click(kCouplingButton);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(headingCoupled)), 0);
    // The unit took the request and published its own values again.
    unit.Publish(RunningRecord(10, 12, 1));
    Tick(u);
    u.Click(kCouplingButton);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(headingCoupled)), 1);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(activeLeg)), 10);  // left as published
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(legRequest)), 1);
    u.Click(kReloadButton);
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(reloadRequest)), 1);
  });
}

TEST_F(IpcProbeDialog, ThePowerToggleStartsFalseWhateverTheAreaHolds) {
  FakeUnit unit;
  unit.Publish(RunningRecord(0, 1, 1));
  unit.SetWord(TERVANE_COM_AT(powerFailRequest), 1);
  Run([&](User& u) {
    u.Click(kPowerFailureButton);  // not linked: nothing happens
    EXPECT_EQ(u.Text(kPowerFailureField), "FALSE");
    u.Click(kLinkButton);
    Tick(u);
    EXPECT_EQ(u.Text(kPowerFailureField), "FALSE");
    unit.SetWord(TERVANE_COM_AT(powerFailRequest), 0);
    u.Click(kPowerFailureButton);
    EXPECT_EQ(u.Text(kPowerFailureField), "TRUE");
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(powerFailRequest)), 1);
    u.Click(kPowerFailureButton);
    EXPECT_EQ(u.Text(kPowerFailureField), "FALSE");
    EXPECT_EQ(unit.Word(TERVANE_COM_AT(powerFailRequest)), 0);
  });
}

TEST_F(IpcProbeDialog, UnlinkEmptiesTheFieldsAndTheProgramIsReReadOnlyOnANewChecksum) {
  FakeUnit unit;
  unit.Publish(RunningRecord(0, 2, 5));
  unit.SetLeg(0, Leg("AAAA", "FIRST", Coord('E', 1, 0, 0), Coord('N', 1, 0, 0)));
  Run([&](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    EXPECT_EQ(u.Text(kLegIdentField), "AAAA");
    u.Click(kUnlinkButton);
    for (int id : kEmptiedFields) EXPECT_EQ(u.Text(id), "") << "field " << id;
    EXPECT_EQ(u.Text(kOnlineField), "");
    EXPECT_EQ(u.Text(kLinkedField), "NOT LINKED");
    EXPECT_TRUE(u.Enabled(kLinkButton));
    EXPECT_FALSE(u.Enabled(kUnlinkButton));
    Tick(u);
    EXPECT_EQ(u.Text(kOnlineField), "");  // nothing attached: the timer does nothing
    // A new program under the same checksum is not read again...
    unit.SetLeg(0, Leg("BBBB", "SECOND", Coord('E', 2, 0, 0), Coord('N', 2, 0, 0)));
    u.Click(kLinkButton);
    Tick(u);
    EXPECT_EQ(u.Text(kLegIdentField), "AAAA");
    // ...until the checksum changes.
    unit.SetWord(TERVANE_COM_AT(programChecksum), 6);
    Tick(u);
    EXPECT_EQ(u.Text(kLegIdentField), "BBBB");
    EXPECT_EQ(u.Text(kLegNameField), "SECOND");
  });
}

TEST_F(IpcProbeDialog, LegIndicesOutsideTheTableShowPlaceholders) {
  FakeUnit unit;
  unit.SetLeg(98, Leg("LAST", "LAST LEG", Coord('W', 1, 2, 3), Coord('S', 4, 5, 6)));
  for (int32_t index : {-1, 99, 1000000, INT_MAX, INT_MIN}) {
    unit.Publish(RunningRecord(index, 12, 3));
    Run([&](User& u) {
      u.Click(kLinkButton);
      Tick(u);
      EXPECT_EQ(u.Text(kLegNumberField), "--/12") << index;
      for (int id : {kLegIdentField, kLegNameField, kLegLatField, kLegLonField})
        EXPECT_EQ(u.Text(id), "") << index << " field " << id;
    });
  }
  unit.Publish(RunningRecord(98, 99, 3));  // the last record is still shown
  Run([&](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    EXPECT_EQ(u.Text(kLegNumberField), "99/99");
    EXPECT_EQ(u.Text(kLegIdentField), "LAST");
    EXPECT_EQ(u.Text(kLegLatField), "S  4\xBA 05' 06\"");
  });
}

TEST_F(IpcProbeDialog, WildWordsOfTheOtherProcessAreShownWithinBounds) {
  FakeUnit unit;
  ComArea com = RunningRecord(0, 1, 4);
  com.distanceNm = 1e300;
  com.aircraftHeading = INT_MIN;
  unit.Publish(com);
  // Texts without their NUL: the ident runs to its field's end, not into the name.
  ProgramLeg leg = Leg("", "", Coord('E', 1, 0, 0), Coord('N', 1, 0, 0));
  std::memset(leg.ident, 'I', sizeof leg.ident);
  std::memset(leg.name, 'N', sizeof leg.name);
  unit.SetLeg(0, leg);
  Run([&](User& u) {
    u.Click(kLinkButton);
    Tick(u);
    EXPECT_EQ(u.Text(kLegIdentField), "IIIIII");
    EXPECT_EQ(u.Text(kLegNameField), std::string(21, 'N'));
    EXPECT_EQ(u.Text(kRealHeadingField), "-2147483648");
    EXPECT_LT(u.Text(kDistanceField).size(), 48u);
    EXPECT_EQ(u.Text(kDistanceField).substr(0, 4), "1000");
    com.distanceNm = std::nan("");
    unit.Publish(com);
    Tick(u);
    EXPECT_NE(u.Text(kDistanceField).find("nan"), std::string::npos);
  });
}

TEST_F(IpcProbeDialog, ClosingReleasesTheAreas) {
  auto unit = std::make_unique<FakeUnit>();
  unit->Publish(RunningRecord(0, 1, 1));
  Run([&](User& u) {
    u.Click(kLinkButton);
    unit.reset();  // the unit goes away; the probe's hold keeps the areas
    EXPECT_TRUE(sys::SharedAreaExists(kComAreaName));
    EXPECT_TRUE(sys::SharedAreaExists(kPgrAreaName));
    u.Close();
    EXPECT_TRUE(u.Ended());
  });
  EXPECT_FALSE(sys::SharedAreaExists(kComAreaName));
  EXPECT_FALSE(sys::SharedAreaExists(kPgrAreaName));
}

TEST_F(IpcProbeDialog, ASecondInstanceIsRefused) {
  ui::headless::OnDialog("MainDialog", [](User& u) {
    // While this one runs, a second start in the same process is refused too.
    ui::headless::AnswerMessageBox(ui::kIdOk);
    EXPECT_EQ(RunIpcProbe(), kExitAlreadyRunning);
    u.Close();
  });
  EXPECT_EQ(RunIpcProbe(), kExitNormal);
  ASSERT_EQ(ui::headless::MessageBoxes().size(), 1u);
  const auto& box = ui::headless::MessageBoxes()[0];
  EXPECT_EQ(box.text, "This application is already running !!!");
  EXPECT_EQ(box.caption, "ERROR from IpcProbe");
  EXPECT_EQ(box.flags, unsigned(ui::kMbOk | ui::kMbIconExclamation));
  EXPECT_EQ(ui::headless::Beeps(), std::vector<ui::BeepKind>{ui::kBeepExclamation});
}

}  // namespace
