#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <type_traits>

#include "game/platform.h"

namespace tandemhoop {

// The game's own random source: a Mersenne Twister, reseeded by Form_Load from the clock.
class MtRandom final : public RandomSource {
 public:
  explicit MtRandom(std::uint32_t seed = 0) : engine_(seed) {}
  // 32 random bits scaled by 2^-32: the largest value is (2^32 - 1) / 2^32, never 1.0.
  double Next() override {
    ++draws_;
    return static_cast<double>(engine_()) * (1.0 / 4294967296.0);
  }
  void Seed(std::uint32_t seed) override {
    engine_.seed(seed);
    draws_ = 0;
  }
  std::uint64_t Draws() const override { return draws_; }

  bool Save(RandomSnapshot& into) const override {
    std::memcpy(into.bytes.data(), &engine_, sizeof engine_);
    into.draws = draws_;
    return true;
  }
  bool Restore(const RandomSnapshot& from) override {
    std::memcpy(&engine_, from.bytes.data(), sizeof engine_);
    draws_ = from.draws;
    return true;
  }

 private:
  // The engine is kept as its bytes: a copy of them is a copy of where it stands.
  static_assert(std::is_trivially_copyable_v<std::mt19937>);
  static_assert(sizeof(std::mt19937) <= RandomSnapshot::kCapacity);

  std::mt19937 engine_;
  std::uint64_t draws_ = 0;
};

}  // namespace tandemhoop
