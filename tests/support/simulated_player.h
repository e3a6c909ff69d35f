#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "game/game.h"
#include "game/platform.h"
#include "game/speed.h"
#include "tests/support/random_player.h"

namespace tandemhoop::testing {

// Player 1's court as a person at the keys learns it.
inline constexpr int kStep = 15;  // a held arrow walks Player 1 this far a tick
inline constexpr int kLeftEdge = 0;
inline constexpr int kRightEdge = 655;
inline constexpr int kTopEdge = 130;
inline constexpr int kBottomEdge = 450;
inline constexpr int kBasketX = 385;
// Close enough to the basket for a lay-up or a dunk: inside the zone where they happen, with a
// little room for the glance being late.
inline constexpr int kNearLine = 155;
inline constexpr int kNearLeft = 255;
inline constexpr int kNearRight = 430;

inline int Clamp(int value, int low, int high) {
  return std::min(std::max(value, low), high);
}

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

// What a simulated person remembers of the last ticks, by tick: a little over a second at the
// fast speed, more than any reaction needs.
inline constexpr std::size_t kSightHistory = 64;
inline std::size_t Slot(long long tick) {
  constexpr auto kSize = static_cast<long long>(kSightHistory);
  return static_cast<std::size_t>((tick % kSize + kSize) % kSize);
}

// Player 1's five keys under a simulated person's fingers: pressed and let go through the court
// window's handlers, with the desktop's auto-repeat of held keys (the first repeat after half a
// second, then 30 a second: X11's and most desktops' defaults).
class Fingers {
 public:
  enum Key : int { kLeftKey, kUpKey, kRightKey, kDownKey, kShootKey, kKeyCount };
  using Keys = std::array<bool, kKeyCount>;

  explicit Fingers(double tickMs) : tickMs_(tickMs) {}
  // Before the tick numbered `tick`: first lets go, then presses, so a key let go of goes down
  // again a tick later at the soonest; then repeats the keys still held up to that tick.
  void Hold(Game& game, const Keys& want, long long tick);
  // A message box took the keyboard: every key is up.
  void LetGoAll(Game& game);
  const Keys& held() const { return held_; }

 private:
  void Press(Game& game, int key, long long tick);
  void Release(Game& game, int key);

  double tickMs_;
  Keys held_{};
  std::array<double, kKeyCount> nextRepeatMs_{};
};

// Someone at the keyboard playing Player 1 against the computer, for measuring how hard the
// computer is.
class SimulatedPerson {
 public:
  virtual ~SimulatedPerson() = default;
  // Between two ticks: looks at the court and moves its fingers. `tick` counts the ticks of
  // the timer so far.
  virtual void Act(Game& game, long long tick) = 0;
  // A message box was shown (a foul): it closes it, lets go of the keys and looks again.
  virtual void MessageShown() = 0;
};

// A practised player. It sees the court a quarter of a second late (in ticks at the speed
// played), knows which keys it has held since (so it does not walk blindly past its own
// target), and plays by habits: drive to the basket around the defender and shoot near it, or
// from outside when left open or stuck; reach for the ball near the carrier; jump when the
// computer shoots; chase loose balls. Its own randomness is seeded, so a game is reproducible.
class SimulatedPlayer final : public SimulatedPerson {
 public:
  SimulatedPlayer(Speed speed, std::uint64_t seed);

  void Act(Game& game, long long tick) override;
  void MessageShown() override { lookAgain_ = true; }

  int reactionTicks() const { return reactionTicks_; }
  // The keys it holds now: left, up, right, down, M.
  const Fingers::Keys& held() const { return fingers_.held(); }

 private:
  using Keys = Fingers::Keys;
  static constexpr int kLeftKey = Fingers::kLeftKey;
  static constexpr int kUpKey = Fingers::kUpKey;
  static constexpr int kRightKey = Fingers::kRightKey;
  static constexpr int kDownKey = Fingers::kDownKey;
  static constexpr int kShootKey = Fingers::kShootKey;

  struct Spot {
    int x;
    int y;
  };
  Spot Opponent(const Sight& seen) const;
  Keys Decide(const Sight& seen, int selfX, int selfY);
  void Walk(Keys& keys, int fromX, int fromY, int toX, int toY, int slack);
  void Offence(Keys& keys, const Sight& seen, int x, int y);
  void Defence(Keys& keys, const Sight& seen, int x, int y);

  double tickMs_;
  int reactionTicks_;
  SplitMix64 random_;
  Fingers fingers_;
  std::array<Sight, kSightHistory> seen_{};
  std::array<Keys, kSightHistory> heldAt_{};  // the keys it held before each tick
  long long now_ = 0;                         // the tick it is looking at
  long long looked_ = 0;                      // ticks looked at since the last fresh look
  bool lookAgain_ = true;

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

// Who plays: the practised SimulatedPlayer, or the NovicePlayer (novice_player.h).
enum class Person : std::uint8_t { Practised, Novice };
inline constexpr std::string_view kPersonNames[] = {"practised", "novice"};

// One whole game: start-up, a key to start, both picks and "vs Computer" on the selection
// screen, then ticks until a side wins or `capSeconds` of game time have passed. The game's
// random source is seeded from `seed` as start-up seeds it from the clock.
SimulatedGame PlaySimulatedGame(ComputerLevel level, Speed speed, std::uint64_t seed,
                                double capSeconds = 1200, Person person = Person::Practised);

}  // namespace tandemhoop::testing
