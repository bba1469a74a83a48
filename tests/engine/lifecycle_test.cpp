// The gauge routines against a recording host: install (areas, load, bindings,
// rectangles), init per module, kill with its final record, the data-manager
// launch and the deferred reload it arms, and the update count. The shared areas
// are the real named ones, read back by a second process (engine-area-peek).
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "area_peek_client.h"
#include "engine_fixture.h"
#include "sys/library.h"
#include "sys/shared_area.h"

namespace {

using enginetest::GeneratedLeg;
using enginetest::GeneratedProgram;
using enginetest::PeekAreas;
using enginetest::PeekText;

std::vector<uint32_t> BoundTokens() {
  std::vector<uint32_t> tokens;
  for (const auto& call : testsupport::Recording().calls)
    if (call.service == "BindVariable") tokens.push_back(uint32_t(call.a));
  return tokens;
}

int CountCalls(const std::string& service) {
  int count = 0;
  for (const auto& call : testsupport::Recording().calls) count += call.service == service;
  return count;
}

TEST_F(ENGINE_SUITE, InstallRunsItsStepsInOrder) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(42);
  std::vector<std::string> expected = {"InstallElements"};
  expected.insert(expected.end(), kBindingCount, "BindVariable");
  expected.push_back("InstallMouseRects");
  expected.push_back("RegisterMouseRects");
  EXPECT_EQ(Host().ServiceNames(), expected);
  EXPECT_EQ(Host().calls[0].subject, &headElement.base);
  EXPECT_EQ(Host().calls[0].a, 42u);
  EXPECT_EQ(Host().calls.back().subject, mouseRects);

  std::vector<uint32_t> tokens = {0x67, 0x6A, 0x11A, 0x52, 0x51, 0x40, 0x159, 0x15A, 0x157, 0x3C};
  if (kBindsTransponder) tokens.push_back(0x26);
  tokens.insert(tokens.end(), {0x155, 0x4A});
  EXPECT_EQ(BoundTokens(), tokens);
  EXPECT_EQ(Panel().hideLampsAtInstall, kIsKln90b ? 1 : 0);

  EXPECT_EQ(gps.legCount, 3);
  EXPECT_EQ(gps.programInvalid, 0);
  EXPECT_NE(gps.comMapping, nullptr);
  EXPECT_NE(gps.pgrMapping, nullptr);
  EXPECT_EQ(Panel().refreshScreen, 0);
}

TEST_F(ENGINE_SUITE, InstallWithAFailedLoadPublishesTheErrorProgram) {
  gps.activeLeg = 0;
  GaugeInstall(0);
  EXPECT_EQ(gps.programInvalid, 1);
  EXPECT_EQ(gps.legCount, 1);
  auto peek = PeekAreas(1);
  ASSERT_EQ(peek["pgr"], "1");
  EXPECT_EQ(peek["pgr.0"], "|Open data file error|- 0 0 0 0|- 0 0 0 0");
}

// Another module made the areas already: this one opens them, clears the first
// 118 bytes of COM_AREA and overwrites the first 6831 bytes of PGR_AREA; the rest
// of each mapping is never written.
TEST_F(ENGINE_SUITE, ExistingAreasAreOpenedAndOverwritten) {
  const size_t size = sys::AllocationGranularity();
  sys::SharedArea* com = sys::CreateSharedArea(kComAreaName, size);
  sys::SharedArea* pgr = sys::CreateSharedArea(kPgrAreaName, size);
  ASSERT_TRUE(com && pgr);
  auto* comBytes = static_cast<unsigned char*>(sys::SharedAreaView(com));
  auto* pgrBytes = static_cast<unsigned char*>(sys::SharedAreaView(pgr));
  std::memset(comBytes, 0xAB, size);
  std::memset(pgrBytes, 0xCD, size);

  WriteGpsMemory(GeneratedProgram(2));
  GaugeInstall(0);
  for (size_t i = 0; i < kComAreaBytes; ++i) ASSERT_EQ(comBytes[i], 0) << i;
  EXPECT_EQ(comBytes[kComAreaBytes], 0xAB);
  EXPECT_EQ(std::memcmp(pgrBytes, gps.legs, kPgrAreaBytes), 0);
  EXPECT_EQ(pgrBytes[kPgrAreaBytes], 0xCD);
  GaugeKill();
  sys::CloseSharedArea(com);
  sys::CloseSharedArea(pgr);
}

// A second process reads every field at its fixed offset (the distance at the
// unaligned byte 62), and, through a reader that keeps the areas open, the final
// record after kill: modelCode 0 and the last values of everything else.
TEST_F(ENGINE_SUITE, SecondProcessReadsTheAreasAtTheirOffsets) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  auto cleared = PeekAreas(3);
  ASSERT_EQ(cleared["com"], "1");
  EXPECT_EQ(cleared["com.102"], "0");
  EXPECT_EQ(cleared["com.62"], "0");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(cleared["pgr." + std::to_string(i)], PeekText(gps.legs[i]));

  ComArea& c = gps.comImage;
  c.aircraftLat = {'N', 51, 28, 39, 28.65};
  c.aircraftLon = {'W', 0, 27, 40, 27.68};
  c.desiredTrack = 42;
  c.commandedHeading = 46;
  c.aircraftHeading = 50;
  c.aircraftAltitude = 54;
  c.groundSpeed = 58;
  c.distanceNm = 1234.5678;
  c.etaHours = 70;
  c.etaMinutes = 74;
  c.headingCoupled = 1;
  c.windCorrected = 1;
  c.windWarning = 1;
  c.programChecksum = -90;
  c.legCount = 94;
  c.activeLeg = 98;
  c.modelCode = kModelCode;
  c.reloadRequest = 106;
  c.legRequest = 110;
  c.powerFailRequest = 114;
  PublishComImage();

  auto peek = PeekAreas(0);
  EXPECT_EQ(peek["com.0"], PeekText(c.aircraftLat));
  EXPECT_EQ(peek["com.21"], PeekText(c.aircraftLon));
  EXPECT_EQ(peek["com.0"].substr(0, 12), "N 51 28 39 2");
  std::map<std::string, std::string> words = {
      {"com.42", "42"},       {"com.46", "46"},   {"com.50", "50"},   {"com.54", "54"},
      {"com.58", "58"},       {"com.70", "70"},   {"com.74", "74"},   {"com.78", "1"},
      {"com.82", "1"},        {"com.86", "1"},    {"com.90", "-90"},  {"com.94", "94"},
      {"com.98", "98"},       {"com.106", "106"}, {"com.110", "110"}, {"com.114", "114"},
      {"com.62", "1234.5678"}};
  for (const auto& [key, value] : words) EXPECT_EQ(peek[key], value) << key;
  EXPECT_EQ(peek["com.102"], std::to_string(kModelCode));

  // A reader that keeps the areas sees the final record after the module is gone.
  sys::SharedArea* reader = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  ASSERT_NE(reader, nullptr);
  GaugeKill();
  EXPECT_EQ(gps.comMapping, nullptr);
  EXPECT_EQ(gps.pgrMapping, nullptr);
  auto after = PeekAreas(0);
  EXPECT_EQ(after["com"], "1");
  EXPECT_EQ(after["com.102"], "0");
  for (const auto& [key, value] : words) EXPECT_EQ(after[key], value) << key;
  ComArea last = ReadComArea(sys::SharedAreaView(reader));
  EXPECT_EQ(+last.modelCode, 0);
  EXPECT_EQ(ReadAreaReal(sys::SharedAreaView(reader), TERVANE_COM_AT(distanceNm)), 1234.5678);
  sys::CloseSharedArea(reader);
}

TEST_F(ENGINE_SUITE, KillWithoutAreasOnlyReleasesTheElements) {
  GaugeKill();
  EXPECT_EQ(Host().ServiceNames(),
            (std::vector<std::string>{"UnregisterMouseRects", "KillElements"}));
  EXPECT_EQ(Host().calls[0].subject, mouseRects);
  EXPECT_EQ(Host().calls[1].subject, &headElement.base);
}

TEST_F(ENGINE_SUITE, QueryGenerateDrawPassTheHead) {
  GaugeQuery();
  GaugeGenerate(7);
  GaugeDraw();
  EXPECT_EQ(Host().ServiceNames(),
            (std::vector<std::string>{"QueryElements", "GenerateElements", "PlotElements"}));
  for (const auto& call : Host().calls) EXPECT_EQ(call.subject, &headElement.base);
  EXPECT_EQ(Host().calls[1].a, 7u);
}

// GaugeInit keeps the program and the modes; V1, V2, V4 and LearJet also hide the
// power-failure overlay and clear powerFailed.
TEST_F(ENGINE_SUITE, InitPerModule) {
  WriteGpsMemory(GeneratedProgram(4));
  GaugeInstall(0);
  gps.activeLeg = 2;
  gps.headingCoupled = 1;
  gps.powerFailed = 1;
  Host().Clear();
  GaugeInit();
  EXPECT_EQ(Host().ServiceNames(), (std::vector<std::string>{"InitElements"}));
  GaugeElement* overlay = headElement.base.children[0];
  EXPECT_EQ(bool(overlay->flags & kElementHidden), kHasPowerOverlay);
  EXPECT_EQ(gps.powerFailed, kHasPowerOverlay ? 0 : 1);
  EXPECT_EQ(gps.legCount, 4);
  EXPECT_EQ(gps.activeLeg, 2);
  EXPECT_EQ(gps.headingCoupled, 1);
}

// The update calls after arming until the file is read (the 35th).
void UpdateTimes(int calls) {
  for (int i = 0; i < calls; ++i) GaugeUpdate();
}

// With "TervData.dll" missing, a press shows "DATA RELOADING" and reloads the GPS
// memory file on the 35th update call.
TEST_F(ENGINE_SUITE, DataManagerMissingStillReloads) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  gps.activeLeg = 1;
  gps.headingCoupled = 1;
  if (kIsKln90b) gps.unitOn = 1;

  EXPECT_EQ(OpenDataManager(0, 0), 1);
  EXPECT_EQ(gps.reloadCountdown, 1);
  EXPECT_EQ(gps.programInvalid, 1);
  EXPECT_EQ(gps.headingCoupled, 0);
  EXPECT_EQ(gps.showName, kUsesShowName ? 1 : 0);
  EXPECT_STREQ(gps.legs[1].name, "DATA RELOADING");
  EXPECT_EQ(Panel().refreshScreen, 1);

  WriteGpsMemory(GeneratedProgram(5));
  UpdateTimes(34);
  EXPECT_EQ(gps.reloadCountdown, 35);
  EXPECT_EQ(gps.programInvalid, 1);
  EXPECT_EQ(gps.legCount, 3);
  EXPECT_EQ(Panel().refreshScreen, 1);
  const std::string emptyLeg = "||- 0 0 0 0|- 0 0 0 0";
  EXPECT_EQ(PeekAreas(5)["pgr.3"], emptyLeg);  // PGR_AREA changes only with a good load

  GaugeUpdate();
  EXPECT_EQ(gps.reloadCountdown, 0);
  EXPECT_EQ(gps.programInvalid, 0);
  EXPECT_EQ(gps.showName, 0);
  EXPECT_EQ(gps.legCount, 5);
  EXPECT_EQ(gps.activeLeg, 1);
  EXPECT_STREQ(gps.legs[1].name, "POINT 02");
  EXPECT_EQ(Panel().refreshScreen, 2);
  auto peek = PeekAreas(5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(peek["pgr." + std::to_string(i)], PeekText(gps.legs[i]));
}

TEST_F(ENGINE_SUITE, SecondPressDoesNotRestartTheCountdown) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  if (kIsKln90b) gps.unitOn = 1;
  OpenDataManager(0, 0);
  UpdateTimes(10);
  OpenDataManager(0, 0);
  EXPECT_EQ(gps.reloadCountdown, 11);
  EXPECT_EQ(Panel().refreshScreen, 1);
  UpdateTimes(24);
  EXPECT_EQ(gps.programInvalid, 1);
  GaugeUpdate();
  EXPECT_EQ(gps.programInvalid, 0);
}

// A reload that fails keeps the unit invalid with the error in the active entry;
// PGR_AREA keeps the last good program.
TEST_F(ENGINE_SUITE, FailedReloadKeepsTheLastGoodProgramPublished) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  ProgramLeg good[kMaxLegs];
  std::memcpy(good, gps.legs, sizeof good);
  if (kIsKln90b) gps.unitOn = 1;
  OpenDataManager(0, 0);
  WriteGpsMemory(GeneratedProgram(2) + "BAD\r\n");
  UpdateTimes(35);
  EXPECT_EQ(gps.reloadCountdown, 0);
  EXPECT_EQ(gps.programInvalid, 1);
  EXPECT_EQ(gps.legCount, 1);
  EXPECT_STREQ(gps.legs[0].name, "Leg 3 Line 2 (110)");
  EXPECT_EQ(gps.showName, kUsesShowName ? 1 : 0);
  EXPECT_EQ(Panel().refreshScreen, 2);
  auto peek = PeekAreas(3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(peek["pgr." + std::to_string(i)], PeekText(good[i]));
}

TEST_F(ENGINE_SUITE, ActiveLegIsClampedAfterAShorterReload) {
  WriteGpsMemory(GeneratedProgram(13));
  GaugeInstall(0);
  gps.activeLeg = 12;
  if (kIsKln90b) gps.unitOn = 1;
  OpenDataManager(0, 0);
  WriteGpsMemory(GeneratedProgram(5));
  UpdateTimes(35);
  EXPECT_EQ(gps.legCount, 5);
  EXPECT_EQ(gps.activeLeg, 4);
}

// The library is loaded by name from the current directory, its dialog runs, and
// it is unloaded again before the reload is armed.
TEST_F(ENGINE_SUITE, DataManagerDialogRunsAndIsUnloaded) {
  std::filesystem::copy_file(FAKE_DM_DIR "/TervData.so", "TervData.so");
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  if (kIsKln90b) gps.unitOn = 1;
  OpenDataManager(0, 0);
  EXPECT_EQ(enginetest::ReadFile("dialog-calls"), "called\n");
  sys::Library* again = sys::LoadLibraryByName("TervData.dll");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(sys::LibraryUseCount(again), 1);
  sys::FreeLibraryByHandle(again);
  EXPECT_EQ(gps.reloadCountdown, 1);
  UpdateTimes(35);
  EXPECT_EQ(gps.programInvalid, 0);
  EXPECT_EQ(gps.legCount, 2);
  EXPECT_STREQ(gps.legs[1].name, "FROM DIALOG B");
}

TEST_F(ENGINE_SUITE, DataManagerWithoutItsExportStillReloads) {
  std::filesystem::copy_file(FAKE_DM_WITHOUT_DIALOG_DIR "/TervData.so", "TervData.so");
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  if (kIsKln90b) gps.unitOn = 1;
  OpenDataManager(0, 0);
  EXPECT_FALSE(std::filesystem::exists("dialog-calls"));
  EXPECT_EQ(gps.reloadCountdown, 1);
}

// Module gates: V3 types the digit 6 during a code entry; KLN 90B launches only
// while switched on and powered; the others launch even during a power failure.
TEST_F(ENGINE_SUITE, DataManagerGates) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  gps.entryMode = 1;
  gps.unitOn = 0;
  gps.powerFailed = 1;
  OpenDataManager(0, 0);
  if (kIsV3) {
    EXPECT_EQ(Panel().codeDigits, std::vector<int>{6});
    EXPECT_EQ(gps.reloadCountdown, 0);
    gps.entryMode = 0;
    OpenDataManager(0, 0);
    EXPECT_EQ(gps.reloadCountdown, 1);
  } else if (kIsKln90b) {
    EXPECT_EQ(gps.reloadCountdown, 0);
    gps.unitOn = 1;
    OpenDataManager(0, 0);
    EXPECT_EQ(gps.reloadCountdown, 0);
    gps.powerFailed = 0;
    OpenDataManager(0, 0);
    EXPECT_EQ(gps.reloadCountdown, 1);
  } else {
    EXPECT_EQ(gps.reloadCountdown, 1);
  }
}

// Calls 1 to 17 only count (the 9th toggles the blink); the 18th ends the cycle.
TEST_F(ENGINE_SUITE, UpdateCountAndBlink) {
  WriteGpsMemory(GeneratedProgram(3));
  GaugeInstall(0);
  if (kIsKln90b) gps.unitOn = 1;  // the KLN 90B unit starts switched off
  Host().Clear();
  UpdateTimes(8);
  EXPECT_EQ(gps.blinkPhase, 0);
  GaugeUpdate();
  EXPECT_EQ(gps.blinkPhase, 1);
  EXPECT_EQ(Panel().refreshScreen, 0);
  UpdateTimes(9);
  EXPECT_EQ(gps.blinkPhase, 0);
  EXPECT_EQ(gps.updateCount, 0);
  EXPECT_EQ(CountCalls("UpdateElements"), 18);

  // With a wind warning the 9th call refreshes the screen (the blinking fields).
  gps.windWarning = 1;
  UpdateTimes(8);
  int before = Panel().refreshScreen;
  GaugeUpdate();
  EXPECT_EQ(Panel().refreshScreen, before + 1);
}

}  // namespace
