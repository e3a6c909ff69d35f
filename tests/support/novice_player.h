#pragma once

#include <array>
#include <cstdint>

#include "game/game.h"
#include "game/speed.h"
#include "tests/support/random_player.h"
#include "tests/support/simulated_player.h"

namespace tandemhoop::testing {

// Someone new to the game. It glances at the court five times a second and acts on each glance
// 0.4 s later, holding its keys in between; it sees itself as late as everything else, so it
// walks past where it meant to stop. Its habits are plain: with the ball it heads straight for
// the basket, walks round the defender when he stands anywhere ahead and shoots once it is
// close, or after a long while barred; it holds the shooting key for a fixed time, not until
// it sees the ball go. Without the ball it stays in front of the carrier and reaches whenever
// it is near, jumps once at a shot it stands close to, and runs to where a loose ball was
// going. No feints, no long shots by choice.
class NovicePlayer final : public SimulatedPerson {
 public:
  NovicePlayer(Speed speed, std::uint64_t seed);

  void Act(Game& game, long long tick) override;
  void MessageShown() override { lookAgain_ = true; }

 private:
  using Keys = Fingers::Keys;

  Keys Decide(const Sight& seen);
  void Offence(Keys& keys, const Sight& seen);
  void Defence(Keys& keys, const Sight& seen);
  void Shoot(Keys& keys);

  double tickMs_;
  int reactionTicks_;
  int glanceTicks_;
  int shotHoldTicks_;
  SplitMix64 random_;
  Fingers fingers_;
  std::array<Sight, kSightHistory> seen_{};
  long long now_ = 0;
  long long looked_ = 0;
  long long lastGlance_ = -1000;
  bool lookAgain_ = true;
  Keys want_{};

  long long shotPressedAt_ = -1;  // tick M went down for a shot, -1 none
  long long barredTicks_ = 0;     // how long the defender has barred the way with this ball
  int aside_ = 0;                 // -1 left, 1 right: the way it turned to get past him
  bool jumped_ = false;           // it has jumped at the shot it sees
};

}  // namespace tandemhoop::testing
