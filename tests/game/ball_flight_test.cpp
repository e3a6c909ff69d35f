#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/pictures.h"
#include "tests/game/rules_test_support.h"

namespace tandemhoop {
namespace {

using testing::DistinctState;
using testing::FakePlatform;
using testing::RulesRig;
using testing::SpriteCopy;
using testing::StateDiff;
using Copies = std::vector<FakePlatform::Copy>;
using Diff = std::vector<std::string>;

Copies Net() {
  return {SpriteCopy(form2::Picture3, 385, 50, 50, 63, RasterOp::SrcAnd),
          SpriteCopy(form2::Picture4, 385, 50, 50, 63, RasterOp::SrcPaint)};
}

Copies Ball(int x, int y) {
  return {SpriteCopy(form2::Picture1, x, y, 39, 39, RasterOp::SrcAnd),
          SpriteCopy(form2::Picture2, x, y, 39, 39, RasterOp::SrcPaint)};
}

// A shot on its way up, as the shooter's controller leaves it; the rest of the record is noise.
void ShotInFlight(GameState& s, bool byPlayer1, int ballY, std::int16_t chance) {
  s = DistinctState();
  s.p1ShotInFlight = byPlayer1 ? kTrue : kFalse;
  s.p2ShotInFlight = byPlayer1 ? kFalse : kTrue;
  s.lastShooterP1 = byPlayer1 ? kTrue : kFalse;
  s.ballX = 390;
  s.ballY = static_cast<std::int16_t>(ballY);
  s.shotChance = chance;
  s.basketMade = kFalse;
  s.ballHidden = kFalse;
  s.looseBallLeft = kFalse;
  s.looseBallRight = kFalse;
}

TEST(BallFlight, TheShotIsDecidedOnlyOnceTheBallIsAboveY25) {
  {
    SCOPED_TRACE("at 25 the ball is not at the rim yet");
    RulesRig rig;  // no draw
    ShotInFlight(rig.game.state, true, 25, 55);
    const GameState before = rig.game.state;
    rig.game.UpdateBallFlight();
    EXPECT_EQ(StateDiff(before, rig.game.state), Diff{});
    EXPECT_TRUE(rig.platform.copies.empty());
  }
  {
    SCOPED_TRACE("no shot in flight: a high ball is left alone");
    RulesRig rig;
    ShotInFlight(rig.game.state, true, 0, 55);
    rig.game.state.p1ShotInFlight = kFalse;
    const GameState before = rig.game.state;
    rig.game.UpdateBallFlight();
    EXPECT_EQ(StateDiff(before, rig.game.state), Diff{});
  }
  for (const bool byPlayer1 : {true, false}) {
    SCOPED_TRACE(byPlayer1 ? "at 24, Player 1's shot" : "at 24, Player 2's shot");
    RulesRig rig;
    rig.random.Push({0.9, 0.1});  // a miss to the left
    GameState& s = rig.game.state;
    ShotInFlight(s, byPlayer1, 24, 55);
    GameState expected = s;
    rig.game.UpdateBallFlight();
    // Both flights end, though only one was set; the ball stays for the loose-ball bounce.
    expected.p1ShotInFlight = kFalse;
    expected.p2ShotInFlight = kFalse;
    expected.p1ShotTicks = 0;
    expected.p2ShotTicks = 0;
    expected.looseBallLeft = kTrue;
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    EXPECT_TRUE(rig.platform.copies.empty());
  }
}

TEST(BallFlight, MadeWhenTheChanceExceedsAHundredTimesTheDraw) {
  struct Case {
    std::int16_t chance;
    double r;
    bool made;
  };
  const Case cases[] = {
      {85, 0.84375, true},    {85, 0.859375, false}, {75, 0.75, false},      {55, 0.546875, true},
      {55, 0.5546875, false}, {0, 0.0, false},       {100, 0.9921875, true}, {1, 0.0, true},
  };
  for (const Case& c : cases) {
    for (const bool byPlayer1 : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "chance " << c.chance << ", r " << c.r
                                        << (byPlayer1 ? ", Player 1" : ", Player 2"));
      RulesRig rig;
      rig.random.Push(c.r);
      if (!c.made) rig.random.Push(0.0);  // the rebound's own draw
      GameState& s = rig.game.state;
      ShotInFlight(s, byPlayer1, 20, c.chance);
      rig.game.UpdateBallFlight();
      EXPECT_EQ(s.basketMade, c.made ? kTrue : kFalse);
      EXPECT_EQ(s.looseBallLeft, c.made ? kFalse : kTrue);
      EXPECT_EQ(s.looseBallRight, kFalse);
    }
  }
}

TEST(BallFlight, TheReboundDirectionIsASecondIndependentDraw) {
  struct Case {
    double shot, rebound;
    bool right;
  };
  // Three in five go right: r * 5 > 2.
  const Case cases[] = {
      {0.9, 0.4375, true}, {0.9, 0.375, false}, {0.99, 0.0, false}, {0.6, 0.99, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "rebound r " << c.rebound);
    RulesRig rig;
    rig.random.Push({c.shot, c.rebound});
    GameState& s = rig.game.state;
    ShotInFlight(s, true, 10, 55);
    rig.game.UpdateBallFlight();
    EXPECT_EQ(s.looseBallRight, c.right ? kTrue : kFalse);
    EXPECT_EQ(s.looseBallLeft, c.right ? kFalse : kTrue);
    EXPECT_EQ(s.basketMade, kFalse);
    EXPECT_EQ(s.ballX, 390);
    EXPECT_EQ(s.ballY, 10);
  }
}

TEST(BallFlight, AMadeShotSwishesOnceThenDropsTenAFrameUntilTheAwardOnFrame18) {
  RulesRig rig;
  rig.random.Push(0.0);  // made
  GameState& s = rig.game.state;
  rig.game.NewGame();
  s.playClock = 40;
  s.p1HasBall = kFalse;
  s.p1ShotInFlight = kTrue;
  s.lastShooterP1 = kTrue;
  s.ballX = 392;
  s.ballY = 21;

  for (int frame = 1; frame <= 19; ++frame) {
    SCOPED_TRACE(::testing::Message() << "frame " << frame);
    if (frame == 5) {
      // Nobody may start a shot while the ball drops.
      s.p1Shooting = kTrue;
      s.p2Shooting = kTrue;
      s.p1ShotStyle = kDunk;
      s.p2ShotStyle = kLayUp;
      s.p1ShotTicks = 2;
      s.p2ShotTicks = 3;
    }
    rig.platform.Clear();
    rig.game.UpdateBallFlight();
    const Copies copies = rig.platform.SpriteCopies();
    if (frame == 1) {
      Copies expected = Net();
      const Copies ball = Ball(385, 135);
      expected.insert(expected.end(), ball.begin(), ball.end());
      EXPECT_EQ(copies, expected);
    } else if (frame <= 17) {
      EXPECT_EQ(copies, Ball(385, 135 + 10 * (frame - 1)));
    } else {
      EXPECT_TRUE(copies.empty());
    }
    if (frame < 18) {
      EXPECT_EQ(s.basketMade, kTrue);
      EXPECT_EQ(s.ballHidden, kFalse);
      EXPECT_EQ(s.p1Score, 0);
      EXPECT_EQ(s.p1Shooting, kFalse);
      EXPECT_EQ(s.p2Shooting, kFalse);
      EXPECT_EQ(s.p1ShotStyle, kJumpShot);
      EXPECT_EQ(s.p2ShotStyle, kJumpShot);
      EXPECT_EQ(s.p1ShotTicks, 0);
      EXPECT_EQ(s.p2ShotTicks, 0);
    } else {
      EXPECT_EQ(s.basketMade, kFalse);
      EXPECT_EQ(s.p1Score, 1);  // awarded once, on frame 18
      EXPECT_EQ(s.p2HasBall, kTrue);
      EXPECT_EQ(s.ballY, 450);
    }
  }
}

TEST(BallFlight, ADunkOnlyDropsAndTheScorerIsWhoeverShotLastAtTheAward) {
  RulesRig rig;  // a dunk takes no draw
  GameState& s = rig.game.state;
  rig.game.NewGame();
  s.playClock = 40;
  s.p1HasBall = kFalse;
  s.basketMade = kTrue;
  s.lastShooterP1 = kTrue;
  s.ballX = 395;
  s.ballY = 95;
  int frames = 0;
  while (s.basketMade == kTrue && frames < 50) {
    ++frames;
    if (frames == 10) s.lastShooterP1 = kFalse;
    rig.platform.Clear();
    rig.game.UpdateBallFlight();
    const Copies copies = rig.platform.SpriteCopies();
    if (s.basketMade == kTrue) {
      EXPECT_EQ(copies, Ball(395, 95 + 10 * frames));
    }
  }
  EXPECT_EQ(frames, 21);  // 305 is the first height past the floor line
  EXPECT_EQ(s.p1Score, 0);
  EXPECT_EQ(s.p2Score, 1);
  EXPECT_EQ(s.p1HasBall, kTrue);
}

}  // namespace
}  // namespace tandemhoop
