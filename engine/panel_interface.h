// What a panel defines for the engine it is built with. The engine passes the head
// element to the element services, the rectangle list and the gauge header to the
// mouse services, and calls the panel's screen routines.
//
// The panel's gauge header carries kGaugeName, kDeclaredWidth (module_traits.h)
// and the gauge routines of engine.h. In the V1, V2, V4 and LearJet panels the
// head's first child is the power-failure overlay.
#pragma once

#include <cstdint>

#include "engine/module_config.h"
#include "panel/gauge_records.h"

extern GaugeHeader gaugeHeader;   // the module's only gauge
extern ImageElement headElement;  // head of the element tree
extern MouseRect mouseRects[];    // kind 1 first, active rectangles, kind 3, kind 0

// Runs the panel's text routines for the fields that depend on the program and the
// navigation, then InitElements on the head.
void RefreshScreen();

// The coupling button's routine; the engine calls it when COM_AREA asks for the
// other coupling state. Inert while the power failed or the program is invalid.
int32_t ToggleHeadingCoupling(int32_t, int32_t);

#ifdef TERVANE_GPS_MODEL_V3
// Key digit d during a transponder code entry; the data button types 6 then.
void EnterCodeDigit(int32_t digit);
#endif

#ifdef TERVANE_GPS_MODEL_KLN90B
// Shows the unit on or off after unitOn or powerFailed changed.
void ApplyUnitPower();
// Hides the ENT and GPS ON lamps at the end of the install.
void HideLampsAtInstall();
#endif
