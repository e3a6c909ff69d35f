#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string_view>

#include "game/platform.h"
#include "game/state.h"

namespace tandemhoop {

// How strong the computer opponent is. Original is the game's own computer; the easier levels
// hold it back as a person's opponent is easier (see ComputerHandicap). A setting of the game,
// not of its state.
enum class ComputerLevel : std::uint8_t { Original, Medium, Easy, Beginner };
// Each level's name wherever it is written down (replays, settings), in the order above.
inline constexpr std::string_view kLevelNames[] = {"original", "medium", "easy", "beginner"};
inline constexpr std::size_t kLevelCount = std::size(kLevelNames);
inline constexpr ComputerLevel kEasiestLevel = ComputerLevel::Beginner;

// What holds the computer back at a level. A person new to the game is beaten less by the
// computer's speed than by its being first everywhere, so an easier computer is easier the way
// a person's opponent is: it sees the court late, misses more (the easiest never dunks, the
// shot that cannot miss), throws up more long shots, and gets its hand to the ball less often.
// The figures were chosen by how often two simulated people, a practised one and a novice, beat
// each level at the classic speed (bench/levels.cpp).
struct ComputerHandicap {
  std::uint8_t sightDelay;    // ticks late it sees Player 1 and the ball
  std::uint8_t shotPercent;   // its shots keep this share of their chance
  bool dunks;                 // false: it lays the ball up where it would dunk
  std::uint8_t longShotOdds;  // in 300, on each tick it drives from afar: it lets a long one go
  std::uint8_t blockPercent;  // a jump of its that would block Player 1's shot does so this often
  std::uint8_t stealPercent;  // a dribbler running into it loses the ball this share as often
};

constexpr ComputerHandicap HandicapOf(ComputerLevel level) {
  switch (level) {
    case ComputerLevel::Medium:
      return {1, 85, true, 10, 50, 50};
    case ComputerLevel::Easy:
      return {1, 60, true, 45, 0, 0};
    case ComputerLevel::Beginner:
      return {2, 55, false, 45, 0, 0};
    case ComputerLevel::Original:
      break;
  }
  return {0, 100, true, 5, 100, 100};
}

// The longest the computer sees late, in ticks: what its memory of the court must hold.
inline constexpr std::size_t kMaxSightDelay = [] {
  std::size_t longest = 0;
  for (std::size_t level = 0; level < kLevelCount; ++level)
    longest =
        std::max<std::size_t>(longest, HandicapOf(static_cast<ComputerLevel>(level)).sightDelay);
  return longest;
}();

// The level to suggest to someone the computer has just beaten at `level`: the next easier
// one, or the one after it when he scored a basket or none. Nothing after a game he won, in a
// game of two people, or at the easiest level.
constexpr std::optional<ComputerLevel> EasierLevelToOffer(const GameState& state,
                                                          ComputerLevel level) {
  if (state.twoPlayerMode != kFalse || state.p2Score < 4 || level == kEasiestLevel) {
    return std::nullopt;
  }
  const int steps = state.p1Score <= 1 ? 2 : 1;
  return static_cast<ComputerLevel>(
      std::min(static_cast<int>(level) + steps, static_cast<int>(kEasiestLevel)));
}

// Player 1 and the ball as the computer saw them on one of its turns.
struct CourtView {
  std::int16_t p1X = 0;
  std::int16_t p1Y = 0;
  std::int16_t ballX = 0;
  std::int16_t ballY = 0;
  std::int16_t p1HasBall = 0;
  std::int16_t p1Shooting = 0;
  std::int16_t p1ShotTicks = 0;
  std::int16_t p1ShotStyle = 0;
  std::int16_t p1ShotInFlight = 0;
  std::int16_t looseBallLeft = 0;
  std::int16_t looseBallRight = 0;
};

// What the computer remembers between its turns: the court as it saw it on its latest turns,
// by turn number. Plain values, so a moment of play copies it as it is; start-up forgets it.
struct ComputerMemory {
  std::array<CourtView, kMaxSightDelay + 1> views{};
};

// Everything a tick depends on besides its inputs, as one fixed-size value: the record, the
// random source's position, the computer's level, turns and memory of the court, and whether the
// program has ended. Taken and put back to run ticks again from an earlier one (online play goes
// back this way when the other side's real keys arrive). Its layout belongs to one build: never
// written or sent.
struct GameSnapshot {
  GameState state;
  RandomSnapshot random;
  std::uint32_t computerTurns = 0;
  ComputerMemory computerMemory;
  ComputerLevel computerLevel = ComputerLevel::Original;
  bool ended = false;
};

// The court window's handlers and every game routine. All of them talk through `state`, the
// platform and the random source, and nothing else.
class Game {
 public:
  Game(Platform& platform, RandomSource& random);

  GameState state;  // the one record every routine reads and writes

  // court window handlers
  void Form_Load();
  void Form_KeyPress(int keyAscii);           // character code, 27 = Esc
  void Form_KeyDown(int keyCode, int shift);  // virtual-key codes: arrows 37..40, letters 'A'..'Z'
  void Form_KeyUp(int keyCode, int shift);
  void Timer1_Timer();
  bool Ended() const;  // true once the program has ended: handlers then do nothing

  // game routines: no arguments, no result, public so tests can run one at a time
  void NewGame();
  void SetCourtPositions();
  void RunFrame();
  void UpdateBallFlight();
  void UpdatePlayer1();
  void UpdatePlayer2();
  void DrawLooseBall();
  void CallOffensiveFoul();
  void ChangePossession();
  void CallFoul();
  void AwardBasket();
  void DrawMaskedSprite(int mask, int image, int x, int y);  // Form2 picture numbers
  void DrawOpaquePicture(int picture, int x, int y);         // Form2 picture number

  // For the routines in the subject files: one fresh random value per rule, and the window
  // system for messages.
  double NextRandom() { return random_.Next(); }
  Platform& platform() { return platform_; }

  // Takes effect from the next tick; what the computer has seen so far stays seen.
  void SetComputerLevel(ComputerLevel level) { computerLevel_ = level; }
  ComputerLevel computerLevel() const { return computerLevel_; }
  // What holds Player 2 back now: nothing when a person plays him.
  ComputerHandicap computerHandicap() const {
    return HandicapOf(state.twoPlayerMode != kFalse ? ComputerLevel::Original : computerLevel_);
  }
  // Ticks on which the computer had its place in Player 2's controller since start-up: the count
  // its memory of the court is kept by.
  std::uint32_t computerTurns() const { return computerTurns_; }
  ComputerMemory& computerMemory() { return computerMemory_; }

  // Where the game stands, and back to it: false when the random source cannot go back (one
  // that plays back a script), and then nothing is put back.
  bool Save(GameSnapshot& into) const;
  bool Restore(const GameSnapshot& from);

 private:
  void EndProgram();

  Platform& platform_;
  RandomSource& random_;
  bool ended_ = false;
  ComputerLevel computerLevel_ = ComputerLevel::Original;
  std::uint32_t computerTurns_ = 0;
  ComputerMemory computerMemory_;
};

}  // namespace tandemhoop
