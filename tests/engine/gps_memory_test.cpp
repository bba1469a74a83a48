// LoadGpsMemory in the engine state: counts and the active leg after a load, the
// error texts a failed load leaves in the active entry, the per-module rule for a
// line after the 99th leg, the checksum, and an active leg outside the table.
#include "engine/gps_memory.h"

#include <unistd.h>

#include <filesystem>

#include "engine_fixture.h"

namespace {

using enginetest::BlockText;
using enginetest::GeneratedProgram;

std::string ErrorTextFor109() {
  return kGpsMemoryExtraLineRule == kExtraLineStartsLeg100 ? "Leg 100 Line 1 (109)"
                                                           : "Leg 99 Line 6 (109)";
}

struct LoadCase {
  const char* name;
  std::string file;  // "" with missing: no file at all
  bool missing;
  int activeBefore;
  int loaded, legCount, activeAfter;
  std::string errorText;  // in the entry at activeAfter when the load failed
};

TEST_F(ENGINE_SUITE, LoadGpsMemoryCases) {
  LoadCase cases[] = {
      {"five legs, active leg 12", GeneratedProgram(5), false, 12, 1, 5, 4, ""},
      {"five legs, active leg 2", GeneratedProgram(5), false, 2, 1, 5, 2, ""},
      {"empty file", "", false, 3, 1, 0, 0, ""},
      {"negative active leg", GeneratedProgram(3), false, -2, 1, 3, 0, ""},
      {"99 legs", GeneratedProgram(99), false, 98, 1, 99, 98, ""},
      {"missing file", "", true, 2, 0, 1, 2, "Open data file error"},
      {"ends after a name", GeneratedProgram(1) + "X\r\nY\r\n", false, 0, 0, 1, 0,
       "Leg 2 Line 3 (110)"},
      {"bad hemisphere", BlockText({"A", "B", "X 1* 1m", "N 1* 1m"}), false, 7, 0, 1, 7,
       "Leg 1 Line 3 (101)"},
      {"too long ident", std::string(400, 'I'), false, 0, 0, 1, 0, "Leg 1 Line 1 (100)"},
      {"binary garbage", std::string("\x01\x02\r\n\xff\r\n\0\0\r\n", 11), false, 0, 0, 1, 0,
       "Leg 1 Line 3 (101)"},
      {"line after 99 legs", GeneratedProgram(99) + "\r\n", false, 0, 0, 1, 0, ErrorTextFor109()},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove("TERVANE.dat");
    if (!c.missing) WriteGpsMemory(c.file);
    gps = GpsState{};
    gps.activeLeg = c.activeBefore;
    EXPECT_EQ(LoadGpsMemory(), c.loaded);
    EXPECT_EQ(gps.legCount, c.legCount);
    EXPECT_EQ(gps.activeLeg, c.activeAfter);
    if (!c.loaded) {
      EXPECT_EQ(std::string(gps.legs[c.activeAfter].name), c.errorText);
    }
  }
}

TEST_F(ENGINE_SUITE, DirectoryIsAnOpenError) {
  std::filesystem::create_directory("TERVANE.dat");
  gps.activeLeg = 1;
  EXPECT_EQ(LoadGpsMemory(), 0);
  EXPECT_STREQ(gps.legs[1].name, "Open data file error");
  EXPECT_EQ(gps.legCount, 1);
}

TEST_F(ENGINE_SUITE, UnreadableFileIsAnOpenError) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not stop root";
  gps.activeLeg = 1;
  WriteGpsMemory(GeneratedProgram(2));
  std::filesystem::permissions("TERVANE.dat", std::filesystem::perms::none);
  EXPECT_EQ(LoadGpsMemory(), 0);
  EXPECT_STREQ(gps.legs[1].name, "Open data file error");
}

TEST_F(ENGINE_SUITE, ChecksumOfTheLoadedFile) {
  WriteGpsMemory(BlockText({"ABCDEFGH", "B", "E0 0", "N0 0"}));
  ASSERT_EQ(LoadGpsMemory(), 1);
  // "ABCDE" counts (1x65 + 2x66 + 3x67 + 4x68 + 5x69), then "B" at 6, the coordinates at 7..14.
  int32_t expected = 65 + 132 + 201 + 272 + 345 + 6 * 66 + 7 * 69 + 8 * 48 + 9 * 32 + 10 * 48 +
                     11 * 78 + 12 * 48 + 13 * 32 + 14 * 48;
  EXPECT_EQ(gps.programChecksum, expected);
  std::filesystem::remove("TERVANE.dat");
  EXPECT_EQ(LoadGpsMemory(), 0);
  EXPECT_EQ(gps.programChecksum, 0);
}

// The loader never clears the table: entries after legCount keep earlier programs,
// and legs read before an error have replaced the old entries.
TEST_F(ENGINE_SUITE, TableEntriesOutsideTheProgramAreKept) {
  WriteGpsMemory(GeneratedProgram(8));
  ASSERT_EQ(LoadGpsMemory(), 1);
  WriteGpsMemory(BlockText({"NEW1", "FIRST", "E 1* 1m", "N 1* 1m"}) + "NEW2\r\n");
  gps.activeLeg = 5;
  EXPECT_EQ(LoadGpsMemory(), 0);
  EXPECT_STREQ(gps.legs[0].ident, "NEW1");
  EXPECT_STREQ(gps.legs[1].ident, "NEW2");
  EXPECT_STREQ(gps.legs[5].name, "Leg 2 Line 2 (110)");
  EXPECT_STREQ(gps.legs[5].ident, "W06");
  EXPECT_STREQ(gps.legs[7].name, "POINT 08");

  WriteGpsMemory(GeneratedProgram(2));
  ASSERT_EQ(LoadGpsMemory(), 1);
  EXPECT_EQ(gps.legCount, 2);
  EXPECT_EQ(gps.activeLeg, 1);
  EXPECT_STREQ(gps.legs[7].name, "POINT 08");
}

// Whatever the active leg holds, the error texts and "DATA RELOADING" stay inside
// the 99-entry table (the first or last entry takes them).
TEST_F(ENGINE_SUITE, ActiveLegOutsideTheTable) {
  for (int activeLeg : {99, 150, 100000, -1, -7}) {
    SCOPED_TRACE(activeLeg);
    int entry = activeLeg < 0 ? 0 : kMaxLegs - 1;
    gps = GpsState{};
    gps.activeLeg = activeLeg;
    std::filesystem::remove("TERVANE.dat");
    EXPECT_EQ(LoadGpsMemory(), 0);
    EXPECT_STREQ(gps.legs[entry].name, "Open data file error");
    EXPECT_EQ(gps.activeLeg, activeLeg);
    BeginReload();
    EXPECT_STREQ(gps.legs[entry].name, "DATA RELOADING");
  }
}

TEST_F(ENGINE_SUITE, LoaderReadsFromAStream) {
  std::string text = GeneratedProgram(4);
  FILE* file = fmemopen(text.data(), text.size(), "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(LoadGpsMemoryStream(file), 1);
  std::fclose(file);
  EXPECT_EQ(gps.legCount, 4);
}

}  // namespace
