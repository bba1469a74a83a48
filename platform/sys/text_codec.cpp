#include "text_codec.h"

#include <cstdint>

namespace sys {

// Unicode code points of bytes 0x80..0x9F in Windows-1252; 0 where the byte is unused.
static const uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

static void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(char(cp));
  } else if (cp < 0x800) {
    out.push_back(char(0xC0 | (cp >> 6)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(char(0xE0 | (cp >> 12)));
    out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(char(0x80 | (cp & 0x3F)));
  }
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    uint32_t cp = c;
    if (c >= 0x80 && c < 0xA0) cp = kHighControls[c - 0x80] ? kHighControls[c - 0x80] : 0xFFFD;
    AppendUtf8(out, cp);
  }
  return out;
}

static char ByteFor(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return char(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp && cp != 0) return char(0x80 + i);
  return '?';
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = text[i];
    uint32_t cp;
    size_t length;
    if (c < 0x80) cp = c, length = 1;
    else if ((c & 0xE0) == 0xC0) cp = c & 0x1F, length = 2;
    else if ((c & 0xF0) == 0xE0) cp = c & 0x0F, length = 3;
    else if ((c & 0xF8) == 0xF0) cp = c & 0x07, length = 4;
    else {
      out.push_back('?');
      ++i;
      continue;
    }
    bool valid = i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      unsigned char next = text[i + k];
      if ((next & 0xC0) != 0x80) valid = false;
      else cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(ByteFor(cp));
    i += length;
  }
  return out;
}

}  // namespace sys
