#pragma once

#include <cmath>
#include <cstdint>

namespace tandemhoop {

// The game's numbers are 16-bit. A sum that a rule compares "formed in 16 bits" wraps here.
constexpr std::int16_t Wrap16(int value) {
  return static_cast<std::int16_t>(value);
}

// Positions placed by a division round to nearest with halves to even (the default rounding
// mode), e.g. 12.5 -> 12 and 13.5 -> 14. Round the whole expression, not just the quotient:
// 101 - 25 / 2 is 88.5 and stores 88, while 101 - round(12.5) would give 89.
inline std::int16_t RoundToEven(double value) {
  return static_cast<std::int16_t>(static_cast<int>(std::nearbyint(value)));
}

}  // namespace tandemhoop
