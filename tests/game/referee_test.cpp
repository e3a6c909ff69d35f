#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/rules_test_support.h"

namespace tandemhoop {
namespace {

using testing::DistinctState;
using testing::RulesRig;
using testing::StateDiff;
using Diff = std::vector<std::string>;

void ClearMovementKeys(GameState& s) {
  s.p1KeyLeft = s.p1KeyRight = s.p1KeyUp = s.p1KeyDown = kFalse;
  s.p2KeyLeft = s.p2KeyRight = s.p2KeyUp = s.p2KeyDown = kFalse;
}

void Put(std::int16_t& x, std::int16_t& y, int toX, int toY) {
  x = static_cast<std::int16_t>(toX);
  y = static_cast<std::int16_t>(toY);
}

// ---- offensive foul ---------------------------------------------------------------------------

struct OffensiveCase {
  const char* what;
  std::int16_t p1HasBall, p2HasBall;
  const char* message;  // nullptr: no call
};

class OffensiveFoul : public ::testing::TestWithParam<OffensiveCase> {};

TEST_P(OffensiveFoul, ClearsTheKeysThenRestartsWithTheBallToTheOtherSide) {
  const OffensiveCase& c = GetParam();
  RulesRig rig;  // no draw
  GameState& s = rig.game.state;
  s = DistinctState();
  s.p1HasBall = c.p1HasBall;
  s.p2HasBall = c.p2HasBall;
  const GameState before = s;
  GameState atMessage;
  rig.platform.onMessage = [&](const std::string&) { atMessage = s; };

  rig.game.CallOffensiveFoul();

  GameState expected = before;
  expected.dribblePickedUp = kFalse;
  ClearMovementKeys(expected);
  expected.ballHidden = kFalse;
  if (c.message == nullptr) {
    EXPECT_TRUE(rig.platform.messages.empty());
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    return;
  }
  EXPECT_EQ(rig.platform.messages, std::vector<std::string>{c.message});
  // The box goes up with the players still where they collided.
  EXPECT_EQ(StateDiff(expected, atMessage), Diff{});

  // The play clock, the held-key counters, the shots and the scores are left alone.
  const bool player1Offended = c.p1HasBall == kTrue;
  expected.p1HasBall = player1Offended ? kFalse : kTrue;
  expected.p2HasBall = player1Offended ? kTrue : kFalse;
  if (player1Offended) {
    Put(expected.p2X, expected.p2Y, 670, 450);
    Put(expected.p1X, expected.p1Y, 550, 350);
  } else {
    Put(expected.p2X, expected.p2Y, 550, 350);
    Put(expected.p1X, expected.p1Y, 670, 450);
  }
  Put(expected.ballX, expected.ballY, 670, 450);
  EXPECT_EQ(StateDiff(expected, s), Diff{});
  EXPECT_TRUE(rig.platform.copies.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Carriers, OffensiveFoul,
    ::testing::Values(OffensiveCase{"Player1", kTrue, kFalse, "Player 1 - Offensive Foul"},
                      OffensiveCase{"Player2", kFalse, kTrue, "Player 2 - Offensive Foul"},
                      OffensiveCase{"Nobody", kFalse, kFalse, nullptr}),
    [](const auto& info) { return std::string(info.param.what); });

// ---- change of possession ---------------------------------------------------------------------

TEST(ChangePossession, TheBallChangesHandsWherePlayersStand) {
  struct Case {
    const char* what;
    std::int16_t p1HasBall, p1ShotInFlight, p2HasBall, p2ShotInFlight;
    std::int16_t newP1HasBall, newP2HasBall;
  };
  const Case cases[] = {
      {"Player 1 carries", kTrue, kFalse, kFalse, kFalse, kFalse, kTrue},
      {"Player 1's shot in the air", kFalse, kTrue, kFalse, kFalse, kFalse, kTrue},
      {"Player 2 carries", kFalse, kFalse, kTrue, kFalse, kTrue, kFalse},
      // Player 2's shot in the air is not taken back.
      {"Player 2's shot in the air", kFalse, kFalse, kFalse, kTrue, kFalse, kFalse},
      {"nobody", kFalse, kFalse, kFalse, kFalse, kFalse, kFalse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RulesRig rig;
    GameState& s = rig.game.state;
    s = DistinctState();
    s.p1HasBall = c.p1HasBall;
    s.p1ShotInFlight = c.p1ShotInFlight;
    s.p2HasBall = c.p2HasBall;
    s.p2ShotInFlight = c.p2ShotInFlight;
    GameState expected = s;

    rig.game.ChangePossession();

    expected.leftHeldTicks = 0;
    expected.rightHeldTicks = 0;
    expected.dribblePickedUp = kFalse;
    expected.p1ShotInFlight = kFalse;
    expected.p1HasBall = c.newP1HasBall;
    expected.p2HasBall = c.newP2HasBall;
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    EXPECT_TRUE(rig.platform.events.empty());
  }
}

// ---- foul -------------------------------------------------------------------------------------

enum class Charged { Player1, Player2, Nobody };

struct FoulCase {
  const char* what;
  std::int16_t p1HasBall, foulCode, p2ShotInFlight, p2HasBall, p1ShotInFlight;
  Charged charged;
};

class Foul : public ::testing::TestWithParam<FoulCase> {};

TEST_P(Foul, ChargesTheSideWithoutTheBallAndRestarts) {
  const FoulCase& c = GetParam();
  RulesRig rig;  // no draw
  GameState& s = rig.game.state;
  s = DistinctState();
  s.p1HasBall = c.p1HasBall;
  s.foulCode = c.foulCode;
  s.p2ShotInFlight = c.p2ShotInFlight;
  s.p2HasBall = c.p2HasBall;
  s.p1ShotInFlight = c.p1ShotInFlight;
  const GameState before = s;
  GameState atMessage;
  rig.platform.onMessage = [&](const std::string&) { atMessage = s; };

  rig.game.CallFoul();

  // Every call clears these, charged or not.
  GameState expected = before;
  expected.dribblePickedUp = kFalse;
  expected.leftHeldTicks = 0;
  expected.rightHeldTicks = 0;
  expected.p2Dribbling = kFalse;
  ClearMovementKeys(expected);
  expected.p1Shooting = kFalse;
  expected.p2Shooting = kFalse;
  expected.ballHidden = kFalse;
  if (c.charged == Charged::Nobody) {
    EXPECT_TRUE(rig.platform.messages.empty());
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    return;
  }

  const bool onPlayer2 = c.charged == Charged::Player2;
  EXPECT_EQ(rig.platform.messages,
            std::vector<std::string>{onPlayer2 ? "FOUL: Player 2" : "FOUL: Player 1"});
  EXPECT_EQ(StateDiff(expected, atMessage), Diff{});

  expected.playClock = 2;
  expected.p2ShotInFlight = kFalse;
  expected.lastShooterP1 = kFalse;
  expected.p1ShotInFlight = kFalse;
  expected.p1HasBall = onPlayer2 ? kTrue : kFalse;
  expected.p2HasBall = onPlayer2 ? kFalse : kTrue;
  if (onPlayer2) {
    Put(expected.p2X, expected.p2Y, 550, 350);
    Put(expected.p1X, expected.p1Y, 670, 450);
  } else {
    Put(expected.p2X, expected.p2Y, 670, 450);
    Put(expected.p1X, expected.p1Y, 550, 350);
  }
  Put(expected.ballX, expected.ballY, 670, 450);
  expected.foulCode = 0;
  EXPECT_EQ(StateDiff(expected, s), Diff{});
  EXPECT_TRUE(rig.platform.copies.empty());
}

// The first case that applies wins; the pairs show each one ahead of the next.
INSTANTIATE_TEST_SUITE_P(
    Charges, Foul,
    ::testing::Values(
        FoulCase{"Player1Carries", kTrue, 0, kFalse, kFalse, kFalse, Charged::Player2},
        FoulCase{"Player1CarriesOverFoulCode2", kTrue, 2, kFalse, kFalse, kTrue, Charged::Player2},
        FoulCase{"FoulCode1", kFalse, 1, kFalse, kFalse, kFalse, Charged::Player2},
        FoulCase{"FoulCode1OverPlayer2Carrying", kFalse, 1, kFalse, kTrue, kFalse,
                 Charged::Player2},
        FoulCase{"Player2ShotInTheAir", kFalse, 0, kTrue, kFalse, kFalse, Charged::Player2},
        FoulCase{"Player2ShotInTheAirOverFoulCode2", kFalse, 2, kTrue, kFalse, kTrue,
                 Charged::Player2},
        FoulCase{"Player2ShotInTheAirOverHisCarrying", kFalse, 0, kTrue, kTrue, kFalse,
                 Charged::Player2},
        FoulCase{"Player2Carries", kFalse, 0, kFalse, kTrue, kFalse, Charged::Player1},
        FoulCase{"FoulCode2", kFalse, 2, kFalse, kFalse, kFalse, Charged::Player1},
        FoulCase{"Player1ShotInTheAir", kFalse, 0, kFalse, kFalse, kTrue, Charged::Player1},
        FoulCase{"NobodyAndNoShotInTheAir", kFalse, 0, kFalse, kFalse, kFalse, Charged::Nobody}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(FoulDuringAShootingMotion, OnlyClearsTheFlagsIncludingBothShootingFlags) {
  RulesRig rig;
  GameState& s = rig.game.state;
  rig.game.NewGame();
  s.playClock = 40;
  s.p1HasBall = kFalse;  // the ball is part of Player 1's shooting pose
  s.p1Shooting = kTrue;
  s.p2Shooting = kTrue;
  s.ballHidden = kTrue;
  s.p1ShotTicks = 3;
  s.p1KeyUp = kTrue;
  const GameState before = s;
  rig.game.CallFoul();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(StateDiff(before, s), (Diff{"p1Shooting -1 -> 0", "p1KeyUp -1 -> 0",
                                        "p2Shooting -1 -> 0", "ballHidden -1 -> 0"}));
}

// ---- basket -----------------------------------------------------------------------------------

TEST(AwardBasket, CreditsTheShooterAndGivesTheOtherSideTheBallBottomLeft) {
  for (const std::int16_t player1Scored : {kTrue, kFalse}) {
    SCOPED_TRACE(player1Scored == kTrue ? "Player 1 scored" : "Player 2 scored");
    RulesRig rig;
    GameState& s = rig.game.state;
    s = DistinctState();
    s.lastShooterP1 = player1Scored;
    s.p1Score = 2;
    s.p2Score = 3;
    s.basketMade = kTrue;
    GameState expected = s;

    rig.game.AwardBasket();

    expected.dribblePickedUp = kFalse;
    expected.leftHeldTicks = 0;
    expected.rightHeldTicks = 0;
    expected.shotChance = 55;
    expected.basketMade = kFalse;
    expected.playClock = 1;
    Put(expected.ballX, expected.ballY, 0, 450);
    if (player1Scored == kTrue) {
      expected.p1Score = 3;
      Put(expected.p2X, expected.p2Y, 0, 450);
      Put(expected.p1X, expected.p1Y, 0, 350);
      expected.p2HasBall = kTrue;
      expected.p1HasBall = kFalse;
    } else {
      expected.p2Score = 4;
      Put(expected.p2X, expected.p2Y, 0, 350);
      Put(expected.p1X, expected.p1Y, 0, 450);
      expected.p2HasBall = kFalse;
      expected.p1HasBall = kTrue;
    }
    EXPECT_EQ(StateDiff(expected, s), Diff{});
    // No box for a basket: the score line says it.
    EXPECT_TRUE(rig.platform.events.empty());
  }
}

}  // namespace
}  // namespace tandemhoop
