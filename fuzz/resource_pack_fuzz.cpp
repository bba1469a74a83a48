// Feeds arbitrary bytes to the host's resource-pack and BMP readers, which read
// the art sections of module files.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::map<int32_t, QImage> bitmaps;
  std::string why;
  host::ParseResourcePack(bytes, &bitmaps, &why);
  host::DecodeBmp8(bytes, &why);
  return 0;
}
