// Needle angles interpolated in scale tables, in either direction of value.
#include <gtest/gtest.h>

#include "gauge.h"

namespace {

NeedleElement NeedleAt(int x, int y, const ScaleEntry* scale, int count) {
  NeedleElement n{};
  n.base.kind = kNeedleElement;
  n.base.x = x;
  n.base.y = y;
  n.scale = scale;
  n.scaleCount = count;
  return n;
}

TEST(NeedleAngle, InterpolatesBetweenEntriesAndStopsAtTheEnds) {
  // Pivot (100,100); 0 to the right, 50 straight up, 100 to the left.
  const ScaleEntry rising[] = {{200, 100, 0.0, 0.0}, {100, 0, 50.0, 0.0}, {0, 100, 100.0, 0.0}};
  NeedleElement n = NeedleAt(100, 100, rising, 3);
  struct Case {
    double value, angle;
  };
  const Case cases[] = {{-10, 0}, {0, 0}, {25, 45}, {50, 90}, {75, 135}, {100, 180}, {1e9, 180}};
  for (const Case& c : cases)
    EXPECT_NEAR(host::NeedleAngleFor(n, c.value), c.angle, 1e-9) << c.value;
}

TEST(NeedleAngle, FallingTablesAndTheShortWayRound) {
  // Values falling through the table; the sweep from 170 to -170 degrees crosses 180.
  const ScaleEntry falling[] = {{0, 90, 10.0, 0.0}, {0, 110, -10.0, 0.0}};
  NeedleElement n = NeedleAt(100, 100, falling, 2);
  EXPECT_NEAR(host::NeedleAngleFor(n, 10.0), 174.289, 1e-3);
  EXPECT_NEAR(host::NeedleAngleFor(n, 0.0), 180.0, 1e-9);
  EXPECT_NEAR(host::NeedleAngleFor(n, -5.0), 182.855, 1e-3);
  EXPECT_NEAR(host::NeedleAngleFor(n, 20.0), 174.289, 1e-3);
  EXPECT_NEAR(host::NeedleAngleFor(n, std::nan("")), 174.289, 1e-3);
}

}  // namespace
