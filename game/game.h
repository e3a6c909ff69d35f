#pragma once

#include <string_view>

#include "game/platform.h"
#include "game/state.h"

namespace tandemhoop {

// How strong the computer opponent is. Original is the game's own computer, deciding on every
// tick; the easier levels let it sit out some ticks. A setting of the game, not of its state.
enum class ComputerLevel : std::uint8_t { Original, Medium, Easy };
// Each level's name wherever it is written down (replays, settings), in the order above.
inline constexpr std::string_view kLevelNames[] = {"original", "medium", "easy"};

// How often the computer takes its turn at a level: on `acts` ticks of every `of`, spread as
// evenly as they go. The original computer is quick enough that a small share of ticks off
// makes it beatable: the levels were chosen by how often a simulated person, who reacts a
// quarter of a second late, beats them at the classic speed (bench/levels.cpp).
struct ComputerRhythm {
  std::uint32_t acts;
  std::uint32_t of;
};

constexpr ComputerRhythm RhythmOf(ComputerLevel level) {
  switch (level) {
    case ComputerLevel::Medium:
      return {8, 9};  // sits out one tick in nine
    case ComputerLevel::Easy:
      return {13, 15};  // two ticks in fifteen
    case ComputerLevel::Original:
      break;
  }
  return {1, 1};
}

// Whether the computer takes the turn numbered `turn` (0 for the first tick of play against
// it). Depends on nothing but the level and the count, so a replay acts on the same ticks.
constexpr bool ComputerActsOnTurn(ComputerLevel level, std::uint32_t turn) {
  const ComputerRhythm rhythm = RhythmOf(level);
  return (turn % rhythm.of) * rhythm.acts % rhythm.of < rhythm.acts;
}

// Everything a tick depends on besides its inputs, as one fixed-size value: the record, the
// random source's position, the computer's level and rhythm, and whether the program has ended.
// Taken and put back to run ticks again from an earlier one (online play goes back this way when
// the other side's real keys arrive). Its layout belongs to one build: never written or sent.
struct GameSnapshot {
  GameState state;
  RandomSnapshot random;
  std::uint32_t computerTurns = 0;
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

  // Takes effect from the next tick; the rhythm goes on counting from where it is.
  void SetComputerLevel(ComputerLevel level) { computerLevel_ = level; }
  ComputerLevel computerLevel() const { return computerLevel_; }
  // Ticks on which the computer had its place in Player 2's controller since start-up, taken
  // or sat out: the count its rhythm runs on.
  std::uint32_t computerTurns() const { return computerTurns_; }

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
};

}  // namespace tandemhoop
