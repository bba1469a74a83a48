// The panel host's service table and the two exports through which a gauge
// module meets the host: `Linkage` (the module's gauge header) and `ImportTable`
// (the cell in which the host stores its PanelServices address before any gauge
// routine runs).
//
// PanelServices is a table of pointer-sized slots; a service's slot index is its
// fixed byte offset on the original 32-bit platform divided by 4. Unnamed slots are
// unused and null.
//
// Calling order: GaugeQuery, GaugeInstall once, GaugeInit, then GaugeUpdate,
// GaugeGenerate and GaugeDraw on every panel update, and GaugeKill once.
#pragma once

#include "gauge_records.h"

extern "C" {

struct PanelServices {
  void* unused0[17];
  int32_t (*RedrawElements)(GaugeElement* head);  // 68: hidden bits changed
  void* unused18[6];
  int32_t (*QueryElements)(GaugeElement* head);   // 96
  int32_t (*InstallElements)(GaugeElement* head, uint32_t argument); // 100
  int32_t (*InitElements)(GaugeElement* head);    // 104: show freshly written text
  int32_t (*UpdateElements)(GaugeElement* head);  // 108: run every element's routine
  int32_t (*GenerateElements)(GaugeElement* head, uint32_t argument); // 112
  int32_t (*PlotElements)(GaugeElement* head);    // 116
  void* unused30;
  int32_t (*KillElements)(GaugeElement* head);    // 124
  int32_t (*InstallMouseRects)(MouseRect* list, GaugeHeader* header,
                               void* headWord15Plus4); // 128
  int32_t (*RegisterMouseRects)(MouseRect* list, GaugeHeader* header); // 132
  int32_t (*UnregisterMouseRects)(MouseRect* list, GaugeHeader* header); // 136
  void* unused35;
  int32_t (*SendKeyEvent)(uint32_t eventId, uint32_t value); // 144
  void* unused37;
  int32_t (*BindVariable)(ModuleVar* var);        // 152
  void* unused39;
  int32_t (*ReadVariable)(ModuleVar* var);        // 160: value lands in var->value
};

// 8 words.
struct GaugeLinkage {
  uint32_t moduleId;          // kLinkageModuleId
  GaugeRoutine ModuleStart;   // does nothing
  GaugeRoutine ModuleStop;    // does nothing
  uint32_t reserved[3];       // 0
  GaugeHeader* header;        // the module's only gauge
  uint32_t end;               // 0
};

// 4 words.
struct GaugeImportTable {
  uint32_t servicesId;        // kImportPanelServicesId
  PanelServices* services;    // stored by the host before any gauge routine runs
  uint32_t end0;              // 0
  uintptr_t end1;             // 0
};

}  // extern "C"

// A module exports exactly these two symbols (plus, for a few modules, named data
// items); everything else it defines stays hidden. Declare each export once with
// the macro, then define it plainly (it keeps C linkage and default visibility):
//   TERVANE_MODULE_EXPORT GaugeLinkage Linkage;
//   GaugeLinkage Linkage = {kLinkageModuleId, ...};
#define TERVANE_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

#define TERVANE_SERVICE_SLOT(field, offset)                                  \
  static_assert(offsetof(PanelServices, field) == (offset) / 4 * sizeof(void*), \
                "PanelServices." #field)
TERVANE_SERVICE_SLOT(RedrawElements, 68);
TERVANE_SERVICE_SLOT(QueryElements, 96);
TERVANE_SERVICE_SLOT(InstallElements, 100);
TERVANE_SERVICE_SLOT(InitElements, 104);
TERVANE_SERVICE_SLOT(UpdateElements, 108);
TERVANE_SERVICE_SLOT(GenerateElements, 112);
TERVANE_SERVICE_SLOT(PlotElements, 116);
TERVANE_SERVICE_SLOT(KillElements, 124);
TERVANE_SERVICE_SLOT(InstallMouseRects, 128);
TERVANE_SERVICE_SLOT(RegisterMouseRects, 132);
TERVANE_SERVICE_SLOT(UnregisterMouseRects, 136);
TERVANE_SERVICE_SLOT(SendKeyEvent, 144);
TERVANE_SERVICE_SLOT(BindVariable, 152);
TERVANE_SERVICE_SLOT(ReadVariable, 160);
#undef TERVANE_SERVICE_SLOT

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(GaugeLinkage) == 32);
static_assert(offsetof(GaugeLinkage, header) == 24);
static_assert(sizeof(GaugeImportTable) == 16);
static_assert(offsetof(GaugeImportTable, services) == 4);
#endif
