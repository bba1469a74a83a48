#include "resources.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "panel/resource_pack.h"

namespace host {

static constexpr uint64_t kMaxSectionBytes = 64u << 20;  // no module art is near this

static bool ReadAt(std::ifstream& in, uint64_t offset, void* out, size_t size) {
  in.clear();
  in.seekg(std::streamoff(offset));
  in.read(static_cast<char*>(out), std::streamsize(size));
  return bool(in);
}

std::optional<std::string> ReadElfSection(const std::string& path, const char* section,
                                          std::string* error) {
  std::ifstream in(path, std::ios::binary);
  auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = path + ": " + why;
    return std::nullopt;
  };
  if (!in) return fail("cannot open");
  Elf64_Ehdr eh;
  if (!ReadAt(in, 0, &eh, sizeof eh) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 ||
      eh.e_ident[EI_CLASS] != ELFCLASS64)
    return fail("not a 64-bit ELF file");
  if (eh.e_shentsize != sizeof(Elf64_Shdr) || eh.e_shnum == 0 || eh.e_shstrndx >= eh.e_shnum)
    return fail("no usable section table");
  std::vector<Elf64_Shdr> sections(eh.e_shnum);
  if (!ReadAt(in, eh.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr)))
    return fail("section table cut short");
  const Elf64_Shdr& names = sections[eh.e_shstrndx];
  if (names.sh_size > kMaxSectionBytes) return fail("section names too large");
  std::string nameTable(names.sh_size, '\0');
  if (!ReadAt(in, names.sh_offset, nameTable.data(), nameTable.size()))
    return fail("section names cut short");
  for (const Elf64_Shdr& sh : sections) {
    if (sh.sh_name >= nameTable.size()) continue;
    const char* name = nameTable.c_str() + sh.sh_name;
    if (std::strcmp(name, section) != 0) continue;
    if (sh.sh_type == SHT_NOBITS || sh.sh_size > kMaxSectionBytes) return fail("section unusable");
    std::string contents(sh.sh_size, '\0');
    if (!ReadAt(in, sh.sh_offset, contents.data(), contents.size()))
      return fail("section cut short");
    return contents;
  }
  if (error) error->clear();
  return std::nullopt;
}

static uint32_t U32(std::string_view bytes, size_t at) {
  uint32_t v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

static uint16_t U16(std::string_view bytes, size_t at) {
  uint16_t v;
  std::memcpy(&v, bytes.data() + at, 2);
  return v;
}

QImage DecodeBmp8(std::string_view b, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return QImage();
  };
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return fail("not a BMP");
  uint32_t dataOffset = U32(b, 10), headerSize = U32(b, 14);
  int32_t width = int32_t(U32(b, 18)), height = int32_t(U32(b, 22));
  uint16_t planes = U16(b, 26), bits = U16(b, 28);
  uint32_t compression = U32(b, 30), used = U32(b, 46);
  if (headerSize < 40 || planes != 1 || bits != 8 || compression != 0)
    return fail("not an 8-bit BMP");
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return fail("bad BMP size");
  if (used == 0 || used > 256) used = 256;
  uint64_t paletteAt = 14ull + headerSize;
  if (paletteAt + used * 4ull > b.size()) return fail("BMP palette cut short");
  uint64_t stride = (uint64_t(width) + 3) & ~3ull;
  if (dataOffset > b.size() || stride * uint64_t(height) > b.size() - dataOffset)
    return fail("BMP pixels cut short");
  QVector<QRgb> table(256, qRgb(0, 0, 0));
  for (uint32_t i = 0; i < used; ++i) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data() + paletteAt + i * 4);
    table[int(i)] = qRgb(p[2], p[1], p[0]);
  }
  QImage image(width, height, QImage::Format_Indexed8);
  image.setColorTable(table);
  for (int y = 0; y < height; ++y) {
    int row = topDown ? y : height - 1 - y;
    std::memcpy(image.scanLine(y), b.data() + dataOffset + stride * uint64_t(row), size_t(width));
  }
  return image;
}

bool ParseResourcePack(std::string_view pack, std::map<int32_t, QImage>* bitmaps,
                       std::string* error) {
  using namespace tervane::rsrc;
  if (pack.size() < 12 || std::memcmp(pack.data(), kMagic, sizeof kMagic) != 0) {
    if (error) *error = "resource pack has no valid header";
    return false;
  }
  uint32_t count = U32(pack, 8);
  if (count > kMaxEntries || 12ull + count * sizeof(PackEntry) > pack.size()) {
    if (error) *error = "resource pack directory cut short";
    return false;
  }
  bool ok = true;
  for (uint32_t i = 0; i < count; ++i) {
    PackEntry entry;
    std::memcpy(&entry, pack.data() + 12 + i * sizeof(PackEntry), sizeof entry);
    if (uint64_t(entry.offset) + entry.size > pack.size()) {
      if (error) *error = "resource " + std::to_string(entry.id) + " lies outside the pack";
      ok = false;
      continue;
    }
    if (entry.type != kTypeBitmap) continue;
    std::string why;
    QImage image = DecodeBmp8(pack.substr(entry.offset, entry.size), &why);
    if (image.isNull()) {
      if (error) *error = "bitmap " + std::to_string(entry.id) + ": " + why;
      ok = false;
      continue;
    }
    (*bitmaps)[entry.id] = image;
  }
  return ok;
}

bool LoadModuleBitmaps(const std::string& modulePath, std::map<int32_t, QImage>* bitmaps,
                       std::string* error) {
  std::string why;
  auto section = ReadElfSection(modulePath, tervane::rsrc::kSectionName, &why);
  if (!section) {
    if (error) *error = why;
    return why.empty();  // no section at all: a module without art
  }
  return ParseResourcePack(*section, bitmaps, error);
}

}  // namespace host
