#include <gtest/gtest.h>

#include "game/game.h"
#include "game/keys.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// A foul leaves a shot's tick count behind. When the shooting key then comes up, the shot is
// called off, and calling it off must not hand back a ball the referee has given away.
class ShotAfterWhistle : public ::testing::Test {
 protected:
  ShotAfterWhistle() {
    game.NewGame();
    GameState& s = game.state;
    s.playClock = 20;
    s.twoPlayerMode = kTrue;
    s.p1X = 670;
    s.p1Y = 450;
    s.p2X = 100;
    s.p2Y = 200;
    s.p1HasBall = kFalse;
    s.p2HasBall = kFalse;
  }
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game{platform, random};
};

TEST_F(ShotAfterWhistle, Player2sCalledOffShotLeavesPlayer1TheBall) {
  GameState& s = game.state;
  s.p1HasBall = kTrue;  // the offensive foul gave it to Player 1
  s.ballX = 670;
  s.ballY = 450;
  s.p2ShotTicks = 1;
  s.p2ShotStyle = kJumpShot;
  game.UpdatePlayer2();
  EXPECT_EQ(s.p1HasBall, kTrue);
  EXPECT_EQ(s.p2HasBall, kFalse);
  EXPECT_EQ(s.p2ShotTicks, 0);
  EXPECT_EQ(s.ballX, 670);  // not snatched into Player 2's hands
}

TEST_F(ShotAfterWhistle, Player1sCalledOffShotLeavesPlayer2TheBall) {
  GameState& s = game.state;
  s.p2HasBall = kTrue;  // the foul gave it to Player 2
  s.p1ShotTicks = 2;
  s.p1ShotStyle = kJumpShot;
  game.UpdatePlayer1();
  EXPECT_EQ(s.p2HasBall, kTrue);
  EXPECT_EQ(s.p1HasBall, kFalse);
  EXPECT_EQ(s.p1ShotTicks, 0);
}

TEST_F(ShotAfterWhistle, WithoutAWhistleTheShooterStillGetsTheBallBack) {
  GameState& s = game.state;
  s.p1ShotTicks = 2;
  s.p1ShotStyle = kJumpShot;
  game.UpdatePlayer1();
  EXPECT_EQ(s.p1HasBall, kTrue);

  s.p1HasBall = kFalse;
  s.p2ShotTicks = 2;
  s.p2ShotStyle = kJumpShot;
  game.UpdatePlayer2();
  EXPECT_EQ(s.p2HasBall, kTrue);
}

// The ball changes hands in the middle of a shooting motion: the motion is over. Whole ticks,
// driven by keys, as a player meets it.
class BallLostMidShot : public ::testing::Test {
 protected:
  BallLostMidShot() {
    game.NewGame();
    s.playClock = 50;
    s.twoPlayerMode = kTrue;
    s.p1Pick = 1;
    s.p2Pick = 2;
    s.p1HasBall = kFalse;
  }
  // Twelve ticks: long enough for any shot to have left the hands.
  void TicksWithoutAShot(std::int16_t GameState::*inFlight) {
    for (int tick = 0; tick < 12; ++tick) {
      game.Timer1_Timer();
      EXPECT_NE(s.*inFlight, kTrue) << "tick " << tick;
    }
  }
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.01};
  Game game{platform, random};
  GameState& s = game.state;
};

TEST_F(BallLostMidShot, Player2ChargingOnTheTickAWentDownShootsNothing) {
  s.p2HasBall = kTrue;
  s.p1X = 300;
  s.p1Y = 300;
  s.p2X = 300;
  s.p2Y = 310;
  game.Form_KeyDown(keys::kKeyT, 0);
  game.Form_KeyDown(keys::kKeyA, 0);  // A stays held from here on
  ASSERT_EQ(s.p2Shooting, kTrue);
  game.Timer1_Timer();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0], "Player 2 - Offensive Foul");
  EXPECT_EQ(s.p2Shooting, kFalse);
  EXPECT_EQ(s.p2ShotTicks, 0);
  TicksWithoutAShot(&GameState::p2ShotInFlight);
  EXPECT_EQ(s.p1HasBall, kTrue);
  EXPECT_EQ(s.p2HasBall, kFalse);
  EXPECT_EQ(s.ballX, s.p1X + 20);  // in Player 1's hands, not on its way to the rim
  EXPECT_EQ(s.ballY, s.p1Y);
}

TEST_F(BallLostMidShot, Player1RobbedOnTheTickMWentDownShootsNothing) {
  // Player 1 dribbles left into Player 2, who stands higher and so moves first: the dribbler
  // loses the ball to him (r x 100 < 3) in the tick that M went down.
  s.p1HasBall = kTrue;
  s.p1Dribbling = kTrue;
  s.p1X = 310;
  s.p1Y = 310;
  s.p2X = 300;
  s.p2Y = 300;
  game.Form_KeyDown(keys::kLeft, 0);
  game.Form_KeyDown(keys::kKeyM, 0);  // M stays held from here on
  ASSERT_EQ(s.p1Shooting, kTrue);
  game.Timer1_Timer();
  ASSERT_EQ(s.p2HasBall, kTrue);
  EXPECT_EQ(s.p1Shooting, kFalse);
  EXPECT_EQ(s.p1ShotTicks, 0);
  EXPECT_EQ(s.ballHidden, kFalse);
  TicksWithoutAShot(&GameState::p1ShotInFlight);
  EXPECT_EQ(s.p2HasBall, kTrue);
  EXPECT_EQ(s.p1HasBall, kFalse);
}

TEST_F(BallLostMidShot, ACalledOffDunkLeavesTheDunkerFreeToWalk) {
  s.p2HasBall = kTrue;
  s.p1ShotStyle = kDunk;
  s.p1ShotTicks = 3;
  s.p1Shooting = kTrue;
  s.p1X = 300;  // near the basket, well ahead of the defender
  s.p1Y = 150;
  s.p2X = 100;
  s.p2Y = 400;
  game.UpdatePlayer1();
  EXPECT_EQ(s.p1ShotStyle, kJumpShot);
  EXPECT_EQ(s.p1X, 300);  // not pulled up to the rim
  EXPECT_EQ(s.p1Y, 150);
}

}  // namespace
}  // namespace tandemhoop
