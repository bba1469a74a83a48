// Compiled with -m32 -fsyntax-only by the build: the static_asserts in the record
// headers then prove every fixed offset on a 32-bit target.
#include "panel_services.h"
