// IpcProbe as a program: the terminal console against a stand-in unit, the second
// instance refused across processes (and allowed again once the first has died),
// the command line and its exit codes.
#include <chrono>
#include <thread>

#include "child_process.h"
#include "probe_fixture.h"
#include "sys/instance_lock.h"

namespace {

using probetest::ChildProcess;
using probetest::FakeUnit;
using probetest::RunningRecord;

const std::string kProbe = IPCPROBE_PROGRAM;

// Waits until `condition` holds, for at most `seconds`.
template <typename Condition>
bool Eventually(Condition condition, double seconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(IpcProbeProgram, TheConsoleShowsTheUnitEverySecondAndTakesCommands) {
  FakeUnit unit;
  ASSERT_TRUE(unit.ok());
  unit.Publish(RunningRecord(0, 12, 9));
  unit.SetLeg(0, probetest::Leg("EGLL", "LONDON HEATHROW", probetest::Coord('W', 0, 27, 40),
                                probetest::Coord('N', 51, 28, 39)));
  ChildProcess probe({kProbe, "--text"});
  ASSERT_TRUE(probe.started());
  ASSERT_TRUE(probe.WaitForOutput("commands:", 10)) << probe.output();
  probe.Write("link\n");
  ASSERT_TRUE(probe.WaitForOutput("[GPS ONLINE]", 5)) << probe.output();
  ASSERT_TRUE(probe.WaitForOutput("PowerFailure: FALSE", 1)) << probe.output();
  const std::string& shown = probe.output();
  EXPECT_NE(shown.find("IpcProbe 1.10  [LINKED]  [GPS ONLINE]"), std::string::npos) << shown;
  // The degree sign reaches the terminal as UTF-8.
  EXPECT_NE(shown.find("Latitude: N 47\xC2\xBA 27' 20\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("Leg: 01/12  Ident: EGLL  Name: LONDON HEATHROW"), std::string::npos)
      << shown;

  probe.Write("-\n");
  EXPECT_TRUE(Eventually([&] { return unit.Word(TERVANE_COM_AT(activeLeg)) == 11; }, 5));
  EXPECT_EQ(unit.Word(TERVANE_COM_AT(legRequest)), 1);
  size_t seen = probe.output().size();
  probe.Write("power\nfly\n");
  EXPECT_TRUE(probe.WaitForOutput("PowerFailure: TRUE", 5, seen)) << probe.output();
  EXPECT_TRUE(probe.WaitForOutput("unknown command 'fly'", 1, seen));
  EXPECT_EQ(unit.Word(TERVANE_COM_AT(powerFailRequest)), 1);
  probe.Write("quit\n");
  EXPECT_EQ(probe.Wait(10), kExitNormal) << probe.output();
}

TEST(IpcProbeProgram, LinkWithoutAUnitPrintsTheMessageAndTheEndOfInputQuits) {
  ChildProcess probe({kProbe, "--text"});
  probe.Write("link\n");
  probe.CloseInput();
  EXPECT_EQ(probe.Wait(10), kExitNormal);
  EXPECT_NE(probe.output().find("INFO from IpcProbe: Sorry, OpenFileMapping(COM_AREA) fail!"),
            std::string::npos)
      << probe.output();
}

TEST(IpcProbeProgram, ASecondInstanceIsRefusedUntilTheFirstIsGone) {
  auto first = std::make_unique<ChildProcess>(std::vector<std::string>{kProbe, "--text"});
  ASSERT_TRUE(first->WaitForOutput("commands:", 10)) << first->output();
  {
    ChildProcess second({kProbe, "--text"});
    EXPECT_EQ(second.Wait(10), kExitAlreadyRunning);
    EXPECT_NE(second.output().find("ERROR from IpcProbe: This application is already running !!!"),
              std::string::npos)
        << second.output();
  }
  // The first keeps running; when it dies, the lock goes with it.
  EXPECT_EQ(first->Wait(0.2), -1);
  first->Signal(SIGKILL);
  first->Wait(10);
  first.reset();
  ChildProcess third({kProbe, "--text"});
  EXPECT_TRUE(third.WaitForOutput("commands:", 10)) << third.output();
  third.Signal(SIGTERM);  // ends the session as quit does
  EXPECT_EQ(third.Wait(10), kExitNormal);
}

TEST(IpcProbeProgram, TheWindowHoldsTheLockAndATermSignalClosesIt) {
  ChildProcess window({kProbe}, {"QT_QPA_PLATFORM=offscreen"});
  // The window holds the lock once this process cannot take it (a take that
  // succeeds is let go at once).
  ASSERT_TRUE(Eventually(
      [] {
        sys::InstanceLock* lock = sys::AcquireInstanceLock(kProbeLockName);
        sys::ReleaseInstanceLock(lock);
        return lock == nullptr;
      },
      10));
  ChildProcess second({kProbe, "--text"});
  EXPECT_EQ(second.Wait(10), kExitAlreadyRunning);
  window.Signal(SIGTERM);
  EXPECT_EQ(window.Wait(10), kExitNormal) << window.output();
}

TEST(IpcProbeProgram, CommandLineAndExitCodes) {
  ChildProcess help({kProbe, "--help"});
  EXPECT_EQ(help.Wait(10), kExitNormal);
  EXPECT_NE(help.output().find("--text"), std::string::npos);
  EXPECT_NE(help.output().find("Exit status"), std::string::npos);

  ChildProcess wrong({kProbe, "--bogus"});
  EXPECT_EQ(wrong.Wait(10), kExitUsage);

  ChildProcess noDisplay({kProbe}, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
  EXPECT_EQ(noDisplay.Wait(10), kExitNoDialog);
  EXPECT_NE(noDisplay.output().find("use --text"), std::string::npos) << noDisplay.output();
}

}  // namespace
