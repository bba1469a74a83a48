// Windows-1252 to UTF-8 and back, at the edges where texts leave the system.
#include "sys/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextCodecTest, BothWays) {
  struct Case {
    const char* cp1252;
    const char* utf8;
  } const cases[] = {
      {"N 50\xBA 12'", "N 50\xC2\xBA 12'"},  // the degree sign of coordinate texts
      {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},
      {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
      {"plain", "plain"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sys::Cp1252ToUtf8(c.cp1252), c.utf8) << c.cp1252;
    EXPECT_EQ(sys::Utf8ToCp1252(c.utf8), c.cp1252) << c.cp1252;
  }
}

TEST(TextCodecTest, WhatHasNoByteBecomesAQuestionMark) {
  EXPECT_EQ(sys::Utf8ToCp1252("\xE2\x86\x92"), "?");        // an arrow
  EXPECT_EQ(sys::Utf8ToCp1252("\xF0\x9F\x98\x80!"), "?!");  // outside the BMP
  EXPECT_EQ(sys::Utf8ToCp1252("a\xC3"), "a?");              // cut short
  EXPECT_EQ(sys::Utf8ToCp1252("\xFF"), "?");
  // Bytes Windows-1252 leaves unused still give valid UTF-8.
  EXPECT_EQ(sys::Cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");
}

}  // namespace
