// Creation, publication and release of COM_AREA and PGR_AREA for this module.
// Both are named areas of the system's allocation granularity (65536 bytes); only
// the first 118 and 6831 bytes are used. When another module already holds an
// area of the same name, this module opens it and overwrites it with its own
// records: from then on both publish into it.
#include "engine/area_publishing.h"

#include <algorithm>
#include <cstring>

#include "engine/gps_state.h"
#include "sys/shared_area.h"

// Opens the named area at `size` bytes or more and returns its view, or leaves
// *mapping null when the area or its view cannot be had.
static unsigned char* OpenArea(const char* name, size_t used, sys::SharedArea** mapping) {
  size_t size = std::max<size_t>(sys::AllocationGranularity(), used);
  *mapping = sys::CreateSharedArea(name, size);
  if (!*mapping) return nullptr;
  auto* view = static_cast<unsigned char*>(sys::SharedAreaView(*mapping));
  if (!view || sys::SharedAreaSize(*mapping) < used) {
    sys::CloseSharedArea(*mapping);
    *mapping = nullptr;
    return nullptr;
  }
  return view;
}

void CreateComArea() {
  gps.comView = OpenArea(kComAreaName, kComAreaBytes, &gps.comMapping);
  if (!gps.comMapping) return;
  gps.comImage = ComArea{};
  PublishComImage();
}

void CreatePgrArea() {
  gps.pgrView = OpenArea(kPgrAreaName, kPgrAreaBytes, &gps.pgrMapping);
  PublishProgram();
}

void PublishProgram() {
  if (gps.pgrMapping) std::memcpy(gps.pgrView, gps.legs, kPgrAreaBytes);
}

void PublishComImage() {
  if (gps.comMapping) WriteComArea(gps.comView, gps.comImage);
}

void ReleaseAreas() {
  if (gps.comMapping) {
    gps.comImage.modelCode = 0;
    PublishComImage();
    sys::CloseSharedArea(gps.comMapping);
    gps.comMapping = nullptr;
    gps.comView = nullptr;
  }
  if (gps.pgrMapping) {
    sys::CloseSharedArea(gps.pgrMapping);
    gps.pgrMapping = nullptr;
    gps.pgrView = nullptr;
  }
}
