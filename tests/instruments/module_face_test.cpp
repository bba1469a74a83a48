// What each instrument module shows the host: exactly two exports, the records
// it declares, and its calls to the panel services in order. The modules are
// loaded here without the host and handed the recording service table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host.h"
#include "support/recording_services.h"
#include "sys/library.h"

namespace {

using testsupport::RecordingServices;

struct LoadedModule {
  sys::Library* library = nullptr;
  GaugeLinkage* linkage = nullptr;
  GaugeHeader* header = nullptr;
  GaugeElement* head = nullptr;
};

// Loads a module and hands it the recording table, as the host would its own.
LoadedModule Open(const char* file) {
  sys::AddLibraryFolder(SIM_DIR "/Gauges");
  LoadedModule m;
  m.library = sys::LoadLibraryByName(file);
  EXPECT_NE(m.library, nullptr) << sys::LastLibraryError();
  if (!m.library) return m;
  m.linkage = static_cast<GaugeLinkage*>(sys::LibrarySymbol(m.library, "Linkage"));
  auto* imports = static_cast<GaugeImportTable*>(sys::LibrarySymbol(m.library, "ImportTable"));
  imports->services = &testsupport::ResetRecording().table;
  m.header = m.linkage->header;
  m.head = *m.header->headCell;
  return m;
}

void Close(LoadedModule& m) {
  sys::FreeLibraryByHandle(m.library);
  sys::ClearLibraryFolders();
}

std::vector<std::string> DefinedExports(const std::string& path) {
  std::vector<std::string> names;
  std::unique_ptr<FILE, int (*)(FILE*)> nm(popen(("nm -D --defined-only " + path).c_str(), "r"),
                                           pclose);
  char line[512];
  while (nm && fgets(line, sizeof line, nm.get())) {
    std::string name = line;
    name = name.substr(name.rfind(' ') + 1);
    name.pop_back();
    if (name.rfind("__odr_asan", 0) != 0) names.push_back(name);  // the sanitizer's own markers
  }
  return names;
}

TEST(InstrumentModules, ExportOnlyLinkageAndImportTable) {
  for (const char* file : {"VELT_DD_OIL.gau", "QUOR_SPEED_DEV.gau"}) {
    std::vector<std::string> names = DefinedExports(std::string(SIM_DIR) + "/Gauges/" + file);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ImportTable", "Linkage"})) << file;
  }
}

TEST(InstrumentModules, GaugeRecordsAsDeclared) {
  struct Case {
    const char* file;
    const char* name;
    uint32_t width;
    int32_t faceBitmap, faceX;
    uint32_t flags;
  };
  const Case cases[] = {{"VELT_DD_OIL.gau", "VELT_DD_OIL", 57, 4096, 9, 3},
                        {"QUOR_SPEED_DEV.gau", "QUOR_SPEED_DEV", 14, 4096, 0, 7}};
  for (const Case& c : cases) {
    LoadedModule m = Open(c.file);
    ASSERT_NE(m.header, nullptr);
    EXPECT_EQ(m.linkage->moduleId, 0x13u);
    EXPECT_EQ(m.header->magic, 0x262u);
    EXPECT_STREQ(m.header->name, c.name);
    EXPECT_EQ(m.header->declaredWidth, c.width);
    EXPECT_EQ(m.head->kind, kImageElement);
    EXPECT_EQ(m.head->bitmapId, c.faceBitmap);
    EXPECT_EQ(m.head->x, c.faceX);
    EXPECT_EQ(m.head->flags, c.flags);
    ASSERT_NE(m.head->failures, nullptr);
    EXPECT_EQ(m.head->failures[0].failureId, 1);
    EXPECT_EQ(m.head->failures[0].action, 2);
    EXPECT_EQ(m.head->failures[1].failureId, 0);
    // A gauge without buttons still has its three rectangle entries: 1, 3, 0.
    m.header->GaugeInstall(0);
    RecordingServices& r = testsupport::Recording();
    const MouseRect* rects = nullptr;
    for (const auto& call : r.calls)
      if (call.service == "InstallMouseRects") rects = static_cast<const MouseRect*>(call.subject);
    ASSERT_NE(rects, nullptr);
    EXPECT_EQ(rects[0].kind, kMouseGaugeEntry);
    EXPECT_EQ(rects[1].kind, kMouseGaugeClose);
    EXPECT_EQ(rects[2].kind, kMouseListEnd);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(rects[i].cursor, kCursorNone);
    Close(m);
  }
}

std::vector<uint64_t> Tokens(const RecordingServices& r, const char* service) {
  std::vector<uint64_t> tokens;
  for (const auto& call : r.calls)
    if (call.service == service) tokens.push_back(call.a);
  return tokens;
}

TEST(InstrumentModules, FuelTempBindsAndReadsInOrder) {
  LoadedModule m = Open("VELT_DD_OIL.gau");
  RecordingServices& r = testsupport::Recording();
  m.header->GaugeInit();
  EXPECT_EQ(r.ServiceNames().front(), "InitElements");
  EXPECT_EQ(Tokens(r, "BindVariable"),
            (std::vector<uint64_t>{0x155, 0xC0, 0x3D, 0x155, 0x01, 0x03, 0x08}));
  // Record 4 (the second 0x155 record) is read once at init.
  std::vector<const void*> bound;
  for (const auto& call : r.calls)
    if (call.service == "BindVariable") bound.push_back(call.subject);
  ASSERT_EQ(r.calls.back().service, "ReadVariable");
  EXPECT_EQ(r.calls.back().subject, bound[3]);

  r.Clear();
  m.header->GaugeUpdate();
  EXPECT_EQ(r.ServiceNames().front(), "UpdateElements");
  std::vector<const void*> read;
  for (const auto& call : r.calls)
    if (call.service == "ReadVariable") read.push_back(call.subject);
  EXPECT_EQ(read,
            (std::vector<const void*>{bound[0], bound[1], bound[2], bound[4], bound[5], bound[6]}));
  Close(m);
}

TEST(InstrumentModules, SpeedDevBeforeTheFirstUpdateComparesWithZero) {
  LoadedModule m = Open("QUOR_SPEED_DEV.gau");
  RecordingServices& r = testsupport::Recording();
  m.header->GaugeInstall(0);
  EXPECT_EQ(r.ServiceNames().front(), "BindVariable");
  EXPECT_EQ(Tokens(r, "BindVariable"), (std::vector<uint64_t>{0x74}));
  auto* pointer = reinterpret_cast<SliderElement*>(m.head->children[0]);
  EXPECT_EQ(pointer->ySource.token, 0x3Du);
  EXPECT_EQ(pointer->yScale, -1.7);
  EXPECT_EQ(pointer->xRoutine, nullptr);
  EXPECT_EQ(pointer->xScale, 0.0);
  for (auto [speed, value] : {std::pair{7.0, 7.0}, {100.0, 15.0}, {-3.0, -3.0}}) {
    pointer->ySource.value.real = speed;
    EXPECT_EQ(pointer->yRoutine(&pointer->ySource), value) << speed;
  }
  // GaugeUpdate reads the reference before the elements run.
  r.Clear();
  m.header->GaugeUpdate();
  EXPECT_EQ(r.ServiceNames(), (std::vector<std::string>{"ReadVariable", "UpdateElements"}));
  Close(m);
}

// The drawn needles lie along the angle their values give.
TEST(InstrumentModules, DrawnNeedlesPointWhereTheScaleSays) {
  host::Host panel(SIM_DIR);
  host::Gauge& gauge = panel.Load("VELT_DD_OIL.gau");
  panel.Sim().Set(0x155, 50);
  panel.Sim().Set(0x01, 2'000'000);
  for (int i = 0; i < 3; ++i) panel.Update();  // factor held: value 47.5
  QImage image = panel.RenderGauge(gauge);
  for (size_t needle : {size_t(1), size_t(2)}) {
    double angle = gauge.NeedleAngle(needle) * M_PI / 180.0;
    // Sample along the bar (38..111 pixels from the pivot) and just beside it.
    int onBar = 0, besideBar = 0;
    for (int r = 50; r <= 100; r += 10) {
      double x = 157 + r * std::cos(angle), y = 155 - r * std::sin(angle);
      onBar += qGray(image.pixel(int(std::lround(x)), int(std::lround(y)))) > 200;
      double bx = x + 8 * std::sin(angle), by = y + 8 * std::cos(angle);
      besideBar += qGray(image.pixel(int(std::lround(bx)), int(std::lround(by)))) > 200;
    }
    EXPECT_GE(onBar, 5) << "needle " << needle;  // the bar is 3 px wide, antialiased
    EXPECT_LE(besideBar, 1) << "needle " << needle;
  }
}

}  // namespace
