// QUOR_SPEED_DEV through the real host: the deviation limited to +-15, the
// pointer displaced by value x -1.7 pixels, and the drawn ring measured in a
// rendered snapshot.
#include <gtest/gtest.h>

#include "host.h"
#include "module_harness.h"

namespace {

constexpr uint32_t kSpeed = 0x3D, kReference = 0x74;

TEST(SpeedDev, DeviationIsLimitedAndMovesThePointer) {
  struct Case {
    double speed, reference, value;
  };
  const Case cases[] = {{250, 240, 10},  {200, 240, -15},  {240, 240, 0},      {255, 240, 15},
                        {225, 240, -15}, {255.5, 240, 15}, {240.25, 240, 0.25}};
  host::Host panel(instruments_test::SimDir());
  host::Gauge& gauge = panel.Load("QUOR_SPEED_DEV.gau");
  for (const Case& c : cases) {
    panel.Sim().Set(kSpeed, c.speed);
    panel.Sim().Set(kReference, c.reference);
    panel.Update();  // the reference is read first, the pointer's speed with the element
    const host::ElementState* pointer = gauge.StateOf(gauge.Element(1));
    EXPECT_DOUBLE_EQ(pointer->sliderY, c.value * -1.7) << c.speed << " vs " << c.reference;
    EXPECT_EQ(pointer->sliderX, 0.0);
  }
}

// Where the yellow ring is in a snapshot: the mean row of its pixels weighted by
// their red (the strip and the ring's centre are black), and its total weight.
struct Ring {
  double row = 0.0, weight = 0.0;
};

Ring FindRing(const QImage& image, int left = 0, int top = 0, int width = -1, int height = -1) {
  if (width < 0) width = image.width();
  if (height < 0) height = image.height();
  Ring ring;
  double sum = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) {
      QRgb p = image.pixel(x, y);
      if (qBlue(p) > 60 || qRed(p) < 8) continue;  // neither yellow nor blended with it
      ring.weight += qRed(p);
      sum += qRed(p) * (y + 0.5);
    }
  if (ring.weight > 0) ring.row = sum / ring.weight - top;
  return ring;
}

TEST(SpeedDev, PointerRingMovesOnTheStrip) {
  host::Host panel(instruments_test::SimDir());
  host::Gauge& gauge = panel.Load("QUOR_SPEED_DEV.gau");
  panel.Sim().Set(kReference, 240);
  panel.Sim().Set(kSpeed, 240);
  panel.Update();
  Ring rest = FindRing(panel.RenderGauge(gauge));
  // At rest the 6-row ring drawn at row 33 has its centre on row 36.
  EXPECT_NEAR(rest.row, 36.0, 0.01);
  struct Case {
    double speed, shift;  // reference 240; shift in pixels, down positive
  };
  const Case cases[] = {{250, -17}, {200, 25.5}, {255, -25.5}, {241, -1.7}, {240, 0}};
  for (const Case& c : cases) {
    panel.Sim().Set(kSpeed, c.speed);
    panel.Update();
    Ring ring = FindRing(panel.RenderGauge(gauge));
    // The host may round the displacement to whole pixels.
    EXPECT_NEAR(ring.row - rest.row, c.shift, 0.51) << c.speed;
    // The strip's 73 rows hold the whole travel: none of the ring is cut off.
    EXPECT_NEAR(ring.weight, rest.weight, rest.weight * 0.02) << c.speed;
  }
}

// Both instruments on one panel keep their own records and are drawn where the
// panel places them. Token 0x3D is the speed here and the fuel gauge's correction.
TEST(Instruments, BothOnOnePanel) {
  host::Host panel(instruments_test::SimDir());
  host::Gauge& fuel = panel.Load("VELT_DD_OIL.gau", 0, 0);
  host::Gauge& speed = panel.Load("QUOR_SPEED_DEV.gau", 330, 115);
  panel.Sim().Set(0x155, 30);
  panel.Sim().Set(kSpeed, 250);
  panel.Sim().Set(kReference, 240);
  panel.Update();
  panel.Update();
  EXPECT_NEAR(fuel.StateOf(fuel.Element(2))->needleValue, 30 * 0.3 - 250 / 100.0, 1e-9);
  EXPECT_DOUBLE_EQ(speed.StateOf(speed.Element(1))->sliderY, -17.0);
  QImage image = panel.RenderPanel();
  ASSERT_GE(image.width(), 330 + 14);
  ASSERT_GE(image.height(), 115 + 73);
  Ring ring = FindRing(image, 330, 115, 14, 73);
  EXPECT_NEAR(ring.row, 36.0 - 17.0, 0.51);
}

// The strip is all black; the pointer is a yellow ring around a black centre,
// which the host shows through to the strip.
TEST(SpeedDev, StripAndPointerArtwork) {
  host::Host panel(instruments_test::SimDir());
  host::Gauge& gauge = panel.Load("QUOR_SPEED_DEV.gau");
  ASSERT_EQ(gauge.bitmaps.count(4096), 1u);
  ASSERT_EQ(gauge.bitmaps.count(4112), 1u);
  const QImage& strip = gauge.bitmaps.at(4096);
  EXPECT_EQ(strip.size(), QSize(14, 73));
  for (int y = 0; y < strip.height(); ++y)
    for (int x = 0; x < strip.width(); ++x) ASSERT_EQ(strip.pixel(x, y), qRgb(0, 0, 0));
  const QImage& pointer = gauge.bitmaps.at(4112);
  EXPECT_EQ(pointer.size(), QSize(7, 6));
  int ring = 0;
  for (int y = 0; y < pointer.height(); ++y)
    for (int x = 0; x < pointer.width(); ++x) {
      QRgb p = pointer.pixel(x, y);
      EXPECT_TRUE(p == qRgb(224, 224, 0) || p == qRgb(0, 0, 0)) << x << "," << y;
      ring += p == qRgb(224, 224, 0);
    }
  EXPECT_GE(ring, 12);
  EXPECT_EQ(pointer.pixel(3, 2), qRgb(0, 0, 0));  // the centre
  EXPECT_EQ(pointer.pixel(3, 3), qRgb(0, 0, 0));
}

}  // namespace
