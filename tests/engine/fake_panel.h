// A panel for engine unit tests: it defines what engine/panel_interface.h asks of
// a panel (header, head element with an overlay as first child, rectangle list,
// screen routines) and counts the engine's calls into it.
#pragma once

#include <vector>

namespace fakepanel {

struct Calls {
  int refreshScreen = 0;
  int toggleHeadingCoupling = 0;
  int applyUnitPower = 0;       // KLN 90B
  int hideLampsAtInstall = 0;   // KLN 90B
  std::vector<int> codeDigits;  // V3: EnterCodeDigit arguments
};

Calls& PanelCalls();

}  // namespace fakepanel
