// The PanelServices table the host hands every module.
#pragma once

#include "panel/panel_services.h"

namespace host {

PanelServices* HostServices();

}  // namespace host
