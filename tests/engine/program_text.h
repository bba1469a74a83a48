// Helpers for engine tests: program-file texts built leg by leg, whole files
// written and read, and a temporary folder that is the current directory while a
// test runs (the gauge reads "./TERVANE.dat").
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace enginetest {

struct LegText {
  std::string ident, name, longitude, latitude;
};

// One block of five lines; without `separator` the block ends after the latitude.
inline std::string BlockText(const LegText& leg, bool separator = true,
                             const char* lineEnd = "\r\n") {
  std::string text =
      leg.ident + lineEnd + leg.name + lineEnd + leg.longitude + lineEnd + leg.latitude + lineEnd;
  if (separator) text += lineEnd;
  return text;
}

// Leg i (0-based) of a generated program: ident "W01", name "POINT 01", a position
// that moves with i.
inline LegText GeneratedLeg(int i) {
  char ident[16], name[32], lon[48], lat[48];
  std::snprintf(ident, sizeof ident, "W%02d", i + 1);
  std::snprintf(name, sizeof name, "POINT %02d", i + 1);
  std::snprintf(lon, sizeof lon, "E%3d* %d.%02dm", i % 180, i % 60, (i * 7) % 100);
  std::snprintf(lat, sizeof lat, "N%3d* %d.%02dm", i % 90, (i * 3) % 60, (i * 11) % 100);
  return {ident, name, lon, lat};
}

// A program of `legs` generated legs, every block with its separator.
inline std::string GeneratedProgram(int legs, bool lastSeparator = true) {
  std::string text;
  for (int i = 0; i < legs; ++i) text += BlockText(GeneratedLeg(i), lastSeparator || i + 1 < legs);
  return text;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder under the system's temporary folder; the current directory while
// the object lives.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "tervane-engine-XXXXXX");
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    std::filesystem::current_path(path_);
  }
  ~ScopedTempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_, path_;
};

}  // namespace enginetest
