// QUOR_SPEED_DEV through the real host: the deviation limited to +-15 and the
// pointer displaced by value x -1.7 pixels.
#include <gtest/gtest.h>

#include "host.h"

namespace {

constexpr uint32_t kSpeed = 0x3D, kReference = 0x74;

TEST(SpeedDev, DeviationIsLimitedAndMovesThePointer) {
  struct Case {
    double speed, reference, value;
  };
  const Case cases[] = {{250, 240, 10},  {200, 240, -15},  {240, 240, 0},      {255, 240, 15},
                        {225, 240, -15}, {255.5, 240, 15}, {240.25, 240, 0.25}};
  host::Host panel(SIM_DIR);
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

TEST(SpeedDev, PointerRingMovesOnTheStrip) {
  host::Host panel(SIM_DIR);
  host::Gauge& gauge = panel.Load("QUOR_SPEED_DEV.gau");
  // The ring's top row (yellow) at rest lies at row 33; +10 lifts it 17 pixels.
  auto ringTop = [&] {
    QImage image = panel.RenderGauge(gauge);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qRed(image.pixel(x, y)) > 150 && qGreen(image.pixel(x, y)) > 150 &&
            qBlue(image.pixel(x, y)) < 100)
          return y;
    return -1;
  };
  panel.Sim().Set(kSpeed, 240);
  panel.Sim().Set(kReference, 240);
  panel.Update();
  EXPECT_EQ(ringTop(), 33);
  panel.Sim().Set(kSpeed, 250);
  panel.Update();
  EXPECT_EQ(ringTop(), 33 - 17);
  panel.Sim().Set(kSpeed, 100);
  panel.Update();
  int low = ringTop();
  EXPECT_GE(low, 33 + 25);  // 25.5 pixels down
  EXPECT_LE(low, 33 + 26);
  EXPECT_LE(low + 6, 73);  // the strip holds the whole travel
}

}  // namespace
