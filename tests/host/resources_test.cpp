// Resource packs and 8-bit BMPs: the host decodes what the art generator writes
// and refuses damaged input with a reason instead of reading past it.
#include "resources.h"

#include <gtest/gtest.h>

#include <cstring>

#include "panel/resource_pack.h"

namespace {

std::string U32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string U16(uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); }

// A 3x2 BMP: palette entries 0 = black, 1 = red; bottom-up rows padded to 4.
std::string TinyBmp() {
  std::string b = "BM" + U32(0) + U32(0) + U32(14 + 40 + 8);
  b += U32(40) + U32(3) + U32(2) + U16(1) + U16(8) + U32(0) + U32(8) + U32(0) + U32(0) + U32(2) +
       U32(0);
  b += std::string("\0\0\0\0", 4) + std::string("\0\0\xFF\0", 4);
  b += std::string("\1\0\0\0", 4);  // bottom row: red, black, black
  b += std::string("\0\0\1\0", 4);  // top row: black, black, red
  return b;
}

std::string Pack(const std::string& bitmap, int32_t id) {
  std::string p(tervane::rsrc::kMagic, 8);
  p += U32(1) + U32(tervane::rsrc::kTypeBitmap) + U32(uint32_t(id)) + U32(12 + 16) +
       U32(uint32_t(bitmap.size()));
  return p + bitmap;
}

TEST(Bmp8, DecodesRowsBottomUpWithThePalette) {
  QImage image = host::DecodeBmp8(TinyBmp());
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(0, 1)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(0, 0, 0));
}

TEST(Bmp8, RefusesDamagedFiles) {
  std::string good = TinyBmp();
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string wrongDepth = good, hugeWidth = good, badOffset = good;
  wrongDepth[28] = 24;
  std::memcpy(&hugeWidth[18], "\xFF\xFF\x00\x00", 4);
  std::memcpy(&badOffset[10], "\xFF\xFF\xFF\x7F", 4);
  const Case cases[] = {{"empty", ""},
                        {"cut short", good.substr(0, good.size() - 3)},
                        {"24-bit", wrongDepth},
                        {"width beyond the data", hugeWidth},
                        {"pixels past the end", badOffset}};
  for (const Case& c : cases) {
    std::string why;
    EXPECT_TRUE(host::DecodeBmp8(c.bytes, &why).isNull()) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
  }
}

TEST(ResourcePack, ReadsBitmapsByIdAndRefusesBadDirectories) {
  std::map<int32_t, QImage> bitmaps;
  std::string why;
  ASSERT_TRUE(host::ParseResourcePack(Pack(TinyBmp(), 4096), &bitmaps, &why)) << why;
  ASSERT_EQ(bitmaps.count(4096), 1u);

  std::string outside = Pack(TinyBmp(), 7);
  outside.resize(outside.size() - 10);  // the entry's data runs past the end
  std::string hugeCount = Pack(TinyBmp(), 7);
  std::memcpy(&hugeCount[8], "\xFF\xFF\xFF\xFF", 4);
  for (const std::string& bad : {std::string("TVRSRC0"), outside, hugeCount}) {
    bitmaps.clear();
    EXPECT_FALSE(host::ParseResourcePack(bad, &bitmaps, &why));
    EXPECT_TRUE(bitmaps.empty());
  }
}

TEST(ResourcePack, ModuleFilesCarryTheirArt) {
  std::map<int32_t, QImage> bitmaps;
  std::string why;
  ASSERT_TRUE(host::LoadModuleBitmaps(std::string(TEST_SIM_DIR) + "/Gauges/TEST_RECORDER.gau",
                                      &bitmaps, &why))
      << why;
  EXPECT_EQ(bitmaps.size(), 3u);
  EXPECT_EQ(bitmaps.at(4096).format(), QImage::Format_Indexed8);
  // A module built without art has no section: no bitmaps, no error.
  bitmaps.clear();
  EXPECT_TRUE(host::LoadModuleBitmaps(std::string(TEST_SIM_DIR) + "/Gauges/TEST_BROKEN.gau",
                                      &bitmaps, &why));
  EXPECT_TRUE(bitmaps.empty());
}

}  // namespace
