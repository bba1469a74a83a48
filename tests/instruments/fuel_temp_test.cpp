// VELT_DD_OIL through the real host: the temperature factor's first value, its
// unclamped first rise and its hold at 0.95, the needles on their scales.
#include <gtest/gtest.h>

#include <cmath>

#include "host.h"

namespace {

constexpr uint32_t kOat = 0x155, kSpeed = 0x3D, kRaise = 0x01, kDivisor12 = 0x03, kDivisor7 = 0x08;
constexpr size_t kLeft = 1, kRight = 2;  // tree order: face, left needle, right needle

double Angle(double fromX, double fromY, double toX, double toY) {
  double a = std::atan2(-(toY - fromY), toX - fromX) * 180.0 / M_PI;
  return a < 0 ? a + 360.0 : a;
}

class FuelTemp : public ::testing::Test {
 protected:
  host::Host panel{SIM_DIR};
  host::Gauge& gauge = panel.Load("VELT_DD_OIL.gau");
  double Needle(size_t i) { return gauge.StateOf(gauge.Element(i))->needleValue; }
  // The needles run at the start of an update with the values read at the end of
  // the one before; two updates bring a change onto the dial.
  void Settle() {
    panel.Update();
    panel.Update();
  }
};

TEST_F(FuelTemp, FirstUpdatePointsBothNeedlesAtTheirZeroMarks) {
  panel.Update();  // all values 0: A = 7, B = 12, K = 169, factor 0.3, value 0
  EXPECT_EQ(Needle(kLeft), 0.0);
  EXPECT_EQ(Needle(kRight), 0.0);
  EXPECT_NEAR(gauge.NeedleAngle(kRight), Angle(157, 155, 253, 147), 1e-9);
  EXPECT_NEAR(gauge.NeedleAngle(kLeft), Angle(157, 155, 33, 147), 1e-9);
}

TEST_F(FuelTemp, ValuesComeFromThePreviousUpdate) {
  panel.Update();
  panel.Sim().Set(kOat, -30);
  panel.Update();  // runs with the values read before the change
  EXPECT_EQ(Needle(kRight), 0.0);
  panel.Update();
  EXPECT_DOUBLE_EQ(Needle(kRight), -30 * 0.3);
}

TEST_F(FuelTemp, FactorRisesUnclampedOnceThenHoldsAt095) {
  panel.Sim().Set(kOat, 20.7);
  panel.Sim().Set(kRaise, 2'000'000);  // 2e6 / 1e4 / 169 + 0.3 = 12.13...
  Settle();
  double factor = 2'000'000 / 10000.0 / 169 + 1.0 - 0.7;
  EXPECT_DOUBLE_EQ(Needle(kLeft), 20 * factor);  // the first call uses it unclamped
  EXPECT_DOUBLE_EQ(Needle(kRight), 20 * 0.95);   // the second call finds it held
  panel.Sim().Set(kRaise, 0);                    // a later drop no longer lowers it
  Settle();
  EXPECT_DOUBLE_EQ(Needle(kLeft), 19.0);
  EXPECT_DOUBLE_EQ(Needle(kRight), 19.0);
}

TEST(FuelTempTable, NeedleValueFromTemperatureFactorAndCorrection) {
  // Below 0.95 the factor is recomputed on every call; K = 2|B||A| + 1. Each case
  // loads the module afresh so that it starts from the factor at load, 0.3.
  struct Case {
    double oat, speed, raise, v3, v8, value;
  };
  const Case cases[] = {
      {-12.4, 0, 338'000, 0, 0, -12 * 0.5},                     // factor 0.5 with K = 169
      {25.9, 150, 0, 0, 0, 25 * 0.3 - 1.5},                     // record 3 / 100 subtracted
      {10, 0, 3'000, 11, 180, 10 * (3'000 / 1e4 / 3.0 + 0.3)},  // A = 1, B = 1: K = 3
      {10, 0, 1'000, 12, 210, 10 * (1'000 / 1e4 / 1.0 + 0.3)},  // A = 0, B = 0: K = 1
      {10, 0, 1'000, 12, 240, 10 * (1'000 / 1e4 / 1.0 + 0.3)},  // A = |7 - 8| = 1, B = 0: K = 1
      {-0.9, 0, 0, 0, 0, 0.0},                                  // truncated toward zero
  };
  for (const Case& c : cases) {
    host::Host panel(SIM_DIR);
    host::Gauge& gauge = panel.Load("VELT_DD_OIL.gau");
    panel.Sim().Set(kOat, c.oat);
    panel.Sim().Set(kSpeed, c.speed);
    panel.Sim().Set(kRaise, c.raise);
    panel.Sim().Set(kDivisor12, c.v3);
    panel.Sim().Set(kDivisor7, c.v8);
    panel.Update();
    panel.Update();
    EXPECT_NEAR(gauge.StateOf(gauge.Element(kLeft))->needleValue, c.value, 1e-9) << "oat " << c.oat;
    EXPECT_NEAR(gauge.StateOf(gauge.Element(kRight))->needleValue, c.value, 1e-9)
        << "oat " << c.oat;
  }
}

TEST_F(FuelTemp, ValuesBeyondTheMarksStopJustPastThem) {
  panel.Sim().Set(kRaise, 2'000'000);
  Settle();  // factor now held at 0.95
  struct Case {
    double oat;
    size_t needle;
    int markX, markY, stopX, stopY;  // the end mark and the stop beyond it
  };
  const Case cases[] = {{120, kRight, 230, 72, 224, 66},
                        {-120, kRight, 235, 226, 228, 235},
                        {120, kLeft, 62, 71, 69, 66},
                        {-120, kLeft, 60, 228, 65, 237}};
  for (const Case& c : cases) {
    panel.Sim().Set(kOat, c.oat);
    Settle();
    double mark = Angle(157, 155, c.markX, c.markY), stop = Angle(157, 155, c.stopX, c.stopY);
    double angle = gauge.NeedleAngle(c.needle);
    EXPECT_GT(std::abs(std::remainder(angle - mark, 360.0)), 0.0) << c.oat;
    EXPECT_LE(std::abs(std::remainder(angle - mark, 360.0)),
              std::abs(std::remainder(stop - mark, 360.0)) + 1e-9)
        << c.oat;
    EXPECT_LT(std::abs(std::remainder(angle - stop, 360.0)),
              std::abs(std::remainder(stop - mark, 360.0)))
        << c.oat;
  }
}

}  // namespace
