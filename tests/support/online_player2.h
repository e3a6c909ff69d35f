#pragma once

#include <array>
#include <cstdint>

#include "game/speed.h"
#include "game/state.h"
#include "net/wire.h"
#include "tests/support/random_player.h"
#include "tests/support/simulated_player.h"

namespace tandemhoop::testing {

// A person playing Player 2 online by its five actions, for tests and benchmarks of online
// play. Simpler than the simulated player of Player 1, with the same quarter-second glance: it
// carries the ball round the defender to the basket and shoots there (or from where it is stuck),
// stays in front of the carrier and jumps at his shot, and chases loose balls. Seeded.
class OnlinePlayer2 {
 public:
  OnlinePlayer2(Speed speed, std::uint64_t seed);

  // What it holds for the coming tick, having seen the court as the local machine shows it;
  // `tick` counts the ticks of the match so far and grows by one between calls.
  net::Held Act(const GameState& state, long long tick);
  // A foul or win message: it lets go of everything and looks again.
  void MessageShown() { lookAgain_ = true; }

 private:
  net::Held Decide(const Sight& seen, int x, int y, long long tick);
  net::Held Walk(int fromX, int fromY, int toX, int toY, int slack) const;

  static constexpr int kHistory = 64;
  double tickMs_;
  int reactionTicks_;
  SplitMix64 random_;
  std::array<Sight, kHistory> seen_{};
  std::array<net::Held, kHistory> heldAt_{};  // what it held before each tick
  long long looked_ = 0;
  bool lookAgain_ = true;
  net::Held held_ = 0;
  long long shootingSince_ = -1;  // tick it pressed A for a shot, -1 none
  long long stuckSince_ = -1;
  long long nextJumpAt_ = 0;
  int aroundSide_ = 1;
};

}  // namespace tandemhoop::testing
