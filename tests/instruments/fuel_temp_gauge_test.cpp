// VELT_DD_OIL's routines against the recording services: the order of every
// gauge routine's service calls, and the arithmetic of FuelTemperatureValue
// (the factor's first value, its divisor K, the unclamped rise used once, the
// hold at 0.95). The needle routine is reached through the needle records, as
// the host reaches it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "module_harness.h"

namespace {

using instruments_test::ModuleUnderTest;
using Calls = std::vector<std::string>;

// Simulator tokens the module reads.
constexpr uint32_t kOat = 0x155, kCorrection = 0x3D, kRaise = 0x01, kDivisor12 = 0x03,
                   kDivisor7 = 0x08;

TEST(FuelTempGauge, EveryRoutineCallsItsServicesInOrder) {
  ModuleUnderTest m("VELT_DD_OIL.gau");
  ASSERT_TRUE(m.ok());
  struct Step {
    const char* routine;
    void (*run)(GaugeHeader*);
    Calls calls;
  };
  const Step steps[] = {
      {"GaugeQuery", [](GaugeHeader* h) { h->GaugeQuery(); }, {"QueryElements(head)"}},
      {"GaugeInstall",
       [](GaugeHeader* h) { h->GaugeInstall(5); },
       {"InstallElements(head, 5)", "InstallMouseRects(rects, header, word15+4)",
        "RegisterMouseRects(rects, header)"}},
      {"GaugeInit",
       [](GaugeHeader* h) { h->GaugeInit(); },
       {"InitElements(head)", "BindVariable(r1=0x155)", "BindVariable(r2=0xC0)",
        "BindVariable(r3=0x3D)", "BindVariable(r4=0x155)", "BindVariable(r5=0x1)",
        "BindVariable(r6=0x3)", "BindVariable(r7=0x8)", "ReadVariable(r4=0x155)"}},
      {"GaugeUpdate",
       [](GaugeHeader* h) { h->GaugeUpdate(); },
       {"UpdateElements(head)", "ReadVariable(r1=0x155)", "ReadVariable(r2=0xC0)",
        "ReadVariable(r3=0x3D)", "ReadVariable(r5=0x1)", "ReadVariable(r6=0x3)",
        "ReadVariable(r7=0x8)"}},
      {"GaugeGenerate", [](GaugeHeader* h) { h->GaugeGenerate(9); }, {"GenerateElements(head, 9)"}},
      {"GaugeDraw", [](GaugeHeader* h) { h->GaugeDraw(); }, {"PlotElements(head)"}},
      {"GaugeKill",
       [](GaugeHeader* h) { h->GaugeKill(); },
       {"UnregisterMouseRects(rects, header)", "KillElements(head)"}},
  };
  for (const Step& step : steps) {
    m.services->Clear();
    step.run(m.header);
    EXPECT_EQ(m.DescribeCalls(), step.calls) << step.routine;
  }
  // Records 1 and 4 share a token but are two records.
  ASSERT_EQ(m.Bound().size(), 7u);
  EXPECT_NE(m.Bound()[0], m.Bound()[3]);
}

// The module started as the host starts it; Update() stands for one panel update:
// the needles run (left, then right, in tree order) with the values read at the
// end of the update before, then GaugeUpdate reads the served values.
class FuelTempNeedles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m.ok());
    m.Start();
    left = reinterpret_cast<NeedleElement*>(m.head->children[0]);
    right = reinterpret_cast<NeedleElement*>(m.head->children[1]);
  }

  void Serve(uint32_t token, double value) { m.services->variables[token] = value; }

  // Runs both needle routines as UpdateElements would, then the module's reads.
  void Update() {
    leftValue = left->routine(left->source.value.real);
    rightValue = right->routine(right->source.value.real);
    m.header->GaugeUpdate();
  }

  ModuleUnderTest m{"VELT_DD_OIL.gau"};
  NeedleElement* left = nullptr;
  NeedleElement* right = nullptr;
  double leftValue = NAN, rightValue = NAN;
};

TEST_F(FuelTempNeedles, FirstUpdateStartsFromFactor03) {
  // All values 0: A = 7, B = 12, K = 169, factor 0.3, needle value 0.
  Serve(kOat, 10);
  Update();
  EXPECT_EQ(leftValue, 0.0);
  EXPECT_EQ(rightValue, 0.0);
  // The temperature read at the end of that update now meets the factor 0.3.
  Update();
  EXPECT_NEAR(leftValue, 10 * 0.3, 1e-12);
  EXPECT_NEAR(rightValue, 10 * 0.3, 1e-12);
}

// Each case starts from a freshly loaded module (factor 0.3). The factor is
// (record 5 / 10000 / K + 1.0) x 1.0 - 0.7 with K = 2 |B| |A| + 1 in 32-bit
// unsigned arithmetic, A = trunc(7 - record 7 / 30), B = trunc(12 - record 6).
TEST(FuelTempArithmetic, NeedleValueFromFactorAndCorrection) {
  struct Case {
    const char* what;
    double oat, correction, raise, divisor12, divisor7;
    double factor;  // the factor the first call computes
  };
  const Case cases[] = {
      {"factor 0.5 with K = 169", -12.4, 0, 338'000, 0, 0, 0.5},
      {"record 3 / 100 subtracted", 25.9, 150, 0, 0, 0, 0.3},
      {"A = 1, B = 1: K = 3", 10, 0, 3'000, 11, 180, 3'000 / 1e4 / 3 + 0.3},
      {"A = 0, B = 0: K = 1", 10, 0, 1'000, 12, 210, 1'000 / 1e4 + 0.3},
      {"A truncated toward zero: 7 - 7.5 gives 0", 10, 0, 1'000, 0, 225, 1'000 / 1e4 + 0.3},
      {"B truncated before |.|: 12 - 13.9 gives 1", 10, 0, 1'000, 13.9, 0, 1'000 / 1e4 / 15 + 0.3},
      {"temperature truncated toward zero", -0.9, 0, 0, 0, 0, 0.3},
      {"K above 2^31 taken as unsigned", 10, 0, 3.2e13, 40'012, 1'200'210,
       3.2e13 / 1e4 / 3'200'000'001.0 + 0.3},
      {"K wraps modulo 2^32 for wild values", 10, 0, 1'000, 1e12, 1e12, 1'000 / 1e4 + 0.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ModuleUnderTest m("VELT_DD_OIL.gau");
    ASSERT_TRUE(m.ok());
    m.Start();
    std::map<uint32_t, double>& served = m.services->variables;
    served[kOat] = c.oat;
    served[kCorrection] = c.correction;
    served[kRaise] = c.raise;
    served[kDivisor12] = c.divisor12;
    served[kDivisor7] = c.divisor7;
    m.header->GaugeUpdate();  // the values the needles will see
    auto* left = reinterpret_cast<NeedleElement*>(m.head->children[0]);
    auto* right = reinterpret_cast<NeedleElement*>(m.head->children[1]);
    double first = left->routine(0.0), second = right->routine(0.0);
    double degrees = std::trunc(c.oat);
    EXPECT_NEAR(first, degrees * c.factor - c.correction / 100, 1e-9);
    // The second call holds a factor that reached 0.95, else recomputes it.
    double held = c.factor >= 0.95 ? 0.95 : c.factor;
    EXPECT_NEAR(second, degrees * held - c.correction / 100, 1e-9);
  }
}

TEST_F(FuelTempNeedles, FactorMayFallUntilItReaches095ThenHolds) {
  Serve(kOat, 20.7);
  Serve(kRaise, 1'000'000);  // 100 / 169 + 0.3 = 0.89...: not yet held
  Update();
  Update();
  EXPECT_NEAR(rightValue, 20 * (100.0 / 169 + 0.3), 1e-9);
  Serve(kRaise, 0);  // below 0.95 the factor follows record 5 down again
  Update();
  Update();
  EXPECT_NEAR(rightValue, 20 * 0.3, 1e-9);

  Serve(kRaise, 2'000'000);  // 200 / 169 + 0.3 = 1.48...
  Update();
  Update();
  EXPECT_NEAR(leftValue, 20 * (200.0 / 169 + 0.3), 1e-9);  // used unclamped, once
  EXPECT_DOUBLE_EQ(rightValue, 19.0);                      // held: 20 x 0.95
  for (double raise : {0.0, -5e6, 1'000.0}) {              // later drops no longer lower it
    Serve(kRaise, raise);
    Update();
    Update();
    EXPECT_DOUBLE_EQ(leftValue, 19.0) << raise;
    EXPECT_DOUBLE_EQ(rightValue, 19.0) << raise;
  }
  Serve(kCorrection, 250);  // the correction still applies to the held factor
  Update();
  Update();
  EXPECT_DOUBLE_EQ(rightValue, 19.0 - 2.5);
}

// The needles see the values read at the end of the previous update, never the
// ones served during the current one.
TEST_F(FuelTempNeedles, NeedlesUseThePreviousUpdatesValues) {
  Update();
  Serve(kOat, -30);
  EXPECT_EQ(right->routine(0.0), 0.0);  // nothing read yet
  m.header->GaugeUpdate();
  EXPECT_NEAR(right->routine(0.0), -30 * 0.3, 1e-12);
}

}  // namespace
