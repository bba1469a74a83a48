// TERVANE-V1, -V2 and -V4 in the real host: their tables as the host sees them,
// the aircraft position decoded from the simulator's 64-bit values, a click on
// every rectangle doing what its button does, and V1 and V2 in one process each
// keeping their own state. Each test runs in a simulator directory of its own with
// a three-leg GPS memory file and a data manager stand-in that closes at once.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "engine/shared_areas.h"
#include "host.h"
#include "scenario.h"
#include "sys/shared_area.h"

namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] =
    "EGLL\r\nLONDON HEATHROW\r\nW  0* 27.68m\r\nN 51* 28.65m\r\n\r\n"
    "LFPG\r\nPARIS CH DE GAULLE\r\nE  2* 32.87m\r\nN 49* 0.58m\r\n\r\n"
    "EDDM\r\nMUNICH\r\nE 11* 47.17m\r\nN 48* 21.23m\r\n";

// What a test needs to know of one variant: sizes, element indices (the head is
// 0, the overlay 1) and a point inside each of its buttons (face pixels).
struct Variant {
  const char* file;
  int width, height, declaredWidth, fields, buttons;
  size_t leg, ident, name, waypointLat, heading, eta, presentLon, presentLat, status, arrival;
  struct Point {
    int x, y;
  } coupling, headingDisplay, groundSpeed, arrivalAction, hold, coordinates, next, previous, data,
      positionSource;
};

constexpr size_t kNone = 0;
const Variant kV1{"TERVANE-V1.gau",
                  256,
                  262,
                  266,
                  12,
                  9,
                  2,
                  3,
                  4,
                  6,
                  7,
                  8,
                  10,
                  11,
                  12,
                  13,
                  {20, 240},
                  {20, 130},
                  {120, 130},
                  {230, 235},
                  {20, 35},
                  {20, 190},
                  {20, 75},
                  {20, 100},
                  {120, 12},
                  {-1, -1}};
const Variant kV2{"TERVANE-V2.gau",
                  256,
                  200,
                  240,
                  10,
                  10,
                  2,
                  3,
                  4,
                  kNone,
                  5,
                  6,
                  8,
                  9,
                  10,
                  11,
                  {20, 180},
                  {20, 85},
                  {120, 85},
                  {220, 180},
                  {20, 32},
                  {20, 140},
                  {200, 55},
                  {40, 55},
                  {120, 12},
                  {150, 140}};
const Variant kV4{"TERVANE-V4.gau",
                  186,
                  144,
                  266,
                  12,
                  9,
                  2,
                  3,
                  4,
                  6,
                  7,
                  8,
                  10,
                  11,
                  12,
                  13,
                  {20, 135},
                  {15, 74},
                  {105, 74},
                  {170, 133},
                  {15, 21},
                  {20, 110},
                  {15, 44},
                  {15, 56},
                  {90, 4},
                  {-1, -1}};
const Variant* const kVariants[] = {&kV1, &kV2, &kV4};

class PanelsInHost : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tervane-panels-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::create_directory_symlink(fs::path(SIM_DIR) / "Gauges", dir_ / "Gauges");
    fs::create_symlink(FAKE_DATA_MANAGER, dir_ / "TervData.so");
    std::ofstream(dir_ / "TERVANE.dat", std::ios::binary) << kProgram;
    previous_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  fs::path dir_, previous_;
};

void SetPosition(host::Host& panel, uint32_t token, uint32_t upperWord) {
  panel.Sim().Variable(token)->storage.position = int64_t(uint64_t(upperWord) << 32);
}

TEST_F(PanelsInHost, TablesAndArtAgree) {
  host::Host panel(dir_.string());
  for (const Variant* v : kVariants) {
    SCOPED_TRACE(v->file);
    host::Gauge& g = panel.Load(v->file);
    EXPECT_EQ(g.name, v->file);
    EXPECT_EQ(g.header->declaredWidth, uint32_t(v->declaredWidth));
    EXPECT_EQ(g.width, v->width);
    EXPECT_EQ(g.height, v->height);
    ASSERT_EQ(g.elements.size(), size_t(2 + v->fields));
    // The overlay covers the face and is hidden while the unit has power.
    ASSERT_EQ(g.bitmaps.count(102), 1u);
    EXPECT_EQ(g.bitmaps.at(102).size(), g.bitmaps.at(101).size());
    EXPECT_TRUE(g.Hidden(1));
    EXPECT_EQ(g.mouseRectCount, size_t(v->buttons + 2));
    for (size_t i = 2; i < g.elements.size(); ++i) {
      auto* field = reinterpret_cast<StringElement*>(g.elements[i]);
      ASSERT_EQ(field->base.kind, kStringElement);
      EXPECT_STREQ(field->fontFace, "Courier New");
      // Every field lies on the face.
      EXPECT_LE(field->base.x + field->width, v->width) << i;
      EXPECT_LE(field->base.y + field->height, v->height) << i;
    }
  }
}

// Each module's whole public face: the two exports (the sanitizer's ODR markers
// aside); the panel's tables and routines stay hidden.
TEST(PanelModules, ExportOnlyLinkageAndImportTable) {
  for (const Variant* v : kVariants) {
    std::string command = "nm -D --defined-only '" SIM_DIR "/Gauges/" + std::string(v->file) + "'";
    FILE* pipe = popen(command.c_str(), "r");
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
    EXPECT_EQ(names, (std::vector<std::string>{"ImportTable", "Linkage"})) << v->file;
  }
}

// Upper words of the simulator's latitude (signed) and longitude (unsigned) and the
// texts they give in both coordinate forms.
TEST_F(PanelsInHost, AircraftPositionFromTheSimulatorsWords) {
  struct Case {
    const char* what;
    uint32_t lat, lon;
    const char *latDms, *lonDms, *latDecimal, *lonDecimal;
  };
  const Case cases[] = {
      {"equator and Greenwich", 0, 0,
       "N  0\xBA"
       "00'00\"",
       "E  0\xBA"
       "00'00\"",
       "N  0\xBA"
       "0.00'",
       "E  0\xBA"
       "0.00'"},
      // 15/16 of 2^32: 22.5 degrees west less about a ten-thousandth of a minute.
      {"15/16 of the longitude word", 0, 0xF0000000u,
       "N  0\xBA"
       "00'00\"",
       "W 22\xBA"
       "29'59\"",
       "N  0\xBA"
       "0.00'",
       "W 22\xBA"
       "30.00'"},
      {"40.5 N", 4500786, 0,
       "N 40\xBA"
       "30'00\"",
       "E  0\xBA"
       "00'00\"",
       "N 40\xBA"
       "30.00'",
       "E  0\xBA"
       "0.00'"},
      {"a ten-thousandth of a minute less", 4500785, 0,
       "N 40\xBA"
       "29'59\"",
       "E  0\xBA"
       "00'00\"",
       "N 40\xBA"
       "30.00'",
       "E  0\xBA"
       "0.00'"},
      {"south", uint32_t(-4500786), 0,
       "S 40\xBA"
       "30'00\"",
       "E  0\xBA"
       "00'00\"",
       "S 40\xBA"
       "30.00'",
       "E  0\xBA"
       "0.00'"},
      // 2^31 is the 180th meridian; the simulator's scale puts it a shade past 180.
      {"180th meridian", 0, 0x80000000u,
       "N  0\xBA"
       "00'00\"",
       "W179\xBA"
       "59'59\"",
       "N  0\xBA"
       "0.00'",
       "W179\xBA"
       "60.00'"},
      {"just below 2^32", 0, 0xFFFFFFFFu,
       "N  0\xBA"
       "00'00\"",
       "W  0\xBA"
       "00'00\"",
       "N  0\xBA"
       "0.00'",
       "W  0\xBA"
       "0.00'"},
  };
  host::Host panel(dir_.string());
  host::Gauge& g = panel.Load("TERVANE-V1.gau");
  for (int decimal = 0; decimal < 2; ++decimal) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (decimal ? ", decimal" : ", DMS"));
      SetPosition(panel, 0x47, c.lat);
      SetPosition(panel, 0x48, c.lon);
      panel.Update();
      EXPECT_EQ(g.ShownText(kV1.presentLat), decimal ? c.latDecimal : c.latDms);
      EXPECT_EQ(g.ShownText(kV1.presentLon), decimal ? c.lonDecimal : c.lonDms);
    }
    ASSERT_TRUE(panel.Click(g, kV1.coordinates.x, kV1.coordinates.y));
  }
  // A latitude word far outside the earth still fits the field.
  SetPosition(panel, 0x47, 0x80000000u);
  panel.Update();
  EXPECT_LE(g.ShownText(kV1.presentLat).size(), 11u);
}

// A click inside each rectangle, checked by what the unit then shows or sends.
TEST_F(PanelsInHost, EveryRectangleDoesWhatItsButtonDoes) {
  for (const Variant* v : kVariants) {
    SCOPED_TRACE(v->file);
    host::Host panel(dir_.string());
    host::Gauge& g = panel.Load(v->file);
    auto click = [&](Variant::Point p) { return panel.Click(g, p.x, p.y); };
    SetPosition(panel, 0x47, 4500786);
    panel.Update();
    ASSERT_EQ(g.ShownText(v->leg), "01/03");
    ASSERT_EQ(g.ShownText(v->ident), "EGLL");
    EXPECT_FALSE(panel.Click(g, v->width - 2, v->height - 2));

    ASSERT_TRUE(click(v->next));
    EXPECT_EQ(g.ShownText(v->leg), "02/03");
    EXPECT_EQ(g.ShownText(v->ident), "LFPG");
    EXPECT_EQ(g.ShownText(v->name), "PARIS CH DE GAULLE");
    ASSERT_TRUE(click(v->previous));
    ASSERT_TRUE(click(v->previous));
    EXPECT_EQ(g.ShownText(v->leg), "03/03");
    ASSERT_TRUE(click(v->next));
    EXPECT_EQ(g.ShownText(v->leg), "01/03");

    ASSERT_TRUE(click(v->hold));
    EXPECT_EQ(g.ShownText(v->leg), "01-SD");
    ASSERT_TRUE(click(v->hold));
    EXPECT_EQ(g.ShownText(v->leg), "01/03");

    ASSERT_TRUE(click(v->arrivalAction));
    EXPECT_EQ(g.ShownText(v->arrival), "Ps");

    // No wind correction: HDG keeps the track; no ETA yet: the ETA button is inert.
    std::string heading = g.ShownText(v->heading);
    ASSERT_TRUE(click(v->headingDisplay));
    EXPECT_EQ(g.ShownText(v->heading), heading);
    ASSERT_TRUE(click(v->groundSpeed));
    EXPECT_EQ(g.ShownText(v->eta), "--:--");

    ASSERT_TRUE(click(v->coordinates));
    if (v->waypointLat != kNone) {
      EXPECT_EQ(g.ShownText(v->waypointLat),
                "N 51\xBA"
                "28.65'");  // at once
    }
    panel.Update();
    EXPECT_EQ(g.ShownText(v->presentLat),
              "N 40\xBA"
              "30.00'");
    if (v->positionSource.x >= 0) {
      ASSERT_TRUE(click(v->positionSource));
      panel.Update();
      EXPECT_EQ(g.ShownText(v->presentLat),
                "N 51\xBA"
                "28.65'");
      EXPECT_EQ(g.StateOf(g.Element(v->presentLat))->shownTextColour, 0x0028BEC8u);
    }

    panel.Sim().Set(0x67, 0.0);  // autopilot off: coupling engages it
    size_t before = panel.KeyEvents().size();
    ASSERT_TRUE(click(v->coupling));
    ASSERT_EQ(panel.KeyEvents().size(), before + 3);
    EXPECT_EQ(panel.KeyEvents()[before].eventId, 0x1002Cu);
    EXPECT_EQ(panel.KeyEvents()[before + 1].eventId, 0x1010Fu);
    EXPECT_EQ(panel.KeyEvents()[before + 2].eventId, 0x101FAu);
    panel.Update();
    EXPECT_EQ(g.ShownText(v->status), "ACTIVE");

    ASSERT_TRUE(click(v->data));
    EXPECT_EQ(g.ShownText(v->name), "DATA RELOADING");
    EXPECT_EQ(g.ShownText(v->ident), "-----");
    EXPECT_EQ(g.ShownText(v->leg), "--/--");
    panel.Update();
    EXPECT_EQ(g.ShownText(v->status), "STANDBY");  // the reload uncoupled the unit
  }
}

TEST_F(PanelsInHost, V1AndV2InOneProcessKeepTheirOwnState) {
  host::Host panel(dir_.string());
  host::Gauge& v1 = panel.Load(kV1.file);
  host::Gauge& v2 = panel.Load(kV2.file, 270, 0);
  SetPosition(panel, 0x47, 4500786);
  panel.Update();
  ASSERT_TRUE(panel.Click(v1, kV1.next.x, kV1.next.y));
  ASSERT_TRUE(panel.Click(v1, kV1.next.x, kV1.next.y));
  ASSERT_TRUE(panel.Click(v1, kV1.coordinates.x, kV1.coordinates.y));
  ASSERT_TRUE(panel.Click(v2, kV2.hold.x, kV2.hold.y));
  ASSERT_TRUE(panel.Click(v2, kV2.arrivalAction.x, kV2.arrivalAction.y));
  ASSERT_TRUE(panel.Click(v2, kV2.arrivalAction.x, kV2.arrivalAction.y));
  panel.Update();
  EXPECT_EQ(v1.ShownText(kV1.leg), "03/03");
  EXPECT_EQ(v1.ShownText(kV1.ident), "EDDM");
  EXPECT_EQ(v1.ShownText(kV1.arrival), "Of");
  EXPECT_EQ(v1.ShownText(kV1.presentLat),
            "N 40\xBA"
            "30.00'");
  EXPECT_EQ(v2.ShownText(kV2.leg), "01-SD");
  EXPECT_EQ(v2.ShownText(kV2.ident), "EGLL");
  EXPECT_EQ(v2.ShownText(kV2.arrival), "Ci");
  EXPECT_EQ(v2.ShownText(kV2.presentLat),
            "N 40\xBA"
            "30'00\"");
}

// Another process asks for a power failure through COM_AREA: the overlay shows,
// every field empties, every button but the data button is inert; when power
// returns the unit shows what it held before.
TEST_F(PanelsInHost, PowerFailureShowsTheOverlayAndStopsTheButtons) {
  for (const Variant* v : kVariants) {
    SCOPED_TRACE(v->file);
    host::Host panel(dir_.string());
    host::Gauge& g = panel.Load(v->file);
    auto click = [&](Variant::Point p) { return panel.Click(g, p.x, p.y); };
    panel.Update();
    ASSERT_TRUE(g.Hidden(1));
    sys::SharedArea* com = sys::OpenSharedArea("TERVANE_COM_IPC_11", 118);
    ASSERT_NE(com, nullptr);
    auto* view = static_cast<unsigned char*>(sys::SharedAreaView(com));
    auto requestPower = [&](int32_t failed) { std::memcpy(view + 114, &failed, 4); };

    requestPower(1);
    panel.Update();
    EXPECT_FALSE(g.Hidden(1));
    for (size_t i = 2; i < g.elements.size(); ++i) EXPECT_EQ(g.ShownText(i), "") << i;
    for (Variant::Point p : {v->coupling, v->headingDisplay, v->groundSpeed, v->arrivalAction,
                             v->hold, v->coordinates, v->next, v->previous, v->positionSource})
      if (p.x >= 0) EXPECT_TRUE(click(p));
    panel.Update();
    EXPECT_TRUE(panel.KeyEvents().empty());
    for (size_t i = 2; i < g.elements.size(); ++i) EXPECT_EQ(g.ShownText(i), "") << i;

    requestPower(0);
    panel.Update();
    EXPECT_TRUE(g.Hidden(1));
    EXPECT_EQ(g.ShownText(v->leg), "01/03");
    EXPECT_EQ(g.ShownText(v->ident), "EGLL");
    EXPECT_EQ(g.ShownText(v->arrival), "Of");
    EXPECT_EQ(g.ShownText(v->status), "STANDBY");

    // The data button works during the failure; the reload shows once power returns.
    requestPower(1);
    panel.Update();
    ASSERT_TRUE(click(v->data));
    EXPECT_EQ(g.ShownText(v->name), "");
    requestPower(0);
    panel.Update();
    EXPECT_EQ(g.ShownText(v->name), "DATA RELOADING");
    sys::CloseSharedArea(com);
  }
}

// The position fields are the only writers of the aircraft position in COM_AREA:
// it follows the simulator while the unit has power and keeps its last value
// through a power failure.
TEST_F(PanelsInHost, PublishedPositionHoldsThroughAPowerFailure) {
  host::Host panel(dir_.string());
  panel.Load(kV2.file);
  sys::SharedArea* com = sys::OpenSharedArea(kComAreaName, kComAreaBytes);
  ASSERT_NE(com, nullptr);
  void* view = sys::SharedAreaView(com);
  auto published = [&] {
    ComArea record = ReadComArea(view);
    return std::make_pair(int(record.aircraftLat.degrees), int(record.aircraftLon.degrees));
  };
  SetPosition(panel, 0x47, 4500786);      // N 40 30
  SetPosition(panel, 0x48, 0xF0000000u);  // W 22 29
  for (int i = 0; i < 18; ++i) panel.Update();
  EXPECT_EQ(published(), std::make_pair(40, 22));
  WriteAreaInt32(view, TERVANE_COM_AT(powerFailRequest), 1);
  SetPosition(panel, 0x47, 0);
  SetPosition(panel, 0x48, 0);
  for (int i = 0; i < 36; ++i) panel.Update();
  EXPECT_EQ(ReadAreaInt32(view, TERVANE_COM_AT(modelCode)), 0);  // the off record
  EXPECT_EQ(published(), std::make_pair(40, 22));
  WriteAreaInt32(view, TERVANE_COM_AT(powerFailRequest), 0);
  for (int i = 0; i < 18; ++i) panel.Update();
  EXPECT_EQ(published(), std::make_pair(0, 0));
  sys::CloseSharedArea(com);
}

// With the aircraft flying, the ETA button shows the ground speed until the fourth
// navigation cycle after the press (one cycle every 18 updates) counts it out.
TEST_F(PanelsInHost, EtaShowsTheGroundSpeedForFourCycles) {
  host::Host panel(dir_.string());
  host::ScenarioAircraft aircraft;
  aircraft.latitude = 51.3;
  aircraft.longitude = 0.2;
  aircraft.trueHeading = 150;
  aircraft.trueAirspeed = 250;
  aircraft.altitude = 9000;
  host::StartAircraft(panel, aircraft);
  host::Gauge& g = panel.Load(kV1.file);
  auto isTime = [](const std::string& text) {
    return text.size() == 5 && text[2] == ':' && text != "--:--";
  };
  auto isSpeed = [](const std::string& text) {
    return text.size() >= 2 && text[0] == ' ' && text.find(':') == std::string::npos;
  };
  for (int i = 0; i < 19; ++i) panel.Update();  // one navigation cycle at update 18
  ASSERT_TRUE(isTime(g.ShownText(kV1.eta))) << g.ShownText(kV1.eta);
  ASSERT_TRUE(panel.Click(g, kV1.groundSpeed.x, kV1.groundSpeed.y));
  EXPECT_TRUE(isSpeed(g.ShownText(kV1.eta))) << g.ShownText(kV1.eta);
  while (panel.UpdateCount() < 89) panel.Update();
  EXPECT_TRUE(isSpeed(g.ShownText(kV1.eta))) << g.ShownText(kV1.eta);
  panel.Update();  // the fourth cycle after the press
  EXPECT_TRUE(isTime(g.ShownText(kV1.eta))) << g.ShownText(kV1.eta);
}

// A wind stronger than the aircraft is fast has no wind triangle: coupled, the
// status blinks between green and red with the engine's blink phase.
TEST_F(PanelsInHost, StatusBlinksOnAWindWarning) {
  host::Host panel(dir_.string());
  host::ScenarioAircraft aircraft;
  aircraft.latitude = 51.3;
  aircraft.longitude = 0.2;
  aircraft.trueHeading = 150;
  aircraft.trueAirspeed = 60;
  aircraft.windFrom = 270;
  aircraft.windKnots = 150;
  aircraft.autopilot = true;
  host::StartAircraft(panel, aircraft);
  host::Gauge& g = panel.Load(kV1.file);
  for (int i = 0; i < 19; ++i) panel.Update();
  ASSERT_TRUE(panel.Click(g, kV1.coupling.x, kV1.coupling.y));
  std::set<uint32_t> colours;
  for (int i = 0; i < 36; ++i) {
    panel.Update();
    ASSERT_EQ(g.ShownText(kV1.status).rfind("ACTIVE", 0), 0u) << g.ShownText(kV1.status);
    colours.insert(g.StateOf(g.Element(kV1.status))->shownTextColour);
  }
  EXPECT_EQ(colours, (std::set<uint32_t>{0x0000FF, 0x00FF00}));
}

// The tour scenario with the sample GPS memory file: its snapshots come out the
// same on every run, and the units end where its clicks put them.
TEST_F(PanelsInHost, TourScenarioIsReproducible) {
  fs::copy_file(SAMPLE_GPS_MEMORY, dir_ / "TERVANE.dat", fs::copy_options::overwrite_existing);
  host::Scenario tour = host::LoadScenario(TOUR_SCENARIO);
  std::vector<std::string> snapshots;
  for (const host::ScenarioAction& a : tour.timeline)
    if (!a.snapshot.empty()) snapshots.push_back(a.snapshot);
  ASSERT_EQ(snapshots.size(), 5u);
  auto run = [&](const fs::path& out) {
    fs::create_directory(out);
    host::Host panel(dir_.string());
    host::RunOptions options;
    options.snapshotDir = out.string();
    host::RunScenario(panel, tour, options);
    host::Gauge* v1 = panel.FindGauge(kV1.file);
    host::Gauge* v2 = panel.FindGauge(kV2.file);
    host::Gauge* v4 = panel.FindGauge(kV4.file);
    ASSERT_TRUE(v1 && v2 && v4);
    EXPECT_EQ(v1->ShownText(kV1.leg), "02/06");
    EXPECT_EQ(v1->ShownText(kV1.status).rfind("ACTIVE", 0), 0u);  // with or without WND
    EXPECT_EQ(v2->ShownText(kV2.ident), "LFPG");
    EXPECT_EQ(v4->ShownText(kV4.waypointLat),
              "N 49\xBA"
              "0.58'");
  };
  run(dir_ / "first");
  run(dir_ / "second");
  auto bytes = [](const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  for (const std::string& name : snapshots) {
    std::string first = bytes(dir_ / "first" / name);
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, bytes(dir_ / "second" / name)) << name;
  }
}

}  // namespace
