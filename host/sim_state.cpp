#include "sim_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace host {

// Hundredths of a minute of arc per unit of the upper half of the 64-bit values;
// the gauges decode positions with the same factors.
static constexpr double kLatHundredthsPerUnit = 0.053990578644026614;
static constexpr double kLonHundredthsPerUnit = 0.0005029142201840742;
static constexpr double kTwoTo32 = 4294967296.0;

const std::vector<TokenInfo>& KnownTokens() {
  static const std::vector<TokenInfo> tokens = {
      {0x01, "var_01", "raises the fuel temperature factor (value / 10000)", VarKind::kReal},
      {0x03, "var_03", "fuel temperature divisor term (12 - value)", VarKind::kReal},
      {0x08, "var_08", "fuel temperature divisor term (7 - value / 30)", VarKind::kReal},
      {0x26, "transponder", "transponder code, four BCD digits", VarKind::kBcd},
      {0x3C, "airspeed_zero", "non-zero: true airspeed taken as 0", VarKind::kReal},
      {0x3D, "indicated_airspeed", "knots", VarKind::kReal},
      {0x40, "mach", "Mach number x 20480", VarKind::kReal},
      {0x47, "latitude", "degrees north (64-bit simulator value)", VarKind::kPosition64},
      {0x48, "longitude", "degrees east (64-bit simulator value)", VarKind::kPosition64},
      {0x4A, "altitude", "feet", VarKind::kReal},
      {0x51, "heading", "aircraft heading, magnetic degrees", VarKind::kReal},
      {0x52, "magnetic_variation", "degrees, 0 to below 360, subtracted from true", VarKind::kReal},
      {0x67, "autopilot_engaged", "non-zero = engaged", VarKind::kReal},
      {0x6A, "heading_hold", "non-zero = active", VarKind::kReal},
      {0x74, "reference_speed", "knots", VarKind::kReal},
      {0x11A, "heading_bug", "degrees, as sent", VarKind::kReal},
      {0x155, "outside_air_temperature", "degrees Celsius", VarKind::kReal},
      {0x157, "wind_speed", "metres per second", VarKind::kReal},
      {0x159, "wind_east", "east component of the wind velocity, m/s", VarKind::kReal},
      {0x15A, "wind_north", "north component of the wind velocity, m/s", VarKind::kReal},
      {0xC0, "var_c0", "bound by the fuel temperature gauge, unused", VarKind::kReal},
  };
  return tokens;
}

const TokenInfo* InfoOfToken(uint32_t token) {
  for (const auto& info : KnownTokens())
    if (info.token == token) return &info;
  return nullptr;
}

std::optional<uint32_t> TokenByName(const std::string& nameOrHex) {
  if (nameOrHex.size() > 2 && nameOrHex[0] == '0' && (nameOrHex[1] == 'x' || nameOrHex[1] == 'X')) {
    char* end = nullptr;
    unsigned long value = std::strtoul(nameOrHex.c_str() + 2, &end, 16);
    if (end && *end == '\0' && value <= 0xFFFFFFFFul) return uint32_t(value);
    return std::nullopt;
  }
  for (const auto& info : KnownTokens())
    if (nameOrHex == info.name) return info.token;
  return std::nullopt;
}

int64_t LatitudeToRaw(double degrees) {
  double units = degrees * 6000.0 / kLatHundredthsPerUnit;  // upper-half units
  return int64_t(std::llround(units * kTwoTo32));
}

double RawToLatitude(int64_t raw) {
  return double(raw) / kTwoTo32 * kLatHundredthsPerUnit / 6000.0;
}

int64_t LongitudeToRaw(double degrees) {
  double east = std::fmod(degrees, 360.0);
  if (east < 0) east += 360.0;
  double units = east * 6000.0 / kLonHundredthsPerUnit;  // 0 .. 2^32
  double high = std::floor(units);
  double low = std::floor((units - high) * kTwoTo32);
  uint64_t raw = (uint64_t(uint32_t(uint64_t(high) & 0xFFFFFFFFu)) << 32) | uint64_t(low);
  return int64_t(raw);
}

double RawToLongitude(int64_t raw) {
  double east = double(uint64_t(raw)) / kTwoTo32 * kLonHundredthsPerUnit / 6000.0;
  return east >= 180.0 ? east - 360.0 : east;
}

SimState::SimState() {
  for (const auto& info : KnownTokens()) {
    SimVariable var{info.token, info.kind, {}};
    var.storage.position = 0;
    vars_.emplace(info.token, var);
  }
}

SimVariable* SimState::Variable(uint32_t token) {
  auto it = vars_.find(token);
  if (it == vars_.end()) {
    SimVariable var{token, VarKind::kReal, {}};
    var.storage.position = 0;
    it = vars_.emplace(token, var).first;
  }
  return &it->second;
}

double SimState::Get(uint32_t token) const {
  auto it = vars_.find(token);
  if (it == vars_.end()) return 0.0;
  const SimVariable& var = it->second;
  switch (var.kind) {
    case VarKind::kPosition64:
      return token == 0x47 ? RawToLatitude(var.storage.position)
                           : RawToLongitude(var.storage.position);
    case VarKind::kBcd:
      return double(var.storage.bcd);
    case VarKind::kReal:
      break;
  }
  return var.storage.real;
}

void SimState::Set(uint32_t token, double value) {
  SimVariable* var = Variable(token);
  switch (var->kind) {
    case VarKind::kPosition64:
      var->storage.position = token == 0x47 ? LatitudeToRaw(value) : LongitudeToRaw(value);
      break;
    case VarKind::kBcd:
      var->storage.bcd = uint32_t(value);
      break;
    case VarKind::kReal:
      var->storage.real = value;
      break;
  }
}

double SimState::Latitude() const { return Get(0x47); }
double SimState::Longitude() const { return Get(0x48); }
void SimState::SetLatitude(double degrees) { Set(0x47, degrees); }
void SimState::SetLongitude(double degrees) { Set(0x48, degrees); }
void SimState::SetTransponder(uint32_t bcd) { Variable(0x26)->storage.bcd = bcd; }

void SimState::ApplyKeyEvent(uint32_t eventId, uint32_t value) {
  switch (eventId) {
    case kEventAutopilotEngage:
      Set(0x67, 1.0);
      break;
    case kEventHeadingHoldOn:  // turns heading hold on; it does not toggle
      Set(0x6A, 1.0);
      break;
    case kEventHeadingBugSet:  // the bug keeps the value as sent
      Set(0x11A, double(int32_t(value)));
      break;
    case kEventPauseToggle:
      paused_ = !paused_;
      break;
    case kEventTransponderSet:
      SetTransponder(value);
      break;
    default:
      break;
  }
}

}  // namespace host
