#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/game.h"
#include "game/platform.h"
#include "screens/selection.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::testing {

// A small, fast generator with all its state in one word, so a moment of play can be copied.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed = 0) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool OneIn(int n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

// The game's random values from SplitMix64: copyable, reseeded by start-up like the real one.
class SmallRandom final : public RandomSource {
 public:
  explicit SmallRandom(std::uint64_t seed = 0) : generator_(seed) {}
  double Next() override { return generator_.Uniform(); }
  void Seed(std::uint32_t seed) override { generator_ = SplitMix64(seed); }

 private:
  SplitMix64 generator_;
};

// The selection screen's boxes in fixed buffers: nothing here allocates.
class FixedSelectionView : public SelectionView {
 public:
  void SetText1(std::string_view text) override { Store(text1_, length1_, text); }
  void SetText2(std::string_view text) override { Store(text2_, length2_, text); }
  void HideScreen() override { hidden = true; }
  std::string_view text1() const { return {text1_.data(), length1_}; }
  std::string_view text2() const { return {text2_.data(), length2_}; }
  bool shown = false;
  bool hidden = false;

 private:
  static void Store(std::array<char, 32>& buffer, std::size_t& length, std::string_view text) {
    length = text.copy(buffer.data(), buffer.size());
  }
  std::array<char, 32> text1_{};
  std::array<char, 32> text2_{};
  std::size_t length1_ = 0;
  std::size_t length2_ = 0;
};

// A key of the random player's keyboard.
struct PlayerKey {
  int code;    // virtual-key code
  int lower;   // character of the key alone, 0 for none (arrows, Shift, F1)
  int upper;   // character with Shift
  int weight;  // how often it is pressed, relative to the others
};

// How the runs of the program have gone so far.
struct PlayStats {
  long long ticks = 0;
  long long runs = 0;  // programs started
  long long player1Wins = 0;
  long long player2Wins = 0;
  long long computerWins = 0;
  long long quits = 0;  // Esc answered Yes
  long long fouls = 0;  // fouls and offensive fouls
  long long baskets = 0;
  long long escapes = 0;
  long long keyDowns = 0;
  long long keyUps = 0;
  long long clicks = 0;
  long long gamesFinished() const { return player1Wins + player2Wins + computerWins; }
};

// A random player at the keyboard and the mouse: presses, holds (with auto-repeat) and
// releases every game key and a few others, presses Esc now and then and answers the quit
// question (Yes rarely), and clicks every control of the selection screen in random order while
// it is shown. Message boxes are closed at once. When a run of the program ends (a win or Yes)
// the next one starts on the same platform. Nothing here allocates once it is built.
class RandomPlayer : public PlatformObserver {
 public:
  RandomPlayer(RasterPlatform& platform, RandomSource& gameRandom, std::uint64_t seed);
  ~RandomPlayer() override;
  RandomPlayer(const RandomPlayer&) = delete;
  RandomPlayer& operator=(const RandomPlayer&) = delete;

  // What the player does between two ticks; true when the timer runs, so a tick is due.
  bool Events();
  // One tick of the court window's timer.
  void Tick();
  // Events, then the tick if one is due; true if a tick ran.
  bool Step() {
    if (!Events()) return false;
    Tick();
    return true;
  }

  // The player lets go of every key and steps away from the keyboard (the timer goes on), or
  // comes back to it.
  void StepAway();
  void ComeBack() { away_ = false; }

  Game& game() { return *game_; }
  const Game& game() const { return *game_; }
  const FixedSelectionView& view() const { return view_; }
  const PlayStats& stats() const { return stats_; }

  void OnShowSelection() override;
  void OnMessage(std::string_view text) override;
  bool OnAsk(std::string_view text) override;
  void OnEndProgram() override;

 private:
  void StartRun();
  void Press(const PlayerKey& key);
  void RandomKeys();
  void RandomClick();

  RasterPlatform& platform_;
  RandomSource& gameRandom_;
  SplitMix64 random_;
  FixedSelectionView view_;
  std::optional<Game> game_;
  std::optional<PlayerSelection> selection_;
  bool selectionLoaded_ = false;
  long long steps_ = 0;
  bool away_ = false;
  std::array<long long, 256> releaseAt_{};  // step at which a held key goes up; 0: not held
  PlayStats stats_;
};

}  // namespace tandemhoop::testing
