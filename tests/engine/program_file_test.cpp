// The program-file reader and writer shared by the gauges and the data manager:
// line ends and the 254-character limit, the block loop's statuses with their leg
// and line numbers, the checksum, the two rules for a line after the 99th leg,
// and the writer's format, round trip and refusal to leave a half-written file.
#include "engine/program_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "program_text.h"

namespace {

using enginetest::BlockText;
using enginetest::GeneratedProgram;
using enginetest::LegText;
using enginetest::ReadFile;
using enginetest::ScopedTempDir;
using enginetest::WriteFile;

// An in-memory file of `bytes` (an empty one through /dev/null).
struct MemoryFile {
  explicit MemoryFile(const std::string& bytes) : text(bytes) {
    file = text.empty() ? std::fopen("/dev/null", "rb") : fmemopen(text.data(), text.size(), "rb");
  }
  ~MemoryFile() {
    if (file) std::fclose(file);
  }
  std::string text;
  FILE* file;
};

std::vector<std::pair<int, std::string>> ReadAllLines(const std::string& bytes) {
  MemoryFile in(bytes);
  std::vector<std::pair<int, std::string>> lines;
  char line[kLineBufferSize];
  for (int i = 0; i < 10; ++i) {
    int status = ReadProgramLine(in.file, line);
    lines.emplace_back(status, line);
    if (status != kStatusOk && status != kStatusLineTooLong) break;
  }
  return lines;
}

TEST(ReadProgramLine, LineEndsAndTheLengthLimit) {
  using Lines = std::vector<std::pair<int, std::string>>;
  std::string s254(254, 'x'), s255(255, 'y');
  struct Case {
    const char* name;
    std::string bytes;
    Lines expected;
  } cases[] = {
      {"CR LF and LF", "abc\r\ndef\n", {{1, "abc"}, {1, "def"}, {0, ""}}},
      {"no final line end", "abc", {{1, "abc"}, {0, ""}}},
      {"CR at the end of the file", "abc\r", {{1, "abc"}, {0, ""}}},
      {"lone CR inside a line", "a\rb\r\n", {{1, "a\rb"}, {0, ""}}},
      {"CR CR LF", "a\r\r\n", {{1, "a\r"}, {0, ""}}},
      {"empty lines", "\r\n\n", {{1, ""}, {1, ""}, {0, ""}}},
      {"empty file", "", {{0, ""}}},
      {"254 characters and CR LF", s254 + "\r\nz", {{1, s254}, {1, "z"}, {0, ""}}},
      {"254 characters and LF", s254 + "\n", {{1, s254}, {0, ""}}},
      {"254 characters at the end", s254, {{1, s254}, {0, ""}}},
      // Too long: 255 characters are taken, the line end stays for the next read.
      {"255 characters and CR LF", s255 + "\r\n", {{100, s255}, {1, ""}, {0, ""}}},
      {"255 characters at the end", s255, {{100, s255}, {0, ""}}},
      {"254 characters, lone CR", s254 + "\rq\n", {{100, s254 + "\r"}, {1, "q"}, {0, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadAllLines(c.bytes), c.expected);
  }
}

TEST(ReadProgramLine, ReadErrorIs999) {
  ScopedTempDir dir;
  FILE* writeOnly = std::fopen("w.txt", "wb");
  ASSERT_NE(writeOnly, nullptr);
  char line[kLineBufferSize];
  EXPECT_EQ(ReadProgramLine(writeOnly, line), kStatusUnreadable);
  std::fclose(writeOnly);
}

ProgramReadResult ReadBlocks(const std::string& bytes, ProgramLeg* legs,
                             ExtraLineRule rule = kExtraLineStartsLeg100) {
  MemoryFile in(bytes);
  return ReadProgramBlocks(in.file, legs, rule);
}

const LegText kLeg = {"ABCDE", "SAMPLE POINT", "W  0* 27.68m", "N 51* 28.65m"};

TEST(ReadProgramBlocks, WholeFiles) {
  std::string two = BlockText(kLeg) + BlockText(kLeg);
  struct Case {
    const char* name;
    std::string bytes;
    int status, legCount, errorLeg, errorLine;
  } cases[] = {
      {"empty file", "", 0, 0, 1, 1},
      {"one leg", BlockText(kLeg), 0, 1, 2, 1},
      {"no separator after the last leg", BlockText(kLeg, false), 0, 1, 2, 5},
      {"lone LF line ends", BlockText(kLeg, true, "\n"), 0, 1, 2, 1},
      {"ends after the ident", two + "X\r\n", 110, 2, 3, 2},
      {"ends after the name", two + "X\r\nY\r\n", 110, 2, 3, 3},
      {"ends after the longitude", two + "X\r\nY\r\nE 1* 1m", 110, 2, 3, 4},
      {"bad hemisphere", two + "X\r\nY\r\nN 1* 1m\r\n", 101, 2, 3, 3},
      {"latitude above 90", BlockText({"A", "B", "E 1* 1m", "N 99* 1m"}), 104, 0, 1, 4},
      {"too long name", "A\r\n" + std::string(300, 'n') + "\r\n", 100, 0, 1, 2},
      {"98 legs", GeneratedProgram(98), 0, 98, 99, 1},
      {"99 legs", GeneratedProgram(99), 0, 99, 100, 1},
      {"99 legs without last separator", GeneratedProgram(99, false), 0, 99, 100, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramLeg legs[kMaxLegs] = {};
    ProgramReadResult r = ReadBlocks(c.bytes, legs);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.legCount, c.legCount);
    EXPECT_EQ(r.errorLeg, c.errorLeg);
    EXPECT_EQ(r.errorLine, c.errorLine);
  }
}

// A line after 99 legs (an empty one here): the data manager and the V1 and V4
// gauges report it as line 1 of leg 100 with 99 legs; the other gauges drop the
// 99th leg and report line 6 of leg 99.
TEST(ReadProgramBlocks, LineAfterThe99thLeg) {
  for (std::string extra : {std::string("\r\n"), std::string("X\r\n"), std::string(300, 'x')}) {
    std::string bytes = GeneratedProgram(99) + extra;
    ProgramLeg legs[kMaxLegs] = {};
    ProgramReadResult keep = ReadBlocks(bytes, legs, kExtraLineStartsLeg100);
    EXPECT_EQ(keep.status, kStatusLegAfterLast);
    EXPECT_EQ(keep.legCount, 99);
    EXPECT_EQ(keep.errorLeg, 100);
    EXPECT_EQ(keep.errorLine, 1);
    ProgramReadResult drop = ReadBlocks(bytes, legs, kExtraLineDropsLastLeg);
    EXPECT_EQ(drop.status, kStatusLegAfterLast);
    EXPECT_EQ(drop.legCount, 98);
    EXPECT_EQ(drop.errorLeg, 99);
    EXPECT_EQ(drop.errorLine, 6);
  }
}

TEST(ReadProgramBlocks, FillsTheLegsAndKeepsEntriesAfterTheProgram) {
  ProgramLeg legs[kMaxLegs] = {};
  std::strcpy(legs[5].name, "OLD FIVE");
  std::string bytes =
      BlockText({"ABCDEFGH", "A NAME LONGER THAN TWENTY", "E  7* 0007.250m", "S 33* 52.5"}) +
      BlockText(kLeg, false);
  ProgramReadResult r = ReadBlocks(bytes, legs);
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.legCount, 2);
  EXPECT_STREQ(legs[0].ident, "ABCDE");
  EXPECT_STREQ(legs[0].name, "A NAME LONGER THAN T");
  EXPECT_EQ(legs[0].longitude.hemisphere, 'E');
  EXPECT_EQ(+legs[0].longitude.degrees, 7);
  EXPECT_EQ(+legs[0].longitude.decimalMinutes, 7.25);
  EXPECT_EQ(legs[0].latitude.hemisphere, 'S');
  EXPECT_EQ(+legs[0].latitude.degrees, 33);
  EXPECT_EQ(+legs[0].latitude.minutes, 52);
  EXPECT_EQ(+legs[0].latitude.seconds, 30);
  EXPECT_STREQ(legs[1].name, "SAMPLE POINT");
  EXPECT_STREQ(legs[5].name, "OLD FIVE");
}

// The checksum: each character taken (idents cut to 5, names to 20) weighted by
// its position in the file, signed bytes, line ends never counted.
TEST(ReadProgramBlocks, Checksum) {
  ProgramLeg legs[kMaxLegs];
  // "A" 1x65; "B" 2x66; "E0 0" 3x69 4x48 5x32 6x48; "N0 0" 7x78 8x48 9x32 10x48.
  std::string small = BlockText({"A", "B", "E0 0", "N0 0"});
  EXPECT_EQ(ReadBlocks(small, legs).checksum, 2742);
  EXPECT_EQ(ReadBlocks(BlockText({"A", "B", "E0 0", "N0 0"}, true, "\n"), legs).checksum, 2742);
  // The degree sign 0xBA counts as -70.
  EXPECT_EQ(ReadBlocks(BlockText({"A", "\xBA", "E0 0", "N0 0"}), legs).checksum, 2742 - 132 - 140);
  // Only the first 5 characters of an ident count.
  int32_t cut = ReadBlocks(BlockText({"ABCDEFGH", "B", "E0 0", "N0 0"}), legs).checksum;
  EXPECT_EQ(cut, ReadBlocks(BlockText({"ABCDE", "B", "E0 0", "N0 0"}), legs).checksum);
  EXPECT_NE(cut, ReadBlocks(BlockText({"ABCDF", "B", "E0 0", "N0 0"}), legs).checksum);
  // A separator line with text counts too.
  std::string separatorText = "A\r\nB\r\nE0 0\r\nN0 0\r\nZ\r\n";
  EXPECT_EQ(ReadBlocks(separatorText, legs).checksum, 2742 + 11 * 90);
}

TEST(ReadProgramBlocks, ChecksumWrapsIn32Bits) {
  // 99 legs with long separator lines of 0x7F push the sum far beyond 2^31.
  std::string bytes;
  for (int i = 0; i < 99; ++i) {
    LegText leg = enginetest::GeneratedLeg(i);
    bytes += leg.ident + "\r\n" + leg.name + "\r\n" + leg.longitude + "\r\n" + leg.latitude +
             "\r\n" + std::string(254, '\x7F') + "\r\n";
  }
  uint64_t expected = 0, position = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    for (size_t i = start; i < end; ++i)
      expected += ++position * uint64_t(int64_t(static_cast<signed char>(bytes[i])));
    start = end + 2;
  }
  ASSERT_GT(expected, uint64_t(1) << 32);
  ProgramLeg legs[kMaxLegs];
  ProgramReadResult r = ReadBlocks(bytes, legs);
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.checksum, static_cast<int32_t>(static_cast<uint32_t>(expected)));
}

TEST(ReadProgramFile, OpenFailuresAre999) {
  ScopedTempDir dir;
  ProgramLeg legs[kMaxLegs];
  ProgramReadResult missing = ReadProgramFile("missing.prg", legs);
  EXPECT_EQ(missing.status, kStatusUnreadable);
  EXPECT_EQ(missing.legCount, 0);
  std::filesystem::create_directory("folder.prg");
  EXPECT_EQ(ReadProgramFile("folder.prg", legs).status, kStatusUnreadable);
  WriteFile("two.prg", GeneratedProgram(2));
  ProgramReadResult two = ReadProgramFile("two.prg", legs);
  EXPECT_EQ(two.status, 0);
  EXPECT_EQ(two.legCount, 2);
}

ProgramLeg MakeLeg(const char* ident, const char* name, GeoCoord lon, GeoCoord lat) {
  ProgramLeg leg{};
  std::strncpy(leg.ident, ident, kIdentChars);
  std::strncpy(leg.name, name, kNameChars);
  leg.longitude = lon;
  leg.latitude = lat;
  return leg;
}

TEST(WriteProgramFile, WritesCrLfBlocks) {
  ScopedTempDir dir;
  ProgramLeg legs[2] = {
      MakeLeg("ABCDE", "SAMPLE POINT", {'W', 0, 27, 40, 27.68}, {'N', 51, 28, 39, 28.65}),
      MakeLeg("X", "", {'E', 123, 4, 0, 4.0}, {'S', 9, 59, 59, 59.999})};
  ASSERT_EQ(WriteProgramFile("out.prg", legs, 2), 1);
  EXPECT_EQ(ReadFile("out.prg"),
            "ABCDE\r\nSAMPLE POINT\r\nW  0* 27.68m\r\nN 51* 28.65m\r\n\r\n"
            "X\r\n\r\nE123* 4.00m\r\nS  9* 59.99m\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists("out.prg.tmp"));
  ASSERT_EQ(WriteProgramFile("empty.prg", legs, 0), 1);
  EXPECT_EQ(ReadFile("empty.prg"), "");
}

// Minutes of 59.999 are written 59.99 and read back as 59 minutes 59 seconds;
// every other field of a full table comes back unchanged.
TEST(WriteProgramFile, RoundTripOfAFullTable) {
  ScopedTempDir dir;
  ProgramLeg written[kMaxLegs];
  for (int i = 0; i < kMaxLegs; ++i) {
    char ident[8], name[24];
    std::snprintf(ident, sizeof ident, "I%03d", i);
    std::snprintf(name, sizeof name, "NAME \xBA %d", i);
    double minutes = (i * 61 % 6000) / 100.0;
    written[i] = MakeLeg(ident, name, {i % 2 ? 'E' : 'W', i * 2 % 180, 0, 0, minutes},
                         {i % 2 ? 'S' : 'N', i % 90, 0, 0, 59.999});
  }
  ASSERT_EQ(WriteProgramFile("all.prg", written, kMaxLegs), 1);
  ProgramLeg read[kMaxLegs] = {};
  ProgramReadResult r = ReadProgramFile("all.prg", read);
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(r.legCount, kMaxLegs);
  for (int i = 0; i < kMaxLegs; ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(read[i].ident, written[i].ident);
    EXPECT_STREQ(read[i].name, written[i].name);
    EXPECT_EQ(read[i].longitude.hemisphere, written[i].longitude.hemisphere);
    EXPECT_EQ(+read[i].longitude.degrees, +written[i].longitude.degrees);
    EXPECT_EQ(+read[i].longitude.decimalMinutes, +written[i].longitude.decimalMinutes);
    EXPECT_EQ(+read[i].latitude.decimalMinutes, 59.99);
    EXPECT_EQ(+read[i].latitude.minutes, 59);
    EXPECT_EQ(+read[i].latitude.seconds, 59);
  }
}

TEST(WriteProgramFile, ClampsTheCountToTheTable) {
  ScopedTempDir dir;
  ProgramLeg legs[kMaxLegs] = {};
  for (ProgramLeg& leg : legs) leg = MakeLeg("A", "B", {'E', 1, 0, 0, 0.0}, {'N', 1, 0, 0, 0.0});
  ASSERT_EQ(WriteProgramFile("many.prg", legs, 500), 1);
  ProgramLeg read[kMaxLegs];
  EXPECT_EQ(ReadProgramFile("many.prg", read).legCount, kMaxLegs);
  ASSERT_EQ(WriteProgramFile("none.prg", legs, -4), 1);
  EXPECT_EQ(ReadFile("none.prg"), "");
}

// A save that cannot complete leaves the previous file as it was, and no
// temporary file behind.
TEST(WriteProgramFile, FailedSaveLeavesThePreviousFile) {
  ScopedTempDir dir;
  ProgramLeg legs[kMaxLegs] = {};
  for (ProgramLeg& leg : legs) leg = MakeLeg("A", "B", {'E', 1, 0, 0, 0.0}, {'N', 1, 0, 0, 0.0});
  const std::string previous = GeneratedProgram(3);

  // No folder to write into.
  EXPECT_EQ(WriteProgramFile("no/such/folder/x.prg", legs, 1), 0);

  // The temporary file cannot be created.
  WriteFile("blocked.prg", previous);
  std::filesystem::create_directory("blocked.prg.tmp");
  EXPECT_EQ(WriteProgramFile("blocked.prg", legs, 1), 0);
  EXPECT_EQ(ReadFile("blocked.prg"), previous);

  // The target is a folder: the rename fails.
  std::filesystem::create_directories("folder.prg/inside");
  EXPECT_EQ(WriteProgramFile("folder.prg", legs, 1), 0);
  EXPECT_FALSE(std::filesystem::exists("folder.prg.tmp"));

  // The disk fills part-way (a file size limit of 200 bytes).
  WriteFile("full.prg", previous);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 200;
  setrlimit(RLIMIT_FSIZE, &small);
  int result = WriteProgramFile("full.prg", legs, kMaxLegs);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadFile("full.prg"), previous);
  EXPECT_FALSE(std::filesystem::exists("full.prg.tmp"));
}

}  // namespace
