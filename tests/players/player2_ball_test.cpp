#include <gtest/gtest.h>

#include "tests/players/player2_rig.h"

namespace tandemhoop::testing {
namespace {

constexpr int kKeyA = 65, kKeyF = 70, kKeyH = 72;
constexpr double kAimHigh = 0.9;  // r x 5 >= 2: 35 above the rim
constexpr double kAimLow = 0.1;   // r x 5 < 2: at the rim

// Player 2 holding the ball at (x, y), Player 1 on the floor at (100, p1Y).
Player2Rig& WithBall(Player2Rig& rig, std::int16_t x, std::int16_t y, std::int16_t p1Y = 300) {
  rig.s.p2HasBall = kTrue;
  rig.s.p2X = x;
  rig.s.p2Y = y;
  rig.s.ballX = static_cast<std::int16_t>(x + 15);
  rig.s.ballY = y;
  rig.s.p1X = 100;
  rig.s.p1Y = p1Y;
  return rig;
}

void PressA(Player2Rig& rig) {
  rig.game.Form_KeyDown(kKeyA, 0);
}
void ReleaseA(Player2Rig& rig) {
  rig.game.Form_KeyUp(kKeyA, 0);
}

TEST(Player2JumpShot, RisesOnTickSevenAndLetsGoOnTickEight) {
  Player2Rig rig;
  WithBall(rig, 300, 400);
  PressA(rig);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({});
    EXPECT_EQ(rig.s.p2ShotTicks, tick);
    EXPECT_EQ(rig.s.p2ShotStyle, kJumpShot);
    EXPECT_EQ(rig.s.p2HasBall, kFalse);
    EXPECT_EQ(rig.s.ballHidden, kTrue);
    EXPECT_EQ(rig.s.lastShooterP1, kFalse);
    EXPECT_EQ(rig.s.ballX, 335);
    EXPECT_EQ(rig.s.ballY, 400);
    EXPECT_EQ(rig.s.shotChance, 55);
    EXPECT_EQ(rig.s.p2Jumping, kFalse);
  }
  rig.Tick({});
  EXPECT_EQ(rig.s.p2Jumping, kTrue);
  EXPECT_EQ(rig.s.p2Y, 400) << "the jump raised on tick 7 starts on the next tick";
  EXPECT_EQ(rig.s.p2ShotInFlight, kFalse);

  // Tick 8: up 20, the ball leaves from (x + 35, y) and makes its first step at once.
  rig.Tick({kAimHigh, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 380);
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_EQ(rig.s.p2ShotTicks, 0);
  EXPECT_EQ(rig.s.ballHidden, kFalse);
  EXPECT_EQ(rig.s.ballY, 300);  // 380 - (380 - 15 + 35) / 5
  EXPECT_EQ(rig.s.ballX, 345);  // 335 + (385 - 335) / 5

  rig.Tick({kAimLow, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 402) << "the hop lands 2 lower than it took off";
  EXPECT_EQ(rig.s.p2Jumping, kFalse);
  EXPECT_EQ(rig.s.ballY, 243);  // 300 - (300 - 15) / 5
  EXPECT_EQ(rig.s.ballX, 353);  // 345 + 8
}

TEST(Player2JumpShot, ChanceDependsOnTheEdgeAndOnPlayer1BeingInTheAir) {
  const struct {
    std::int16_t x, y;
    bool defenderUp;
    std::int16_t chance;
  } cases[] = {{300, 400, false, 55}, {300, 400, true, 50},  {10, 400, false, 15},
               {10, 400, true, 10},   {571, 300, false, 15}, {300, 476, false, 15},
               {570, 475, false, 55}};
  for (const auto& c : cases) {
    Player2Rig rig;
    WithBall(rig, c.x, c.y);
    rig.s.p1Jumping = c.defenderUp ? kTrue : kFalse;
    PressA(rig);
    rig.Tick({});
    EXPECT_EQ(rig.s.shotChance, c.chance) << c.x << "," << c.y << " defender up " << c.defenderUp;
  }
}

TEST(Player2JumpShot, ReleasedBeforeTickSixHeKeepsTheBall) {
  Player2Rig rig;
  WithBall(rig, 300, 400);
  PressA(rig);
  for (int tick = 0; tick < 5; ++tick)
    rig.Tick({});
  ReleaseA(rig);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_EQ(rig.s.p2ShotTicks, 0);
  EXPECT_EQ(rig.s.ballHidden, kFalse);
  EXPECT_EQ(rig.s.p2ShotInFlight, kFalse);
  EXPECT_EQ(rig.Pictures().front(), (Drawn{1, 2, 335, 400}));
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballX, 315) << "back in his hand";
  EXPECT_EQ(rig.s.ballY, 400);
}

TEST(Player2JumpShot, ADribblerWhoCancelsHisShotCannotWalkAgain) {
  Player2Rig rig;
  WithBall(rig, 300, 400);
  rig.s.p2Dribbling = kTrue;
  PressA(rig);
  for (int tick = 0; tick < 5; ++tick)
    rig.Tick({});
  ReleaseA(rig);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.dribblePickedUp, kTrue);
  rig.game.Form_KeyDown(kKeyH, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 300);
  EXPECT_EQ(rig.s.ballX, 335) << "the ball stays where the shot left it";
  EXPECT_EQ(rig.s.p2Dribbling, kFalse);
}

TEST(Player2JumpShot, ReleasedFromTickSixTheBallGoes) {
  Player2Rig rig;
  WithBall(rig, 300, 400);
  PressA(rig);
  for (int tick = 0; tick < 6; ++tick)
    rig.Tick({});
  ReleaseA(rig);
  rig.Tick({kAimHigh, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.p2ShotTicks, 0);
  EXPECT_EQ(rig.s.p2Jumping, kFalse) << "let go before the jump";
}

TEST(Player2JumpShot, ALevelDefenderNearTheBasketHoldsTheShotUntilTickSeven) {
  Player2Rig rig;
  WithBall(rig, 300, 150, /*p1Y=*/150);
  rig.s.p1X = 300;
  rig.s.shotChance = 42;
  PressA(rig);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({});
    EXPECT_EQ(rig.s.p2ShotStyle, kJumpShot);
    EXPECT_EQ(rig.s.ballX, 315) << "tick " << tick;
    EXPECT_EQ(rig.s.shotChance, 42);
    EXPECT_EQ(rig.s.p2Jumping, kFalse);
  }
  rig.Tick({});
  EXPECT_EQ(rig.s.ballX, 335);
  EXPECT_EQ(rig.s.shotChance, 55);
  EXPECT_EQ(rig.s.p2Jumping, kTrue);
  rig.Tick({kAimHigh, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
}

TEST(Player2LayUp, GoesUpAtTheNetAndLeavesTheHandOnTickFour) {
  Player2Rig rig;
  WithBall(rig, 300, 150, /*p1Y=*/170);
  PressA(rig);
  for (int tick = 1; tick <= 3; ++tick) {
    rig.Tick({});  // no random delay
    EXPECT_EQ(rig.s.p2ShotStyle, kLayUp);
    EXPECT_EQ(rig.s.p2X, 300);
    EXPECT_EQ(rig.s.p2Y, 70);
    EXPECT_EQ(rig.s.ballX, 335);
    EXPECT_EQ(rig.s.ballY, 70);
    EXPECT_EQ(rig.s.shotChance, 85);
    EXPECT_EQ(rig.s.p2ShotInFlight, kFalse);
  }
  // Released: he comes down to the top line in the same tick and watches the ball.
  rig.Tick({kAimHigh, kQuiet});
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.p2ShotStyle, kJumpShot);
  EXPECT_EQ(rig.s.p2Y, 130);
  EXPECT_EQ(rig.s.ballY, 52);  // 70 - 90 / 5
  EXPECT_EQ(rig.s.ballX, 345);
}

TEST(Player2LayUp, OnceChosenItStaysALayUp) {
  Player2Rig rig;
  WithBall(rig, 300, 150, /*p1Y=*/170);
  PressA(rig);
  rig.Tick({});
  rig.s.p1Y = 400;  // the defender drops far behind: still no dunk
  rig.Tick({});
  EXPECT_EQ(rig.s.p2ShotStyle, kLayUp);
}

TEST(Player2Dunk, HangsOnTheRimPullsTheNetAndScoresOnTickSix) {
  Player2Rig rig;
  WithBall(rig, 300, 150, /*p1Y=*/200);
  PressA(rig);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({});
    EXPECT_EQ(rig.s.p2ShotStyle, kDunk);
    EXPECT_EQ(rig.s.p2X, 343);
    EXPECT_EQ(rig.s.p2Y, 78);
    EXPECT_EQ(rig.s.ballX, 390);
    EXPECT_EQ(rig.s.ballY, 125);
    const auto pictures = rig.Pictures();
    const bool net = !pictures.empty() && pictures.front() == Drawn{3, 4, 385, 50};
    EXPECT_EQ(net, tick == 4 || tick == 5) << "tick " << tick;
    EXPECT_EQ(rig.s.basketMade, tick == 6 ? kTrue : kFalse) << "tick " << tick;
  }
}

TEST(Player2Dunk, FromTheRightHeHangsRightOfTheRim) {
  Player2Rig rig;
  WithBall(rig, 400, 150, /*p1Y=*/200);
  PressA(rig);
  rig.Tick({});
  EXPECT_EQ(rig.s.p2X, 366);
  EXPECT_EQ(rig.s.p2Y, 75);
  rig.Tick({});
  EXPECT_EQ(rig.s.p2X, 366) << "366 is right of 365: he stays there";
}

TEST(Player2Dunk, LettingGoEarlyMakesItAShotInFlight) {
  Player2Rig rig;
  WithBall(rig, 300, 150, /*p1Y=*/200);
  rig.s.shotChance = 33;
  PressA(rig);
  rig.Tick({});
  rig.Tick({});
  ReleaseA(rig);
  rig.Tick({kAimHigh, kQuiet});
  EXPECT_EQ(rig.s.basketMade, kFalse);
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.shotChance, 33) << "it scores only by the chance it had";
  // From (343 + 30, 78): one step up already taken.
  EXPECT_EQ(rig.s.ballX, 375);  // 373 + 12 / 5
  EXPECT_EQ(rig.s.ballY, 58);   // 78 - 98 / 5
}

TEST(Player2ShotZone, NearStopsAtYOneHundredAndFiftyNine) {
  Player2Rig nearRig;
  WithBall(nearRig, 300, 159, /*p1Y=*/400);
  PressA(nearRig);
  nearRig.Tick({});
  EXPECT_EQ(nearRig.s.p2ShotStyle, kDunk);

  Player2Rig farRig;
  WithBall(farRig, 300, 160, /*p1Y=*/400);
  PressA(farRig);
  farRig.Tick({});
  EXPECT_EQ(farRig.s.p2ShotStyle, kJumpShot);
  EXPECT_EQ(farRig.s.ballX, 335);
  EXPECT_EQ(farRig.s.ballY, 160);

  for (std::int16_t x : {240, 445}) {
    Player2Rig sideRig;
    WithBall(sideRig, x, 150, /*p1Y=*/400);
    PressA(sideRig);
    sideRig.Tick({});
    EXPECT_EQ(sideRig.s.p2ShotStyle, kJumpShot) << "x " << x;
  }
}

TEST(Player2Flight, AimsAtTheRimTwoTimesInFive) {
  // 0.35 aims low for Player 2 (r x 5 < 2), where Player 1's flight would aim high.
  Player2Rig rig;
  rig.s.p2ShotInFlight = kTrue;
  rig.s.ballX = 385;
  rig.s.ballY = 215;
  rig.Tick({0.35, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballY, 175);  // 215 - 200 / 5
  EXPECT_EQ(rig.s.ballX, 385) << "within 10 of the basket x stays";
  rig.Tick({0.4, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballY, 136);  // 175 - 195 / 5
}

TEST(Player2Flight, StepsAreRoundedToTheNearestPixel) {
  Player2Rig rig;
  rig.s.p2ShotInFlight = kTrue;
  rig.s.ballX = 100;  // 100 + 57 = 157
  rig.s.ballY = 103;  // 103 - 123 / 5 = 78.4
  rig.Tick({kAimHigh, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballX, 157);
  EXPECT_EQ(rig.s.ballY, 78);
  rig.s.ballX = 600;  // 600 - 43 = 557
  rig.s.ballY = 104;  // 104 - 89 / 5 = 86.2
  rig.Tick({kAimLow, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballX, 557);
  EXPECT_EQ(rig.s.ballY, 86);
  rig.s.ballX = 396;  // more than 10 right of the basket: 396 - 2.2
  rig.s.ballY = 108;  // 108 - 128 / 5 = 82.4
  rig.Tick({kAimHigh, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballX, 394);
  EXPECT_EQ(rig.s.ballY, 82);
}

TEST(Player2Dribble, BouncesBesideHimOnTheSideHeMoves) {
  Player2Rig rig;
  WithBall(rig, 300, 300);
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Dribbling, kTrue);
  EXPECT_EQ(rig.s.ballX, 265) << "20 left of him";
  EXPECT_EQ(rig.s.ballY, 325);
  EXPECT_EQ(rig.s.leftHeldTicks, 1);
  rig.game.Form_KeyUp(kKeyF, 0);
  rig.game.Form_KeyDown(kKeyH, 0);
  // Down 25 a tick to 150 below him, then picked up again at 60.
  const int offsets[] = {50, 75, 100, 125, 150, 60, 85};
  for (int offset : offsets) {
    rig.Tick({kQuiet, kQuiet});
    EXPECT_EQ(rig.s.ballX, rig.s.p2X + 60);
    EXPECT_EQ(rig.s.ballY - rig.s.p2Y, offset);
  }
  EXPECT_EQ(rig.s.rightHeldTicks, 7);
  EXPECT_EQ(rig.s.leftHeldTicks, 1);
  // Standing still after a dribble keeps it bouncing on his right.
  rig.game.Form_KeyUp(kKeyH, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.ballX, rig.s.p2X + 60);
}

TEST(Player2Dribble, HeldKeysCountOnlyWithTheBall) {
  Player2Rig rig;
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.game.Form_KeyDown(kKeyH, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.leftHeldTicks, 0);
  EXPECT_EQ(rig.s.rightHeldTicks, 0);
  rig.s.p2HasBall = kTrue;
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.leftHeldTicks, 1);
  EXPECT_EQ(rig.s.rightHeldTicks, 1);
}

}  // namespace
}  // namespace tandemhoop::testing
