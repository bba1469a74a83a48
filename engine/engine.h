// What the engine offers the panel it is built with: the gauge routines the panel's
// gauge header names, the data-manager launch and reload the panel's buttons run,
// the autopilot heading command, and the host's service table.
#pragma once

#include <cstdint>

#include "engine/gps_state.h"
#include "panel/panel_services.h"

// Gauge routines, in the host's calling order.
void GaugeQuery();
void GaugeInstall(uint32_t argument);
void GaugeInit();
void GaugeUpdate();
void GaugeGenerate(uint32_t argument);
void GaugeDraw();
void GaugeKill();

// Mouse routine of each panel's data-manager rectangle: runs the data manager's
// dialog and then arms the reload of the GPS memory file. Returns 1.
int32_t OpenDataManager(int32_t, int32_t);

// Arms the deferred reload: the unit shows "DATA RELOADING" and reads the GPS
// memory file 35 update calls later.
void BeginReload();

// Sends the heading-hold event, then the heading bug set to commandedHeading.
void SendCommandedHeading();

// Loads "./TERVANE.dat" into gps.legs; 1 on success, 0 on failure (the active
// entry's name then says why and legCount is 1).
int LoadGpsMemory();

// The host's service table, stored into ImportTable by the host before any gauge
// routine runs.
PanelServices* Services();
