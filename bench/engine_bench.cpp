// Benchmarks of the engine's program-file code: LoadGpsMemory on a 99-leg GPS
// memory file (open, read, parse, close), one coordinate line, and the writer.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/engine.h"
#include "engine/program_file.h"

namespace {

// A 99-leg program as the writer writes it.
std::string Program99() {
  std::string text;
  char line[64];
  for (int i = 0; i < kMaxLegs; ++i) {
    std::snprintf(line, sizeof line, "WP%03d\r\nWAYPOINT NUMBER %03d\r\n", i, i);
    text += line;
    std::snprintf(line, sizeof line, "%c%3d* %d.%02dm\r\n", i % 2 ? 'E' : 'W', i % 180, i % 60,
                  (i * 37) % 100);
    text += line;
    std::snprintf(line, sizeof line, "%c%3d* %d.%02dm\r\n\r\n", i % 3 ? 'N' : 'S', i % 90,
                  (i * 7) % 60, (i * 53) % 100);
    text += line;
  }
  return text;
}

// A temporary folder holding TERVANE.dat, the current directory while it lives.
class GpsMemoryFolder {
 public:
  GpsMemoryFolder() {
    previous_ = std::filesystem::current_path();
    std::string pattern = std::filesystem::temp_directory_path() / "tervane-bench-XXXXXX";
    folder_ = mkdtemp(pattern.data());
    std::ofstream(folder_ / "TERVANE.dat", std::ios::binary) << Program99();
    std::filesystem::current_path(folder_);
  }
  ~GpsMemoryFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }

 private:
  std::filesystem::path previous_, folder_;
};

void BM_LoadGpsMemory99Legs(benchmark::State& state) {
  GpsMemoryFolder folder;
  const int64_t bytes = int64_t(Program99().size());
  for (auto _ : state) {
    int loaded = LoadGpsMemory();
    benchmark::DoNotOptimize(loaded);
    if (!loaded || gps.legCount != kMaxLegs) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_LoadGpsMemory99Legs);

void BM_ParseGeoCoord(benchmark::State& state) {
  GeoCoord coord{};
  for (auto _ : state) {
    int status = ParseGeoCoord(&coord, "N 51* 28.65m", 0, 1);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(coord);
  }
}
BENCHMARK(BM_ParseGeoCoord);

void BM_WriteProgramFile99Legs(benchmark::State& state) {
  GpsMemoryFolder folder;
  if (!LoadGpsMemory()) state.SkipWithError("load failed");
  for (auto _ : state) {
    int written = WriteProgramFile("out.prg", gps.legs, gps.legCount);
    benchmark::DoNotOptimize(written);
  }
}
BENCHMARK(BM_WriteProgramFile99Legs);

}  // namespace

BENCHMARK_MAIN();
