// The coordinate parser and the writer's coordinate format: a table of lines with
// the GeoCoord or status they give, what a failing parse leaves behind, minutes
// runs of any length, and the round trip of every two-decimal minutes value.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/program_file.h"

namespace {

struct CoordCase {
  const char* text;
  bool longitude;
  int status;
  // Expected fields on success.
  char hemisphere;
  int degrees, minutes, seconds;
  double decimalMinutes;
};

// seconds = (decimalMinutes - minutes) x 60 truncated, in binary: 28.65 gives
// 0.6499999999999986 x 60 = 38.99999... and so 38.
const CoordCase kCases[] = {
    // The written form, the form without star and letter, three-digit degrees.
    {"N 51* 28.65m", false, 1, 'N', 51, 28, 38, 28.65},
    {"W  0* 27.68m", true, 1, 'W', 0, 27, 40, 27.68},
    {"W  0 27.68", true, 1, 'W', 0, 27, 40, 27.68},
    {"W000* 27.68m", true, 1, 'W', 0, 27, 40, 27.68},
    {"W000 27.68", true, 1, 'W', 0, 27, 40, 27.68},
    {"S-33*-52.5m", false, 1, 'S', 33, 52, 30, 52.5},
    {"E 12 5", true, 1, 'E', 12, 5, 0, 5.0},
    {"E  7* 0007.250m", true, 1, 'E', 7, 7, 15, 7.25},
    // A fourth degree digit starts the minutes; what follows the minutes is ignored.
    {"E1234* 5m", true, 1, 'E', 123, 4, 0, 4.0},
    // The limits: 90 and 180 degrees with zero minutes only.
    {"N 90* 00.00m", false, 1, 'N', 90, 0, 0, 0.0},
    {"E180* 0m", true, 1, 'E', 180, 0, 0, 0.0},
    {"N 90* 00.01m", false, 105, 0, 0, 0, 0, 0},
    {"W180* 0.5m", true, 105, 0, 0, 0, 0, 0},
    {"S 91* 0.00m", false, 104, 0, 0, 0, 0, 0},
    {"E181* 0.00m", true, 103, 0, 0, 0, 0, 0},
    {"N 51* 60.00m", false, 105, 0, 0, 0, 0, 0},
    {"N 51* 59.999m", false, 1, 'N', 51, 59, 59, 59.999},
    {"N 5128.65", false, 104, 0, 0, 0, 0, 0},  // degrees 512
    // Hemisphere letters: upper case, the right pair for the line.
    {"n 51* 28.65m", false, 101, 0, 0, 0, 0, 0},
    {"E 51* 28.65m", false, 101, 0, 0, 0, 0, 0},
    {"N  1* 28.65m", true, 101, 0, 0, 0, 0, 0},
    {" N 51* 28.65m", false, 101, 0, 0, 0, 0, 0},
    {"", false, 101, 0, 0, 0, 0, 0},
    // Lines that end before their degrees or minutes, a point without a digit.
    {"E", true, 102, 0, 0, 0, 0, 0},
    {"E *m", true, 102, 0, 0, 0, 0, 0},
    {"E 12", true, 102, 0, 0, 0, 0, 0},
    {"E 12* m", true, 102, 0, 0, 0, 0, 0},
    {"N 30* 30.m", false, 108, 0, 0, 0, 0, 0},
    {"N 30* 30.", false, 108, 0, 0, 0, 0, 0},
};

TEST(ParseGeoCoord, TableOfLines) {
  for (const CoordCase& c : kCases) {
    SCOPED_TRACE(c.text);
    GeoCoord coord{};
    int status = ParseGeoCoord(&coord, c.text, c.longitude, 1);
    ASSERT_EQ(status, c.status);
    if (status != 1) continue;
    EXPECT_EQ(coord.hemisphere, c.hemisphere);
    EXPECT_EQ(+coord.degrees, +c.degrees);
    EXPECT_EQ(+coord.minutes, +c.minutes);
    EXPECT_EQ(+coord.seconds, +c.seconds);
    EXPECT_EQ(+coord.decimalMinutes, +c.decimalMinutes);
  }
}

TEST(ParseGeoCoord, ReturnsTheCallersSuccessStatus) {
  GeoCoord coord{};
  EXPECT_EQ(ParseGeoCoord(&coord, "N 1* 2.5m", 0, 77), 77);
}

TEST(ParseGeoCoord, FailureKeepsWhatWasStoredBeforeTheFailingStep) {
  const GeoCoord before = {'X', -1, -2, -3, -4.5};
  struct Case {
    const char* text;
    int status;
    char hemisphere;
    int degrees;
  } cases[] = {
      {"n 45* 10m", 101, 'X', -1},  // nothing stored
      {"N", 102, 'N', -1},          // hemisphere only
      {"N 95* 10m", 104, 'N', -1},  // degrees refused, not stored
      {"N 45", 102, 'N', 45},       // hemisphere and degrees
      {"N 45* 61m", 105, 'N', 45}, {"N 45* 1.m", 108, 'N', 45},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    GeoCoord coord = before;
    EXPECT_EQ(ParseGeoCoord(&coord, c.text, 0, 1), c.status);
    EXPECT_EQ(coord.hemisphere, c.hemisphere);
    EXPECT_EQ(+coord.degrees, +c.degrees);
    EXPECT_EQ(+coord.minutes, +before.minutes);
    EXPECT_EQ(+coord.seconds, +before.seconds);
    EXPECT_EQ(+coord.decimalMinutes, +before.decimalMinutes);
  }
}

// A 254-character line can carry a minutes run of about 250 characters; the
// working copy holds it. Longer runs come only from callers passing other text
// and are refused, never copied past the buffer.
TEST(ParseGeoCoord, MinutesRunsOfAnyLength) {
  GeoCoord coord{};
  std::string zeros = "N  1* " + std::string(240, '0') + "7.5m";
  ASSERT_LE(zeros.size(), 254u);
  EXPECT_EQ(ParseGeoCoord(&coord, zeros.c_str(), 0, 1), 1);
  EXPECT_EQ(+coord.decimalMinutes, 7.5);

  std::string fraction = "N  1* 7." + std::string(244, '1') + "m";
  ASSERT_LE(fraction.size(), 254u);
  EXPECT_EQ(ParseGeoCoord(&coord, fraction.c_str(), 0, 1), 1);
  EXPECT_DOUBLE_EQ(+coord.decimalMinutes, 7.0 + 1.0 / 9.0);

  std::string trailing = "N  1* 7.5" + std::string(400, '0') + "m";
  EXPECT_EQ(ParseGeoCoord(&coord, trailing.c_str(), 0, 1), 1);
  EXPECT_EQ(+coord.decimalMinutes, 7.5);

  std::string leading = "N  1* " + std::string(400, '0') + "3m";
  EXPECT_EQ(ParseGeoCoord(&coord, leading.c_str(), 0, 1), 1);
  EXPECT_EQ(+coord.decimalMinutes, 3.0);

  std::string big = "N  1* 1" + std::string(300, '1') + "m";
  EXPECT_EQ(ParseGeoCoord(&coord, big.c_str(), 0, 1), 105);

  std::string unbounded = "N  1* 1." + std::string(400, '1') + "m";
  EXPECT_EQ(ParseGeoCoord(&coord, unbounded.c_str(), 0, 1), 105);
}

TEST(FormatGeoCoordLine, WrittenForm) {
  struct Case {
    GeoCoord coord;
    const char* line;
  } cases[] = {
      {{'W', 0, 27, 40, 27.68}, "W  0* 27.68m"},
      {{'N', 51, 28, 39, 28.65}, "N 51* 28.65m"},
      {{'E', 123, 4, 0, 4.0}, "E123* 4.00m"},
      {{'S', 9, 0, 0, 0.0}, "S  9* 0.00m"},
      {{'N', 51, 27, 40, 27.679}, "N 51* 27.67m"},  // cut, not rounded
      {{'N', 51, 59, 59, 59.999}, "N 51* 59.99m"},
      {{'N', 51, 0, 17, 0.29}, "N 51* 0.29m"},  // not 0.28
      {{'N', 51, 1, 7, 1.13}, "N 51* 1.13m"},   // not 1.12
      {{'Q', 5, 0, 0, 0.5}, "Q  5* 0.50m"},     // a bad letter is written as it is
  };
  for (const Case& c : cases) {
    char line[64];
    int length = FormatGeoCoordLine(c.coord, line, sizeof line);
    EXPECT_EQ(std::string(line, size_t(length)), c.line);
  }
}

TEST(FormatGeoCoordLine, DamagedValuesStillGiveAFiniteLine) {
  char line[64];
  for (double value : {double(NAN), double(INFINITY), -double(INFINITY), 1e300, -0.296}) {
    int length = FormatGeoCoordLine({'N', 1, 0, 0, value}, line, sizeof line);
    EXPECT_GT(length, 0);
    EXPECT_LT(length, 40);
  }
  FormatGeoCoordLine({'N', 1, 0, 0, -0.296}, line, sizeof line);
  EXPECT_STREQ(line, "N  1* -0.29m");
}

// Every hundredth from 0.00 to 59.99, read as the reader reads it, is written
// back unchanged. (The plain trunc(value x 100) x 0.01 loses a hundredth on a few
// hundred of these values; the test checks that it covers such values.)
TEST(FormatGeoCoordLine, EveryHundredthRoundTrips) {
  int plainCutWouldLose = 0;
  for (int hundredths = 0; hundredths < 6000; ++hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "N 45* %d.%02dm", hundredths / 100, hundredths % 100);
    GeoCoord read{};
    ASSERT_EQ(ParseGeoCoord(&read, text, 0, 1), 1) << text;
    if (int64_t(std::trunc(read.decimalMinutes * 100)) != hundredths) ++plainCutWouldLose;
    EXPECT_EQ(HundredthsOfMinutes(+read.decimalMinutes), hundredths) << text;
    char written[32];
    int length = FormatGeoCoordLine(read, written, sizeof written);
    EXPECT_EQ(std::string(written, size_t(length)), text);
    GeoCoord again{};
    ASSERT_EQ(ParseGeoCoord(&again, written, 0, 1), 1);
    EXPECT_EQ(+again.decimalMinutes, +read.decimalMinutes) << text;
  }
  EXPECT_GT(plainCutWouldLose, 100);
}

}  // namespace
