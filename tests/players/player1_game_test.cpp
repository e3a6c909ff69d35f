#include <gtest/gtest.h>

#include <string>

#include "tests/support/core_game.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop::testing {
namespace {

constexpr int kUp = 38;
constexpr int kM = 77;
const std::string kOneForPlayer1 = "                     PLAYER 1 -  1";

// The score line printed by the last tick.
std::string LastPlayer1Line(const CoreGame& core) {
  const auto& prints = core.platform.prints;
  return prints.size() < 2 ? std::string() : prints[prints.size() - 2];
}

// Ticks until Player 1's shot is no longer in the air; false if it never comes down.
bool TickUntilTheShotIsDecided(CoreGame& core) {
  for (int tick = 0; tick < 40; ++tick) {
    if (core.game.state.p1ShotInFlight != kTrue) return true;
    core.Ticks(1);
  }
  return false;
}

TEST(Player1Game, WalksUpToTheBasketAndDunks) {
  RepeatingRandom random{0.5};
  CoreGame core(random);
  core.StartPlay(1, 2, /*twoPlayers=*/true);
  const GameState& s = core.game.state;

  core.Press(kUp);
  core.Ticks(16);
  EXPECT_EQ(s.p1X, 300);
  EXPECT_EQ(s.p1Y, 160);  // inside the near zone, Player 2 far behind at 300
  EXPECT_EQ(s.p1HasBall, kTrue);
  core.Release(kUp);

  core.Press(kM);
  core.Ticks(6);
  EXPECT_EQ(s.p1ShotStyle, kDunk);
  EXPECT_EQ(s.p1X, 343);
  EXPECT_EQ(s.p1Y, 78);
  EXPECT_EQ(s.basketMade, kTrue);
  core.Release(kM);

  // The ball drops through the net from the rim and the basket is his.
  for (int tick = 0; tick < 40 && s.p1Score == 0; ++tick)
    core.Ticks(1);
  EXPECT_EQ(s.p1Score, 1);
  EXPECT_EQ(LastPlayer1Line(core), kOneForPlayer1);
  EXPECT_EQ(s.p2HasBall, kTrue);
  EXPECT_TRUE(core.platform.messages.empty());
}

// A jump shot from where he starts, with a random source that gives the same value to every
// rule: 0.5 is under the 55 per cent of the shot, 0.9 is over it.
void TakeAJumpShot(CoreGame& core) {
  core.StartPlay(1, 2, /*twoPlayers=*/true);
  core.Ticks(9);  // until the shot clock allows a shot
  core.Press(kM);
  core.Ticks(8);
  ASSERT_EQ(core.game.state.p1ShotInFlight, kTrue);
  EXPECT_EQ(core.game.state.shotChance, 55);
  core.Release(kM);
  ASSERT_TRUE(TickUntilTheShotIsDecided(core));
}

TEST(Player1Game, AJumpShotThatGoesIn) {
  RepeatingRandom random{0.5};
  CoreGame core(random);
  TakeAJumpShot(core);
  const GameState& s = core.game.state;
  EXPECT_EQ(s.basketMade, kTrue);
  for (int tick = 0; tick < 40 && s.p1Score == 0; ++tick)
    core.Ticks(1);
  EXPECT_EQ(s.p1Score, 1);
  EXPECT_EQ(LastPlayer1Line(core), kOneForPlayer1);
}

TEST(Player1Game, AJumpShotThatMisses) {
  RepeatingRandom random{0.9};
  CoreGame core(random);
  TakeAJumpShot(core);
  const GameState& s = core.game.state;
  EXPECT_EQ(s.basketMade, kFalse);
  EXPECT_EQ(s.looseBallRight, kTrue);  // off the rim to the right, three times in five
  core.Ticks(40);
  EXPECT_EQ(s.p1Score, 0);
  EXPECT_EQ(LastPlayer1Line(core), "                     PLAYER 1 -  0");
}

}  // namespace
}  // namespace tandemhoop::testing
