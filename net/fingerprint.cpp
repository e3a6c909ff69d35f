#include "game/replay.h"
#include "net/match.h"
#include "net/session.h"

namespace tandemhoop::net {

namespace {

// Two sides' held sets for the built-in game: each side changes one action now and then, as a
// small linear congruential generator says. Fouls, shots, steals and baskets all come up.
class ScriptedHands {
 public:
  explicit ScriptedHands(std::uint32_t seed) : state_(seed) {}
  Held Next() {
    state_ = state_ * 1664525u + 1013904223u;
    if ((state_ >> 28) < 4) held_ = static_cast<Held>(held_ ^ (1u << ((state_ >> 16) % 5)));
    return held_;
  }

 private:
  std::uint32_t state_;
  Held held_ = 0;
};

std::uint64_t PlayBuiltInGame() {
  HeadlessPlatform headless;
  Match match(headless);
  EventLog log;
  match.Begin(Agreement{20240611, Speed::Classic, 2, 4}, log);
  ScriptedHands p1(1), p2(2);
  StepEvents step;
  for (int tick = 0; tick < 4000 && !match.state().over; ++tick)
    match.Step(p1.Next(), p2.Next(), step);
  return StateHash(match.game().state) ^ match.random().Draws() * 0x9E3779B97F4A7C15ull;
}

}  // namespace

std::uint64_t CoreFingerprint() {
  static const std::uint64_t fingerprint = PlayBuiltInGame();
  return fingerprint;
}

}  // namespace tandemhoop::net
