// The service table keeps the fixed slot of every service on this build too.
#include <gtest/gtest.h>

#include "panel/panel_services.h"

TEST(PanelServices, SlotIndexIsFixedOffsetOverFour) {
  struct Slot {
    size_t offset;
    size_t fixed;
  };
  const Slot slots[] = {
      {offsetof(PanelServices, RedrawElements), 68}, {offsetof(PanelServices, QueryElements), 96},
      {offsetof(PanelServices, KillElements), 124},  {offsetof(PanelServices, SendKeyEvent), 144},
      {offsetof(PanelServices, ReadVariable), 160},
  };
  for (const Slot& s : slots) EXPECT_EQ(s.offset / sizeof(void*), s.fixed / 4);
}

TEST(GaugeRecords, HiddenBitIsBit30) { EXPECT_EQ(kElementHidden, 1u << 30); }
