// The module's two exports and the engine's way into the host: Linkage, through
// which the host finds the gauge header, and ImportTable, into which it stores its
// service table before any gauge routine runs. Everything else the module defines
// stays hidden.
#include "engine/engine.h"
#include "engine/panel_interface.h"

// The module has no work to do at load or unload.
static void ModuleStart() {}
static void ModuleStop() {}

TERVANE_MODULE_EXPORT GaugeLinkage Linkage;
TERVANE_MODULE_EXPORT GaugeImportTable ImportTable;

GaugeLinkage Linkage = {kLinkageModuleId, ModuleStart, ModuleStop, {0, 0, 0}, &gaugeHeader, 0};
GaugeImportTable ImportTable = {kImportPanelServicesId, nullptr, 0, 0};

PanelServices* Services() { return ImportTable.services; }

double ReadBinding(ModuleVar& binding) {
  Services()->ReadVariable(&binding);
  return binding.value.real;
}
