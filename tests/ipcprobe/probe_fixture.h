// Fixtures of the IpcProbe tests: a stand-in unit that holds COM_AREA and PGR_AREA
// under their real names and lets a test write what a gauge would publish, and a
// headless session whose problems fail the test.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "engine/shared_areas.h"
#include "ipcprobe.h"
#include "sys/shared_area.h"
#include "ui/headless.h"

namespace probetest {

// The two areas as a gauge creates them (a whole allocation unit each).
class FakeUnit {
 public:
  FakeUnit(bool withPgr = true) {
    com_ = sys::CreateSharedArea(kComAreaName, sys::AllocationGranularity());
    if (withPgr) AddPgr();
  }
  ~FakeUnit() { Release(); }
  FakeUnit(const FakeUnit&) = delete;
  FakeUnit& operator=(const FakeUnit&) = delete;

  void AddPgr() { pgr_ = sys::CreateSharedArea(kPgrAreaName, sys::AllocationGranularity()); }
  void Release() {
    sys::CloseSharedArea(com_);
    sys::CloseSharedArea(pgr_);
    com_ = pgr_ = nullptr;
  }
  bool ok() const { return com_ != nullptr; }

  ComArea Com() const { return ReadComArea(sys::SharedAreaView(com_)); }
  void Publish(const ComArea& record) { WriteComArea(sys::SharedAreaView(com_), record); }
  int32_t Word(size_t offset) const { return ReadAreaInt32(sys::SharedAreaView(com_), offset); }
  void SetWord(size_t offset, int32_t value) {
    WriteAreaInt32(sys::SharedAreaView(com_), offset, value);
  }
  void SetLeg(int index, const ProgramLeg& leg) {
    std::memcpy(static_cast<unsigned char*>(sys::SharedAreaView(pgr_)) + index * sizeof leg, &leg,
                sizeof leg);
  }

 private:
  sys::SharedArea* com_ = nullptr;
  sys::SharedArea* pgr_ = nullptr;
};

inline GeoCoord Coord(char hemisphere, int degrees, int minutes, int seconds) {
  return GeoCoord{hemisphere, degrees, minutes, seconds, minutes + seconds / 60.0};
}

inline ProgramLeg Leg(const char* ident, const char* name, GeoCoord lon, GeoCoord lat) {
  ProgramLeg leg{};
  std::strncpy(leg.ident, ident, sizeof leg.ident - 1);
  std::strncpy(leg.name, name, sizeof leg.name - 1);
  leg.longitude = lon;
  leg.latitude = lat;
  return leg;
}

// A running unit on leg `active` of `count` with a program of checksum `checksum`.
inline ComArea RunningRecord(int32_t active, int32_t count, int32_t checksum) {
  ComArea com{};
  com.aircraftLat = Coord('N', 47, 27, 20);
  com.aircraftLon = Coord('E', 8, 33, 30);
  com.modelCode = 1;
  com.activeLeg = active;
  com.legCount = count;
  com.programChecksum = checksum;
  return com;
}

// Headless runs of the probe's dialog; every problem of the dialog layer fails the
// test, and answers left in the queue too.
class ProbeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Install();
    ui::headless::Reset();
    ui::headless::SetProblemHandler(
        [](const std::string& problem) { ADD_FAILURE() << "dialog layer: " << problem; });
  }
  void TearDown() override {
    for (const std::string& unused : ui::headless::UnusedAnswers())
      ADD_FAILURE() << "left in the queue: " << unused;
    ui::headless::SetProblemHandler(nullptr);
    ui::headless::Reset();
  }

  // Runs the dialog with `script`, then closes it as the close box would.
  static int Run(std::function<void(ui::headless::User&)> script) {
    ui::headless::OnDialog("MainDialog", [script](ui::headless::User& u) {
      script(u);
      if (!u.Ended()) u.Close();
    });
    return ui::RunModalDialog(kProbeDialog, ProbeDialogProc, nullptr);
  }

  static void Tick(ui::headless::User& u) { u.Wait(kProbeTimerPeriodMs); }
};

}  // namespace probetest
