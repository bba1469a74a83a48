// The resource pack a module carries in its ELF section ".tervane_rsrc": the
// bitmaps (and later other resources) that the module's records name by id.
// The art generator writes packs at build time; the host reads them from the
// module file when the module is loaded. No loose image files exist at run time.
//
// Layout (little-endian):
//   "TVRSRC01"                      8 bytes
//   uint32 count
//   count x { uint32 type; int32 id; uint32 offset; uint32 size }  offset from pack start
//   data
// A bitmap (type 1) is a Windows BMP file: 8 bits per pixel with a 256-entry palette.
#pragma once

#include <cstdint>

namespace tervane::rsrc {

inline constexpr char kSectionName[] = ".tervane_rsrc";
inline constexpr char kMagic[8] = {'T', 'V', 'R', 'S', 'R', 'C', '0', '1'};
inline constexpr uint32_t kTypeBitmap = 1;
inline constexpr uint32_t kMaxEntries = 4096;  // bounds a corrupt count

struct PackEntry {
  uint32_t type;
  int32_t id;
  uint32_t offset;
  uint32_t size;
};
static_assert(sizeof(PackEntry) == 16);

}  // namespace tervane::rsrc
