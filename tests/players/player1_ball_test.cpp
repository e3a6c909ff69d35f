#include <gtest/gtest.h>

#include <vector>

#include "tests/players/player1_rig.h"

namespace tandemhoop::testing {
namespace {

using namespace form2;

// ---- carrying and dribbling ------------------------------------------------------------------

TEST(Player1Carrying, HeldKeysAreCountedOnlyWithTheBall) {
  Player1Rig rig;
  rig.Hold(kLeftKey);
  rig.Hold(kRightKey);
  for (int tick = 0; tick < 3; ++tick)
    rig.Tick();
  EXPECT_EQ(rig.s.leftHeldTicks, 3);
  EXPECT_EQ(rig.s.rightHeldTicks, 3);

  rig.s.p1HasBall = kFalse;
  rig.Tick();
  EXPECT_EQ(rig.s.leftHeldTicks, 3);
  EXPECT_EQ(rig.s.rightHeldTicks, 3);
}

TEST(Player1Carrying, TheDribbleBouncesOnTheSideHeIsGoing) {
  Player1Rig rig;
  rig.s.p2Dribbling = kTrue;
  rig.Hold(kLeftKey);
  rig.Tick();  // he starts from a held ball
  EXPECT_EQ(rig.s.ballX, 320);
  EXPECT_EQ(rig.s.ballY, 400);
  EXPECT_EQ(rig.s.p1Dribbling, kTrue);
  EXPECT_EQ(rig.s.p2Dribbling, kFalse);  // only one ball bounces
  rig.Tick();
  EXPECT_EQ(rig.s.ballX, 285 - 25);  // left of him as he stood when it bounced
  EXPECT_EQ(rig.s.ballY, 425);

  // Standing still it keeps bouncing on his right, falling to 150 below him, then cycling.
  rig.Let(kLeftKey);
  std::vector<int> heights;
  for (int tick = 0; tick < 10; ++tick) {
    rig.Tick();
    EXPECT_EQ(rig.s.ballX, rig.s.p1X + 60);
    heights.push_back(rig.s.ballY - rig.s.p1Y);
  }
  EXPECT_EQ(heights, (std::vector<int>{50, 75, 100, 125, 150, 60, 85, 110, 135, 60}));
  EXPECT_EQ(rig.s.p1Dribbling, kTrue);
}

TEST(Player1Carrying, WithoutTheBallTheDribbleIsOver) {
  Player1Rig rig;
  rig.s.p1Dribbling = kTrue;
  rig.s.p1HasBall = kFalse;
  rig.Tick();
  EXPECT_EQ(rig.s.p1Dribbling, kFalse);
}

// ---- the jump shot ---------------------------------------------------------------------------

TEST(Player1JumpShot, GoesOnTickEightAfterLeavingTheFloorOnTickSeven) {
  Player1Rig rig;
  rig.Hold(kMKey);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({});
    EXPECT_EQ(rig.s.p1ShotTicks, tick);
    EXPECT_EQ(rig.s.p1Jumping, kFalse);
    EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
  }
  EXPECT_EQ(rig.s.p1ShotStyle, kJumpShot);
  EXPECT_EQ(rig.s.shotChance, 55);
  EXPECT_EQ(rig.s.p1HasBall, kFalse);
  EXPECT_EQ(rig.s.lastShooterP1, kTrue);
  EXPECT_EQ(rig.s.ballHidden, kTrue);
  EXPECT_FALSE(rig.DrewSprite(Picture1, Picture2));  // the ball is in the shooting pose
  EXPECT_EQ(rig.s.ballX, 335);
  EXPECT_EQ(rig.s.ballY, 400);

  rig.Tick({});
  EXPECT_EQ(rig.s.p1Jumping, kTrue);
  EXPECT_EQ(rig.s.p1Y, 380);
  EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);

  // Tick 8: let go at (x + 35, y) and a first step of a fifth of the way over the rim.
  rig.Tick({kSteady, kSteady});
  EXPECT_EQ(rig.s.p1ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.ballX, 335 + 10);
  EXPECT_EQ(rig.s.ballY, 380 - 80);
  EXPECT_EQ(rig.s.p1Shooting, kFalse);
  EXPECT_EQ(rig.s.p1ShotTicks, 0);
  EXPECT_EQ(rig.s.ballHidden, kFalse);
  EXPECT_EQ(rig.Drawn().front(), (Sprite{Picture1, Picture2, 345, 300}));
}

TEST(Player1JumpShot, ChancesFallAtTheEdgesAndAgainstADefenderInTheAir) {
  struct Case {
    int x, y;
    bool defenderUp;
    int chance;
  };
  for (const Case& c :
       {Case{300, 400, false, 55}, Case{300, 400, true, 50}, Case{10, 400, false, 15},
        Case{10, 400, true, 10}, Case{19, 400, false, 15}, Case{20, 400, false, 55},
        Case{571, 400, false, 15}, Case{570, 400, true, 50}, Case{300, 476, false, 15}}) {
    Player1Rig rig;
    rig.s.p1X = static_cast<std::int16_t>(c.x);
    rig.s.p1Y = static_cast<std::int16_t>(c.y);
    rig.s.p2Jumping = c.defenderUp ? kTrue : kFalse;
    rig.Hold(kMKey);
    rig.Tick({});
    EXPECT_EQ(rig.s.shotChance, c.chance) << "at " << c.x << "," << c.y;
  }
}

TEST(Player1JumpShot, LetGoBeforeTickSixIsCalledOffAndTheDribbleStaysPickedUp) {
  Player1Rig rig;
  rig.s.p1Dribbling = kTrue;
  rig.Hold(kMKey);
  for (int tick = 0; tick < 5; ++tick)
    rig.Tick({});
  EXPECT_EQ(rig.s.dribblePickedUp, kTrue);
  rig.Let(kMKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
  EXPECT_EQ(rig.s.p1ShotTicks, 0);
  EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
  EXPECT_EQ(rig.Drawn().front(), (Sprite{Picture1, Picture2, 320, 400}));  // back in his hands

  rig.Hold(kLeftKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1X, 300);
  EXPECT_EQ(rig.s.p1Dribbling, kFalse);
}

TEST(Player1JumpShot, NearTheBasketWithTheDefenderInFrontItGoesAsItStood) {
  Player1Rig rig;
  rig.s.p1X = 300;
  rig.s.p1Y = 150;
  rig.s.p2X = 450;
  rig.s.p2Y = 152;  // level: p1Y + 2
  rig.s.ballX = 320;
  rig.s.ballY = 150;
  rig.s.shotChance = 42;
  rig.Hold(kMKey);
  for (int tick = 0; tick < 6; ++tick)
    rig.Tick({});
  EXPECT_EQ(rig.s.p1ShotStyle, kJumpShot);
  EXPECT_EQ(rig.s.p1Jumping, kFalse);
  rig.Let(kMKey);
  rig.Tick({kSteady});  // the flight's aim; with his shot up in front of Player 2 he guards
  EXPECT_EQ(rig.s.p1ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.shotChance, 42);
  EXPECT_EQ(rig.s.ballX, 333);
  EXPECT_EQ(rig.s.ballY, 116);
}

// ---- lay-up and dunk -------------------------------------------------------------------------

struct NearRig : Player1Rig {
  explicit NearRig(int defenderY) {
    s.p1X = 300;
    s.p1Y = 150;
    s.p2X = 300;
    s.p2Y = static_cast<std::int16_t>(defenderY);
    Hold(kMKey);
  }
};

TEST(Player1LayUp, UpAtTheNetTheBallGoesEarlyTwoTimesInFive) {
  NearRig rig(170);
  for (int tick = 1; tick <= 3; ++tick) {
    rig.Tick({0.4});  // r x 5 = 2: the early release, after tick 3
    EXPECT_EQ(rig.s.p1ShotStyle, kLayUp);
    EXPECT_EQ(rig.s.p1X, 300);
    EXPECT_EQ(rig.s.p1Y, 70);
    EXPECT_EQ(rig.s.ballX, 350);
    EXPECT_EQ(rig.s.ballY, 30);
    EXPECT_EQ(rig.s.shotChance, 85);
    EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
  }
  rig.Tick({0.4, kSteady});  // released, and the first flight step
  EXPECT_EQ(rig.s.p1ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.p1ShotStyle, kJumpShot);
  EXPECT_EQ(rig.s.ballX, 357);
  EXPECT_EQ(rig.s.ballY, 20);
}

TEST(Player1LayUp, HeldPastTickSixItTurnsIntoAJumpShot) {
  NearRig rig(170);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({0.41});  // the late release, after tick 6
    EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
  }
  rig.Tick({});
  EXPECT_EQ(rig.s.p1ShotStyle, kJumpShot);
  EXPECT_EQ(rig.s.p1Jumping, kTrue);
  EXPECT_EQ(rig.s.shotChance, 55);
  EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
}

TEST(Player1LayUp, LettingGoOfMReleasesItAtOnce) {
  NearRig rig(170);
  rig.Tick({0.9});
  rig.Let(kMKey);
  rig.Tick({0.9, kSteady});  // placed once more, then the flight step
  EXPECT_EQ(rig.s.p1ShotInFlight, kTrue);
  EXPECT_EQ(rig.s.ballY, 20);
}

TEST(Player1Dunk, HangsOnTheRimPullsTheNetDownAndScoresOnTickSix) {
  NearRig rig(200);
  for (int tick = 1; tick <= 6; ++tick) {
    rig.Tick({});
    EXPECT_EQ(rig.s.p1ShotStyle, kDunk);
    EXPECT_EQ(rig.s.p1X, 343);
    EXPECT_EQ(rig.s.p1Y, 78);
    EXPECT_EQ(rig.s.ballX, 395);
    EXPECT_EQ(rig.s.ballY, 95);
    const bool net = !rig.Drawn().empty() && rig.Drawn().front().mask == Picture3;
    EXPECT_EQ(net, tick == 4 || tick == 5) << "tick " << tick;
    if (net) {
      EXPECT_EQ(rig.Drawn().front(), (Sprite{Picture3, Picture4, 385, 50}));
    }
    EXPECT_EQ(rig.s.basketMade, tick == 6 ? kTrue : kFalse) << "tick " << tick;
  }
  EXPECT_EQ(rig.s.lastShooterP1, kTrue);
}

TEST(Player1Dunk, RightOfTheRimHeHangsFurtherRight) {
  NearRig rig(200);
  rig.s.p1X = 366;
  rig.Tick({});
  EXPECT_EQ(rig.s.p1X, 366);
  EXPECT_EQ(rig.s.p1Y, 75);
}

TEST(Player1Dunk, LettingGoOfMEarlyScoresOnTheNextTick) {
  NearRig rig(200);
  rig.Tick({});
  rig.Tick({});
  rig.Let(kMKey);
  rig.Tick({});
  EXPECT_EQ(rig.s.basketMade, kTrue);
}

TEST(Player1Dunk, ADefenderCloseBehindMakesItALayUpThatStaysOne) {
  NearRig rig(186);  // p1Y + 36: a dunk
  rig.Tick({});
  EXPECT_EQ(rig.s.p1ShotStyle, kDunk);

  NearRig close(185);  // p1Y + 35: a lay-up
  close.Tick({0.9});
  EXPECT_EQ(close.s.p1ShotStyle, kLayUp);
  close.Tick({0.9});  // up at the net now, far ahead of the defender, and still a lay-up
  EXPECT_EQ(close.s.p1ShotStyle, kLayUp);
}

// ---- the flight ----------------------------------------------------------------------------

struct FlightRig : Player1Rig {
  FlightRig(int ballX, int ballY) {
    s.p1HasBall = kFalse;
    s.p1ShotInFlight = kTrue;
    s.ballX = static_cast<std::int16_t>(ballX);
    s.ballY = static_cast<std::int16_t>(ballY);
  }
};

TEST(Player1Flight, AFifthOfTheWayRoundedAsAWhole) {
  // Low aim (r x 6 < 2), towards the rim: 301 - 57.2 and 336 + 9.8.
  FlightRig low(336, 301);
  low.Tick({0.33, kSteady});
  EXPECT_EQ(low.s.ballY, 244);
  EXPECT_EQ(low.s.ballX, 346);
  // High aim, 35 over the rim: 301 - 64.2, and 503 - 23.6 from the right.
  FlightRig high(503, 301);
  high.Tick({0.34, kSteady});
  EXPECT_EQ(high.s.ballY, 237);
  EXPECT_EQ(high.s.ballX, 479);
}

TEST(Player1Flight, WithinTenOfTheBasketTheBallKeepsItsX) {
  for (int x : {375, 385, 395}) {
    FlightRig rig(x, 200);
    rig.Tick({kSteady, kSteady});
    EXPECT_EQ(rig.s.ballX, x);
  }
  FlightRig outside(374, 200);
  outside.Tick({kSteady, kSteady});
  EXPECT_EQ(outside.s.ballX, 376);
}

}  // namespace
}  // namespace tandemhoop::testing
