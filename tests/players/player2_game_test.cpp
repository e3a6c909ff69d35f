#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "game/keys.h"
#include "tests/support/core_game.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop::testing {
namespace {

using namespace keys;
constexpr int kEnter = 13;

// Whole games on the core, played the way people at the keyboard would: keys go down and up
// while they watch the court, and the ticks run. Every random value is 0.5, so a jump shot
// (55) goes in, nobody steals and the computer never tries a long shot.
class ScriptedGame : public ::testing::Test {
 protected:
  void Start(bool twoPlayers) {
    core.game.Form_Load();
    core.game.Form_KeyPress(kEnter);
    core.Ticks(1);  // the selection screen comes up
    ASSERT_TRUE(core.selectionLoaded);
    core.selection.Label6_Click();     // Player 1 picks Oskel Varrin by his name
    core.selection.Picture34_Click();  // Player 2 picks Tobin Hask by his portrait
    if (twoPlayers) {
      core.selection.Command4_Click();
    } else {
      core.selection.Command3_Click();
    }
    ASSERT_EQ(s.playClock, 2);
  }

  template <typename Condition>
  bool TickUntil(Condition done, int limit) {
    for (int tick = 0; tick < limit && !core.game.Ended(); ++tick) {
      if (done()) return true;
      core.Ticks(1);
    }
    return done();
  }

  // Hold a key until the condition holds, then let go.
  template <typename Condition>
  bool HoldUntil(int key, Condition done, int limit) {
    core.Press(key);
    const bool reached = TickUntil(done, limit);
    core.Release(key);
    return reached;
  }

  bool WaitForTheShotClock() {
    return TickUntil([&] { return s.playClock > 10; }, 20);
  }

  // Player 2 with the ball walks across to x = 300, up to the basket and dunks.
  void Player2Dunks() {
    const int before = s.p2Score;
    ASSERT_EQ(s.p2HasBall, kTrue);
    const int side = s.p2X > 300 ? kKeyF : kKeyH;
    ASSERT_TRUE(HoldUntil(
        side, [&] { return std::abs(s.p2X - 300) < 15; }, 60));
    ASSERT_TRUE(HoldUntil(
        kKeyT, [&] { return s.p2Y < 160; }, 40));
    ASSERT_TRUE(WaitForTheShotClock());
    core.Press(kKeyA);
    ASSERT_TRUE(TickUntil([&] { return s.p2ShotStyle == kDunk; }, 3)) << "from near the rim";
    ASSERT_TRUE(TickUntil([&] { return s.p2Score > before; }, 60));
    core.Release(kKeyA);
  }

  // Player 1 with the ball walks across to x = 300 and takes a jump shot.
  void Player1Scores() {
    const int before = s.p1Score;
    ASSERT_EQ(s.p1HasBall, kTrue);
    ASSERT_TRUE(HoldUntil(
        kRight, [&] { return s.p1X >= 300; }, 60));
    ASSERT_TRUE(WaitForTheShotClock());
    ASSERT_TRUE(HoldUntil(
        kKeyM, [&] { return s.p1ShotInFlight == kTrue; }, 20));
    ASSERT_TRUE(TickUntil([&] { return s.p1Score > before; }, 120));
  }

  // Player 1 runs up into Player 2 with the ball and loses it.
  void Player1Charges() {
    const std::size_t messages = core.platform.messages.size();
    ASSERT_TRUE(HoldUntil(
        kUp, [&] { return core.platform.messages.size() > messages; }, 60));
    EXPECT_EQ(core.platform.messages.back(), "Player 1 - Offensive Foul");
    EXPECT_EQ(s.p2HasBall, kTrue);
  }

  std::string ScoreLine(int side) const {
    const auto& prints = core.platform.prints;
    return prints.size() >= 3 ? prints[prints.size() - 3 + side] : std::string();
  }

  RepeatingRandom random{0.5};
  CoreGame core{random};
  GameState& s = core.game.state;
};

TEST_F(ScriptedGame, TwoPlayersPlayToFourAndPlayer2Wins) {
  Start(/*twoPlayers=*/true);
  // Player 1 starts with the ball below Player 2: a step left puts him in his way.
  ASSERT_TRUE(HoldUntil(
      kLeft, [&] { return s.p1X <= 270; }, 5));
  Player1Charges();
  for (int round = 1; round <= 3; ++round) {
    Player2Dunks();
    EXPECT_EQ(s.p2Score, round);
    Player1Scores();
    EXPECT_EQ(s.p1Score, round);
  }
  Player2Dunks();
  EXPECT_TRUE(core.game.Ended());
  ASSERT_FALSE(core.platform.messages.empty());
  EXPECT_EQ(core.platform.messages.back(), "Player2 Wins");
  EXPECT_EQ(ScoreLine(1), "                     PLAYER 1 -  3");
  EXPECT_EQ(ScoreLine(2), "                     PLAYER 2 -  4");
}

TEST_F(ScriptedGame, AgainstTheComputerWhoDunksFourTimesTheComputerWins) {
  Start(/*twoPlayers=*/false);
  ASSERT_TRUE(HoldUntil(
      kLeft, [&] { return s.p1X <= 270; }, 5));
  for (int round = 1; round <= 4; ++round) {
    Player1Charges();
    // The computer waits out the play clock, drives up the court on its own and dunks.
    const int before = s.p2Score;
    ASSERT_TRUE(TickUntil([&] { return s.p2Score > before || core.game.Ended(); }, 200))
        << "round " << round;
    EXPECT_EQ(s.p2Score, round);
    EXPECT_EQ(s.p1Score, 0);
  }
  EXPECT_TRUE(core.game.Ended());
  ASSERT_FALSE(core.platform.messages.empty());
  EXPECT_EQ(core.platform.messages.back(), "Computer Wins");
  EXPECT_EQ(ScoreLine(2), "                     PLAYER 2 -  4");
}

}  // namespace
}  // namespace tandemhoop::testing
