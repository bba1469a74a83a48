// What each instrument module shows the host: exactly two exports, and the
// records reached through them (gauge header, element tree, scale tables, slider,
// failure lists, rectangle list). The modules are loaded as the host loads them,
// without linking them, and handed the recording service table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_harness.h"

namespace {

using instruments_test::ModuleUnderTest;

TEST(InstrumentModules, ExportOnlyLinkageAndImportTable) {
  for (const char* file : {"VELT_DD_OIL.gau", "QUOR_SPEED_DEV.gau"}) {
    std::string path = instruments_test::SimDir() + "/Gauges/" + file;
    EXPECT_EQ(instruments_test::DefinedExports(path),
              (std::vector<std::string>{"ImportTable", "Linkage"}))
        << path;
  }
}

TEST(InstrumentModules, HeaderAndHeadAsDeclared) {
  struct Case {
    const char* file;
    const char* name;
    uint32_t width;
    int32_t headX;
    uint32_t flags;
    size_t children;
  };
  const Case cases[] = {{"VELT_DD_OIL.gau", "VELT_DD_OIL", 57, 9, 3, 2},
                        {"QUOR_SPEED_DEV.gau", "QUOR_SPEED_DEV", 14, 0, 7, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ModuleUnderTest m(c.file);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m.linkage->moduleId, 0x13u);
    EXPECT_NE(m.linkage->ModuleStart, nullptr);
    EXPECT_NE(m.linkage->ModuleStop, nullptr);
    EXPECT_EQ(m.imports->servicesId, 0x0Fu);
    EXPECT_EQ(m.header->magic, 0x262u);
    EXPECT_STREQ(m.header->name, c.name);
    EXPECT_EQ(m.header->declaredWidth, c.width);
    EXPECT_EQ(m.head->kind, kImageElement);
    EXPECT_EQ(m.head->bitmapId, 4096);
    EXPECT_EQ(m.head->x, c.headX);
    EXPECT_EQ(m.head->y, 0);
    EXPECT_EQ(m.head->flags, c.flags);
    EXPECT_EQ(m.head->header, m.header);
    ASSERT_NE(m.head->failures, nullptr);
    EXPECT_EQ(m.head->failures[0].failureId, 1);
    EXPECT_EQ(m.head->failures[0].action, 2);
    EXPECT_EQ(m.head->failures[1].failureId, 0);
    ASSERT_NE(m.head->children, nullptr);
    size_t n = 0;
    while (m.head->children[n]) ++n;
    EXPECT_EQ(n, c.children);
  }
}

// A gauge without buttons still has a rectangle list: gauge entry, end entry,
// terminating entry, each with an empty box, no cursor and no routine.
TEST(InstrumentModules, RectangleListHasOnlyItsThreeFramingEntries) {
  for (const char* file : {"VELT_DD_OIL.gau", "QUOR_SPEED_DEV.gau"}) {
    SCOPED_TRACE(file);
    ModuleUnderTest m(file);
    ASSERT_TRUE(m.ok());
    m.header->GaugeInstall(0);
    const MouseRect* rects = nullptr;
    for (const auto& call : m.services->calls)
      if (call.service == "InstallMouseRects") rects = static_cast<const MouseRect*>(call.subject);
    ASSERT_NE(rects, nullptr);
    const int32_t kinds[3] = {kMouseGaugeEntry, kMouseGaugeClose, kMouseListEnd};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(rects[i].kind, kinds[i]) << i;
      EXPECT_EQ(rects[i].width, 0) << i;
      EXPECT_EQ(rects[i].height, 0) << i;
      EXPECT_EQ(rects[i].cursor, kCursorNone) << i;
      EXPECT_EQ(rects[i].routine, nullptr) << i;
    }
  }
}

// Both needles share the pivot and the routine; the left one comes first and
// carries the mirrored scale. A swapped table would turn each needle the wrong
// way round the dial.
TEST(InstrumentModules, FuelTempNeedlesCarryTheirScales) {
  ModuleUnderTest m("VELT_DD_OIL.gau");
  ASSERT_TRUE(m.ok());
  struct Entry {
    int32_t x, y;
    double value;
  };
  struct Case {
    const char* needle;
    int32_t bitmap;
    Entry scale[5];
  };
  const Case cases[2] = {
      {"left", 8240, {{65, 237, -999}, {60, 228, -50}, {33, 147, 0}, {62, 71, 50}, {69, 66, 999}}},
      {"right",
       8192,
       {{224, 66, 999}, {230, 72, 50}, {253, 147, 0}, {235, 226, -50}, {228, 235, -999}}},
  };
  const NeedleElement* needles[2];
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].needle);
    ASSERT_EQ(m.head->children[i]->kind, kNeedleElement);
    const auto* n = reinterpret_cast<const NeedleElement*>(m.head->children[i]);
    needles[i] = n;
    EXPECT_EQ(n->base.bitmapId, cases[i].bitmap);
    EXPECT_EQ(n->base.x, 157);
    EXPECT_EQ(n->base.y, 155);
    EXPECT_EQ(n->base.pivotX, 1);
    EXPECT_EQ(n->base.pivotY, 13);
    EXPECT_EQ(n->base.flags, 3u);
    EXPECT_EQ(n->base.failures, m.head->failures);  // one list for the three elements
    EXPECT_EQ(n->base.children, nullptr);
    EXPECT_EQ(n->source.token, 0u);
    EXPECT_NE(n->routine, nullptr);
    EXPECT_EQ(n->moduleWord104, 150);
    EXPECT_EQ(n->moduleWord108, 52);
    EXPECT_EQ(n->moduleWord120, 3);
    ASSERT_EQ(n->scaleCount, 5);
    for (int e = 0; e < 5; ++e) {
      EXPECT_EQ(n->scale[e].x, cases[i].scale[e].x) << "entry " << e;
      EXPECT_EQ(n->scale[e].y, cases[i].scale[e].y) << "entry " << e;
      EXPECT_EQ(n->scale[e].value, cases[i].scale[e].value) << "entry " << e;
      EXPECT_EQ(n->scale[e].zero, 0.0) << "entry " << e;
    }
  }
  EXPECT_EQ(needles[0]->routine, needles[1]->routine);
}

TEST(InstrumentModules, SpeedDevPointerSlidesVerticallyOnly) {
  ModuleUnderTest m("QUOR_SPEED_DEV.gau");
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(m.head->children[0]->kind, kSliderElement);
  const auto* pointer = reinterpret_cast<const SliderElement*>(m.head->children[0]);
  EXPECT_EQ(pointer->base.bitmapId, 4112);
  EXPECT_EQ(pointer->base.x, 4);
  EXPECT_EQ(pointer->base.y, 33);
  EXPECT_EQ(pointer->base.flags, 7u);
  EXPECT_EQ(pointer->base.failures, nullptr);
  EXPECT_EQ(pointer->xSource.token, 0u);
  EXPECT_EQ(pointer->xRoutine, nullptr);
  EXPECT_EQ(pointer->xScale, 0.0);
  EXPECT_EQ(pointer->ySource.token, 0x3Du);
  EXPECT_NE(pointer->yRoutine, nullptr);
  EXPECT_EQ(pointer->yScale, -1.7);
}

}  // namespace
