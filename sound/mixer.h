#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/platform.h"
#include "game/speed.h"
#include "sound/wav.h"

namespace tandemhoop {

// Every front end mixes mono 16-bit samples at this rate: the rate the sound files are read at,
// so that no sound plays at another pitch than it was made.
inline constexpr int kMixRate = kWavRate;

// How many samples to render after each tick: 48,000 divided by the ticks a second, with what a
// tick leaves over carried to the next, in whole numbers, so that every front end renders the
// same samples for the same ticks and the sound never drifts from the game.
class TickSamples {
 public:
  explicit TickSamples(Speed speed) : rate_(RateOf(speed)) {}
  std::size_t Next() {
    const std::int64_t total = kMixRate * rate_.denominator + carried_;
    carried_ = total % rate_.numerator;
    return static_cast<std::size_t>(total / rate_.numerator);
  }

 private:
  TickRate rate_;
  std::int64_t carried_ = 0;
};

// Plays the game's sounds into mono 48 kHz samples, on demand. It only points at the samples it
// is given (the front end keeps them alive), and allocates nothing: a fixed set of voices, so a
// sound started while it still plays overlaps itself, and when every voice is busy the oldest
// gives way. The same calls give the same samples everywhere.
class Mixer {
 public:
  static constexpr int kVoices = 12;

  void SetSamples(Sound sound, std::span<const std::int16_t> samples);
  // Starts with the next sample rendered.
  void Play(Sound sound);
  void Render(std::int16_t* out, std::size_t count);
  // 0 to 100; the sum of the voices is scaled by it and saturates at the 16-bit limits.
  void SetVolume(int percent);
  int volume() const { return volumePercent_; }
  int ActiveVoices() const;
  void StopAll();

 private:
  struct Voice {
    const std::int16_t* samples = nullptr;
    std::size_t remaining = 0;
    std::uint64_t started = 0;
  };

  std::array<std::span<const std::int16_t>, kSoundCount> sounds_{};
  std::array<Voice, kVoices> voices_{};
  std::uint64_t plays_ = 0;
  int volumePercent_ = 100;
  std::int32_t gain_ = 1 << 15;  // volume in 1/32768ths
};

}  // namespace tandemhoop
