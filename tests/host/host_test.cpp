// The host against a recording module: calling order, element services, mouse
// rectangles, variables, key events, isolation of two modules, refusal of bad ones.
#include "host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sys/library.h"

namespace {

constexpr uint32_t kReportBase = 0xF000;
enum Report : uint32_t {
  kQuery = 1,
  kInstall,
  kInit,
  kUpdate,
  kGenerate,
  kDraw,
  kKill,
  kClick,
  kText,
  kNeedle,
  kSlider
};

// The routines the recorder reported, in order, for one gauge name.
std::vector<uint32_t> Reports(const host::Host& h, const std::string& gauge) {
  std::vector<uint32_t> out;
  for (const auto& k : h.KeyEvents())
    if (k.gauge == gauge && k.eventId > kReportBase && k.eventId <= kReportBase + kSlider)
      out.push_back(k.eventId - kReportBase);
  return out;
}

class HostTest : public ::testing::Test {
 protected:
  host::Host panel{TEST_SIM_DIR};
};

TEST_F(HostTest, CallsGaugeRoutinesInTheFixedOrder) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau", 0, 0, 77);
  EXPECT_EQ(g.name, "TEST_RECORDER");
  EXPECT_EQ(Reports(panel, g.name), (std::vector<uint32_t>{kQuery, kInstall, kInit}));
  // The install argument is passed through, and text buffers exist before init.
  auto install = std::find_if(panel.KeyEvents().begin(), panel.KeyEvents().end(),
                              [](const auto& k) { return k.eventId == kReportBase + kInstall; });
  EXPECT_EQ(install->value, 77u);
  auto init = std::find_if(panel.KeyEvents().begin(), panel.KeyEvents().end(),
                           [](const auto& k) { return k.eventId == kReportBase + kInit; });
  EXPECT_EQ(init->value, 1u);

  panel.Update();
  std::vector<uint32_t> expected = {kQuery,  kInstall, kInit,     kUpdate, kText,
                                    kNeedle, kSlider,  kGenerate, kDraw};
  EXPECT_EQ(Reports(panel, g.name), expected);
  panel.Kill(g);
  expected.push_back(kKill);
  EXPECT_EQ(Reports(panel, "TEST_RECORDER"), expected);
  EXPECT_TRUE(panel.Gauges().empty());
}

TEST_F(HostTest, InstallFillsWord15AndTextBuffers) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  auto* head = reinterpret_cast<ImageElement*>(g.head);
  EXPECT_NE(head->word15, nullptr);
  auto* text = reinterpret_cast<StringElement*>(g.Element(1));
  ASSERT_NE(text->textBuffer, nullptr);
  EXPECT_EQ(g.mouseRectCount, 4u);
  EXPECT_TRUE(g.mouseRegistered);
}

TEST_F(HostTest, ElementRoutinesSeeTheirVariables) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  panel.Sim().Set(0x155, 21.5);
  panel.Sim().Set(0x3D, 50.0);
  panel.Update();
  EXPECT_EQ(g.ShownText(1), "21.5|0");
  EXPECT_DOUBLE_EQ(g.StateOf(g.Element(2))->needleValue, 50.0);
  EXPECT_DOUBLE_EQ(g.StateOf(g.Element(3))->sliderY, -100.0);  // value x scale -2
  EXPECT_NEAR(g.NeedleAngle(2), 135.0, 1e-9);  // halfway between the 0 (up) and 100 (left) marks
}

TEST_F(HostTest, WildSliderValuesLeaveThePointerInPlace) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  for (double wild : {std::nan(""), 1e308, -1e308}) {
    panel.Sim().Set(0x3D, wild);
    panel.Update();
    double dy = g.StateOf(g.Element(3))->sliderY;
    EXPECT_TRUE(std::isfinite(dy)) << wild;
    EXPECT_LE(std::abs(dy), 10000.0) << wild;
    panel.RenderGauge(g);  // draws without trouble
  }
}

TEST_F(HostTest, ClicksReachOnlyTheRectangleUnderThePoint) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  struct Case {
    int x, y;
    bool hit;
  };
  const Case cases[] = {
      {10, 10, true}, {29, 29, true}, {30, 10, false}, {9, 15, false}, {0, 0, false}};
  int hits = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(panel.Click(g, c.x, c.y), c.hit) << c.x << "," << c.y;
    hits += c.hit;
  }
  // The mouse routine wrote text and called InitElements: the panel shows it now.
  EXPECT_EQ(g.ShownText(1), "click " + std::to_string(hits));
}

TEST_F(HostTest, PanelClicksFindTheGaugeUnderThePoint) {
  panel.Load("TEST_RECORDER.gau", 0, 0);
  host::Gauge& b = panel.Load("TEST_RECORDER_B.gau", 200, 0);
  EXPECT_TRUE(panel.ClickPanel(215, 15));
  EXPECT_EQ(b.ShownText(1), "click 1");
  EXPECT_FALSE(panel.ClickPanel(150, 15));  // between the gauges
}

TEST_F(HostTest, TwoModulesKeepSeparateState) {
  host::Gauge& a = panel.Load("TEST_RECORDER.gau");
  host::Gauge& b = panel.Load("TEST_RECORDER_B.gau", 200, 0);
  panel.Click(a, 15, 15);
  panel.Click(a, 15, 15);
  panel.Click(b, 15, 15);
  panel.Update();
  EXPECT_EQ(a.ShownText(1), "0.0|2");
  EXPECT_EQ(b.ShownText(1), "0.0|1");
}

TEST_F(HostTest, UnregisteredRectanglesIgnoreClicks) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  g.header->GaugeKill();  // the module unregisters its list
  EXPECT_FALSE(panel.Click(g, 15, 15));
}

TEST_F(HostTest, RefusesBrokenModulesNamingThem) {
  struct Case {
    const char* file;
    const char* says;
  };
  const Case cases[] = {{"TEST_BROKEN.gau", "wrong magic"}, {"NO_SUCH.gau", "cannot load"}};
  for (const Case& c : cases) {
    try {
      panel.Load(c.file);
      ADD_FAILURE() << c.file << " loaded";
    } catch (const std::runtime_error& e) {
      std::string what = e.what();
      EXPECT_NE(what.find(c.file), std::string::npos) << what;
      EXPECT_NE(what.find(c.says), std::string::npos) << what;
    }
  }
  EXPECT_TRUE(panel.Gauges().empty());
  panel.Load("TEST_RECORDER.gau");
  EXPECT_THROW(panel.Load("TEST_RECORDER.gau"), std::runtime_error);  // twice on one panel
}

TEST_F(HostTest, KeyEventsAreRecordedAndApplied) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  PanelServices* services = g.imports->services;
  services->SendKeyEvent(host::kEventHeadingHoldOn, 0);
  services->SendKeyEvent(host::kEventHeadingHoldOn, 0);  // turns on; never toggles off
  services->SendKeyEvent(host::kEventHeadingBugSet, 275);
  services->SendKeyEvent(host::kEventTransponderSet, 0x7700);
  services->SendKeyEvent(host::kEventPauseToggle, 0);
  EXPECT_EQ(panel.Sim().Get(0x6A), 1.0);
  EXPECT_EQ(panel.Sim().Get(0x11A), 275.0);
  EXPECT_EQ(panel.Sim().Variable(0x26)->storage.bcd, 0x7700u);
  EXPECT_TRUE(panel.Sim().Paused());
  EXPECT_EQ(panel.KeyEvents().back().eventId, uint32_t(host::kEventPauseToggle));
}

TEST_F(HostTest, ReadVariableServesBcdAndPositions) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  PanelServices* services = g.imports->services;
  panel.Sim().SetTransponder(0x1234);
  panel.Sim().SetLatitude(48.5);
  ModuleVar bcd{0x26, nullptr, 0, {0.0}, {}};
  ModuleVar lat{0x47, nullptr, 0, {0.0}, {}};
  services->BindVariable(&bcd);
  services->BindVariable(&lat);
  services->ReadVariable(&bcd);
  services->ReadVariable(&lat);
  EXPECT_EQ(bcd.value.bcd, 0x1234u);
  EXPECT_NEAR(lat.value.real, 48.5, 1e-9);
  // A bound record points at the simulator's own storage: later changes show through it.
  panel.Sim().SetLatitude(-10.0);
  EXPECT_EQ(*static_cast<int64_t*>(lat.storage), host::LatitudeToRaw(-10.0));
}

TEST(PositionEncoding, UpperHalvesDecodeAsTheGaugesDo) {
  // The gauges read the upper 32 bits: latitude x 0.053990578644026614 and
  // longitude (unsigned) x 0.0005029142201840742 give hundredths of a minute.
  struct Case {
    double lat, lon;
  };
  const Case cases[] = {{0, 0}, {40.5, -73.25}, {-33.9, 151.2}, {89.99, 179.99}, {-89.99, -179.99}};
  for (const Case& c : cases) {
    int32_t latWord = int32_t(uint64_t(host::LatitudeToRaw(c.lat)) >> 32);
    uint32_t lonWord = uint32_t(uint64_t(host::LongitudeToRaw(c.lon)) >> 32);
    EXPECT_NEAR(latWord * 0.053990578644026614 / 6000.0, c.lat, 1e-5) << c.lat;
    double east = lonWord * 0.0005029142201840742 / 6000.0;
    EXPECT_NEAR(east, c.lon < 0 ? c.lon + 360.0 : c.lon, 1e-5) << c.lon;
    EXPECT_NEAR(host::RawToLatitude(host::LatitudeToRaw(c.lat)), c.lat, 1e-9);
    EXPECT_NEAR(host::RawToLongitude(host::LongitudeToRaw(c.lon)), c.lon, 1e-9);
  }
}

TEST_F(HostTest, RendersBitmapsNeedlesAndSliders) {
  host::Gauge& g = panel.Load("TEST_RECORDER.gau");
  panel.Sim().Set(0x3D, 100.0);  // needle to the right end: pointing at (0,50) = left
  panel.Update();
  QImage image = panel.RenderGauge(g);
  ASSERT_EQ(image.size(), QSize(128, 100));
  // The needle bar (white, x 10..59 of its bitmap) now runs left of its pivot (50,50).
  EXPECT_GT(qGray(image.pixel(20, 50)), 200);
  EXPECT_LT(qGray(image.pixel(80, 50)), 100);
  // The slider block (80,40) moved up by 100 x 2 px: off the face entirely; at 0 it is back.
  panel.Sim().Set(0x3D, 0.0);
  panel.Update();
  image = panel.RenderGauge(g);
  EXPECT_EQ(QColor(image.pixel(83, 43)), QColor(224, 224, 0));
}

}  // namespace
