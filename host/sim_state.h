// The simulator's variables as the gauges see them: storage per token with the
// units the gauges expect, key events applied to it. Latitude and longitude are
// kept as the simulator's 64-bit values (the gauges decode their upper halves);
// the transponder code as four BCD digits.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

enum class VarKind { kReal, kPosition64, kBcd };

// One simulator variable's storage. A bound ModuleVar points at `storage`.
struct SimVariable {
  uint32_t token;
  VarKind kind;
  union {
    double real;
    int64_t position;  // latitude/longitude as the simulator keeps them
    uint32_t bcd;
  } storage;
};

struct TokenInfo {
  uint32_t token;
  const char* name;  // scenario name, e.g. "outside_air_temperature"
  const char* unit;
  VarKind kind;
};

// Every token the gauges use, with its scenario name and unit.
const std::vector<TokenInfo>& KnownTokens();
std::optional<uint32_t> TokenByName(const std::string& nameOrHex);  // "0x155" or a name
const TokenInfo* InfoOfToken(uint32_t token);

// Key events the simulator understands.
enum KeyEvent : uint32_t {
  kEventAutopilotEngage = 0x1002C,
  kEventTransponderSet = 0x100B3,
  kEventPauseToggle = 0x10102,
  kEventHeadingHoldOn = 0x1010F,
  kEventHeadingBugSet = 0x101FA,
};

class SimState {
 public:
  SimState();

  SimVariable* Variable(uint32_t token);   // created on first use for unknown tokens
  double Get(uint32_t token) const;        // real value (positions in degrees)
  void Set(uint32_t token, double value);  // positions in degrees

  // Aircraft position in degrees (north and east positive).
  double Latitude() const;
  double Longitude() const;
  void SetLatitude(double degrees);
  void SetLongitude(double degrees);
  void SetTransponder(uint32_t bcd);

  bool Paused() const { return paused_; }
  void SetPaused(bool paused) { paused_ = paused; }

  // Applies a key event the way the simulator does.
  void ApplyKeyEvent(uint32_t eventId, uint32_t value);

 private:
  std::map<uint32_t, SimVariable> vars_;
  bool paused_ = false;
};

// The simulator's 64-bit encodings of a position.
int64_t LatitudeToRaw(double degrees);
int64_t LongitudeToRaw(double degrees);
double RawToLatitude(int64_t raw);
double RawToLongitude(int64_t raw);

}  // namespace host
