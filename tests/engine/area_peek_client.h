// Runs engine-area-peek (a separate process) and returns what it printed, by key.
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "engine/program_records.h"

namespace enginetest {

inline std::map<std::string, std::string> PeekAreas(int legs) {
  std::map<std::string, std::string> values;
  std::string command = std::string(AREA_PEEK_PROGRAM) + " " + std::to_string(legs);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return values;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    size_t space = text.find(' ');
    if (space != std::string::npos) values[text.substr(0, space)] = text.substr(space + 1);
  }
  pclose(pipe);
  return values;
}

// A coordinate as engine-area-peek prints it.
inline std::string PeekText(const GeoCoord& c) {
  char text[96];
  char letter = c.hemisphere >= 0x21 && c.hemisphere < 0x7F ? c.hemisphere : '-';
  std::snprintf(text, sizeof text, "%c %d %d %d %.17g", letter, c.degrees, c.minutes, c.seconds,
                c.decimalMinutes);
  return text;
}

inline std::string PeekText(const ProgramLeg& leg) {
  return std::string(leg.ident) + "|" + leg.name + "|" + PeekText(leg.longitude) + "|" +
         PeekText(leg.latitude);
}

}  // namespace enginetest
