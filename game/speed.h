#pragma once

#include <cstdint>
#include <string_view>

namespace tandemhoop {

// How often Timer1 ticks. Every speed in the game is per tick, so this is the game's speed.
// Classic is the rate of the PC's clock tick on the game's home desktop (1,193,182 / 65,536
// ticks a second, about 18.2: the speed the game was made at); Fast is the 64 a second later
// desktops deliver for the same timer.
enum class Speed : std::uint8_t { Classic, Fast };
// Each speed's name wherever it is written down (replays, settings), in the order above.
inline constexpr std::string_view kSpeedNames[] = {"classic", "fast"};

// Ticks per second as an exact fraction, so that every front end derives the same schedule and
// the same number of sound samples per tick.
struct TickRate {
  std::int64_t numerator;
  std::int64_t denominator;
};

constexpr TickRate RateOf(Speed speed) {
  return speed == Speed::Classic ? TickRate{1'193'182, 65'536} : TickRate{64, 1};
}

// One tick in nanoseconds, rounded to the nearest (54,925,401 ns and 15,625,000 ns).
constexpr std::int64_t TickNanoseconds(Speed speed) {
  const TickRate rate = RateOf(speed);
  return (rate.denominator * 1'000'000'000 + rate.numerator / 2) / rate.numerator;
}

}  // namespace tandemhoop
