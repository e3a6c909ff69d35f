#pragma once

#include <cstdint>
#include <random>

#include "game/platform.h"

namespace tandemhoop {

// The game's own random source: a Mersenne Twister, reseeded by Form_Load from the clock.
class MtRandom final : public RandomSource {
 public:
  explicit MtRandom(std::uint32_t seed = 0) : engine_(seed) {}
  // 32 random bits scaled by 2^-32: the largest value is (2^32 - 1) / 2^32, never 1.0.
  double Next() override { return static_cast<double>(engine_()) * (1.0 / 4294967296.0); }
  void Seed(std::uint32_t seed) override { engine_.seed(seed); }

 private:
  std::mt19937 engine_;
};

}  // namespace tandemhoop
