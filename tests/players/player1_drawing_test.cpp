#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/players/player1_rig.h"

namespace tandemhoop::testing {
namespace {

using namespace form2;

// ---- the whole picture of a plain tick --------------------------------------------------------

TEST(Player1Drawing, StandingWithTheBallIsBallBackViewHeadAndNumberInThatOrder) {
  Player1Rig rig;
  rig.Tick();
  EXPECT_EQ(rig.Drawn(), (std::vector<Sprite>{{Picture1, Picture2, 320, 400},
                                              {Picture5, Picture6, 300, 400},
                                              {Picture28, Picture29, 330, 400},
                                              {Picture71, 0, 325, 450}}));
  // Every masked copy is at the picture's own size: the standing body is 87 x 201.
  const auto copies = rig.platform.SpriteCopies();
  ASSERT_EQ(copies.size(), 7u);
  EXPECT_EQ(copies[2], SpriteCopy(Picture5, 300, 400, 87, 201, RasterOp::SrcAnd));
  EXPECT_EQ(copies[3], SpriteCopy(Picture6, 300, 400, 87, 201, RasterOp::SrcPaint));
  EXPECT_EQ(copies[6], SpriteCopy(Picture71, 325, 450, 37, 30, RasterOp::SrcCopy));
}

// ---- body rows 1a-1e: the shooting poses ----------------------------------------------------

struct ShotRig : Player1Rig {
  // In his shooting motion at (x, y), the ball already gone from his hands.
  ShotRig(int x, int y) {
    s.p1X = static_cast<std::int16_t>(x);
    s.p1Y = static_cast<std::int16_t>(y);
    Hold(kMKey);
  }
};

TEST(Player1Drawing, DunkHangingOnTheRimRightOrLeftOfIt) {
  // Right of the rim he hangs at (366, 75) with both arms up.
  ShotRig right(400, 150);
  right.s.p2Y = 300;
  right.s.p1ShotStyle = kDunk;
  right.s.p1ShotTicks = 3;
  right.Tick({});
  EXPECT_EQ(right.Drawn(), (std::vector<Sprite>{{Picture3, Picture4, 385, 50},
                                                {Picture20, Picture21, 354, 65},
                                                {Picture28, Picture29, 396, 82},
                                                {Picture71, 0, 391, 125}}));
  // Left of it he hangs at (343, 78) by one arm, side view.
  ShotRig left(300, 150);
  left.s.p2Y = 300;
  left.s.p1ShotStyle = kDunk;
  left.s.p1ShotTicks = 3;
  left.Tick({});
  EXPECT_EQ(left.Drawn(), (std::vector<Sprite>{{Picture3, Picture4, 385, 50},
                                               {Picture23, Picture24, 315, 68},
                                               {Picture30, Picture31, 365, 83},
                                               {Picture71, 0, 365, 128}}));
}

TEST(Player1Drawing, LayUpAndTheFirstTicksOfADunkUseTheLayUpPose) {
  ShotRig layUp(300, 150);
  layUp.s.p2Y = 170;
  layUp.Tick({kSteady});  // the lay-up's release draw
  EXPECT_EQ(layUp.Body(), (Sprite{Picture68, Picture69, 291, 30}));

  ShotRig dunk(300, 150);
  dunk.s.p2Y = 300;
  dunk.Tick({});
  EXPECT_EQ(dunk.s.p1ShotStyle, kDunk);
  EXPECT_EQ(dunk.Body(), (Sprite{Picture68, Picture69, 334, 38}));
}

TEST(Player1Drawing, JumpShotPoseDependsOnTheSideOfTheRim) {
  ShotRig right(400, 400);
  right.Tick({});
  EXPECT_EQ(right.Body(), (Sprite{Picture17, Picture18, 400, 360}));
  ShotRig left(365, 400);
  left.Tick({});
  EXPECT_EQ(left.Body(), (Sprite{Picture14, Picture15, 377, 360}));
}

// ---- body row 2: the guard pose --------------------------------------------------------------

struct GuardCase {
  const char* name;
  std::function<void(GameState&)> setUp;
  bool guards;
  int draws;  // his own shot's flight draws its aim; the reach flicker only when not guarding
};

void PrintTo(const GuardCase& c, std::ostream* out) {
  *out << c.name;
}

class Player1GuardPose : public ::testing::TestWithParam<GuardCase> {};

// Player 1 without the ball at (300, 300), Player 2 at (600, 310), the ball far from both.
TEST_P(Player1GuardPose, FacesThePlayWhenTheGuardConditionHolds) {
  Player1Rig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p1X = 300;
  rig.s.p1Y = 300;
  rig.s.p2Y = 310;
  rig.s.ballX = 100;
  rig.s.ballY = 300;
  GetParam().setUp(rig.s);
  rig.TickWithDraws(GetParam().draws);
  if (GetParam().guards) {
    EXPECT_EQ(rig.Body(), (Sprite{Picture8, Picture9, 267, rig.s.p1Y}));
  } else {
    EXPECT_EQ(rig.Body(), (Sprite{Picture5, Picture6, 300, rig.s.p1Y}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Player1GuardPose,
    ::testing::Values(
        GuardCase{"LooseLeftBelowHim",
                  [](GameState& s) {
                    s.looseBallLeft = kTrue;
                    s.ballY = 301;
                  },
                  true, 0},
        GuardCase{"LooseRightLevelWithHim", [](GameState& s) { s.looseBallRight = kTrue; }, false,
                  1},
        GuardCase{"LooseRightRunningDown",
                  [](GameState& s) {
                    s.looseBallRight = kTrue;
                    s.p1KeyDown = kTrue;
                  },
                  true, 0},
        GuardCase{"LooseLeftRunningDown",
                  [](GameState& s) {
                    s.looseBallLeft = kTrue;
                    s.p1KeyDown = kTrue;
                  },
                  true, 0},
        GuardCase{"ShooterBelowHim", [](GameState& s) { s.p2Shooting = kTrue; }, true, 0},
        GuardCase{"ShooterFiveAboveHim",
                  [](GameState& s) {
                    s.p2Shooting = kTrue;
                    s.p2Y = 295;
                  },
                  false, 1},
        GuardCase{"ShooterBelowHimButHeIsInTheAir",
                  [](GameState& s) {
                    s.p2Shooting = kTrue;
                    s.p1Jumping = kTrue;
                    s.lastShooterP1 = kTrue;  // a hop, so that he stands in the picture
                  },
                  false, 1},
        GuardCase{"OwnShotUpOnTheFloor", [](GameState& s) { s.p1ShotInFlight = kTrue; }, true, 1},
        GuardCase{"OwnShotUpLevelWithPlayer2",
                  [](GameState& s) {
                    s.p1ShotInFlight = kTrue;
                    s.p2Y = 300;
                  },
                  false, 2},
        GuardCase{"TheirShotUp", [](GameState& s) { s.p2ShotInFlight = kTrue; }, true, 0},
        GuardCase{"TheirShotUpButHeIsInTheAir",
                  [](GameState& s) {
                    s.p2ShotInFlight = kTrue;
                    s.p1Jumping = kTrue;
                    s.lastShooterP1 = kTrue;
                  },
                  false, 1},
        GuardCase{"NothingGoingOn", [](GameState&) {}, false, 1}),
    [](const ::testing::TestParamInfo<GuardCase>& info) { return info.param.name; });

// ---- body row 3: in front of the carrier -----------------------------------------------------

TEST(Player1Drawing, InFrontOfTheCarrierHeFlickersIntoTheReachPose) {
  Player1Rig guard;
  guard.s.p1HasBall = kFalse;
  guard.s.p2HasBall = kTrue;
  guard.s.p1Y = 304;
  guard.s.p2Y = 300;
  guard.Tick({0.06});  // r x 20 = 1.2
  EXPECT_EQ(guard.Body(), (Sprite{Picture8, Picture9, 267, 304}));

  Player1Rig reach;
  reach.s.p1HasBall = kFalse;
  reach.s.p2HasBall = kTrue;
  reach.s.p1Y = 304;
  reach.s.p2Y = 300;
  reach.Tick({0.05});  // r x 20 = 1
  EXPECT_EQ(reach.Body(), (Sprite{Picture11, Picture12, 305, 284}));

  // Five pixels behind the carrier he no longer guards him.
  Player1Rig behind;
  behind.s.p1HasBall = kFalse;
  behind.s.p2HasBall = kTrue;
  behind.s.p1Y = 305;
  behind.s.p2Y = 300;
  behind.Tick({0.0});
  EXPECT_EQ(behind.Body(), (Sprite{Picture5, Picture6, 300, 305}));
}

// ---- body rows 4 and 5 ---------------------------------------------------------------------

TEST(Player1Drawing, WalkingUpWithTheBallAlternatesTwoSteps) {
  Player1Rig first;
  first.Hold(kUpKey);
  first.s.p1WalkFrame = 3;
  first.Tick();
  EXPECT_EQ(first.Body(), (Sprite{Picture58, Picture59, 300, 385}));

  Player1Rig second;
  second.Hold(kUpKey);
  second.s.p1WalkFrame = 4;
  second.Tick();
  EXPECT_EQ(second.Body(), (Sprite{Picture61, Picture62, 300, 385}));
}

TEST(Player1Drawing, UpWithoutTheBallIsTheStandingPose) {
  Player1Rig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p1WalkFrame = 6;
  rig.Hold(kUpKey);
  rig.Tick();
  EXPECT_EQ(rig.Body(), (Sprite{Picture5, Picture6, 300, 385}));
}

TEST(Player1Drawing, InABlockJumpHeReachesUpAndFacesTheCourt) {
  Player1Rig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p1Jumping = kTrue;
  rig.Tick();
  EXPECT_EQ(rig.Drawn(), (std::vector<Sprite>{{Picture11, Picture12, 305, 360},
                                              {Picture26, Picture27, 330, 380}}));

  // The hop of his own jump shot keeps the standing pose once the ball has gone.
  Player1Rig hop;
  hop.s.p1HasBall = kFalse;
  hop.s.p1Jumping = kTrue;
  hop.s.lastShooterP1 = kTrue;
  hop.Tick();
  EXPECT_EQ(hop.Body(), (Sprite{Picture5, Picture6, 300, 380}));
}

// ---- layer 3: heads and shirt numbers for every pick -----------------------------------------

struct HeadCase {
  const char* name;
  std::function<void(Player1Rig&)> setUp;
  int draws;  // the reach flicker is looked at only outside the shooting poses
  int x, y;   // where Player 1 stands when he is drawn
  Sprite heads[4];
  int numberDx;  // 0: no shirt number
  int numbers[4];
};

void PrintTo(const HeadCase& c, std::ostream* out) {
  *out << c.name;
}

class Player1Head : public ::testing::TestWithParam<HeadCase> {};

TEST_P(Player1Head, EachPickHasItsOwnHeadAndNumber) {
  const HeadCase& c = GetParam();
  for (int pick = 1; pick <= 4; ++pick) {
    Player1Rig rig;
    rig.s.p1Pick = static_cast<std::int16_t>(pick);
    c.setUp(rig);
    if (c.draws == 1) {
      rig.Tick();
    } else {
      rig.Tick({});
    }
    const auto drawn = rig.Drawn();
    const Sprite head = c.heads[pick - 1];
    const Sprite expectedHead{head.mask, head.image, c.x + head.x, c.y + head.y};
    std::vector<Sprite> afterBody;
    bool seenBody = false;
    for (const Sprite& sprite : drawn) {
      if (seenBody) afterBody.push_back(sprite);
      if (sprite == rig.Body()) seenBody = true;
    }
    std::vector<Sprite> expected{expectedHead};
    if (c.numberDx != 0) expected.push_back({c.numbers[pick - 1], 0, c.x + c.numberDx, c.y + 50});
    EXPECT_EQ(afterBody, expected) << "pick " << pick;
  }
}

constexpr int kNumbers[4] = {Picture71, Picture72, Picture73, Picture74};

INSTANTIATE_TEST_SUITE_P(
    Cases, Player1Head,
    ::testing::Values(HeadCase{"ShootingLeft",
                               [](Player1Rig& r) {
                                 r.s.p1X = 365;
                                 r.Hold(kMKey);
                               },
                               0,
                               365,
                               400,
                               {{Picture30, Picture31, 22, 5},
                                {Picture38, Picture39, 22, 0},
                                {Picture46, Picture47, 22, 3},
                                {Picture54, Picture55, 17, 5}},
                               22,
                               {kNumbers[0], kNumbers[1], kNumbers[2], kNumbers[3]}},
                      HeadCase{"ShootingRight",
                               [](Player1Rig& r) {
                                 r.s.p1X = 416;
                                 r.Hold(kMKey);
                               },
                               0,
                               416,
                               400,
                               {{Picture32, Picture33, 30, 3},
                                {Picture40, Picture41, 30, 3},
                                {Picture48, Picture49, 30, 5},
                                {Picture56, Picture57, 30, 0}},
                               30,
                               {kNumbers[0], kNumbers[1], kNumbers[2], kNumbers[3]}},
                      HeadCase{"ShootingMiddle",
                               [](Player1Rig& r) {
                                 r.s.p1X = 366;
                                 r.Hold(kMKey);
                               },
                               0,
                               366,
                               400,
                               {{Picture28, Picture29, 30, 7},
                                {Picture36, Picture37, 30, 3},
                                {Picture44, Picture45, 30, 3},
                                {Picture52, Picture53, 32, 12}},
                               25,
                               {kNumbers[0], kNumbers[1], kNumbers[2], kNumbers[3]}},
                      HeadCase{"FrontView",
                               [](Player1Rig& r) {
                                 r.s.p1HasBall = kFalse;
                                 r.s.p2HasBall = kTrue;
                                 r.s.p2Y = 396;
                               },
                               1,
                               300,
                               400,
                               {{Picture26, Picture27, 30, 0},
                                {Picture34, Picture35, 25, 0},
                                {Picture42, Picture43, 28, 0},
                                {Picture50, Picture51, 30, 5}},
                               0,
                               {}},
                      HeadCase{"BackView",
                               [](Player1Rig&) {},
                               1,
                               300,
                               400,
                               {{Picture28, Picture29, 30, 0},
                                {Picture36, Picture37, 30, 0},
                                {Picture44, Picture45, 30, 0},
                                {Picture52, Picture53, 29, 5}},
                               25,
                               {kNumbers[0], kNumbers[1], kNumbers[2], kNumbers[3]}}),
    [](const ::testing::TestParamInfo<HeadCase>& info) { return info.param.name; });

TEST(Player1Drawing, TheOtherFrontViewCasesHideTheNumber) {
  // Without the ball, each of these turns him to face the court.
  const std::function<void(GameState&)> cases[] = {
      [](GameState& s) {
        s.looseBallLeft = kTrue;
        s.ballY = 401;
      },
      [](GameState& s) {
        s.looseBallRight = kTrue;
        s.ballY = 401;
      },
      [](GameState& s) { s.p2Shooting = kTrue; },
      [](GameState& s) {
        s.looseBallLeft = kTrue;
        s.p1KeyDown = kTrue;
      },
      [](GameState& s) {
        s.looseBallRight = kTrue;
        s.p1KeyDown = kTrue;
      },
  };
  for (const auto& setUp : cases) {
    Player1Rig rig;
    rig.s.p1HasBall = kFalse;
    rig.s.p1Y = 300;
    rig.s.p2Y = 300;
    rig.s.ballX = 100;
    rig.s.ballY = 300;
    setUp(rig.s);
    if (rig.s.p1KeyDown == kTrue) rig.s.p1Y = 285;  // he is drawn after his step down
    rig.Tick({});
    const auto drawn = rig.Drawn();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1], (Sprite{Picture26, Picture27, 330, 300}));
  }
}

TEST(Player1Drawing, NoHeadAndNoNumberWithoutAPick) {
  for (int pick : {0, 5, -1}) {
    Player1Rig rig;
    rig.s.p1Pick = static_cast<std::int16_t>(pick);
    rig.Hold(kRightKey);
    rig.Tick();
    EXPECT_EQ(rig.Drawn(), (std::vector<Sprite>{{Picture1, Picture2, 320, 400},
                                                {Picture5, Picture6, 315, 400},
                                                {Picture64, Picture65, 385, 435}}))
        << "pick " << pick;
  }
}

// ---- layer 4: the ball hand ----------------------------------------------------------------

TEST(Player1Drawing, TheBallHandFollowsTheDribble) {
  Player1Rig left;
  left.s.p1Dribbling = kTrue;
  left.Hold(kLeftKey);
  left.Tick();
  EXPECT_EQ(left.Drawn().back(), (Sprite{Picture66, Picture67, 277, 435}));

  // Standing still after a dribble he keeps bouncing it on his right.
  Player1Rig still;
  still.s.p1Dribbling = kTrue;
  still.Tick();
  EXPECT_EQ(still.Drawn().back(), (Sprite{Picture64, Picture65, 370, 435}));

  // Running up under a rebound on his right.
  Player1Rig rebound;
  rebound.s.p1HasBall = kFalse;
  rebound.s.looseBallRight = kTrue;
  rebound.s.ballX = 100;
  rebound.s.ballY = 200;
  rebound.Hold(kUpKey);
  rebound.Tick();
  EXPECT_EQ(rebound.Drawn().back(), (Sprite{Picture64, Picture65, 370, 420}));

  // No hand when he just holds the ball.
  Player1Rig holding;
  holding.Tick();
  EXPECT_FALSE(holding.DrewSprite(Picture64, Picture65));
  EXPECT_FALSE(holding.DrewSprite(Picture66, Picture67));
}

// ---- layer 1: the ball -----------------------------------------------------------------------

TEST(Player1Drawing, HisShotInTheAirIsDrawnByHimAndNotWhileHidden) {
  Player1Rig flight;
  flight.s.p1HasBall = kFalse;
  flight.s.p1ShotInFlight = kTrue;
  flight.s.ballX = 385;
  flight.s.ballY = 200;
  flight.Tick({kSteady, kSteady});  // the flight's aim, then the reach flicker
  EXPECT_EQ(flight.Drawn().front(), (Sprite{Picture1, Picture2, 385, 156}));

  Player1Rig hidden;
  hidden.s.ballHidden = kTrue;
  hidden.Tick();
  EXPECT_FALSE(hidden.DrewSprite(Picture1, Picture2));

  Player1Rig loose;
  loose.s.p1HasBall = kFalse;
  loose.Tick();
  EXPECT_FALSE(loose.DrewSprite(Picture1, Picture2));  // a loose ball is not his to draw
}

}  // namespace
}  // namespace tandemhoop::testing
