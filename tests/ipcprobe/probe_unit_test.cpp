// IpcProbe against a real host running the V1 GPS module in another process
// (ipcprobe-unit-host): Link attaches to the areas the module created, the live
// fields follow the unit, "-" and "+" move its active leg with wrap-around, the
// coupling and reload requests take effect at the unit, the power toggle takes it
// offline and back, and a unit that goes away leaves its final, offline record.
//
// The live part needs a unit that publishes its status every navigation cycle;
// while the module publishes nothing but its cleared record, that part is skipped
// and says so.
#include <chrono>
#include <filesystem>
#include <thread>

#include "child_process.h"
#include "engine/program_file.h"
#include "probe_fixture.h"

namespace {

namespace fs = std::filesystem;
using probetest::ChildProcess;
using probetest::Coord;
using probetest::Leg;
using ui::headless::User;

// A program of `count` legs named PREFIX01.., eastward along 51° N.
std::vector<ProgramLeg> Program(const char* prefix, int count) {
  std::vector<ProgramLeg> legs;
  for (int i = 1; i <= count; ++i) {
    char ident[8], name[24];
    std::snprintf(ident, sizeof ident, "%s%02d", prefix, i % 100);
    std::snprintf(name, sizeof name, "WAYPOINT %s %02d", prefix, i % 100);
    legs.push_back(Leg(ident, name, Coord('E', i, 0, 0), Coord('N', 51, 0, 0)));
  }
  return legs;
}

// Lets real time pass in small steps, ticking the dialog's clock along, until
// `condition` holds or `seconds` have passed.
template <typename Condition>
bool LiveUntil(User& u, Condition condition, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    u.Wait(100);
  }
  return true;
}

class IpcProbeWithUnit : public probetest::ProbeTest {
 protected:
  void SetUp() override {
    ProbeTest::SetUp();
    simDir_ = fs::temp_directory_path() / ("ipcprobe_unit_" + std::to_string(getpid()));
    fs::create_directories(simDir_);
    fs::create_directory_symlink(fs::path(TERVANE_SIM_GAUGES), simDir_ / "Gauges");
    WriteGpsMemory(Program("WP", 12));
    unit_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{UNIT_HOST_PROGRAM, simDir_.string(), "TERVANE-V1.gau"});
    ASSERT_TRUE(unit_->WaitForOutput("ready", 30)) << unit_->output();
  }
  void TearDown() override {
    if (unit_) {
      unit_->CloseInput();
      EXPECT_EQ(unit_->Wait(20), 0) << unit_->output();
    }
    fs::remove_all(simDir_);
    ProbeTest::TearDown();
  }
  void WriteGpsMemory(const std::vector<ProgramLeg>& legs) {
    ASSERT_EQ(WriteProgramFile((simDir_ / "TERVANE.dat").c_str(), legs.data(), int(legs.size())),
              1);
  }

  fs::path simDir_;
  std::unique_ptr<ChildProcess> unit_;
};

TEST_F(IpcProbeWithUnit, FollowsTheLiveUnitAndItsRequestsTakeEffect) {
  bool live = false;
  Run([&](User& u) {
    u.Click(kLinkButton);
    ASSERT_EQ(u.Text(kLinkedField), "LINKED");
    EXPECT_FALSE(u.Enabled(kLinkButton));
    live = LiveUntil(
        u, [&] { return u.Text(kOnlineField) == "GPS ONLINE"; }, 5);
    if (!live) return;
    EXPECT_EQ(u.Text(kLegNumberField), "01/12");
    EXPECT_EQ(u.Text(kLegIdentField), "WP01");
    EXPECT_EQ(u.Text(kLegNameField), "WAYPOINT WP 01");
    EXPECT_EQ(u.Text(kAircraftLatField).substr(0, 4), "N 51");
    EXPECT_EQ(u.Text(kCouplingField), "GPS STANDBY");

    u.Click(kPreviousLegButton);  // leg 1 of 12: index 11
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kLegNumberField) == "12/12"; }, 4));
    EXPECT_EQ(u.Text(kLegIdentField), "WP12");
    u.Click(kNextLegButton);  // leg 12 of 12: index 0
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kLegNumberField) == "01/12"; }, 4));

    u.Click(kCouplingButton);
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kCouplingField) == "GPS ACTIVE"; }, 4));

    WriteGpsMemory(Program("NW", 3));
    u.Click(kReloadButton);
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kLegIdentField) == "NW01"; }, 8));
    EXPECT_EQ(u.Text(kLegNumberField), "01/03");

    u.Click(kPowerFailureButton);
    EXPECT_EQ(u.Text(kPowerFailureField), "TRUE");
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kOnlineField) == "GPS OFFLINE"; }, 4));
    EXPECT_EQ(u.Text(kLegIdentField), "");
    u.Click(kPowerFailureButton);
    EXPECT_TRUE(LiveUntil(
        u, [&] { return u.Text(kOnlineField) == "GPS ONLINE"; }, 4));
  });
  if (!live) GTEST_SKIP() << "the V1 module publishes no running status yet";
}

TEST_F(IpcProbeWithUnit, AUnitThatGoesAwayLeavesItsOfflineRecord) {
  Run([&](User& u) {
    u.Click(kLinkButton);
    ASSERT_EQ(u.Text(kLinkedField), "LINKED");
    unit_->CloseInput();  // the host kills the gauge and ends
    EXPECT_EQ(unit_->Wait(20), 0) << unit_->output();
    unit_.reset();
    u.Wait(kProbeTimerPeriodMs);
    EXPECT_EQ(u.Text(kOnlineField), "GPS OFFLINE");
    EXPECT_EQ(u.Text(kLinkedField), "LINKED");
    EXPECT_TRUE(sys::SharedAreaExists(kComAreaName));  // held by the probe alone
    u.Click(kUnlinkButton);
    EXPECT_FALSE(sys::SharedAreaExists(kComAreaName));
  });
}

}  // namespace
