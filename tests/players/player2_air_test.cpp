#include <gtest/gtest.h>

#include "players/player2.h"
#include "tests/players/player2_rig.h"

namespace tandemhoop::testing {
namespace {

constexpr int kKeyF = 70, kKeyT = 84;

void StartBlockJump(Player2Rig& rig) {
  rig.s.p2Jumping = kTrue;
  rig.s.lastShooterP1 = kTrue;
}

TEST(Player2Jump, BlockJumpRisesEightyAndComesDownThirty) {
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.ballX = rig.s.p2X;  // no drift
  const int heights[] = {280, 260, 240, 220, 235, 250};
  for (int height : heights) {
    rig.Tick({kQuiet, kQuiet});
    EXPECT_EQ(rig.s.p2Y, height);
    EXPECT_EQ(rig.s.p2Jumping, kTrue);
  }
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 250);
  EXPECT_EQ(rig.s.p2Jumping, kFalse);
  EXPECT_EQ(rig.s.p2JumpTicks, 0);
  EXPECT_EQ(rig.s.p2X, 500);
}

TEST(Player2Jump, BlockJumpDriftsTowardsTheBallWhileRising) {
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.ballX = 600;
  for (int tick = 0; tick < 7; ++tick)
    rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 540) << "10 a tick on the four rising ticks";

  Player2Rig left;
  StartBlockJump(left);
  left.s.ballX = 300;
  left.Tick({kQuiet, kQuiet});
  EXPECT_EQ(left.s.p2X, 490);

  // A ball within 10 of him: the step towards it and the step back cancel out.
  Player2Rig close;
  StartBlockJump(close);
  close.s.ballX = 505;
  close.Tick({kQuiet, kQuiet});
  EXPECT_EQ(close.s.p2X, 500);
}

TEST(Player2Jump, HisOwnHopEndsOnItsSecondTick) {
  Player2Rig rig;
  rig.s.p2Jumping = kTrue;
  rig.s.lastShooterP1 = kFalse;
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 280);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 302);
  EXPECT_EQ(rig.s.p2Jumping, kFalse);
  EXPECT_EQ(rig.s.p2JumpTicks, 0);
}

TEST(Player2Jump, UpKeyStillWalksHimInTheAirWithoutTheBall) {
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.ballX = rig.s.p2X;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 265);
  EXPECT_EQ(rig.s.p2KeyUp, kTrue);
}

TEST(Player2Jump, WithTheBallInTheAirHeCannotSteer) {
  Player2Rig rig;
  rig.s.p2Jumping = kTrue;
  rig.s.p2HasBall = kTrue;
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 500);
  EXPECT_EQ(rig.s.p2KeyLeft, kFalse);
}

TEST(Player2Jump, AFoulCalledDuringABlockJumpDoesNotLeaveHimInTheAir) {
  // He jumps at Player 1's shot and runs up into him: the foul makes Player 2 the last
  // shooter, which turns the rest of his jump into the rules of his own hop.
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.p2JumpTicks = 2;
  rig.s.p1ShotInFlight = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 300;
  rig.s.p2Y = 330;
  rig.s.ballX = 385;
  rig.s.ballY = 60;
  rig.game.Form_KeyDown(kKeyT, 0);
  rig.Tick({kQuiet, kQuiet});
  ASSERT_EQ(rig.platform.messages.size(), 1u);
  EXPECT_EQ(rig.s.lastShooterP1, kFalse);
  EXPECT_EQ(rig.s.p2Jumping, kFalse);
  EXPECT_EQ(rig.s.p2JumpTicks, 0);
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  // Back on the floor with the ball, he can walk off with it.
  EXPECT_EQ(rig.s.p2X, 655) << "the restart spot is outside his bounds";
  rig.game.Form_KeyDown(kKeyF, 0);
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2X, 640);
}

TEST(Player2Jump, AShotStartedInTheAirStillLetsHimLand) {
  // He caught a rebound while jumping at Player 1's shot and shoots before landing: his own
  // shot makes him the last shooter in the middle of the block jump.
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.p2JumpTicks = 2;
  rig.s.p2HasBall = kTrue;
  rig.s.p2Y = 400;
  rig.game.Form_KeyDown(65, 0);  // A
  rig.Tick({});
  EXPECT_EQ(rig.s.p2Y, 380);
  EXPECT_EQ(rig.s.p2Jumping, kTrue);
  rig.Tick({});
  EXPECT_EQ(rig.s.p2Jumping, kFalse);
  EXPECT_EQ(rig.s.p2JumpTicks, 0);
  // ... so that his jump shot can take him up again on its seventh tick.
  for (int tick = 3; tick <= 7; ++tick)
    rig.Tick({});
  EXPECT_EQ(rig.s.p2Jumping, kTrue);
  rig.Tick({0.9, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2Y, 360);
  EXPECT_EQ(rig.s.p2ShotInFlight, kTrue);
}

// Player 1 at (300, 300) has shot; Player 2 at (320, 300) goes up at the ball.
void SetUpBlock(Player2Rig& rig) {
  StartBlockJump(rig);
  rig.s.p1ShotInFlight = kTrue;
  rig.s.p1ShotStyle = kJumpShot;
  rig.s.p1ShotTicks = 3;
  rig.s.lastShooterP1 = kTrue;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2X = 320;
  rig.s.p2Y = 300;
  rig.s.ballX = 330;
  rig.s.ballY = 260;
  rig.s.playClock = 30;
  rig.s.dribblePickedUp = kTrue;
}

TEST(Player2Block, KnocksTheBallAwayFromTheShooter) {
  Player2Rig rig;
  SetUpBlock(rig);
  rig.Tick({0.6, kQuiet, kQuiet});  // r x 4 > 2
  EXPECT_EQ(rig.s.p1ShotInFlight, kFalse);
  EXPECT_EQ(rig.s.p1ShotTicks, 0);
  EXPECT_EQ(rig.s.looseBallRight, kTrue);
  EXPECT_EQ(rig.s.looseBallLeft, kFalse);
  EXPECT_EQ(rig.s.ballX, 330) << "in his hands: he drifted from 320 to the ball";
  EXPECT_EQ(rig.s.ballY, 260);
  EXPECT_EQ(rig.s.playClock, 2);
  EXPECT_EQ(rig.s.p2HasBall, kFalse) << "too early in the play clock to catch it";

  Player2Rig other;
  SetUpBlock(other);
  other.s.p1X = 340;  // the shooter on his right
  other.Tick({0.6, kQuiet, kQuiet});
  EXPECT_EQ(other.s.looseBallLeft, kTrue);
}

TEST(Player2Block, OrCatchesItAndHoldsItInTheAir) {
  Player2Rig rig;
  SetUpBlock(rig);
  rig.Tick({0.5, kQuiet, kQuiet});  // r x 4 = 2: not knocked away
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_EQ(rig.s.dribblePickedUp, kFalse);
  EXPECT_EQ(rig.s.looseBallLeft, kFalse);
  EXPECT_EQ(rig.s.looseBallRight, kFalse);
  EXPECT_EQ(rig.s.p2Jumping, kTrue) << "the jump goes on";
}

TEST(Player2Block, OnlyARisingJumpAgainstAJumpShotBlocks) {
  Player2Rig late;
  SetUpBlock(late);
  late.s.p2JumpTicks = 4;  // tick 5: on the way down
  late.s.p2Y = 320;
  late.Tick({kQuiet, kQuiet});
  EXPECT_EQ(late.s.p1ShotInFlight, kTrue);

  for (std::int16_t style : {kLayUp, kDunk}) {
    Player2Rig rig;
    SetUpBlock(rig);
    rig.s.p1ShotStyle = style;
    rig.Tick({kQuiet, kQuiet});
    EXPECT_EQ(rig.s.p1ShotInFlight, kTrue) << "style " << style;
  }

  // Out of reach of the ball by 55 pixels.
  Player2Rig wide;
  SetUpBlock(wide);
  wide.s.ballX = 385;
  wide.s.p2X = 320;  // drifts to 330: 385 - 55 = 330 is not below him
  wide.Tick({kQuiet, kQuiet});
  EXPECT_EQ(wide.s.p1ShotInFlight, kTrue);
}

TEST(Player2LooseBall, CaughtWithinHisReach) {
  struct Case {
    int dx, dy;
    std::int16_t clock;
    bool caught;
  } cases[] = {{39, 59, 7, true},  {-15, -15, 7, true}, {40, 0, 7, false}, {0, 60, 7, false},
               {-16, 0, 7, false}, {0, -16, 7, false},  {0, 0, 6, false}};
  for (const Case& c : cases) {
    Player2Rig rig;
    rig.s.looseBallRight = kTrue;
    rig.s.playClock = c.clock;
    rig.s.ballX = static_cast<std::int16_t>(rig.s.p2X + c.dx);
    rig.s.ballY = static_cast<std::int16_t>(rig.s.p2Y + c.dy);
    player2::CatchLooseBall(rig.game);
    EXPECT_EQ(rig.s.p2HasBall, c.caught ? kTrue : kFalse) << c.dx << "," << c.dy;
    EXPECT_EQ(rig.s.looseBallRight, c.caught ? kFalse : kTrue);
  }
}

TEST(Player2LooseBall, HeCatchesItInTheAirToo) {
  Player2Rig rig;
  StartBlockJump(rig);
  rig.s.p2JumpTicks = 1;
  rig.s.looseBallLeft = kTrue;
  rig.s.ballX = 510;
  rig.s.ballY = 270;  // he rises to 280 this tick
  rig.Tick({kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_EQ(rig.s.looseBallLeft, kFalse);
}

// Player 2 holds the ball at (500, 300) and Player 1 reaches for it from (x, y).
Player2Rig& Reach(Player2Rig& rig, std::int16_t x, std::int16_t y) {
  rig.s.p2HasBall = kTrue;
  rig.s.p1Stealing = kTrue;
  rig.s.p1X = x;
  rig.s.p1Y = y;
  return rig;
}

void Contact(Player2Rig& rig, std::initializer_list<double> draws) {
  const std::size_t before = rig.random.Drawn();
  rig.random.Push(draws);
  player2::ResolveContact(rig.game);
  EXPECT_EQ(rig.random.Drawn() - before, draws.size()) << "random values drawn";
  while (rig.random.Drawn() < before + draws.size())
    rig.random.Next();
}

TEST(Player2Contact, TheyTouchCloserThanThirtyPixels) {
  const struct {
    std::int16_t x, y;
    bool touching;
  } cases[] = {{529, 329, true},  {471, 271, true},  {530, 300, false},
               {500, 330, false}, {470, 300, false}, {500, 270, false}};
  for (const auto& c : cases) {
    Player2Rig rig;
    Reach(rig, c.x, c.y);
    if (c.touching) {
      Contact(rig, {0.5, 0.5});
    } else {
      Contact(rig, {});
    }
  }
}

TEST(Player2Contact, NobodyHoldingTheBallMeansNoContactRule) {
  Player2Rig rig;
  Reach(rig, 500, 300);
  rig.s.p2HasBall = kFalse;
  Contact(rig, {});
}

TEST(Player2Contact, AReachStealsOneTimeInTen) {
  Player2Rig rig;
  Reach(rig, 510, 310);
  Contact(rig, {0.099, 0.5});
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
  EXPECT_EQ(rig.s.p2HasBall, kFalse);
  EXPECT_TRUE(rig.platform.messages.empty());

  Player2Rig missed;
  Reach(missed, 510, 310);
  Contact(missed, {0.1, 0.5});
  EXPECT_EQ(missed.s.p2HasBall, kTrue);
}

TEST(Player2Contact, AReachFoulsThreeTimesInAHundredEvenAfterTheSteal) {
  Player2Rig rig;
  Reach(rig, 510, 310);
  Contact(rig, {0.5, 0.98});
  ASSERT_EQ(rig.platform.messages.size(), 1u);
  EXPECT_EQ(rig.platform.messages[0], "FOUL: Player 1");
  EXPECT_EQ(rig.s.p2HasBall, kTrue);

  // The foul test is made after the ball has changed hands: it is then Player 2's.
  Player2Rig stolen;
  Reach(stolen, 510, 310);
  Contact(stolen, {0.05, 0.98});
  ASSERT_EQ(stolen.platform.messages.size(), 1u);
  EXPECT_EQ(stolen.platform.messages[0], "FOUL: Player 2");
  EXPECT_EQ(stolen.s.p1HasBall, kTrue);
}

TEST(Player2Contact, AReachAtAShotInTheAirTakesItsOwnTwoValues) {
  Player2Rig rig;
  Reach(rig, 510, 310);
  rig.s.p2HasBall = kFalse;
  rig.s.p1HasBall = kTrue;
  rig.s.p2ShotInFlight = kTrue;
  Contact(rig, {0.24, 0.5});  // r x 100 < 25 changes hands, no foul
  EXPECT_EQ(rig.s.p1HasBall, kFalse);
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
}

TEST(Player2Contact, ADribblerRunningIntoHimMayLoseTheBall) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p1Dribbling = kTrue;
  rig.s.p1KeyLeft = kTrue;
  rig.s.p1X = 490;
  rig.s.p1Y = 290;
  Contact(rig, {0.029, 0.5});
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_TRUE(rig.platform.messages.empty());

  Player2Rig kept;
  kept.s.p1HasBall = kTrue;
  kept.s.p1Dribbling = kTrue;
  kept.s.p1KeyUp = kTrue;
  kept.s.p1X = 490;
  kept.s.p1Y = 290;
  Contact(kept, {0.031, 0.99});  // no steal, but a foul on Player 2
  ASSERT_EQ(kept.platform.messages.size(), 1u);
  EXPECT_EQ(kept.platform.messages[0], "FOUL: Player 2");
  EXPECT_EQ(kept.s.p1HasBall, kTrue);
}

TEST(Player2Contact, AStandingCarrierIsSafe) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p1Dribbling = kTrue;  // dribbled before, but no arrow held now
  rig.s.p1X = 490;
  rig.s.p1Y = 290;
  Contact(rig, {});
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
}

TEST(Player2Contact, AgainstTheComputerTheDribblerIsRobbedTheSameWay) {
  Player2Rig rig;
  rig.s.twoPlayerMode = kFalse;
  rig.s.playClock = 5;  // the computer still waits, so he stands where he is
  rig.s.p1HasBall = kTrue;
  rig.s.p1Dribbling = kTrue;
  rig.s.p1KeyRight = kTrue;
  rig.s.p1X = 490;
  rig.s.p1Y = 310;
  rig.Tick({0.02, 0.5, kQuiet, kQuiet});
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_EQ(rig.s.p1HasBall, kFalse);
}

}  // namespace
}  // namespace tandemhoop::testing
