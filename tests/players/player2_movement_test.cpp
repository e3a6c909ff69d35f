#include <gtest/gtest.h>

#include <algorithm>

#include "tests/players/player2_rig.h"

namespace tandemhoop::testing {
namespace {

constexpr int kKeyA = 65, kKeyF = 70, kKeyH = 72, kKeyT = 84, kKeyV = 86;

bool BodyDrawnAt(const Player2Rig& rig, int image, int x, int y) {
  const auto pictures = rig.Pictures();
  return std::find_if(pictures.begin(), pictures.end(), [&](const Drawn& d) {
           return d.image == image && d.x == x && d.y == y;
         }) != pictures.end();
}

TEST(Player2Walking, KeysStopAtHisOwnLimits) {
  Player2Rig rig;
  rig.s.p2X = 5;
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 0);
  rig.game.Form_KeyUp(kKeyF, 0);

  rig.s.p2X = 635;
  rig.game.Form_KeyDown(kKeyH, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 640);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 640) << "the court goes to 655, his walking only to 640";
  rig.game.Form_KeyUp(kKeyH, 0);

  rig.s.p2Y = 440;
  rig.game.Form_KeyDown(kKeyV, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 450);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 450);
}

TEST(Player2Walking, HoldingUpAtTheTopLineKeepsHimOnIt) {
  Player2Rig rig;
  rig.s.p2Y = 130;
  rig.game.Form_KeyDown(kKeyT, 0);
  for (int tick = 0; tick < 3; ++tick) {
    rig.Tick({kQuiet, kQuiet});
    EXPECT_EQ(rig.s.p2Y, 130);
    EXPECT_TRUE(BodyDrawnAt(rig, 7, 500, 130)) << "the step to 115 is undone before drawing";
  }
}

TEST(Player2Walking, TwoKeysTogetherMoveHimDiagonally) {
  Player2Rig rig;
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 485);
  EXPECT_EQ(rig.s.p2Y, 285);
}

TEST(Player2Walking, CarrierChargingUpIntoPlayer1IsHisOffensiveFoul) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 300;
  rig.s.p2Y = 310;
  rig.game.Form_KeyDown(kKeyT, 0);
  // The restart gives Player 1 the ball below Player 2, who then faces him.
  rig.Tick({kQuiet});
  ASSERT_EQ(rig.platform.messages.size(), 1u);
  EXPECT_EQ(rig.platform.messages[0], "Player 2 - Offensive Foul");
  EXPECT_EQ(rig.s.p2KeyUp, kFalse);
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
  EXPECT_EQ(rig.s.p2X, 550);
  EXPECT_EQ(rig.s.p2Y, 350);
}

TEST(Player2Walking, CarrierLevelWithPlayer1OnlyStops) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 300;
  rig.s.p2Y = 300;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p2Y, 300);
  EXPECT_EQ(rig.s.p2KeyUp, kTrue) << "Up stays effective at equal height";

  // A Player 1 in the air does not stand in the way.
  rig.s.p2Y = 310;
  rig.s.p1Jumping = kTrue;
  rig.Tick({kQuiet, kQuiet});
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p2Y, 295);
}

TEST(Player2Walking, RunningIntoAShootingPlayer1IsAFoul) {
  Player2Rig rig;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p1Shooting = kTrue;
  rig.s.p2X = 300;
  rig.s.p2Y = 320;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 320);
  EXPECT_EQ(rig.s.p2KeyUp, kFalse);
  EXPECT_EQ(rig.s.p1Shooting, kFalse) << "the foul stops the shooting motion";

  // One pixel further out than 30 the way is free.
  rig.s.p1Shooting = kTrue;
  rig.s.p2X = 331;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet});  // facing the shooter in front of him
  EXPECT_EQ(rig.s.p2Y, 305);
  EXPECT_EQ(rig.s.p1Shooting, kTrue);
}

TEST(Player2Walking, RunningIntoAShooterWhoseBallIsUpChargesTheShooter) {
  Player2Rig rig;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p1ShotInFlight = kTrue;
  rig.s.p2X = 300;
  rig.s.p2Y = 320;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  ASSERT_EQ(rig.platform.messages.size(), 1u);
  EXPECT_EQ(rig.platform.messages[0], "FOUL: Player 1");
}

TEST(Player2Walking, RunningUpIntoPlayer1WithoutTheBallIsAFoul) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 275;  // 25 to the left: still in his way
  rig.s.p2Y = 310;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet});
  ASSERT_EQ(rig.platform.messages.size(), 1u);
  EXPECT_EQ(rig.platform.messages[0], "FOUL: Player 2");
  EXPECT_EQ(rig.s.p1X, 670);
  EXPECT_EQ(rig.s.p2X, 550);
}

TEST(Player2Walking, PassingBesidePlayer1IsNoFoul) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 274;
  rig.s.p2Y = 310;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet});
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p2Y, 295);
}

TEST(Player2Walking, AgainstTheComputerTheKeysMoveNothingButStillCount) {
  Player2Rig rig;
  rig.s.twoPlayerMode = kFalse;
  rig.s.playClock = 10;  // the computer is still waiting to attack
  rig.s.p2HasBall = kTrue;
  rig.s.p2X = 400;
  rig.s.p2Y = 300;
  rig.game.Form_KeyDown(kKeyH, 0);
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.game.Form_KeyDown(kKeyA, 0);  // no shot from the keyboard in this mode
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 400);
  EXPECT_EQ(rig.s.p2Y, 300);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_EQ(rig.s.p2Dribbling, kTrue);
  EXPECT_EQ(rig.s.rightHeldTicks, 1);
  EXPECT_EQ(rig.s.ballX, 460) << "dribbled on his right";
  EXPECT_TRUE(BodyDrawnAt(rig, 60, 400, 300)) << "walking pose while Up is held";
}

TEST(Player2WalkFrame, RunsANineTickCycleAndKeepsItsPlaceWhenUpIsLetGo) {
  Player2Rig rig;
  rig.s.p2Y = 450;
  rig.game.Form_KeyDown(kKeyT, 0);
  const int expected[] = {1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2};
  for (int frame : expected) {
    rig.Tick({kQuiet, kQuiet});
    EXPECT_EQ(rig.s.p2WalkFrame, frame);
  }
  rig.game.Form_KeyUp(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2WalkFrame, 2);
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2WalkFrame, 3);
}

TEST(Player2Order, HeWalksBeforeHisShotIsBuilt) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.p2X = 300;
  rig.s.p2Y = 400;
  rig.game.Form_KeyDown(kKeyH, 0);
  rig.game.Form_KeyDown(kKeyA, 0);
  rig.Tick({});
  EXPECT_EQ(rig.s.p2X, 315);
  EXPECT_EQ(rig.s.p2ShotTicks, 1);
  EXPECT_EQ(rig.s.ballX, 350) << "the shot starts from where the step took him";
  EXPECT_EQ(rig.s.p2KeyRight, kFalse) << "a key held into the shot must be pressed again";
}

TEST(Player2Order, HoldingTheBallTakesItAwayFromPlayer1) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 100;
  rig.s.p1Y = 100;
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p1HasBall, kFalse);
}

TEST(Player2Order, ADribbleLostToPlayer1EndsAfterTheFrameIsDrawn) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.p2Dribbling = kTrue;
  rig.s.p1Stealing = kTrue;
  rig.s.p1X = 500;
  rig.s.p1Y = 310;
  // The steal succeeds, no foul; then Player 1 holds the ball in front of him.
  rig.Tick({0.01, 0.5, kQuiet});
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
  EXPECT_EQ(rig.s.p2Dribbling, kFalse);
  const auto pictures = rig.Pictures();
  EXPECT_EQ(pictures.back(), (Drawn{64, 65, 570, 335})) << "his hand is still drawn this frame";
}

}  // namespace
}  // namespace tandemhoop::testing
