// The gauge routines the host calls around the update cycle: query, install, init,
// generate, draw and kill. Install creates the shared areas, loads the GPS memory
// file, binds the simulator variables and registers the panel's mouse rectangles;
// kill undoes it in reverse and leaves the final record (modelCode 0) in COM_AREA.
// GaugeInit does not reset the engine state: the program and the modes survive it.
#include <cstring>

#include "engine/area_publishing.h"
#include "engine/engine.h"
#include "engine/panel_interface.h"

static GaugeElement* Head() { return &headElement.base; }

// The V1, V2, V4 and LearJet panels' power-failure overlay: the head's first child.
static GaugeElement* PowerOverlay() {
  GaugeElement** children = headElement.base.children;
  return children ? children[0] : nullptr;
}

// The head's word 15 plus 4 bytes, as the mouse services expect it.
static void* MouseRectCell() {
  auto* word15 = static_cast<unsigned char*>(headElement.word15);
  return word15 ? word15 + 4 : nullptr;
}

void GaugeQuery() { Services()->QueryElements(Head()); }

void GaugeInstall(uint32_t argument) {
  CreateComArea();
  if (!LoadGpsMemory()) gps.programInvalid = 1;
  CreatePgrArea();
  Services()->InstallElements(Head(), argument);
  for (int i = 0; i < kBindingCount; ++i) {
    gps.bindings[i].token = kBindingTokens[i];
    Services()->BindVariable(&gps.bindings[i]);
  }
  Services()->InstallMouseRects(mouseRects, &gaugeHeader, MouseRectCell());
  Services()->RegisterMouseRects(mouseRects, &gaugeHeader);
#ifdef TERVANE_GPS_MODEL_KLN90B
  HideLampsAtInstall();
#endif
}

void GaugeInit() {
  if constexpr (kHasPowerOverlay) {
    if (GaugeElement* overlay = PowerOverlay()) overlay->flags |= kElementHidden;
    gps.powerFailed = 0;
  }
  Services()->InitElements(Head());
}

void GaugeGenerate(uint32_t argument) { Services()->GenerateElements(Head(), argument); }

void GaugeDraw() { Services()->PlotElements(Head()); }

void GaugeKill() {
  Services()->UnregisterMouseRects(mouseRects, &gaugeHeader);
  Services()->KillElements(Head());
  ReleaseAreas();
}
