// Real-to-integer conversion for values that come from outside: the simulator,
// another process, a file. Converting a NaN or out-of-range real to an integer is
// undefined behaviour in C++, so every truncation toward zero goes through here.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace sys {

// Truncates toward zero; NaN gives 0, values beyond the range give its nearest end.
constexpr int32_t TruncateToInt32(double value) {
  if (!(value == value)) return 0;  // NaN
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// The same for an unsigned 32-bit result: negative values give 0.
constexpr uint32_t TruncateToUint32(double value) {
  if (!(value == value) || value <= 0.0) return 0;
  if (value >= 4294967295.0) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(value);
}

}  // namespace sys
