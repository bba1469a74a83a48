// Program files, read and written: the line reader, the loop that reads blocks of
// five lines into the leg table (shared by the gauge's loader and the data
// manager's reader), and the writer.
//
// Files are opened in binary mode and line ends are handled here: the reader takes
// CR LF and a lone LF alike, the writer writes CR LF, as the original platform's
// text mode did on both sides.
#include "engine/program_file.h"

#include <cstring>
#include <string>

#include "sys/paths.h"

constexpr int kLinesPerLeg = 5;  // ident, name, longitude, latitude, separator
enum LineOfBlock : int { kIdentLine, kNameLine, kLongitudeLine, kLatitudeLine, kSeparatorLine };

// Characters taken before the reader gives up on finding a line end: 254 of text
// and the one that shows the line is too long.
constexpr int kLineReadLimit = kLineBufferSize - 1;  // 255

int ReadProgramLine(FILE* file, char line[kLineBufferSize]) {
  int count = 0;
  bool ended = false;
  while (count < kLineReadLimit) {
    int c = std::getc(file);
    if (c == EOF) break;
    if (c == '\n') {
      ended = true;
      break;
    }
    if (c == '\r') {
      int next = std::getc(file);
      if (next == '\n' || (next == EOF && !std::ferror(file))) {
        ended = true;  // CR LF, or a CR that ends the file
        break;
      }
      if (next != EOF) std::ungetc(next, file);
    }
    line[count++] = static_cast<char>(c);
  }
  line[count] = '\0';
  if (std::ferror(file)) return kStatusUnreadable;
  if (ended) return kStatusOk;
  if (count == 0) return kStatusEnd;
  if (count == kLineReadLimit) return kStatusLineTooLong;
  return kStatusOk;  // the last line of a file without a final line end
}

// Copies at most `limit` characters of `text` and a NUL into `field`.
static size_t CopyCut(char* field, const char* text, size_t length, size_t limit) {
  if (length > limit) length = limit;
  std::memcpy(field, text, length);
  field[length] = '\0';
  return length;
}

ProgramReadResult ReadProgramBlocks(FILE* file, ProgramLeg legs[kMaxLegs], ExtraLineRule rule) {
  char line[kLineBufferSize];
  // The checksum weights each character by its position in the whole file (p);
  // unsigned arithmetic gives the wrapping 32-bit two's-complement sum.
  uint32_t checksum = 0;
  uint32_t position = 0;
  int status = kStatusOk;
  int legCount = 0;   // k: legs read completely
  int lineIndex = 0;  // n: lines of the current block taken
  while (status == kStatusOk && legCount < kMaxLegs) {
    ProgramLeg& leg = legs[legCount];
    lineIndex = 0;
    while (status == kStatusOk && lineIndex < kLinesPerLeg) {
      status = ReadProgramLine(file, line);
      if (status != kStatusOk) break;
      size_t length = std::strlen(line);
      switch (lineIndex) {
        case kIdentLine:
          length = CopyCut(leg.ident, line, length, kIdentChars);
          break;
        case kNameLine:
          length = CopyCut(leg.name, line, length, kNameChars);
          break;
        case kLongitudeLine:
          status = ParseGeoCoord(&leg.longitude, line, 1, kStatusOk);
          break;
        case kLatitudeLine:
          status = ParseGeoCoord(&leg.latitude, line, 0, kStatusOk);
          break;
        default:
          break;  // the separator: its text only counts in the checksum
      }
      if (status == kStatusOk) ++lineIndex;
      for (size_t i = 0; i < length; ++i) {
        ++position;
        checksum += position * static_cast<uint32_t>(static_cast<signed char>(line[i]));
      }
    }
    if (lineIndex > kLatitudeLine) ++legCount;  // the latitude line was parsed
  }

  if (legCount == kMaxLegs && status == kStatusOk) {
    status = ReadProgramLine(file, line);
    if (status == kStatusOk || status == kStatusLineTooLong) {
      status = kStatusLegAfterLast;
      if (rule == kExtraLineDropsLastLeg)
        legCount = kMaxLegs - 1;
      else
        lineIndex = 0;
    } else if (status == kStatusEnd && lineIndex == kLinesPerLeg) {
      lineIndex = 0;
    }
  }

  // The file may end after a leg's latitude line (no separator) or between blocks.
  if (status == kStatusEnd && lineIndex != 0 && lineIndex != kSeparatorLine) status = kStatusLegCut;

  ProgramReadResult result;
  result.status = status;
  result.legCount = legCount;
  result.errorLeg = legCount + 1;
  result.errorLine = lineIndex + 1;
  result.checksum = static_cast<int32_t>(checksum);
  return result;
}

ProgramReadResult ReadProgramFile(const char* path, ProgramLeg legs[kMaxLegs]) {
  // A directory opens for reading on this platform but is no program file.
  FILE* file = sys::IsDirectory(path) ? nullptr : std::fopen(path, "rb");
  if (!file) return ProgramReadResult{kStatusUnreadable, 0, 1, 1, 0};
  ProgramReadResult result = ReadProgramBlocks(file, legs, kExtraLineStartsLeg100);
  std::fclose(file);
  return result;
}

static bool WriteBytes(FILE* file, const char* bytes, size_t length) {
  return std::fwrite(bytes, 1, length, file) == length;
}

static bool WriteLine(FILE* file, const char* text, size_t length) {
  return WriteBytes(file, text, length) && WriteBytes(file, "\r\n", 2);
}

static bool WriteLeg(FILE* file, const ProgramLeg& leg) {
  char line[kLineBufferSize];
  if (!WriteLine(file, leg.ident, strnlen(leg.ident, sizeof leg.ident))) return false;
  if (!WriteLine(file, leg.name, strnlen(leg.name, sizeof leg.name))) return false;
  int length = FormatGeoCoordLine(leg.longitude, line, sizeof line);
  if (!WriteLine(file, line, size_t(length))) return false;
  length = FormatGeoCoordLine(leg.latitude, line, sizeof line);
  if (!WriteLine(file, line, size_t(length))) return false;
  return WriteLine(file, "", 0);
}

int WriteProgramFile(const char* path, const ProgramLeg* legs, int count) {
  if (count < 0) count = 0;
  if (count > kMaxLegs) count = kMaxLegs;
  // Written beside the target and renamed over it once complete: a save that fails
  // part-way leaves the previous file as it was.
  std::string temporary = std::string(path) + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return 0;
  bool written = true;
  for (int i = 0; i < count && written; ++i) written = WriteLeg(file, legs[i]);
  written = std::fclose(file) == 0 && written;
  if (written) written = std::rename(temporary.c_str(), path) == 0;
  if (!written) std::remove(temporary.c_str());
  return written ? 1 : 0;
}
