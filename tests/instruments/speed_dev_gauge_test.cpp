// QUOR_SPEED_DEV's routines against the recording services: the order of every
// gauge routine's service calls and SpeedDeviationValue's limit at +-15, reached
// through the slider record as the host reaches it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_harness.h"

namespace {

using instruments_test::ModuleUnderTest;
using Calls = std::vector<std::string>;

constexpr uint32_t kReference = 0x74;

TEST(SpeedDevGauge, EveryRoutineCallsItsServicesInOrder) {
  ModuleUnderTest m("QUOR_SPEED_DEV.gau");
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
       {"BindVariable(r1=0x74)", "InstallElements(head, 5)",
        "InstallMouseRects(rects, header, word15+4)", "RegisterMouseRects(rects, header)"}},
      {"GaugeInit", [](GaugeHeader* h) { h->GaugeInit(); }, {"InitElements(head)"}},
      {"GaugeUpdate",
       [](GaugeHeader* h) { h->GaugeUpdate(); },
       {"ReadVariable(r1=0x74)", "UpdateElements(head)"}},
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
}

class SpeedDevPointer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m.ok());
    m.Start();
    pointer = reinterpret_cast<SliderElement*>(m.head->children[0]);
  }

  // The routine as the host runs it: with the pointer's own source record, which
  // the host fills with the speed.
  double Deviation(double speed) {
    pointer->ySource.value.real = speed;
    return pointer->yRoutine(&pointer->ySource);
  }

  ModuleUnderTest m{"QUOR_SPEED_DEV.gau"};
  SliderElement* pointer = nullptr;
};

TEST_F(SpeedDevPointer, DeviationIsLimitedTo15EitherWay) {
  struct Case {
    double speed, reference, value;
  };
  const Case cases[] = {
      {250, 240, 10},     {200, 240, -15},   {240, 240, 0},      {255, 240, 15},
      {225, 240, -15},    {255.01, 240, 15}, {224.99, 240, -15}, {240.25, 240, 0.25},
      {-1e300, 240, -15}, {1e300, 240, 15},  {0, -14.5, 14.5},
  };
  for (const Case& c : cases) {
    m.services->variables[kReference] = c.reference;
    m.header->GaugeUpdate();  // reads the reference before the elements run
    EXPECT_EQ(Deviation(c.speed), c.value) << c.speed << " vs " << c.reference;
  }
}

TEST_F(SpeedDevPointer, BeforeTheFirstUpdateTheReferenceIs0) {
  m.services->variables[kReference] = 240;  // not read until GaugeUpdate
  for (auto [speed, value] : {std::pair{7.0, 7.0}, {100.0, 15.0}, {-3.0, -3.0}, {-40.0, -15.0}})
    EXPECT_EQ(Deviation(speed), value) << speed;
  m.header->GaugeUpdate();
  EXPECT_EQ(Deviation(250), 10.0);
}

}  // namespace
