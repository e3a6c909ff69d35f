#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/players/player1_rig.h"

namespace tandemhoop::testing {
namespace {

using namespace form2;

// Player 1 without the ball at (300, 300), Player 2 far away.
struct AirRig : Player1Rig {
  AirRig() {
    s.p1HasBall = kFalse;
    s.p1X = 300;
    s.p1Y = 300;
  }
};

// ---- the two jumps ---------------------------------------------------------------------------

TEST(Player1Jump, ABlockJumpRisesEightyAndComesDownThirty) {
  AirRig rig;
  rig.s.p1Jumping = kTrue;
  std::vector<int> heights;
  for (int tick = 0; tick < 6; ++tick) {
    rig.Tick();
    heights.push_back(rig.s.p1Y);
  }
  EXPECT_EQ(heights, (std::vector<int>{280, 260, 240, 220, 235, 250}));
  EXPECT_EQ(rig.s.p1Jumping, kTrue);
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 250);
  EXPECT_EQ(rig.s.p1Jumping, kFalse);
  EXPECT_EQ(rig.s.p1JumpTicks, 0);
}

TEST(Player1Jump, HisJumpShotIsAHopThatLandsTwoLower) {
  AirRig rig;
  rig.s.p1Jumping = kTrue;
  rig.s.lastShooterP1 = kTrue;
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 280);
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 302);
  EXPECT_EQ(rig.s.p1Jumping, kTrue);
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 302);
  EXPECT_EQ(rig.s.p1Jumping, kFalse);
  EXPECT_EQ(rig.s.p1JumpTicks, 0);
}

TEST(Player1Jump, WithTheBallInTheAirHeCannotSteerAndMayRiseAboveTheTopLine) {
  Player1Rig rig;  // he came down with a blocked shot
  rig.s.p1Y = 140;
  rig.s.p1Jumping = kTrue;
  rig.Hold(kLeftKey);
  rig.Hold(kDownKey);
  std::vector<int> heights;
  for (int tick = 0; tick < 7; ++tick) {
    rig.Tick();
    heights.push_back(rig.s.p1Y);
    EXPECT_EQ(rig.s.p1X, 300);
    EXPECT_EQ(rig.s.p1KeyLeft, kFalse);
    EXPECT_EQ(rig.s.p1KeyDown, kFalse);
    rig.Hold(kLeftKey);  // the key repeats while held
  }
  EXPECT_EQ(heights, (std::vector<int>{120, 100, 80, 60, 75, 90, 90}));
  rig.Let(kLeftKey);
  rig.Tick();  // back on the floor, pulled down to the top line
  EXPECT_EQ(rig.s.p1Y, 130);
}

TEST(Player1Jump, WithoutTheBallHeDriftsSidewaysButNeverUp) {
  AirRig rig;
  rig.s.p1Jumping = kTrue;
  rig.Hold(kLeftKey);
  rig.Hold(kUpKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1X, 285);
  EXPECT_EQ(rig.s.p1Y, 280);
  EXPECT_EQ(rig.s.p1KeyUp, kFalse);
}

// ---- the block -------------------------------------------------------------------------------

// Player 2's jump shot on its way up at (300, 250), Player 2 at (350, 300) and Player 1 leaving
// the floor under the ball: on the first tick of his jump he is at y = 280.
struct BlockRig : AirRig {
  BlockRig() {
    s.p1Jumping = kTrue;
    s.p2X = 350;
    s.p2Y = 300;
    s.p2ShotInFlight = kTrue;
    s.p2Shooting = kTrue;
    s.p2ShotTicks = 3;
    s.p2ShotStyle = kJumpShot;
    s.lastShooterP1 = kFalse;
    s.ballX = 300;
    s.ballY = 250;
    s.dribblePickedUp = kTrue;
  }
};

TEST(Player1Block, HalfTheTimeHeComesDownWithTheBall) {
  BlockRig rig;
  rig.Tick({0.5, kSteady});  // r x 4 = 2: caught
  EXPECT_EQ(rig.s.p2ShotInFlight, kFalse);
  EXPECT_EQ(rig.s.p2Shooting, kFalse);
  EXPECT_EQ(rig.s.p2ShotTicks, 0);
  EXPECT_EQ(rig.s.ballX, 300);
  EXPECT_EQ(rig.s.ballY, 260);
  EXPECT_EQ(rig.s.playClock, 2);
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
  EXPECT_EQ(rig.s.dribblePickedUp, kFalse);
  EXPECT_EQ(rig.s.looseBallLeft, kFalse);
  EXPECT_EQ(rig.s.looseBallRight, kFalse);
}

TEST(Player1Block, OtherwiseHeKnocksItAwayFromTheShooter) {
  BlockRig right;  // left of Player 2: to the right
  right.Tick({0.51, kSteady});
  EXPECT_EQ(right.s.looseBallRight, kTrue);
  EXPECT_EQ(right.s.looseBallLeft, kFalse);
  EXPECT_EQ(right.s.p1HasBall, kFalse);
  EXPECT_EQ(right.s.playClock, 2);

  for (int p2X : {250, 300}) {  // right of him, or level: to the left
    BlockRig left;
    left.s.p2X = static_cast<std::int16_t>(p2X);
    left.Tick({0.9, kSteady});
    EXPECT_EQ(left.s.looseBallLeft, kTrue) << "Player 2 at x " << p2X;
    EXPECT_EQ(left.s.looseBallRight, kFalse);
  }
}

struct BlockCase {
  const char* name;
  std::function<void(GameState&)> setUp;
  bool blocks;
};
void PrintTo(const BlockCase& c, std::ostream* out) {
  *out << c.name;
}

class Player1BlockWindow : public ::testing::TestWithParam<BlockCase> {};

TEST_P(Player1BlockWindow, OnlyWhileRisingAtAJumpShotWithinReach) {
  BlockRig rig;
  GetParam().setUp(rig.s);
  if (GetParam().blocks) {
    rig.Tick({kSteady, kSteady});
    EXPECT_EQ(rig.s.p2ShotInFlight, kFalse);
  } else {
    rig.Tick();  // no value for the knock-away: the block was never made
    EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
    EXPECT_EQ(rig.s.playClock, 50);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Player1BlockWindow,
    ::testing::Values(BlockCase{"FirstTick", [](GameState&) {}, true},
                      BlockCase{"FourthTick", [](GameState& s) { s.p1JumpTicks = 3; }, true},
                      BlockCase{"FifthTickFails",
                                [](GameState& s) {
                                  s.p1JumpTicks = 4;
                                  s.ballY = 300;  // still in reach of him at 315
                                },
                                false},
                      BlockCase{"NotJumping",
                                [](GameState& s) {
                                  s.p1Jumping = kFalse;
                                  s.p2Shooting =
                                      kFalse;  // or he would guard the shooter in front of him
                                },
                                false},
                      BlockCase{"AgainstALayUp", [](GameState& s) { s.p2ShotStyle = kLayUp; },
                                false},
                      BlockCase{"AgainstADunk", [](GameState& s) { s.p2ShotStyle = kDunk; }, false},
                      BlockCase{"ShooterNotQuite70Behind", [](GameState& s) { s.p2Y = 349; }, true},
                      BlockCase{"Shooter70Behind", [](GameState& s) { s.p2Y = 350; }, false},
                      BlockCase{"BallJustLeftOfReach", [](GameState& s) { s.ballX = 355; }, false},
                      BlockCase{"BallAtTheLeftOfReach", [](GameState& s) { s.ballX = 354; }, true},
                      BlockCase{"BallJustRightOfReach", [](GameState& s) { s.ballX = 245; }, false},
                      BlockCase{"BallAtTheRightOfReach", [](GameState& s) { s.ballX = 246; }, true},
                      BlockCase{"BallTooLow", [](GameState& s) { s.ballY = 335; }, false},
                      BlockCase{"BallLowButInReach", [](GameState& s) { s.ballY = 334; }, true},
                      BlockCase{"BallTooHigh", [](GameState& s) { s.ballY = 185; }, false},
                      BlockCase{"BallHighButInReach", [](GameState& s) { s.ballY = 186; }, true}),
    [](const ::testing::TestParamInfo<BlockCase>& info) { return info.param.name; });

// ---- catching a loose ball -------------------------------------------------------------------

struct CatchCase {
  const char* name;
  int ballX, ballY;
  std::function<void(GameState&)> setUp;
  bool caught;
  int draws;  // the reach flicker is skipped when a loose ball below turns him to guard
};
void PrintTo(const CatchCase& c, std::ostream* out) {
  *out << c.name;
}

class Player1Catch : public ::testing::TestWithParam<CatchCase> {};

TEST_P(Player1Catch, OnTheFloorWithinHisReach) {
  const CatchCase& c = GetParam();
  AirRig rig;
  rig.s.looseBallRight = kTrue;
  rig.s.ballX = static_cast<std::int16_t>(c.ballX);
  rig.s.ballY = static_cast<std::int16_t>(c.ballY);
  c.setUp(rig.s);
  rig.TickWithDraws(c.draws);
  EXPECT_EQ(rig.s.p1HasBall, c.caught ? kTrue : kFalse);
  const std::int16_t stillLoose = c.caught ? kFalse : kTrue;
  EXPECT_EQ(rig.s.looseBallLeft == kTrue || rig.s.looseBallRight == kTrue, stillLoose == kTrue);
}

void Nothing(GameState&) {}

INSTANTIATE_TEST_SUITE_P(
    Cases, Player1Catch,
    ::testing::Values(
        CatchCase{"NearCorner", 339, 359, Nothing, true, 1},
        CatchCase{"FarCorner", 285, 285, Nothing, true, 1},
        CatchCase{"FortyRight", 340, 300, Nothing, false, 1},
        CatchCase{"SixtyBelow", 300, 360, Nothing, false, 0},
        CatchCase{"SixteenLeft", 284, 300, Nothing, false, 1},
        CatchCase{"SixteenAbove", 300, 284, Nothing, false, 1},
        CatchCase{"TravellingLeft", 339, 359,
                  [](GameState& s) {
                    s.looseBallRight = kFalse;
                    s.looseBallLeft = kTrue;
                  },
                  true, 1},
        CatchCase{"RightAfterARestart", 300, 300, [](GameState& s) { s.playClock = 6; }, false, 1},
        CatchCase{"ClockPastSix", 300, 300, [](GameState& s) { s.playClock = 7; }, true, 1},
        CatchCase{"InTheAir", 300, 300, [](GameState& s) { s.p1Jumping = kTrue; }, false, 0}),
    [](const ::testing::TestParamInfo<CatchCase>& info) { return info.param.name; });

// ---- colliding over a loose ball -------------------------------------------------------------

struct CollisionRig : AirRig {
  std::int16_t codeAtCall = -1;
  std::int16_t looseAtCall = -1;
  CollisionRig(int p2X, int p2Y) {
    s.p2X = static_cast<std::int16_t>(p2X);
    s.p2Y = static_cast<std::int16_t>(p2Y);
    s.ballX = 100;
    s.ballY = 100;
    platform.onMessage = [this](const std::string&) {
      codeAtCall = s.foulCode;
      looseAtCall = s.looseBallLeft == kTrue || s.looseBallRight == kTrue ? kTrue : kFalse;
    };
  }
};

TEST(Player1Collision, WhoeverTrailsTheBallIsCharged) {
  struct Case {
    int p2X;
    bool ballRight;
    std::int16_t code;
    const char* message;
  };
  for (const Case& c :
       {Case{300, true, 2, "FOUL: Player 1"}, Case{300, false, 1, "FOUL: Player 2"},
        Case{296, true, 1, "FOUL: Player 2"}, Case{296, false, 2, "FOUL: Player 1"},
        Case{304, true, 2, "FOUL: Player 1"}, Case{304, false, 1, "FOUL: Player 2"}}) {
    CollisionRig rig(c.p2X, 296);
    (c.ballRight ? rig.s.looseBallRight : rig.s.looseBallLeft) = kTrue;
    rig.Tick();
    EXPECT_EQ(rig.platform.messages, std::vector<std::string>{c.message})
        << "Player 2 at x " << c.p2X << (c.ballRight ? ", ball right" : ", ball left");
    EXPECT_EQ(rig.codeAtCall, c.code);
    EXPECT_EQ(rig.looseAtCall, kFalse);
    EXPECT_EQ(rig.s.foulCode, 0);  // the referee has used it
  }
}

TEST(Player1Collision, FivePixelsApartOrWithoutALooseBallNothingIsCalled) {
  for (int p2X : {295, 305}) {
    CollisionRig rig(p2X, 300);
    rig.s.looseBallRight = kTrue;
    rig.Tick();
    EXPECT_TRUE(rig.platform.messages.empty());
    EXPECT_EQ(rig.s.looseBallRight, kTrue);
  }
  for (int p2Y : {295, 305}) {
    CollisionRig rig(300, p2Y);
    rig.s.looseBallLeft = kTrue;
    rig.Tick();
    EXPECT_TRUE(rig.platform.messages.empty());
  }
  CollisionRig rig(300, 300);
  rig.Tick();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.foulCode, 0);
}

}  // namespace
}  // namespace tandemhoop::testing
