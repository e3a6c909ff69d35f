#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "game/fnv.h"
#include "game/game.h"
#include "game/keys.h"
#include "game/mt_random.h"
#include "screens/selection.h"
#include "tests/players/player2_rig.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/random_player.h"
#include "tests/support/simulated_player.h"
#include "tests/support/state_diff.h"

namespace tandemhoop::testing {
namespace {

using namespace keys;

// FNV-1a over everything a game shows and keeps: every copy, print and message, and the whole
// state after every tick. Nothing is stored, so a long game costs no memory.
class Fingerprint {
 public:
  void Add(std::int64_t value) { hash_.AddLittleEndian(static_cast<std::uint64_t>(value), 8); }
  void Add(std::string_view text) {
    for (const char c : text)
      Add(static_cast<std::int64_t>(c));
  }
  void Add(const GameState& state) {
    for (const StateField& field : StateFields())
      Add(state.*field.field);
  }
  std::uint64_t value() const { return hash_.value(); }

 private:
  Fnv1a64 hash_;
};

class FingerprintPlatform : public Platform {
 public:
  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source,
                      RasterOp op) override {
    for (const int value : {x, y, width, height, static_cast<int>(source.form),
                            static_cast<int>(source.index), static_cast<int>(op)})
      print.Add(value);
    return 1;
  }
  int DrawingWidth() const override { return 727; }
  int DrawingHeight() const override { return 542; }
  void SetTextPosition(int x, int y) override {
    print.Add(x);
    print.Add(y);
  }
  void Print(std::string_view line) override { print.Add(line); }
  void SetTimerEnabled(bool enabled) override { timer = enabled; }
  bool TimerEnabled() const override { return timer; }
  void CentreCourtWindow() override {}
  void ShowSelectionScreen() override { ++selectionShown; }
  void ShowMessage(std::string_view text) override {
    print.Add(text);
    lastMessage = text;
  }
  bool AskYesNo(std::string_view /*text*/) override { return false; }
  void EndProgram() override {}
  std::uint32_t SecondsSinceMidnight() const override { return 40'000; }

  Fingerprint print;
  bool timer = false;
  int selectionShown = 0;
  std::string_view lastMessage;
};

struct ScriptedOutcome {
  std::uint64_t fingerprint;
  int ticks;
  std::string_view message;
};

// A whole game against the computer with a fixed script of held arrows and shots, played to
// its end or 30,000 ticks. `beforePlay` runs on the selection screen, `atTick` on every tick.
template <typename AtTick>
ScriptedOutcome PlayScriptedGame(ComputerLevel level, AtTick atTick) {
  FingerprintPlatform platform;
  MtRandom random;
  Game game(platform, random);
  FakeSelectionView view;
  PlayerSelection selection(game.state, view);
  game.SetComputerLevel(level);
  game.Form_Load();
  game.Form_KeyPress('x');
  game.Timer1_Timer();
  selection.Form_Load();
  selection.Label4_Click();
  selection.Picture50_Click();
  selection.Command3_Click();

  SplitMix64 script(7);
  constexpr int kKeys[] = {kLeft, kUp, kRight, kDown, kKeyM};
  int held = 0;
  int releaseAt = 0;
  int tick = 0;
  for (; tick < 30'000 && !game.Ended(); ++tick) {
    if (held != 0 && tick >= releaseAt) {
      game.Form_KeyUp(held, 0);
      held = 0;
    }
    if (held == 0 && script.OneIn(3)) {
      held = kKeys[script.Below(5)];
      releaseAt = tick + 1 + script.Below(held == kKeyM ? 10 : 6);
      game.Form_KeyDown(held, 0);
    }
    atTick(game, tick);
    game.Timer1_Timer();
    platform.print.Add(game.state);
  }
  return {platform.print.value(), tick, platform.lastMessage};
}

// Recorded before the levels existed. A deliberate change to a rule of the game moves it; a
// change to the computer levels must not.
constexpr std::uint64_t kOriginalFingerprint = 1861561379393999758ull;

TEST(ComputerLevelOriginal, PlaysDrawsAndPrintsExactlyAsBeforeTheLevels) {
  const ScriptedOutcome untouched = PlayScriptedGame(ComputerLevel::Original, [](Game&, int) {});
  EXPECT_EQ(untouched.message, "Computer Wins");
  EXPECT_EQ(untouched.fingerprint, kOriginalFingerprint) << "after " << untouched.ticks << " ticks";

  // Chosen back after another level, Original is the same game: the rhythm's count keeps
  // nothing that shows.
  const ScriptedOutcome chosenBack =
      PlayScriptedGame(ComputerLevel::Easy, [](Game& game, int tick) {
        if (tick == 0) game.SetComputerLevel(ComputerLevel::Original);
      });
  EXPECT_EQ(chosenBack.fingerprint, untouched.fingerprint);

  const ScriptedOutcome easy = PlayScriptedGame(ComputerLevel::Easy, [](Game&, int) {});
  EXPECT_NE(easy.fingerprint, untouched.fingerprint) << "the same script against Easy";
}

// Player 1 is building a jump shot on its first tick, far from Player 2: the computer's turn
// draws its two values and decides nothing (no jump yet), and Player 2's pose draws one.
struct ContestRig : Player2Rig {
  explicit ContestRig(ComputerLevel level) {
    game.SetComputerLevel(level);
    s.twoPlayerMode = kFalse;
    s.p1Shooting = kTrue;
    s.p1ShotTicks = 1;
    s.p1ShotStyle = kJumpShot;
    s.p2Y = 250;
  }
  // One tick of Player 2's controller with both side flags raised, as a human may leave them
  // in this mode; true if the computer took its turn (its first act clears the left flag).
  bool Turn(bool expectAct) {
    s.p2KeyLeft = kTrue;
    s.p2KeyRight = kTrue;
    if (expectAct) {
      Tick({0.5, 0.5, 0.5});
    } else {
      Tick({0.5});  // no value of the computer's is drawn
    }
    return s.p2KeyLeft == kFalse;
  }
};

// The ticks each level sits out, over two of its cycles: `.` off, `x` on.
void ExpectRhythm(ComputerLevel level, std::string_view pattern) {
  ContestRig rig(level);
  for (std::size_t turn = 0; turn < pattern.size(); ++turn) {
    const bool acts = pattern[turn] == 'x';
    EXPECT_EQ(rig.Turn(acts), acts) << "turn " << turn;
  }
  EXPECT_EQ(rig.game.computerTurns(), pattern.size());
}

TEST(ComputerLevels, TheComputerTakesExactlyTheTurnsOfItsRhythmAndDrawsNothingOnTheOthers) {
  ExpectRhythm(ComputerLevel::Original, "xxxxxxxxxxxxxxxxxx");
  ExpectRhythm(ComputerLevel::Medium, "x.xxxxxxxx.xxxxxxx");
  ExpectRhythm(ComputerLevel::Easy, "x.xxxxxx.xxxxxxx.xxxxxx.xxxxxx");
}

TEST(ComputerLevels, TwoPlayersCountNoTurnsAndAChangedLevelGoesOnFromTheCount) {
  ContestRig rig(ComputerLevel::Easy);
  rig.s.twoPlayerMode = kTrue;
  rig.Tick({0.5});
  EXPECT_EQ(rig.game.computerTurns(), 0u) << "no computer in a game of two people";
  rig.s.twoPlayerMode = kFalse;
  EXPECT_TRUE(rig.Turn(true));
  EXPECT_FALSE(rig.Turn(false));
  rig.game.SetComputerLevel(ComputerLevel::Medium);
  EXPECT_TRUE(rig.Turn(true)) << "Medium's third turn";
  rig.game.SetComputerLevel(ComputerLevel::Original);
  EXPECT_TRUE(rig.Turn(true));
}

TEST(ComputerLevels, StartUpCountsTheRhythmFromTheBeginningAgain) {
  FakePlatform platform;
  RepeatingRandom random{0.5};
  Game game(platform, random);
  game.state.twoPlayerMode = kFalse;
  game.UpdatePlayer2();
  ASSERT_EQ(game.computerTurns(), 1u);
  game.Form_Load();
  EXPECT_EQ(game.computerTurns(), 0u);
}

// The simulated person: the same seed plays the same game, and it beats the easiest computer
// more often than the original one (the full figures are bench/levels.cpp's).
TEST(SimulatedPlayer, PlaysReproducibleGamesAndFaresBetterAgainstEasierLevels) {
  const SimulatedGame once = PlaySimulatedGame(ComputerLevel::Easy, Speed::Classic, 3);
  const SimulatedGame again = PlaySimulatedGame(ComputerLevel::Easy, Speed::Classic, 3);
  EXPECT_EQ(once.ticks, again.ticks);
  EXPECT_EQ(once.p1Score, again.p1Score);
  EXPECT_EQ(once.p2Score, again.p2Score);
  EXPECT_FALSE(once.capped);
  EXPECT_TRUE(once.won == (once.p1Score == 4));

  int originalWins = 0;
  int easyWins = 0;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    originalWins += PlaySimulatedGame(ComputerLevel::Original, Speed::Classic, seed).won ? 1 : 0;
    easyWins += PlaySimulatedGame(ComputerLevel::Easy, Speed::Classic, seed).won ? 1 : 0;
  }
  EXPECT_LT(originalWins, 10);
  EXPECT_GT(easyWins, originalWins + 5);
}

}  // namespace
}  // namespace tandemhoop::testing
