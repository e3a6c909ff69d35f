#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "game/game.h"
#include "game/platform.h"
#include "game/speed.h"
#include "tests/support/random_player.h"

namespace tandemhoop::testing {

// What a person at the keyboard sees of one frame: where the two players and the ball are, who
// holds the ball, who is in a shooting pose and whether a shot is in the air. No counters, no
// flags the screen does not show.
struct Sight {
  int p1X = 0;
  int p1Y = 0;
  int p2X = 0;
  int p2Y = 0;
  int ballX = 0;
  int ballY = 0;
  bool p1HasBall = false;
  bool p2HasBall = false;
  bool p1Shooting = false;  // his own shooting pose
  bool p2Shooting = false;  // the computer's shooting pose
  bool shotInFlight = false;
  bool ballLoose = false;  // nobody holds it and it is not on its way to the rim

  static Sight Of(const GameState& state);
};

// A person playing Player 1 against the computer, for measuring how hard the computer is. It
// sees the court a quarter of a second late (in ticks at the speed played), knows which keys
// it has held since (so it does not walk blindly past its own target), and plays by habits:
// drive to the basket around the defender and shoot near it, or from outside when left open
// or stuck; reach for the ball near the carrier; jump when the computer shoots; chase loose
// balls. It presses and releases keys through the court window's handlers, with the desktop's
// auto-repeat of held keys. Its own randomness is seeded, so a game is reproducible.
class SimulatedPlayer {
 public:
  SimulatedPlayer(Speed speed, std::uint64_t seed);

  // Between two ticks: looks at the court and moves its fingers. `tick` counts the ticks of
  // the timer so far.
  void Act(Game& game, long long tick);
  // A message box was shown (a foul): it closes it, lets go of the keys and looks again.
  void MessageShown() { lookAgain_ = true; }

  int reactionTicks() const { return reactionTicks_; }
  // The keys it holds now: left, up, right, down, M.
  const std::array<bool, 5>& held() const { return held_; }

 private:
  enum Key : int { kLeftKey, kUpKey, kRightKey, kDownKey, kShootKey, kKeyCount };
  using Keys = std::array<bool, kKeyCount>;

  struct Spot {
    int x;
    int y;
  };
  Spot Opponent(const Sight& seen) const;
  Keys Decide(const Sight& seen, int selfX, int selfY);
  void Walk(Keys& keys, int fromX, int fromY, int toX, int toY, int slack);
  void Offence(Keys& keys, const Sight& seen, int x, int y);
  void Defence(Keys& keys, const Sight& seen, int x, int y);
  void Press(Game& game, int key, long long now);
  void Release(Game& game, int key);

  static constexpr int kHistory = 64;
  static std::size_t Slot(long long tick) {
    return static_cast<std::size_t>((tick % kHistory + kHistory) % kHistory);
  }
  double tickMs_;
  int reactionTicks_;
  SplitMix64 random_;
  std::array<Sight, kHistory> seen_{};
  std::array<Keys, kHistory> heldAt_{};  // the keys it held before each tick
  long long now_ = 0;                    // the tick it is looking at
  long long looked_ = 0;                 // ticks looked at since the last fresh look
  bool lookAgain_ = true;

  Keys held_{};
  std::array<double, kKeyCount> nextRepeatMs_{};
  // Habits that last longer than a glance.
  long long shotPressedAt_ = -1;  // tick M went down for a shot, -1 none
  long long stuckSince_ = -1;     // tick since which the defender has barred the way
  long long nextJumpAt_ = 0;      // no second jump before this tick
  int aroundSide_ = 0;            // -1 left, 1 right: the way round the defender
  int sideTicks_ = 0;             // ticks it has gone that way
  long long driveUntil_ = -1;     // after a cut back: straight up until this tick
  double crossoverMs_ = 700;      // ... and how long before it cuts back
  int aimX_ = 340;                // where under the basket it heads for
  double opponentSpeed_ = 10;     // pixels a tick the computer is seen to move, at most
};

// How one simulated game ended.
struct SimulatedGame {
  bool won = false;     // "Player1 Wins"
  bool capped = false;  // nobody had won when the time ran out
  int p1Score = 0;
  int p2Score = 0;
  long long ticks = 0;
  int fouls = 0;
};

// One whole game: start-up, a key to start, both picks and "vs Computer" on the selection
// screen, then ticks until a side wins or `capSeconds` of game time have passed. The game's
// random source is seeded from `seed` as start-up seeds it from the clock.
SimulatedGame PlaySimulatedGame(ComputerLevel level, Speed speed, std::uint64_t seed,
                                double capSeconds = 1200);

}  // namespace tandemhoop::testing
