#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "game/fnv.h"
#include "game/game.h"
#include "game/keys.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "players/player2.h"
#include "screens/selection.h"
#include "tests/players/player2_rig.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_session.h"
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

constexpr ComputerLevel kLevels[] = {ComputerLevel::Original, ComputerLevel::Medium,
                                     ComputerLevel::Easy, ComputerLevel::Beginner};

// Player 2 against the computer at `level`, nobody holding the ball.
struct LevelRig : Player2Rig {
  explicit LevelRig(ComputerLevel level) {
    game.SetComputerLevel(level);
    s.twoPlayerMode = kFalse;
  }
  // The first tick of a shot of his from (x, y).
  void Shoot(std::int16_t x, std::int16_t y) {
    s.p2Shooting = kTrue;
    s.p2X = x;
    s.p2Y = y;
    player2::BuildUpShot(game);
  }
};

// A loose ball below Player 2, which he chases straight down the court; after some turns the
// ball is suddenly far to his right. Returns the turns on which he still stepped left.
int TurnsChasingWhereTheBallWas(LevelRig& rig) {
  rig.s.looseBallLeft = kTrue;
  rig.s.playClock = 3;  // too early to catch it
  rig.s.p2X = 300;
  rig.s.p2Y = 100;
  rig.s.ballX = 0;
  rig.s.ballY = 500;
  for (int turn = 0; turn < 3; ++turn)
    rig.Tick({kQuiet});  // his pose draws one value, the chase none
  rig.s.ballX = 650;
  int late = 0;
  for (int turn = 0; turn < 4; ++turn) {
    const int x = rig.s.p2X;
    rig.Tick({kQuiet});
    if (rig.s.p2X < x) ++late;
  }
  return late;
}

TEST(ComputerLevels, EasierComputersSeeTheCourtLater) {
  int previous = -1;
  for (const ComputerLevel level : kLevels) {
    LevelRig rig(level);
    const int late = TurnsChasingWhereTheBallWas(rig);
    EXPECT_EQ(late, HandicapOf(level).sightDelay) << kLevelNames[static_cast<int>(level)];
    EXPECT_GE(late, previous) << kLevelNames[static_cast<int>(level)];
    previous = late;
  }
  EXPECT_GT(previous, 0) << "the easiest computer reacts later than the original";

  // A game of two people has no computer: nothing is counted or remembered for it.
  LevelRig people(ComputerLevel::Beginner);
  people.s.twoPlayerMode = kTrue;
  people.Tick({kQuiet, kQuiet});  // his pose: the guard row, then the reach row
  EXPECT_EQ(people.game.computerTurns(), 0u);
}

TEST(ComputerLevels, StartUpCountsTheComputersTurnsFromTheBeginningAgain) {
  FakePlatform platform;
  RepeatingRandom random{0.5};
  Game game(platform, random);
  game.state.twoPlayerMode = kFalse;
  game.UpdatePlayer2();
  ASSERT_EQ(game.computerTurns(), 1u);
  game.Form_Load();
  EXPECT_EQ(game.computerTurns(), 0u);
}

// The computer's jump shot from (300, 400), its lay-up and its dunk: what each level makes of
// them, and how a ball drawn at r = 0.45 ends.
TEST(ComputerLevels, EasierComputersMissMoreAndLayUpWhereTheOriginalDunks) {
  int previous = 100;
  for (const ComputerLevel level : kLevels) {
    const std::string_view name = kLevelNames[static_cast<int>(level)];
    LevelRig jumpShot(level);
    jumpShot.Shoot(300, 400);
    EXPECT_LE(jumpShot.s.shotChance, previous) << name;
    previous = jumpShot.s.shotChance;

    LevelRig nearBasket(level);
    nearBasket.s.p1Y = 200;  // far behind him: room to dunk
    nearBasket.Shoot(300, 150);
    EXPECT_EQ(nearBasket.s.p2ShotStyle, HandicapOf(level).dunks ? kDunk : kLayUp) << name;
  }
  EXPECT_EQ(HandicapOf(ComputerLevel::Original).dunks, true);
  EXPECT_FALSE(HandicapOf(kEasiestLevel).dunks);

  // The same ball at the rim: in for the original computer, out for the easiest.
  for (const ComputerLevel level : {ComputerLevel::Original, kEasiestLevel}) {
    LevelRig rig(level);
    rig.Shoot(300, 400);
    rig.s.p2Shooting = kFalse;
    rig.s.p2ShotInFlight = kTrue;
    rig.s.ballY = 20;
    rig.random.Push({0.45, kQuiet});  // the chance, and a rebound's direction if it misses
    rig.game.UpdateBallFlight();
    EXPECT_EQ(rig.s.basketMade, level == ComputerLevel::Original ? kTrue : kFalse);
    rig.random.AllowUnused();
  }

  // A person playing Player 2 shoots as well at any level.
  LevelRig person(kEasiestLevel);
  person.s.twoPlayerMode = kTrue;
  person.Shoot(300, 400);
  EXPECT_EQ(person.s.shotChance, 55);
}

// Player 1 dribbles into him with an arrow held, and the value drawn is one the original
// computer steals with; Player 1's jump shot meets his block jump.
TEST(ComputerLevels, EasierComputersTakeTheBallLessOften) {
  for (const ComputerLevel level : kLevels) {
    const std::string_view name = kLevelNames[static_cast<int>(level)];
    LevelRig steal(level);
    steal.s.p1HasBall = kTrue;
    steal.s.p1Dribbling = kTrue;
    steal.s.p1KeyUp = kTrue;
    steal.s.p1X = 490;
    steal.s.p1Y = 290;
    steal.random.Push({0.02, kQuiet});
    player2::ResolveContact(steal.game);
    EXPECT_EQ(steal.s.p2HasBall, level == ComputerLevel::Original ? kTrue : kFalse) << name;

    LevelRig block(level);
    block.s.p1ShotInFlight = kTrue;
    block.s.p1ShotStyle = kJumpShot;
    block.s.p2Jumping = kTrue;
    block.s.p2JumpTicks = 2;
    block.s.p1X = 400;
    block.s.p1Y = 320;
    block.s.ballX = 500;
    block.s.ballY = 280;
    const int percent = HandicapOf(level).blockPercent;
    // The original blocks without a draw of its own; an easier one draws for it first.
    if (percent < 100) block.random.Push(0.5);
    block.random.Push(0.9);  // knocked away, if blocked
    player2::TryBlock(block.game);
    EXPECT_EQ(block.s.p1ShotInFlight, level == ComputerLevel::Original ? kFalse : kTrue) << name;
    block.random.AllowUnused();
  }
  EXPECT_EQ(HandicapOf(kEasiestLevel).stealPercent, 0);
  EXPECT_EQ(HandicapOf(kEasiestLevel).blockPercent, 0);
}

TEST(ComputerLevels, ALostGameOffersAnEasierLevelTwoEasierAfterAHeavyDefeat) {
  GameState lost;
  lost.twoPlayerMode = kFalse;
  lost.p2Score = 4;
  lost.p1Score = 3;
  EXPECT_EQ(EasierLevelToOffer(lost, ComputerLevel::Original), ComputerLevel::Medium);
  EXPECT_EQ(EasierLevelToOffer(lost, ComputerLevel::Easy), ComputerLevel::Beginner);
  EXPECT_EQ(EasierLevelToOffer(lost, ComputerLevel::Beginner), std::nullopt);
  lost.p1Score = 1;
  EXPECT_EQ(EasierLevelToOffer(lost, ComputerLevel::Original), ComputerLevel::Easy);
  EXPECT_EQ(EasierLevelToOffer(lost, ComputerLevel::Easy), ComputerLevel::Beginner);

  GameState going = lost;
  going.p2Score = 3;
  EXPECT_EQ(EasierLevelToOffer(going, ComputerLevel::Original), std::nullopt);
  GameState people = lost;
  people.twoPlayerMode = kTrue;
  EXPECT_EQ(EasierLevelToOffer(people, ComputerLevel::Original), std::nullopt);
}

// Recorded at each level (the script changes the level once on the way), every game plays back
// to the same end.
TEST(ComputerLevels, AGameAtEveryLevelPlaysBackAsRecorded) {
  PictureSet pictures;
  MakeSyntheticPictures(pictures);
  for (const ComputerLevel level : kLevels) {
    RasterPlatform platform(pictures);
    platform.secondsSinceMidnight = 41'000;
    ScriptedSession session(platform, 9, /*twoPlayers=*/false);
    session.game.SetComputerLevel(level);
    while (session.recorder.ticks() < 3000 && session.Step()) {
    }
    Replay replay;
    std::string error;
    ASSERT_TRUE(ReadReplay(session.recorder.Text(), replay, error)) << error;
    EXPECT_EQ(replay.header.level, level);
    const VerifyResult verified = VerifyReplay(replay);
    EXPECT_TRUE(verified.matches) << kLevelNames[static_cast<int>(level)] << ": "
                                  << verified.mismatch;
  }
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
