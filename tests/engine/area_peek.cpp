// engine-area-peek [LEGS]: a second process that opens the two shared areas by
// name, as IpcProbe does, and prints what it finds, decoded from the raw bytes at
// their fixed offsets (little-endian, unaligned) without the engine's headers, so
// that tests compare the published layout with an independent reading.
//
// Output, one "key value" line each:
//   com 0|1                       whether COM_AREA could be opened
//   com.<offset> <int>            every 32-bit word of the record
//   com.62 <real>                 the distance (8-byte real at byte 62)
//   com.0 / com.21 <coordinate>   latitude and longitude: letter deg min sec decimal
//   pgr 0|1                       whether PGR_AREA could be opened
//   pgr.<i> ident|name|lon|lat    the first LEGS legs of the program table
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sys/shared_area.h"

static int32_t Int32At(const unsigned char* p) {
  uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  return static_cast<int32_t>(v);
}

static double RealAt(const unsigned char* p) {
  uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | p[i];
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// A coordinate of 21 bytes: letter at 0, degrees 1, minutes 5, seconds 9, decimal 13.
static std::string Coordinate(const unsigned char* p) {
  char text[96];
  char letter = p[0] >= 0x21 && p[0] < 0x7F ? char(p[0]) : '-';
  std::snprintf(text, sizeof text, "%c %d %d %d %.17g", letter, Int32At(p + 1), Int32At(p + 5),
                Int32At(p + 9), RealAt(p + 13));
  return text;
}

// A NUL-terminated text of at most `size` bytes.
static std::string Text(const unsigned char* p, size_t size) {
  return std::string(reinterpret_cast<const char*>(p),
                     strnlen(reinterpret_cast<const char*>(p), size));
}

int main(int argc, char** argv) {
  int legs = argc > 1 ? std::atoi(argv[1]) : 0;
  if (legs < 0) legs = 0;
  if (legs > 99) legs = 99;

  sys::SharedArea* com = sys::OpenSharedArea("TERVANE_COM_IPC_11", 118);
  std::printf("com %d\n", com != nullptr);
  if (com) {
    const auto* v = static_cast<const unsigned char*>(sys::SharedAreaView(com));
    std::printf("com.0 %s\n", Coordinate(v).c_str());
    std::printf("com.21 %s\n", Coordinate(v + 21).c_str());
    for (int offset : {42, 46, 50, 54, 58, 70, 74, 78, 82, 86, 90, 94, 98, 102, 106, 110, 114})
      std::printf("com.%d %d\n", offset, Int32At(v + offset));
    std::printf("com.62 %.17g\n", RealAt(v + 62));
    sys::CloseSharedArea(com);
  }

  sys::SharedArea* pgr = sys::OpenSharedArea("TERVANE_PGR_IPC_11", 6831);
  std::printf("pgr %d\n", pgr != nullptr);
  if (pgr) {
    const auto* v = static_cast<const unsigned char*>(sys::SharedAreaView(pgr));
    for (int i = 0; i < legs; ++i) {
      const unsigned char* leg = v + i * 69;
      std::printf("pgr.%d %s|%s|%s|%s\n", i, Text(leg, 6).c_str(), Text(leg + 6, 21).c_str(),
                  Coordinate(leg + 27).c_str(), Coordinate(leg + 48).c_str());
    }
    sys::CloseSharedArea(pgr);
  }
  return 0;
}
