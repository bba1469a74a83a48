// A module's resources as the host reads them: the ".tervane_rsrc" section of the
// module file (an ELF shared object), its resource pack, and the 8-bit BMPs in it.
// Everything here reads untrusted bytes and refuses bad input with a reason.
#pragma once

#include <QImage>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// The contents of the named section of an ELF64 file, or nullopt with `error` set.
std::optional<std::string> ReadElfSection(const std::string& path, const char* section,
                                          std::string* error);

// Parses a resource pack into bitmaps by id. Returns false with `error` set on a
// malformed pack; bitmaps that decode are kept either way.
bool ParseResourcePack(std::string_view pack, std::map<int32_t, QImage>* bitmaps,
                       std::string* error);

// Decodes an uncompressed 8-bit BMP with palette; a null image on bad input.
QImage DecodeBmp8(std::string_view bytes, std::string* error = nullptr);

// The bitmap with pure black (0,0,0) transparent, as child elements are drawn.
QImage MakeSprite(const QImage& bitmap);

// Reads every bitmap of a module file. A module without resources has none.
bool LoadModuleBitmaps(const std::string& modulePath, std::map<int32_t, QImage>* bitmaps,
                       std::string* error);

}  // namespace host
