// Feeds arbitrary bytes to the scenario reader: it must refuse bad files with a
// ScenarioError and never crash or read out of bounds.
#include <cstdint>
#include <string>

#include "scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    host::ParseScenario(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
  } catch (const host::ScenarioError&) {
  }
  return 0;
}
