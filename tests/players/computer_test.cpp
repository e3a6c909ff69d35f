#include "players/computer.h"

#include <gtest/gtest.h>

#include "tests/players/player2_rig.h"

namespace tandemhoop::testing {
namespace {

constexpr int kKeyA = 65;

// The computer's turn alone, with the values it must draw.
struct ComputerRig : Player2Rig {
  ComputerRig() { s.twoPlayerMode = kFalse; }
  void Think(std::initializer_list<double> draws) {
    const std::size_t before = random.Drawn();
    random.Push(draws);
    computer::PlayPlayer2(game);
    EXPECT_EQ(random.Drawn() - before, draws.size()) << "random values drawn";
    while (random.Drawn() < before + draws.size())
      random.Next();
  }
  bool AnyFlag() const {
    return s.p2KeyLeft != kFalse || s.p2KeyUp != kFalse || s.p2KeyRight != kFalse ||
           s.p2KeyDown != kFalse;
  }
};

TEST(ComputerSides, RightWinsWhenBothSideFlagsAreSet) {
  ComputerRig rig;
  rig.s.p2KeyLeft = kTrue;
  rig.s.p2KeyRight = kTrue;
  rig.Think({});
  EXPECT_EQ(rig.s.p2KeyLeft, kFalse);
  EXPECT_EQ(rig.s.p2KeyRight, kTrue);

  rig.s.p2KeyRight = kFalse;
  rig.s.p2KeyLeft = kTrue;
  rig.Think({});
  EXPECT_EQ(rig.s.p2KeyLeft, kTrue);
}

// Player 1 carries the ball at (300, 300).
ComputerRig& Defending(ComputerRig& rig, std::int16_t x, std::int16_t y) {
  rig.s.p1HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = x;
  rig.s.p2Y = y;
  return rig;
}

TEST(ComputerDefence, WaitsUntilThePlayClockPassesFive) {
  ComputerRig rig;
  Defending(rig, 400, 200);
  rig.s.playClock = 5;
  rig.Think({});
  EXPECT_EQ(rig.s.p2X, 400);
  EXPECT_EQ(rig.s.p2Y, 200);
  rig.s.playClock = 6;
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 215) << "too far up the court: back towards Player 1";
  EXPECT_EQ(rig.s.p2X, 388);
}

TEST(ComputerDefence, RunsBackTowardsTheBasketWhenBeaten) {
  ComputerRig rig;
  Defending(rig, 300, 316);  // more than 15 below the carrier
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 301);
  Defending(rig, 351, 310);  // more than 50 to his right
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 295);
  Defending(rig, 284, 310);  // more than 15 to his left
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 295);
}

TEST(ComputerDefence, StepsAsideFromACarrierRightOnTopOfHim) {
  ComputerRig rig;
  Defending(rig, 290, 310);  // just left of him: further left, then shadow back
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 310);
  EXPECT_EQ(rig.s.p2X, 282);  // 290 - 20 + 12
  Defending(rig, 300, 310);   // level: to the right, then shadow back
  rig.Think({});
  EXPECT_EQ(rig.s.p2X, 308);  // 300 + 20 - 12
  EXPECT_FALSE(rig.AnyFlag()) << "defence never uses the flags";
}

TEST(ComputerDefence, ShadowsPlayer1SidewaysAndSettlesJustRightOfHim) {
  ComputerRig rig;
  Defending(rig, 340, 290);  // within 20 above him: no vertical step
  const int expected[] = {328, 316, 304, 304};
  for (int x : expected) {
    rig.Think({});
    EXPECT_EQ(rig.s.p2X, x);
    EXPECT_EQ(rig.s.p2Y, 290);
  }
  Defending(rig, 250, 290);
  rig.Think({});
  EXPECT_EQ(rig.s.p2X, 262);
  EXPECT_FALSE(rig.AnyFlag());
}

TEST(ComputerDefence, AlsoDefendsWhileAShotIsUp) {
  for (auto shot : {&GameState::p1ShotInFlight, &GameState::p2ShotInFlight}) {
    ComputerRig rig;
    rig.s.p1X = 300;
    rig.s.p1Y = 300;
    rig.s.p2X = 400;
    rig.s.p2Y = 200;
    rig.s.*shot = kTrue;
    rig.s.looseBallLeft = kTrue;  // a defence tick takes precedence over the chase
    rig.Think({});
    EXPECT_EQ(rig.s.p2Y, 215);
  }
}

// Player 1 at (300, 300) in his shooting motion, Player 2 in front of him.
ComputerRig& Contesting(ComputerRig& rig, std::int16_t ticks, std::int16_t p2Y) {
  rig.s.p1Shooting = kTrue;
  rig.s.p1ShotTicks = ticks;
  rig.s.p1ShotStyle = kJumpShot;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 300;
  rig.s.p2Y = p2Y;
  rig.s.p2Jumping = kFalse;
  return rig;
}

TEST(ComputerContest, JumpsAtAJumpShotByItsTwoDraws) {
  const struct {
    std::int16_t ticks, p2Y;
    double early, late;
    bool jumps;
  } cases[] = {
      {3, 307, 0.7, 0.9, true},    // early: r x 6 > 4 from tick 3
      {2, 307, 0.7, 0.5, false},   // not before tick 3
      {3, 307, 0.6, 0.5, false},   // 3.6: no; the late test needs tick 4
      {4, 307, 0.6, 0.8, true},    // late: r x 6 < 5 from tick 4
      {4, 307, 0.6, 0.85, false},  // 5.1: no
      {4, 308, 0.9, 0.1, false},   // 8 below the shooter: too far behind
  };
  for (const auto& c : cases) {
    ComputerRig rig;
    Contesting(rig, c.ticks, c.p2Y);
    rig.Think({c.early, c.late});
    EXPECT_EQ(rig.s.p2Jumping, c.jumps ? kTrue : kFalse)
        << "tick " << c.ticks << " y " << c.p2Y << " r " << c.early << "/" << c.late;
  }
}

TEST(ComputerContest, AlwaysJumpsAtADunkOrLayUpAboveTheLine) {
  for (std::int16_t style : {kDunk, kLayUp}) {
    ComputerRig rig;
    Contesting(rig, 1, 144);
    rig.s.p1Y = 78;
    rig.s.p1ShotStyle = style;
    rig.Think({0.0, 0.99});  // both values are drawn though neither is needed
    EXPECT_EQ(rig.s.p2Jumping, kTrue) << "style " << style;

    Contesting(rig, 1, 145);
    rig.s.p1Y = 78;
    rig.s.p1ShotStyle = style;
    rig.Think({0.0, 0.99});
    EXPECT_EQ(rig.s.p2Jumping, kFalse) << "style " << style;
  }
}

// A loose ball at (400, 300).
ComputerRig& Chasing(ComputerRig& rig, std::int16_t x, std::int16_t y) {
  rig.s.looseBallRight = kTrue;
  rig.s.ballX = 400;
  rig.s.ballY = 300;
  rig.s.p2X = x;
  rig.s.p2Y = y;
  return rig;
}

TEST(ComputerChase, RunsStraightAtTheLooseBall) {
  ComputerRig rig;
  Chasing(rig, 500, 400);
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 385);
  EXPECT_EQ(rig.s.p2X, 485);
  EXPECT_EQ(rig.s.p2KeyUp, kTrue);
  EXPECT_EQ(rig.s.p2KeyDown, kFalse);

  Chasing(rig, 300, 200);
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 215);
  EXPECT_EQ(rig.s.p2X, 315);
  EXPECT_EQ(rig.s.p2KeyDown, kTrue);
  EXPECT_EQ(rig.s.p2KeyLeft, kFalse);
  EXPECT_EQ(rig.s.p2KeyRight, kFalse) << "the side flags are not used";
}

TEST(ComputerChase, OvershootingUpIsCorrectedDownInTheSameTick) {
  ComputerRig rig;
  Chasing(rig, 405, 310);
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 310);  // up to 295, below the ball: down again
  EXPECT_EQ(rig.s.p2X, 405);  // left to 390, then right again
  EXPECT_EQ(rig.s.p2KeyUp, kTrue);
  EXPECT_EQ(rig.s.p2KeyDown, kTrue);
}

TEST(ComputerChase, ABallLevelWithHimLeavesTheVerticalFlagsAlone) {
  ComputerRig rig;
  Chasing(rig, 500, 300);
  rig.s.p2KeyUp = kTrue;
  rig.s.p2KeyDown = kTrue;
  rig.Think({});
  EXPECT_EQ(rig.s.p2Y, 300);
  EXPECT_EQ(rig.s.p2KeyUp, kTrue);
  EXPECT_EQ(rig.s.p2KeyDown, kTrue);
}

// Player 2 carrying the ball at (x, y); Player 1 stands at (300, 300).
ComputerRig& Attacking(ComputerRig& rig, std::int16_t x, std::int16_t y) {
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = x;
  rig.s.p2Y = y;
  return rig;
}

TEST(ComputerAttack, HoldsTheBallUntilThePlayClockPassesFifteen) {
  ComputerRig rig;
  Attacking(rig, 500, 400);
  rig.s.playClock = 15;
  rig.Think({});
  EXPECT_EQ(rig.s.p2X, 500);
  EXPECT_EQ(rig.s.p2Y, 400);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_FALSE(rig.AnyFlag());
}

TEST(ComputerAttack, ShootsAtOnceInsideTheNearBasketZone) {
  ComputerRig rig;
  Attacking(rig, 500, 145);
  rig.Think({});
  EXPECT_EQ(rig.s.p2Shooting, kTrue);
  EXPECT_EQ(rig.s.p2X, 500) << "no step in that tick";
  EXPECT_EQ(rig.s.p2Y, 145);
}

TEST(ComputerAttack, ReceivingTheBallNearTheBasketTheShotStartsThatVeryTick) {
  ComputerRig rig;
  Attacking(rig, 500, 140);
  rig.s.playClock = 16;
  rig.Tick({});
  EXPECT_EQ(rig.s.p2ShotTicks, 1);
  EXPECT_EQ(rig.s.p2HasBall, kFalse);
}

TEST(ComputerAttack, DrivesAtTheBasketThroughAnOpenLane) {
  ComputerRig rig;
  Attacking(rig, 500, 400);
  rig.Think({0.5});  // no long shot
  EXPECT_EQ(rig.s.p2X, 490);
  EXPECT_EQ(rig.s.p2Y, 390);
  EXPECT_EQ(rig.s.p2KeyLeft, kTrue);
  EXPECT_EQ(rig.s.p2KeyUp, kTrue);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);

  Attacking(rig, 200, 400);
  rig.Think({0.5});
  EXPECT_EQ(rig.s.p2X, 210);
  EXPECT_EQ(rig.s.p2KeyRight, kTrue);
  EXPECT_EQ(rig.s.p2KeyLeft, kFalse);

  // In line with the basket he goes straight up and keeps his side flags.
  Attacking(rig, 400, 400);
  rig.s.p2KeyRight = kTrue;
  rig.Think({0.5});
  EXPECT_EQ(rig.s.p2X, 400);
  EXPECT_EQ(rig.s.p2Y, 390);
  EXPECT_EQ(rig.s.p2KeyRight, kTrue);
}

TEST(ComputerAttack, ALongShotOneTickInSixtyStillTakesItsStep) {
  ComputerRig rig;
  Attacking(rig, 500, 400);
  rig.Think({0.0166});  // 4.98 < 5
  EXPECT_EQ(rig.s.p2Shooting, kTrue);
  EXPECT_EQ(rig.s.p2Y, 390);
  Attacking(rig, 500, 400);
  rig.s.p2Shooting = kFalse;
  rig.Think({0.0167});  // 5.01
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
}

TEST(ComputerAttack, SidestepsAPlayer1StandingSquareInFrontOfHim) {
  const struct {
    std::int16_t x;
    std::initializer_list<double> draws;
    std::int16_t toX;
    bool right, left;
  } cases[] = {
      {300, {0.5, 0.6}, 310, true, false},       // right when r x 10 > 5
      {300, {0.5, 0.5, 0.5}, 290, false, true},  // else left when a second r x 10 < 6
      {300, {0.5, 0.5, 0.6}, 300, false, false},
      {595, {0.5, 0.6}, 595, true, false},   // 605 is past 600: taken back
      {5, {0.5, 0.5, 0.5}, 5, false, true},  // -5 is past 0: taken back
  };
  for (const auto& c : cases) {
    ComputerRig rig;
    Attacking(rig, c.x, 305);
    rig.s.p1X = c.x;  // square in front: x within -40..+30, y 2..10 below
    rig.Think(c.draws);
    EXPECT_EQ(rig.s.p2X, c.toX) << "from " << c.x;
    EXPECT_EQ(rig.s.p2Y, 305) << "no step up";
    EXPECT_EQ(rig.s.p2KeyRight, c.right ? kTrue : kFalse) << "from " << c.x;
    EXPECT_EQ(rig.s.p2KeyLeft, c.left ? kTrue : kFalse) << "from " << c.x;
  }
}

TEST(ComputerAttack, LaneEdges) {
  const struct {
    std::int16_t dx, dy;
    bool open;
  } cases[] = {{-40, 5, false}, {-41, 5, true}, {30, 5, false}, {31, 5, true},
               {0, 2, false},   {0, 1, true},   {0, 10, false}, {0, 11, true}};
  for (const auto& c : cases) {
    ComputerRig rig;
    Attacking(rig, static_cast<std::int16_t>(300 + c.dx), static_cast<std::int16_t>(300 + c.dy));
    if (c.open) {
      rig.Think({0.5});
      EXPECT_EQ(rig.s.p2Y, 300 + c.dy - 10) << c.dx << "," << c.dy;
    } else {
      rig.Think({0.5, 0.9});
      EXPECT_EQ(rig.s.p2Y, 300 + c.dy) << c.dx << "," << c.dy;
    }
  }
}

TEST(ComputerIdle, APickedUpDribbleLeavesHimStanding) {
  ComputerRig rig;
  Attacking(rig, 500, 400);
  rig.s.dribblePickedUp = kTrue;
  rig.Think({});
  EXPECT_EQ(rig.s.p2X, 500);
  EXPECT_EQ(rig.s.p2Y, 400);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_FALSE(rig.AnyFlag());

  ComputerRig nobody;
  nobody.Think({});
  EXPECT_EQ(nobody.s.p2X, 500);
}

TEST(ComputerShot, HisShotRunsOnUntilAHumanLetsGoOfA) {
  ComputerRig rig;
  Attacking(rig, 300, 145);
  rig.s.p1Y = 145;  // level: a jump shot
  rig.s.p2Dribbling = kTrue;
  rig.Tick({});
  rig.game.Form_KeyDown(kKeyA, 0);  // does nothing against the computer
  for (int tick = 0; tick < 3; ++tick)
    rig.Tick({});
  EXPECT_EQ(rig.s.p2Shooting, kTrue) << "the computer never lowers it itself";
  EXPECT_EQ(rig.s.p2ShotTicks, 4);
  rig.game.Form_KeyUp(kKeyA, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2HasBall, kTrue) << "cancelled before tick 6";
  EXPECT_EQ(rig.s.dribblePickedUp, kTrue);
  // Picked up: no attack any more, whatever the clock.
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_EQ(rig.s.p2X, 300);
}

}  // namespace
}  // namespace tandemhoop::testing
