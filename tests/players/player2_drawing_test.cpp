#include <gtest/gtest.h>

#include <vector>

#include "players/player2.h"
#include "tests/players/player2_rig.h"

namespace tandemhoop::testing {
namespace {

// Draws Player 2 alone, where he stands, with the given random values for the pose rows.
std::vector<Drawn> DrawPlayer2(Player2Rig& rig, std::initializer_list<double> draws) {
  rig.platform.Clear();
  const std::size_t before = rig.random.Drawn();
  rig.random.Push(draws);
  player2::Draw(rig.game, rig.s.p2X, rig.s.p2Y);
  EXPECT_EQ(rig.random.Drawn() - before, draws.size()) << "random values drawn for the pose";
  while (rig.random.Drawn() < before + draws.size())
    rig.random.Next();
  return rig.Pictures();
}

Drawn Body(const std::vector<Drawn>& pictures) {
  for (const Drawn& d : pictures) {
    if (d.mask != 1 && d.mask != 3) return d;  // the first after any ball or net
  }
  return {};
}

void Shoot(GameState& s, std::int16_t style, std::int16_t ticks) {
  s.p2Shooting = kTrue;
  s.p2ShotStyle = style;
  s.p2ShotTicks = ticks;
  s.ballHidden = kTrue;
}

TEST(Player2Drawing, StandingWithHisBackToUsShowsTheBackOfHisHeadAndHisNumber) {
  Player2Rig rig;
  EXPECT_EQ(DrawPlayer2(rig, {kQuiet, kQuiet}),
            (std::vector<Drawn>{{5, 7, 500, 300}, {28, 29, 530, 300}, {75, 0, 525, 350}}));
}

TEST(Player2Drawing, TheBallIsDrawnFirstUnlessItIsPartOfThePose) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.ballX = 515;
  rig.s.ballY = 300;
  auto pictures = DrawPlayer2(rig, {kQuiet, kQuiet});
  ASSERT_FALSE(pictures.empty());
  EXPECT_EQ(pictures.front(), (Drawn{1, 2, 515, 300}));

  rig.s.ballHidden = kTrue;
  pictures = DrawPlayer2(rig, {kQuiet, kQuiet});
  EXPECT_NE(pictures.front().mask, 1);

  rig.s.p2HasBall = kFalse;
  rig.s.ballHidden = kFalse;
  rig.s.p2ShotInFlight = kTrue;
  rig.s.p1Y = 400;  // nearer the basket than Player 1: he turns to face the play
  pictures = DrawPlayer2(rig, {kQuiet});
  EXPECT_EQ(pictures.front(), (Drawn{1, 2, 515, 300}));
}

TEST(Player2Drawing, ShootingPosesDependOnTheStyleAndTheSideOfTheRim) {
  struct Case {
    std::int16_t style, ticks, x, y;
    Drawn body;
  };
  const Case cases[] = {
      {kDunk, 4, 366, 75, {20, 22, 354, 65}},        // hanging on the rim, right of it
      {kDunk, 4, 343, 78, {23, 25, 315, 68}},        // ... left of it
      {kDunk, 3, 343, 78, {68, 70, 334, 38}},        // on the way up: the lay-up pose
      {kLayUp, 2, 300, 70, {68, 70, 291, 30}},       //
      {kJumpShot, 2, 366, 400, {17, 19, 366, 360}},  // right of x = 365
      {kJumpShot, 2, 365, 400, {14, 16, 377, 360}},  // at it or to the left
  };
  for (const Case& c : cases) {
    Player2Rig rig;
    Shoot(rig.s, c.style, c.ticks);
    rig.s.p2X = c.x;
    rig.s.p2Y = c.y;
    EXPECT_EQ(Body(DrawPlayer2(rig, {})), c.body) << "style " << c.style << " x " << c.x;
  }
}

TEST(Player2Drawing, InFrontOfTheCarrierHeGuardsNineteenTicksInTwenty) {
  Player2Rig rig;
  rig.s.p1HasBall = kTrue;
  rig.s.p1Y = 296;  // he stands less than 5 above the carrier's line
  EXPECT_EQ(Body(DrawPlayer2(rig, {kQuiet})), (Drawn{8, 10, 467, 300}));
  // The guard value fails: the reach row takes a value of its own.
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.04, 0.05})), (Drawn{11, 13, 503, 280}));
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.04, 0.5})), (Drawn{5, 7, 500, 300}));
  // Five or more below the carrier he neither guards nor reaches.
  rig.s.p1Y = 295;
  EXPECT_EQ(Body(DrawPlayer2(rig, {kQuiet, 0.05})), (Drawn{5, 7, 500, 300}));
}

TEST(Player2Drawing, TheGuardRowDrawsItsValueEvenWhenALooseBallDecides) {
  Player2Rig rig;
  rig.s.looseBallLeft = kTrue;
  rig.s.ballY = 350;  // below him
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0})), (Drawn{8, 10, 467, 300}));
  rig.s.ballY = 250;
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0, 0.5})), (Drawn{5, 7, 500, 300}));
  rig.s.p2KeyDown = kTrue;  // running down after it
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0})), (Drawn{8, 10, 467, 300}));
}

TEST(Player2Drawing, GuardsAShooterUnlessHeIsInTheAir) {
  Player2Rig rig;
  rig.s.p1Shooting = kTrue;
  rig.s.p1Y = 293;  // y < p1Y + 8
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0})), (Drawn{8, 10, 467, 300}));
  rig.s.p1Y = 292;
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0, 0.5})), (Drawn{5, 7, 500, 300}));
  // A block jump: arms up while rising, spread while coming down.
  rig.s.p1Y = 400;
  rig.s.p2Jumping = kTrue;
  rig.s.lastShooterP1 = kTrue;
  rig.s.p2JumpTicks = 4;
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0, 0.5})), (Drawn{11, 13, 503, 280}));
  rig.s.p2JumpTicks = 5;
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0, 0.5})), (Drawn{8, 10, 467, 300}));
  // His own hop shows no jumping pose.
  rig.s.lastShooterP1 = kFalse;
  rig.s.p2JumpTicks = 1;
  EXPECT_EQ(Body(DrawPlayer2(rig, {0.0, 0.5})), (Drawn{5, 7, 500, 300}));
}

TEST(Player2Drawing, WalkingUpWithTheBallAlternatesTwoSteps) {
  Player2Rig rig;
  rig.s.p2HasBall = kTrue;
  rig.s.p2KeyUp = kTrue;
  const struct {
    std::int16_t frame;
    int image;
  } steps[] = {{0, 63}, {1, 60}, {4, 60}, {5, 63}, {8, 63}};
  for (const auto& step : steps) {
    rig.s.p2WalkFrame = step.frame;
    EXPECT_EQ(Body(DrawPlayer2(rig, {kQuiet, kQuiet})).image, step.image) << "frame " << step.frame;
  }
  rig.s.p2KeyUp = kFalse;
  EXPECT_EQ(Body(DrawPlayer2(rig, {kQuiet, kQuiet})).image, 7);
}

TEST(Player2Drawing, ShootingHeadsFollowTheSideOfTheBasket) {
  struct Case {
    std::int16_t pick, x;
    Drawn head, number;
  };
  const Case cases[] = {
      {2, 365, {38, 39, 387, 400}, {76, 0, 387, 450}},  // left of x = 366
      {1, 366, {28, 29, 396, 407}, {75, 0, 391, 450}},  // the middle ...
      {4, 415, {52, 53, 447, 412}, {78, 0, 440, 450}},  // ... up to x = 415
      {4, 416, {56, 57, 446, 403}, {78, 0, 446, 450}},  // right of it
      {3, 416, {48, 49, 446, 405}, {77, 0, 446, 450}},
  };
  for (const Case& c : cases) {
    Player2Rig rig;
    Shoot(rig.s, kJumpShot, 2);
    rig.s.p2Pick = c.pick;
    rig.s.p2X = c.x;
    rig.s.p2Y = 400;
    const auto pictures = DrawPlayer2(rig, {});
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[1], c.head) << "pick " << c.pick << " x " << c.x;
    EXPECT_EQ(pictures[2], c.number) << "pick " << c.pick << " x " << c.x;
  }
}

TEST(Player2Drawing, FacingThePlayHidesHisNumber) {
  Player2Rig rig;
  rig.s.p2Pick = 3;
  rig.s.p1HasBall = kTrue;
  rig.s.p1Y = 300;  // level with the carrier: he faces him
  EXPECT_EQ(DrawPlayer2(rig, {kQuiet}),
            (std::vector<Drawn>{{8, 10, 467, 300}, {42, 43, 528, 300}}));
  // One pixel below the carrier he still guards, but we see his back.
  rig.s.p2Y = 301;
  rig.s.p2Pick = 4;
  EXPECT_EQ(DrawPlayer2(rig, {kQuiet}),
            (std::vector<Drawn>{{8, 10, 467, 301}, {52, 53, 529, 306}, {78, 0, 525, 351}}));
}

TEST(Player2Drawing, FrontHeadsOfEveryPick) {
  const Drawn heads[] = {
      {26, 27, 530, 300}, {34, 35, 525, 300}, {42, 43, 528, 300}, {50, 51, 530, 305}};
  for (std::int16_t pick = 1; pick <= 4; ++pick) {
    Player2Rig rig;
    rig.s.p2Pick = pick;
    rig.s.looseBallRight = kTrue;
    rig.s.ballY = 400;
    const auto pictures = DrawPlayer2(rig, {kQuiet});
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[1], heads[pick - 1]) << "pick " << pick;
  }
}

TEST(Player2Drawing, WithoutAPickHeIsDrawnHeadlessButWithHisHand) {
  Player2Rig rig;
  rig.s.p2Pick = 0;
  rig.s.p2Dribbling = kTrue;
  EXPECT_EQ(DrawPlayer2(rig, {kQuiet, kQuiet}),
            (std::vector<Drawn>{{5, 7, 500, 300}, {64, 65, 570, 335}}));
  rig.s.p2Pick = 5;
  rig.s.p2KeyLeft = kTrue;
  EXPECT_EQ(DrawPlayer2(rig, {kQuiet, kQuiet}),
            (std::vector<Drawn>{{5, 7, 500, 300}, {66, 67, 492, 335}}));
}

}  // namespace
}  // namespace tandemhoop::testing
