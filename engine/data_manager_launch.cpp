// The launch of the data manager from a panel button and the deferred reload that
// follows it. The data manager ("TervData.dll", found by name) runs its modal
// dialog inside OpenMainDialog on this thread; whatever it wrote into the GPS
// memory file is read 35 update calls later, long after the library was unloaded.
// The reload is armed whether or not the library could be loaded.
#include <cstring>

#include "engine/engine.h"
#include "engine/panel_interface.h"
#include "sys/library.h"

typedef int32_t (*OpenMainDialogRoutine)();

constexpr char kReloadingText[] = "DATA RELOADING";
static_assert(sizeof kReloadingText <= sizeof(ProgramLeg::name));

static void RunDataManagerDialog() {
  sys::Library* library = sys::LoadLibraryByName("TervData.dll");
  if (!library) return;
  auto openMainDialog =
      reinterpret_cast<OpenMainDialogRoutine>(sys::LibrarySymbol(library, "OpenMainDialog"));
  if (openMainDialog) openMainDialog();
  sys::FreeLibraryByHandle(library);
}

int32_t OpenDataManager(int32_t, int32_t) {
#ifdef TERVANE_GPS_MODEL_V3
  // During a transponder code entry the data button is the digit key 6.
  if (gps.entryMode) {
    EnterCodeDigit(6);
    return 1;
  }
#endif
  if constexpr (kDataManagerGate == DataManagerGate::kUnitOnAndPowered) {
    if (!gps.unitOn || gps.powerFailed) return 1;
  }
  RunDataManagerDialog();
  // A second press while a reload is pending opens the dialog but keeps the count.
  if (gps.reloadCountdown != 0) return 1;
  BeginReload();
  return 1;
}

void BeginReload() {
  gps.reloadCountdown = 1;
  gps.headingCoupled = 0;
  gps.programInvalid = 1;
  if constexpr (kUsesShowName) gps.showName = 1;
  std::memcpy(ActiveLegEntry().name, kReloadingText, sizeof kReloadingText);
  RefreshScreen();
}
