// tervane-art SET OUTPUT: draws one art set and writes its resource pack.
// tervane-art --list: names the art sets.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "art.h"
#include "bmp8.h"
#include "panel/resource_pack.h"

static void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const auto& name : art::ArtSetNames()) std::printf("%s\n", name.c_str());
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: tervane-art SET OUTPUT | tervane-art --list\n");
    return 2;
  }
  const art::ArtSet* set = art::FindArtSet(argv[1]);
  if (!set) {
    std::fprintf(stderr, "tervane-art: no art set named '%s'\n", argv[1]);
    return 2;
  }
  std::vector<art::Bitmap> bitmaps = (*set)();
  std::vector<std::string> blobs;
  for (const auto& bitmap : bitmaps) blobs.push_back(art::EncodeBmp8(bitmap.image));

  std::string pack(tervane::rsrc::kMagic, sizeof tervane::rsrc::kMagic);
  PutU32(pack, uint32_t(bitmaps.size()));
  uint32_t offset = uint32_t(pack.size() + bitmaps.size() * sizeof(tervane::rsrc::PackEntry));
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    PutU32(pack, tervane::rsrc::kTypeBitmap);
    PutU32(pack, uint32_t(bitmaps[i].id));
    PutU32(pack, offset);
    PutU32(pack, uint32_t(blobs[i].size()));
    offset += uint32_t(blobs[i].size());
  }
  for (const auto& blob : blobs) pack += blob;

  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(pack.data(), std::streamsize(pack.size()));
  if (!out) {
    std::fprintf(stderr, "tervane-art: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
