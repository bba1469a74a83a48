// The engine as a real gauge module in the real host: TERVANE-TEST.gau (the test
// panel, built as a V1 module) installs, loads the GPS memory file of its
// simulator directory, publishes PGR_AREA and the cleared COM_AREA, which a
// separate process reads; the data button reloads the file 35 updates later; kill
// leaves the final record; two modules in one process keep their own state.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "area_peek_client.h"
#include "engine/program_file.h"
#include "engine/shared_areas.h"
#include "host.h"
#include "program_text.h"
#include "sys/shared_area.h"

namespace {

namespace fs = std::filesystem;
using enginetest::PeekAreas;
using enginetest::PeekText;

// Element indices of the test panel.
constexpr size_t kOverlay = 1, kNameField = 2, kStatusField = 3;
constexpr int kDataButtonX = 20, kDataButtonY = 60;

class EngineInHost : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove(fs::path(ENGINE_SIM_DIR) / "TervData.so");
    fs::copy_file(SAMPLE_GPS_MEMORY, GpsMemoryPath(), fs::copy_options::overwrite_existing);
    ProgramReadResult r = ReadProgramFile(SAMPLE_GPS_MEMORY, sample);
    ASSERT_EQ(r.status, 0);
    sampleCount = r.legCount;
    ASSERT_GE(sampleCount, 5);
  }
  static fs::path GpsMemoryPath() { return fs::path(ENGINE_SIM_DIR) / "TERVANE.dat"; }

  ProgramLeg sample[kMaxLegs] = {};
  int sampleCount = 0;
};

TEST_F(EngineInHost, InstallLoadsAndPublishes) {
  host::Host panel{ENGINE_SIM_DIR};
  host::Gauge& g = panel.Load("TERVANE-TEST.gau");
  EXPECT_EQ(g.name, "TERVANE-TEST.gau");
  EXPECT_EQ(g.header->declaredWidth, 266u);
  EXPECT_TRUE(g.Hidden(kOverlay));

  auto peek = PeekAreas(sampleCount + 1);
  ASSERT_EQ(peek["com"], "1");
  ASSERT_EQ(peek["pgr"], "1");
  for (const char* word : {"com.42", "com.46", "com.50", "com.54", "com.58", "com.70", "com.74",
                           "com.78", "com.82", "com.86", "com.90", "com.94", "com.98", "com.102",
                           "com.106", "com.110", "com.114", "com.62"})
    EXPECT_EQ(peek[word], "0") << word;
  for (int i = 0; i < sampleCount; ++i)
    EXPECT_EQ(peek["pgr." + std::to_string(i)], PeekText(sample[i])) << i;
  EXPECT_EQ(peek["pgr." + std::to_string(sampleCount)], "||- 0 0 0 0|- 0 0 0 0");

  panel.Update();
  EXPECT_EQ(g.ShownText(kNameField), sample[0].name);
  EXPECT_EQ(g.ShownText(kStatusField), "L" + std::to_string(sampleCount) + " A0 I0 R0");
}

// TervData is not in this simulator directory: the press shows "DATA RELOADING"
// and the file, rewritten meanwhile, is read on the 35th update.
TEST_F(EngineInHost, DataButtonReloadsAfter35Updates) {
  host::Host panel{ENGINE_SIM_DIR};
  host::Gauge& g = panel.Load("TERVANE-TEST.gau");
  panel.Update();
  ASSERT_TRUE(panel.Click(g, kDataButtonX, kDataButtonY));
  EXPECT_EQ(g.ShownText(kNameField), "DATA RELOADING");
  const std::string reloading = "L" + std::to_string(sampleCount) + " A0 I1";
  EXPECT_EQ(g.ShownText(kStatusField).substr(0, reloading.size()), reloading);

  enginetest::WriteFile(GpsMemoryPath(), enginetest::GeneratedProgram(3));
  for (int i = 0; i < 34; ++i) panel.Update();
  EXPECT_EQ(g.ShownText(kNameField), "DATA RELOADING");
  panel.Update();
  EXPECT_EQ(g.ShownText(kNameField), "POINT 01");
  EXPECT_EQ(g.ShownText(kStatusField).substr(0, 8), "L3 A0 I0");
  auto peek = PeekAreas(3);
  ProgramLeg reloaded[kMaxLegs];
  ASSERT_EQ(ReadProgramFile(GpsMemoryPath().c_str(), reloaded).legCount, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(peek["pgr." + std::to_string(i)], PeekText(reloaded[i]));
}

// A reader that keeps COM_AREA open sees modelCode 0 written by the kill, over
// whatever was there.
TEST_F(EngineInHost, KillLeavesTheFinalRecord) {
  host::Host panel{ENGINE_SIM_DIR};
  host::Gauge& g = panel.Load("TERVANE-TEST.gau");
  sys::SharedArea* reader = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  ASSERT_NE(reader, nullptr);
  void* view = sys::SharedAreaView(reader);
  WriteAreaInt32(view, TERVANE_COM_AT(modelCode), 0x7777);
  panel.Kill(g);
  EXPECT_EQ(ReadAreaInt32(view, TERVANE_COM_AT(modelCode)), 0);
  EXPECT_TRUE(sys::SharedAreaExists(kComAreaName));
  sys::CloseSharedArea(reader);
}

// Two GPS modules in one process: each has its own engine state, both publish
// into the same areas.
TEST_F(EngineInHost, TwoModulesKeepTheirOwnState) {
  host::Host panel{ENGINE_SIM_DIR};
  host::Gauge& v1 = panel.Load("TERVANE-TEST.gau");
  host::Gauge& v4 = panel.Load("TERVANE-TEST4.gau", 300, 0);
  EXPECT_EQ(v4.header->declaredWidth, 266u);
  panel.Update();
  ASSERT_TRUE(panel.Click(v4, kDataButtonX, kDataButtonY));
  panel.Update();
  EXPECT_EQ(v4.ShownText(kNameField), "DATA RELOADING");
  EXPECT_EQ(v1.ShownText(kNameField), sample[0].name);
  EXPECT_EQ(v1.ShownText(kStatusField), "L" + std::to_string(sampleCount) + " A0 I0 R0");
}

// A module's whole public face: the two exports (the sanitizer's own ODR markers
// aside).
TEST(EngineModule, ExportsOnlyLinkageAndImportTable) {
  FILE* pipe = popen("nm -D --defined-only '" TEST_PANEL_MODULE "'", "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char name[256];
    if (std::sscanf(line, "%*s %*s %255s", name) == 1 &&
        std::string(name).rfind("__odr_asan", 0) != 0)
      names.push_back(name);
  }
  pclose(pipe);
  EXPECT_EQ(names, (std::vector<std::string>{"ImportTable", "Linkage"}));
}

}  // namespace
