#include <gtest/gtest.h>

#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/state_diff.h"

namespace tandemhoop {
namespace {

class KeyInput : public ::testing::Test {
 protected:
  bool StateEquals(const GameState& other) const {
    return testing::StateDiff(other, game.state).empty();
  }
  testing::FakePlatform platform;
  testing::ScriptedRandom random;  // no key draws a random value
  Game game{platform, random};
};

TEST_F(KeyInput, MovementKeysAreLevelsFromDownToUp) {
  struct Row {
    int code;
    std::int16_t GameState::*flag;
  };
  const Row rows[] = {
      {37, &GameState::p1KeyLeft},  {38, &GameState::p1KeyUp},   {39, &GameState::p1KeyRight},
      {40, &GameState::p1KeyDown},  {70, &GameState::p2KeyLeft}, {84, &GameState::p2KeyUp},
      {72, &GameState::p2KeyRight}, {86, &GameState::p2KeyDown},
  };
  for (const Row& row : rows) {
    const GameState before = game.state;
    game.Form_KeyDown(row.code, 1);  // shift is not looked at
    EXPECT_EQ(game.state.*row.flag, kTrue) << row.code;
    GameState expected = before;
    expected.*row.flag = kTrue;
    EXPECT_TRUE(StateEquals(expected)) << "key " << row.code << " touched another field";
    game.Form_KeyDown(row.code, 0);  // auto-repeat keeps the level
    EXPECT_EQ(game.state.*row.flag, kTrue);
    game.Form_KeyUp(row.code, 0);
    EXPECT_EQ(game.state.*row.flag, kFalse);
    EXPECT_TRUE(StateEquals(before));
  }
  // Player 2's movement keys count in either mode: the computer's side reads them too.
  EXPECT_EQ(game.state.twoPlayerMode, kFalse);
}

TEST_F(KeyInput, OtherKeysAreIgnored) {
  game.state.p1HasBall = kTrue;
  game.state.playClock = 50;
  const GameState before = game.state;
  for (int code : {13, 27, 32, 48, 66, 90, 109, 97, 0, -1, 1000}) {
    game.Form_KeyDown(code, 0);
    game.Form_KeyUp(code, 0);
  }
  EXPECT_TRUE(StateEquals(before));
}

TEST_F(KeyInput, MShootsOnlyAfterTheRestartHasRunTenTicks) {
  game.state.p1HasBall = kTrue;
  game.state.playClock = 10;
  game.Form_KeyDown(77, 0);
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  EXPECT_EQ(game.state.p1Stealing, kFalse);
  EXPECT_EQ(game.state.p1Jumping, kFalse);
  game.state.playClock = 11;  // the next auto-repeated key-down starts the shot
  game.Form_KeyDown(77, 0);
  EXPECT_EQ(game.state.p1Shooting, kTrue);
}

TEST_F(KeyInput, MReachesForTheBallWhilePlayer2HoldsIt) {
  game.state.p2HasBall = kTrue;
  game.state.p2Shooting = kTrue;  // the steal comes first
  game.state.playClock = 50;
  game.Form_KeyDown(77, 0);
  EXPECT_EQ(game.state.p1Stealing, kTrue);
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  EXPECT_EQ(game.state.p1Jumping, kFalse);
}

TEST_F(KeyInput, MJumpsAtAShotFromInFrontOrNearTheBasket) {
  struct Case {
    std::int16_t p1Y, p2Y, style;
    bool jumps;
  };
  const Case cases[] = {
      {304, 300, kJumpShot, true}, {305, 300, kJumpShot, false}, {140, 100, kJumpShot, false},
      {144, 100, kDunk, true},     {145, 100, kDunk, false},     {144, 100, kLayUp, true},
      {145, 100, kLayUp, false},   {200, 300, kLayUp, true},
  };
  for (const Case& c : cases) {
    game.state = GameState{};
    game.state.p2Shooting = kTrue;
    game.state.p1Y = c.p1Y;
    game.state.p2Y = c.p2Y;
    game.state.p2ShotStyle = c.style;
    game.Form_KeyDown(77, 0);
    EXPECT_EQ(game.state.p1Jumping, c.jumps ? kTrue : kFalse)
        << c.p1Y << " vs " << c.p2Y << " style " << c.style;
  }
}

TEST_F(KeyInput, MDoesNothingWhenNobodyHasTheBallOrShoots) {
  game.state.playClock = 50;
  const GameState before = game.state;
  game.Form_KeyDown(77, 0);
  EXPECT_TRUE(StateEquals(before));
}

TEST_F(KeyInput, TheJumpTestFormsItsSumIn16Bits) {
  // 32767 + 5 wraps to -32764, so a player at y = 0 is not "in front" of it.
  game.state.p2Shooting = kTrue;
  game.state.p2Y = 32767;
  game.state.p1Y = 0;
  game.state.p2ShotStyle = kJumpShot;
  game.Form_KeyDown(77, 0);
  EXPECT_EQ(game.state.p1Jumping, kFalse);
}

TEST_F(KeyInput, ReleasingMEndsShotAndReachButNotAJump) {
  game.state.p1Shooting = kTrue;
  game.state.ballHidden = kTrue;
  game.state.p1Stealing = kTrue;
  game.state.p1Jumping = kTrue;
  game.Form_KeyUp(77, 0);
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  EXPECT_EQ(game.state.ballHidden, kFalse);
  EXPECT_EQ(game.state.p1Stealing, kFalse);
  EXPECT_EQ(game.state.p1Jumping, kTrue);
}

TEST_F(KeyInput, AActsOnlyInTwoPlayerMode) {
  game.state.p2HasBall = kTrue;
  game.state.playClock = 50;
  game.Form_KeyDown(65, 0);
  EXPECT_EQ(game.state.p2Shooting, kFalse);
  game.state = GameState{};
  game.state.p1Shooting = kTrue;
  game.Form_KeyDown(65, 0);
  EXPECT_EQ(game.state.p2Jumping, kFalse);
  // Its release still lowers Player 2's shot: a human can cancel the computer's jump shot.
  game.state.p2Shooting = kTrue;
  game.Form_KeyUp(65, 0);
  EXPECT_EQ(game.state.p2Shooting, kFalse);
}

TEST_F(KeyInput, AShootsOrJumpsInTwoPlayerMode) {
  game.state.twoPlayerMode = kTrue;
  game.state.p2HasBall = kTrue;
  game.state.playClock = 10;
  game.Form_KeyDown(65, 0);
  EXPECT_EQ(game.state.p2Shooting, kFalse);
  game.state.playClock = 11;
  game.Form_KeyDown(65, 0);
  EXPECT_EQ(game.state.p2Shooting, kTrue);
  game.Form_KeyUp(65, 0);
  EXPECT_EQ(game.state.p2Shooting, kFalse);

  // Against a shot Player 2 jumps from anywhere; there is no steal on his key.
  game.state = GameState{};
  game.state.twoPlayerMode = kTrue;
  game.state.p1Shooting = kTrue;
  game.state.p1Y = 100;
  game.state.p2Y = 450;
  game.Form_KeyDown(65, 0);
  EXPECT_EQ(game.state.p2Jumping, kTrue);

  game.state = GameState{};
  game.state.twoPlayerMode = kTrue;
  game.state.p1HasBall = kTrue;
  const GameState before = game.state;
  game.Form_KeyDown(65, 0);
  EXPECT_TRUE(StateEquals(before));
}

}  // namespace
}  // namespace tandemhoop
