// The program-file code shared by the gauges and the data manager: the line reader,
// the coordinate parser, the loop that reads blocks of five lines into the leg
// table, and the writer. One leg is five lines (ident, name, longitude, latitude,
// an empty separator); see docs/file-formats.md for the format as users see it.
//
// Nothing here knows GpsState: the gauge's loader (LoadGpsMemory) and the data
// manager's reader both drive ReadProgramBlocks and differ only in what they do
// with its result.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/program_records.h"

// Status codes of the reader and the parser.
enum ProgramStatus : int {
  kStatusEnd = 0,  // end of file, no line read
  kStatusOk = 1,
  kStatusLineTooLong = 100,        // more than 254 characters before the line end
  kStatusHemisphere = 101,         // the line does not begin with the expected letter
  kStatusCoordinateCut = 102,      // the line ends before its degrees or minutes
  kStatusLongitudeRange = 103,     // longitude degrees above 180
  kStatusLatitudeRange = 104,      // latitude degrees above 90
  kStatusMinutesRange = 105,       // minutes of 60 or more, or not 0 at 180 / 90 degrees
  kStatusNoDegreeDigits = 106,     // (cannot arise from the scan; the code exists)
  kStatusNoMinuteDigits = 107,     // (cannot arise from the scan; the code exists)
  kStatusPointWithoutDigit = 108,  // a decimal point in the minutes without a digit after it
  kStatusLegAfterLast = 109,       // a line follows the 99th leg
  kStatusLegCut = 110,             // the file ends after a leg's first, second or third line
  kStatusUnreadable = 999,         // the file cannot be read (or, for the reader, opened)
};

// The GPS memory file, in the simulator's current directory.
constexpr const char kGpsMemoryFileName[] = "TERVANE.dat";

// A line holds at most 254 characters; the buffer keeps them and the NUL, plus the
// 255th character that tells a too-long line apart.
constexpr int kLineBufferSize = 256;
constexpr int kMaxLineChars = kLineBufferSize - 2;  // 254

// Reads one line into `line` without its line end. CR LF and a lone LF both end a
// line, and a CR right before the end of the file is dropped too, so no CR of a
// line end ever reaches the text. Returns kStatusOk, kStatusEnd (nothing read at the
// end of the file), kStatusUnreadable (read error) or kStatusLineTooLong (255
// characters without a line end; the rest of the line stays unread).
int ReadProgramLine(FILE* file, char line[kLineBufferSize]);

// Parses a coordinate line ("N 51* 28.65m" and the freer forms the format allows)
// into `target`. Returns `successStatus` on success, otherwise 101..108; on failure
// the fields stored before the failing step stay written (the hemisphere, then the
// degrees). `text` is NUL-terminated and may be of any length.
int ParseGeoCoord(GeoCoord* target, const char* text, int isLongitude, int successStatus);

// What the block loop reports. `status` is kStatusEnd for a clean end, otherwise an
// error code; `legCount` is the number of legs read completely; `errorLeg` and
// `errorLine` are the 1-based leg and line within its block at which the loop stood
// when it stopped (the numbers the error messages show).
struct ProgramReadResult {
  int status;
  int legCount;
  int errorLeg;
  int errorLine;
  int32_t checksum;  // position-weighted sum of the characters taken (signed bytes, wrapping)
};

// What happens when a line follows the 99th leg: the gauges of most modules drop
// the last leg from the count and report the line after it; the V1 and V4 gauges
// and the data manager keep 99 legs and report line 1 of a 100th leg.
enum ExtraLineRule : int {
  kExtraLineDropsLastLeg,
  kExtraLineStartsLeg100,
};

// Reads blocks of five lines from `file` into `legs` (at most kMaxLegs), from the
// first entry on. Entries at and after the result's legCount keep what they held,
// except the partly read entry of a failed block.
ProgramReadResult ReadProgramBlocks(FILE* file, ProgramLeg legs[kMaxLegs], ExtraLineRule rule);

// The data manager's reader: opens `path` and reads it with ReadProgramBlocks.
// A file that cannot be opened (or is a directory) gives kStatusUnreadable with
// legCount 0. The caller shows the messages.
ProgramReadResult ReadProgramFile(const char* path, ProgramLeg legs[kMaxLegs]);

// Formats a coordinate line as the writer does: hemisphere letter, degrees right
// aligned in three places, "* ", the decimal minutes cut (not rounded) to
// hundredths, "m". Returns the length written into `out` (without NUL).
int FormatGeoCoordLine(const GeoCoord& coord, char* out, int outSize);

// The decimal minutes cut to whole hundredths, as the writer writes them:
// 27.679 gives 2767 and 0.29 gives 29. The cut applies to the decimal value the
// double stands for (its shortest round-trip form), so a value read from "0.29" is
// written back as 0.29 and never as 0.28.
int64_t HundredthsOfMinutes(double decimalMinutes);

// Writes legs 0..count-1 to `path` with CR LF line ends. The text goes to a
// temporary file in the same folder, renamed over `path` only when every write
// and the close succeeded, so a failed save leaves the old file untouched.
// Returns 1 when the whole file was written, 0 otherwise.
int WriteProgramFile(const char* path, const ProgramLeg* legs, int count);
