// VELT_DD_OIL through the real host: the temperature factor's first value, its
// unclamped first rise and its hold at 0.95, the needles' angles on their scales,
// and the drawn needles measured in a rendered snapshot.
#include <gtest/gtest.h>

#include <cmath>

#include "host.h"
#include "module_harness.h"

namespace {

constexpr uint32_t kOat = 0x155, kCorrection = 0x3D, kRaise = 0x01, kDivisor12 = 0x03,
                   kDivisor7 = 0x08;
constexpr size_t kLeft = 1, kRight = 2;         // tree order: face, left needle, right needle
constexpr double kPivotX = 157, kPivotY = 155;  // both needles, gauge pixels

// Angle from the pivot toward a gauge pixel: degrees 0 to below 360,
// counter-clockwise from +x with y up.
double AngleToward(double x, double y) {
  double a = std::atan2(-(y - kPivotY), x - kPivotX) * 180.0 / M_PI;
  return a < 0 ? a + 360.0 : a;
}

class FuelTemp : public ::testing::Test {
 protected:
  host::Host panel{instruments_test::SimDir()};
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
  EXPECT_NEAR(gauge.NeedleAngle(kRight), AngleToward(253, 147), 1e-9);
  EXPECT_NEAR(gauge.NeedleAngle(kLeft), AngleToward(33, 147), 1e-9);
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
  panel.Sim().Set(kRaise, 2'000'000);  // 2e6 / 1e4 / 169 + 0.3 = 1.48...
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
    double oat, correction, raise, divisor12, divisor7, value;
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
    host::Host panel(instruments_test::SimDir());
    host::Gauge& gauge = panel.Load("VELT_DD_OIL.gau");
    panel.Sim().Set(kOat, c.oat);
    panel.Sim().Set(kCorrection, c.correction);
    panel.Sim().Set(kRaise, c.raise);
    panel.Sim().Set(kDivisor12, c.divisor12);
    panel.Sim().Set(kDivisor7, c.divisor7);
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
    double mark = AngleToward(c.markX, c.markY), stop = AngleToward(c.stopX, c.stopY);
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

// What one needle adds to a snapshot: the pixels that change when it alone is
// shown over the face, measured along and across the direction `degrees`.
struct NeedleTrace {
  int changed = 0;                       // pixels that differ from the face without needles
  double maxAcross = 0.0;                // farthest changed pixel from the line, pixels
  double nearest = 1e9, farthest = 0.0;  // extent of the bright bar along the line
  double meanOffset = 0.0;               // mean angle of the bright bar from `degrees`
};

NeedleTrace TraceNeedle(host::Host& panel, host::Gauge& gauge, size_t needle, double degrees) {
  GaugeElement* needles[2] = {gauge.Element(kLeft), gauge.Element(kRight)};
  uint32_t saved[2] = {needles[0]->flags, needles[1]->flags};
  for (GaugeElement* e : needles) e->flags |= kElementHidden;
  QImage face = panel.RenderGauge(gauge);
  gauge.Element(needle)->flags &= ~kElementHidden;
  QImage shown = panel.RenderGauge(gauge);
  for (int i = 0; i < 2; ++i) needles[i]->flags = saved[i];

  NeedleTrace t;
  double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
  double offsetSum = 0;
  int bright = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      QRgb a = face.pixel(x, y), b = shown.pixel(x, y);
      int change = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                             std::abs(qBlue(a) - qBlue(b))});
      if (change <= 3) continue;
      ++t.changed;
      double dx = x + 0.5 - kPivotX, dy = kPivotY - (y + 0.5);  // y up
      double along = dx * c + dy * s, across = -dx * s + dy * c;
      t.maxAcross = std::max(t.maxAcross, std::abs(across));
      if (qGray(b) < 160) continue;
      t.nearest = std::min(t.nearest, along);
      t.farthest = std::max(t.farthest, along);
      if (along >= 45) {
        offsetSum += std::atan2(across, along) * 180 / M_PI;
        ++bright;
      }
    }
  t.meanOffset = bright ? offsetSum / bright : 999;
  return t;
}

// The white bar (x 38 to 111 of the needle picture, pivot at x 1) lies along the
// direction of its scale mark; the picture's black is transparent, so nothing
// else of the face changes.
TEST_F(FuelTemp, DrawnNeedlesLieAlongTheirScaleMarks) {
  panel.Sim().Set(kRaise, 2'000'000);
  Settle();  // factor held at 0.95
  struct Case {
    double oat, correction, value;
    int rightX, rightY, leftX, leftY;  // the marks of that value
  };
  const Case cases[] = {{0, 0, 0, 253, 147, 33, 147},
                        {60, 700, 50, 230, 72, 62, 71},        // 57 - 7
                        {-60, -700, -50, 235, 226, 60, 228}};  // -57 + 7
  for (const Case& c : cases) {
    panel.Sim().Set(kOat, c.oat);
    panel.Sim().Set(kCorrection, c.correction);
    Settle();
    struct Side {
      const char* name;
      size_t index;
      int x, y;
    };
    for (Side n :
         {Side{"left", kLeft, c.leftX, c.leftY}, Side{"right", kRight, c.rightX, c.rightY}}) {
      SCOPED_TRACE(std::string(n.name) + " at " + std::to_string(c.value));
      EXPECT_NEAR(Needle(n.index), c.value, 1e-9);
      double expected = AngleToward(n.x, n.y);
      EXPECT_NEAR(gauge.NeedleAngle(n.index), expected, 1e-6);
      NeedleTrace t = TraceNeedle(panel, gauge, n.index, expected);
      EXPECT_GE(t.changed, 150);            // the bar is 74 x 3 pixels
      EXPECT_LE(t.maxAcross, 3.0);          // only the bar changed the face
      EXPECT_NEAR(t.nearest, 37.0, 3.0);    // bar starts 37 pixels out
      EXPECT_NEAR(t.farthest, 110.0, 3.0);  // and ends 110 pixels out
      EXPECT_NEAR(t.meanOffset, 0.0, 1.0);  // degrees
    }
  }
}

// The face and needle pictures as the module carries them; the face's 50, 0 and
// -50 ticks run inward from the very points the scale tables name (the face is
// drawn at gauge (9,0), so a face drawn without that offset misses them).
TEST_F(FuelTemp, ArtworkMatchesTheScales) {
  ASSERT_EQ(gauge.bitmaps.count(4096), 1u);
  EXPECT_EQ(gauge.bitmaps.at(4096).size(), QSize(302, 303));
  ASSERT_EQ(gauge.bitmaps.count(8192), 1u);
  ASSERT_EQ(gauge.bitmaps.count(8240), 1u);
  const QImage& right = gauge.bitmaps.at(8192);
  EXPECT_EQ(right.size(), QSize(112, 25));
  EXPECT_EQ(right.convertToFormat(QImage::Format_RGB32),
            gauge.bitmaps.at(8240).convertToFormat(QImage::Format_RGB32));
  // A white bar from x 38 to 111 around row 12, on black.
  EXPECT_EQ(right.pixel(38, 12), qRgb(255, 255, 255));
  EXPECT_EQ(right.pixel(111, 12), qRgb(255, 255, 255));
  EXPECT_EQ(right.pixel(37, 12), qRgb(0, 0, 0));
  EXPECT_EQ(right.pixel(70, 5), qRgb(0, 0, 0));
  EXPECT_EQ(right.pixel(70, 20), qRgb(0, 0, 0));

  for (size_t needle : {kLeft, kRight}) gauge.Element(needle)->flags |= kElementHidden;
  QImage face = panel.RenderGauge(gauge);
  for (size_t needle : {kLeft, kRight}) gauge.Element(needle)->flags &= ~kElementHidden;
  const int marks[6][2] = {{230, 72}, {253, 147}, {235, 226}, {62, 71}, {33, 147}, {60, 228}};
  for (const auto& mark : marks) {
    double dx = kPivotX - mark[0], dy = kPivotY - mark[1], length = std::hypot(dx, dy);
    for (double inward : {3.0, 8.0, 13.0}) {
      int x = int(std::lround(mark[0] + dx / length * inward));
      int y = int(std::lround(mark[1] + dy / length * inward));
      EXPECT_GT(qGray(face.pixel(x, y)), 180)
          << "tick at (" << mark[0] << "," << mark[1] << "), " << inward << " px in";
    }
  }
}

}  // namespace
