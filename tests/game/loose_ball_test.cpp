#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
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

Copies Ball(int x, int y) {
  return {SpriteCopy(form2::Picture1, x, y, 39, 39, RasterOp::SrcAnd),
          SpriteCopy(form2::Picture2, x, y, 39, 39, RasterOp::SrcPaint)};
}

// Mid-game with nobody holding the ball and nobody shooting or jumping.
void FreeBall(Game& game, int x, int y) {
  game.NewGame();
  GameState& s = game.state;
  s.playClock = 40;
  s.p1HasBall = kFalse;
  s.ballX = static_cast<std::int16_t>(x);
  s.ballY = static_cast<std::int16_t>(y);
}

TEST(LooseBall, IsDrawnOnlyWhenNobodyHoldsShootsOrHidesIt) {
  struct Case {
    const char* what;
    std::int16_t GameState::*blocker;  // nullptr: nothing in the way
  };
  const Case cases[] = {
      {"free", nullptr},
      {"Player 1 holds it", &GameState::p1HasBall},
      {"Player 1's shot in the air", &GameState::p1ShotInFlight},
      {"Player 2 holds it", &GameState::p2HasBall},
      {"Player 2 shoots", &GameState::p2Shooting},
      {"dropping through the net", &GameState::basketMade},
      {"part of a shooting pose", &GameState::ballHidden},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RulesRig rig;
    FreeBall(rig.game, 200, 300);
    if (c.blocker != nullptr) rig.game.state.*c.blocker = kTrue;
    rig.game.DrawLooseBall();
    EXPECT_EQ(rig.platform.SpriteCopies(), c.blocker == nullptr ? Ball(200, 300) : Copies{});
  }
  // Player 2's own shot in the air is drawn again here once his shooting flag is down.
  RulesRig rig;
  FreeBall(rig.game, 200, 100);
  rig.game.state.p2ShotInFlight = kTrue;
  rig.game.DrawLooseBall();
  EXPECT_EQ(rig.platform.SpriteCopies(), Ball(200, 100));
}

TEST(LooseBall, EachBounceTakesTheBallFromEverybodyAndTouchesNothingElse) {
  for (const bool right : {true, false}) {
    SCOPED_TRACE(right ? "right" : "left");
    RulesRig rig;
    GameState& s = rig.game.state;
    s = DistinctState();  // hidden ball and jumping players: no draw, no burst
    (right ? s.looseBallRight : s.looseBallLeft) = kTrue;
    (right ? s.looseBallLeft : s.looseBallRight) = kFalse;
    s.ballX = 300;
    s.ballY = 200;
    GameState expected = s;
    rig.game.DrawLooseBall();
    expected.ballX = right ? 315 : 285;
    expected.ballY = 215;
    expected.dribblePickedUp = kFalse;
    expected.p2HasBall = kFalse;
    expected.p1HasBall = kFalse;
    expected.p2ShotInFlight = kFalse;
    expected.p1Shooting = kFalse;
    expected.ballHidden = kFalse;
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    EXPECT_TRUE(rig.platform.copies.empty());
  }
}

TEST(LooseBall, ARightReboundFrom385By20RestsAt650By400) {
  RulesRig rig;
  FreeBall(rig.game, 385, 20);
  GameState& s = rig.game.state;
  s.looseBallRight = kTrue;
  int x = 385;
  int y = 20;
  std::vector<std::pair<int, int>> positions;  // after each frame
  for (int frame = 1; frame <= 30; ++frame) {
    SCOPED_TRACE(::testing::Message() << "frame " << frame);
    rig.platform.Clear();
    if (frame == 20) s.p2HasBall = kTrue;  // held at 0 on every frame until a catch
    rig.game.DrawLooseBall();
    // Drawn where it was before this frame's bounce.
    EXPECT_EQ(rig.platform.SpriteCopies(), frame == 20 ? Copies{} : Ball(x, y));
    x = std::min(x + 15, 650);
    y = std::min(y + 15, 400);
    EXPECT_EQ(s.ballX, x);
    EXPECT_EQ(s.ballY, y);
    EXPECT_EQ(s.p2HasBall, kFalse);
    positions.push_back({s.ballX, s.ballY});
  }
  EXPECT_EQ(positions[16].first, 640);
  EXPECT_EQ(positions[17].first, 650);  // 655 is cut
  EXPECT_EQ(positions[24].second, 395);
  EXPECT_EQ(positions[25].second, 400);  // 410 is cut
  EXPECT_EQ(positions[29], std::make_pair(650, 400));
  EXPECT_EQ(s.looseBallRight, kTrue);  // only a catch ends it
}

TEST(LooseBall, ALeftReboundBelowTenComesBackTo20) {
  RulesRig rig;
  FreeBall(rig.game, 25, 100);
  GameState& s = rig.game.state;
  s.looseBallLeft = kTrue;
  const int expectedX[] = {10, 20, 20, 20};
  const int expectedY[] = {115, 130, 145, 160};
  for (int frame = 0; frame < 4; ++frame) {
    SCOPED_TRACE(::testing::Message() << "frame " << frame + 1);
    rig.game.DrawLooseBall();
    EXPECT_EQ(s.ballX, expectedX[frame]);
    EXPECT_EQ(s.ballY, expectedY[frame]);
  }
}

// ---- crossover burst --------------------------------------------------------------------------

struct BurstSetup {
  std::int16_t leftHeld = 0, rightHeld = 0;
  std::int16_t p1KeyLeft = kFalse, p1KeyRight = kFalse, p1HasBall = kFalse;
  std::int16_t p2KeyLeft = kFalse, p2KeyRight = kFalse, p2HasBall = kFalse;
  std::int16_t twoPlayerMode = kTrue;
};

void Arrange(Game& game, const BurstSetup& b) {
  game.NewGame();
  GameState& s = game.state;
  s.playClock = 40;
  s.p1Y = 300;
  s.p2Y = 250;
  s.leftHeldTicks = b.leftHeld;
  s.rightHeldTicks = b.rightHeld;
  s.p1KeyLeft = b.p1KeyLeft;
  s.p1KeyRight = b.p1KeyRight;
  s.p1HasBall = b.p1HasBall;
  s.p2KeyLeft = b.p2KeyLeft;
  s.p2KeyRight = b.p2KeyRight;
  s.p2HasBall = b.p2HasBall;
  s.twoPlayerMode = b.twoPlayerMode;
}

TEST(CrossoverBurst, Player1TurnsAfterNineTicksOneWayAndJumps70UpTheCourt) {
  struct Case {
    const char* what;
    BurstSetup setup;
    bool bursts;
  };
  const Case cases[] = {
      {"left 9 then right", {.leftHeld = 9, .p1KeyRight = kTrue, .p1HasBall = kTrue}, true},
      {"left still held",
       {.leftHeld = 9, .p1KeyLeft = kTrue, .p1KeyRight = kTrue, .p1HasBall = kTrue},
       true},
      {"left only 8", {.leftHeld = 8, .p1KeyRight = kTrue, .p1HasBall = kTrue}, false},
      {"right 9 then left", {.rightHeld = 9, .p1KeyLeft = kTrue, .p1HasBall = kTrue}, true},
      {"right 9, no turn", {.rightHeld = 9, .p1KeyRight = kTrue, .p1HasBall = kTrue}, false},
      {"without the ball", {.leftHeld = 9, .p1KeyRight = kTrue}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RulesRig rig;  // Player 1's burst takes no draw
    Arrange(rig.game, c.setup);
    GameState& s = rig.game.state;
    GameState expected = s;
    rig.game.DrawLooseBall();
    if (c.bursts) {
      expected.p1Y = 230;
      expected.leftHeldTicks = 0;
      expected.rightHeldTicks = 0;
    }
    EXPECT_EQ(StateDiff(expected, s), Diff{});
  }
}

TEST(CrossoverBurst, NeverWhileEitherPlayerJumpsOrAfterTheDribbleWasPickedUp) {
  std::int16_t GameState::*const blockers[] = {&GameState::p1JumpTicks, &GameState::p2JumpTicks,
                                               &GameState::dribblePickedUp};
  for (auto blocker : blockers) {
    for (const bool player1 : {true, false}) {
      RulesRig rig;  // a blocked burst takes no draw either
      BurstSetup b{.leftHeld = 9, .rightHeld = 9};
      (player1 ? b.p1KeyRight : b.p2KeyRight) = kTrue;
      (player1 ? b.p1HasBall : b.p2HasBall) = kTrue;
      Arrange(rig.game, b);
      GameState& s = rig.game.state;
      s.*blocker = static_cast<std::int16_t>(blocker == &GameState::dribblePickedUp ? kTrue : 1);
      const GameState before = s;
      rig.game.DrawLooseBall();
      EXPECT_EQ(StateDiff(before, s), Diff{});
    }
  }
}

TEST(CrossoverBurst, Player2AlwaysBurstsInTwoPlayerModeButTakesTheDrawAnyway) {
  for (const double r : {0.0, 0.99}) {
    RulesRig rig;
    rig.random.Push(r);
    Arrange(rig.game, {.rightHeld = 12, .p2KeyLeft = kTrue, .p2HasBall = kTrue});
    rig.game.DrawLooseBall();
    EXPECT_EQ(rig.game.state.p2Y, 180);
    EXPECT_EQ(rig.game.state.p1Y, 300);
    EXPECT_EQ(rig.game.state.rightHeldTicks, 0);
  }
}

TEST(CrossoverBurst, TheComputerBurstsTwoTimesInFiveAndOtherwiseKeepsItsCount) {
  const BurstSetup computer{
      .leftHeld = 9, .p2KeyRight = kTrue, .p2HasBall = kTrue, .twoPlayerMode = kFalse};
  int bursts = 0;
  for (const double r : {0.0, 0.2, 0.4, 0.6, 0.8}) {
    RulesRig rig;
    rig.random.Push(r);
    Arrange(rig.game, computer);
    rig.game.DrawLooseBall();
    if (rig.game.state.p2Y == 180) {
      ++bursts;
      EXPECT_EQ(rig.game.state.leftHeldTicks, 0);
    } else {
      EXPECT_EQ(rig.game.state.p2Y, 250);
      EXPECT_EQ(rig.game.state.leftHeldTicks, 9);
    }
  }
  EXPECT_EQ(bursts, 2);

  // A turn it lets pass stays open: it may still burst on a later frame.
  RulesRig rig;
  rig.random.Push({0.4375, 0.375});
  Arrange(rig.game, computer);
  rig.game.DrawLooseBall();
  EXPECT_EQ(rig.game.state.p2Y, 250);
  rig.game.DrawLooseBall();
  EXPECT_EQ(rig.game.state.p2Y, 180);
}

TEST(CrossoverBurst, TheComputerDrawsOncePerDirectionThatQualifies) {
  const BurstSetup both{.leftHeld = 9,
                        .rightHeld = 9,
                        .p2KeyLeft = kTrue,
                        .p2KeyRight = kTrue,
                        .p2HasBall = kTrue,
                        .twoPlayerMode = kFalse};
  {
    RulesRig rig;
    rig.random.Push({0.9, 0.1});  // passes on the left count, takes the right one
    Arrange(rig.game, both);
    rig.game.DrawLooseBall();
    EXPECT_EQ(rig.game.state.p2Y, 180);
    EXPECT_EQ(rig.game.state.leftHeldTicks, 0);
    EXPECT_EQ(rig.game.state.rightHeldTicks, 0);
  }
  {
    RulesRig rig;
    rig.random.Push({0.1});  // the first burst resets both counts, so the second never asks
    Arrange(rig.game, both);
    rig.game.DrawLooseBall();
    EXPECT_EQ(rig.game.state.p2Y, 180);
  }
}

}  // namespace
}  // namespace tandemhoop
