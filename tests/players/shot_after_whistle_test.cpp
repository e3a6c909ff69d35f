#include <gtest/gtest.h>

#include "game/game.h"
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

}  // namespace
}  // namespace tandemhoop
