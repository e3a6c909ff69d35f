#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "screens/pictures.h"
#include "tests/support/core_game.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using testing::CoreGame;
using testing::RepeatingRandom;

constexpr const char* kPlayer1Line = "                     PLAYER 1 - ";
constexpr const char* kPlayer2Line = "                     PLAYER 2 - ";

// Two people at the keyboard, so nobody moves Player 2 but his own (untouched) keys. Every
// draw is 0: whatever rule asks, a shot at the rim goes in.
class RulesGame : public ::testing::Test {
 protected:
  void SetUp() override { core.StartPlay(1, 2, true); }

  // Player 1's jump shot just below the rim, as his flight step leaves it; the next frame
  // decides it. Nobody holds the ball while it is in the air.
  void Player1ShotAtTheRim() {
    GameState& s = core.game.state;
    s.p1HasBall = kFalse;
    s.p2HasBall = kFalse;
    s.p2Dribbling = kFalse;
    s.p1ShotInFlight = kTrue;
    s.lastShooterP1 = kTrue;
    s.shotChance = 55;
    s.ballX = 392;
    s.ballY = 24;
  }

  int NetCopies() const {
    const auto copies = core.platform.SpriteCopies();
    return static_cast<int>(std::count_if(copies.begin(), copies.end(), [](const auto& copy) {
      return copy.source.index == form2::Picture3;
    }));
  }

  RepeatingRandom random{0.0};
  CoreGame core{random};
};

TEST_F(RulesGame, AMadeShotScoresOnTheEighteenthTickAndPlayer2RestartsBottomLeft) {
  GameState& s = core.game.state;
  Player1ShotAtTheRim();
  core.platform.Clear();
  core.Ticks(17);
  EXPECT_EQ(s.basketMade, kTrue);
  EXPECT_EQ(s.p1Score, 0);
  ASSERT_GE(core.platform.prints.size(), 3u);
  EXPECT_EQ(core.platform.prints[core.platform.prints.size() - 2],
            std::string(kPlayer1Line) + " 0");
  EXPECT_EQ(NetCopies(), 1);

  core.platform.Clear();
  core.Ticks(1);
  ASSERT_EQ(core.platform.prints.size(), 3u);
  EXPECT_EQ(core.platform.prints[1], std::string(kPlayer1Line) + " 1");
  EXPECT_EQ(core.platform.prints[2], std::string(kPlayer2Line) + " 0");
  EXPECT_EQ(NetCopies(), 0);
  EXPECT_TRUE(core.platform.messages.empty());  // a basket has no box
  EXPECT_FALSE(core.game.Ended());

  EXPECT_EQ(s.basketMade, kFalse);
  EXPECT_EQ(s.p2HasBall, kTrue);
  EXPECT_EQ(s.p1HasBall, kFalse);
  EXPECT_EQ(s.p2X, 0);
  EXPECT_EQ(s.p2Y, 450);
  EXPECT_EQ(s.p1X, 0);
  EXPECT_EQ(s.p1Y, 350);
  // Player 2's controller runs after the award in the same tick and already holds the ball at
  // his side, 15 pixels right of his spot.
  EXPECT_EQ(s.ballX, 15);
  EXPECT_EQ(s.ballY, 450);
  EXPECT_EQ(s.playClock, 1);
  EXPECT_EQ(s.shotChance, 55);
}

TEST_F(RulesGame, TheFourthBasketIsPrintedThenPlayer1WinsAndNothingRunsAfter) {
  GameState& s = core.game.state;
  for (int basket = 1; basket <= 4; ++basket) {
    SCOPED_TRACE(::testing::Message() << "basket " << basket);
    Player1ShotAtTheRim();
    core.platform.Clear();
    core.Ticks(18);
    EXPECT_EQ(s.p1Score, basket);
    EXPECT_EQ(s.p2Score, 0);
    if (basket < 4) {
      EXPECT_TRUE(core.platform.messages.empty());
      EXPECT_FALSE(core.game.Ended());
    }
  }

  const auto& events = core.platform.events;
  EXPECT_EQ(core.platform.messages, std::vector<std::string>{"Player1 Wins"});
  const auto message = std::find(events.begin(), events.end(), "message Player1 Wins");
  ASSERT_NE(message, events.end());
  EXPECT_NE(std::find(events.begin(), message, "print " + std::string(kPlayer1Line) + " 4"),
            message);
  EXPECT_EQ(events.back(), "end");
  EXPECT_TRUE(core.game.Ended());

  core.platform.Clear();
  core.game.Timer1_Timer();
  core.Press(77);
  core.game.Form_KeyPress(13);
  EXPECT_TRUE(core.platform.events.empty());
  EXPECT_EQ(s.p1Score, 4);
}

// The same game through the keyboard: M held with the ball far from the basket is a jump shot
// that leaves Player 1's hands on its eighth tick and flies up through his controller. Returns
// false when his controller does not take the shot (it has not been built yet).
bool ShootWithM(CoreGame& core) {
  const GameState& s = core.game.state;
  const int scoreBefore = s.p1Score;
  core.Press(77);
  core.Ticks(1);
  if (s.p1ShotTicks == 0) {
    core.Release(77);
    return false;
  }
  for (int tick = 0; tick < 100 && s.p1ShotInFlight != kTrue; ++tick)
    core.Ticks(1);
  core.Release(77);
  for (int tick = 0; tick < 100 && s.p1Score == scoreBefore && !core.game.Ended(); ++tick) {
    core.Ticks(1);
  }
  return true;
}

TEST_F(RulesGame, AJumpShotByTheKeyboardScoresAndTheFourthWins) {
  GameState& s = core.game.state;
  core.Ticks(10);  // past the shot clock, with the ball from the start at (300, 400)
  ASSERT_EQ(s.p1HasBall, kTrue);
  if (!ShootWithM(core)) GTEST_SKIP() << "Player 1's controller does not shoot yet";
  EXPECT_EQ(s.p1Score, 1);
  EXPECT_EQ(s.p2HasBall, kTrue);
  EXPECT_EQ(s.p2X, 0);
  EXPECT_EQ(s.p2Y, 450);
  EXPECT_EQ(s.p1X, 0);
  EXPECT_EQ(s.p1Y, 350);
  EXPECT_FALSE(core.game.Ended());

  // Hand the ball back for the last one, as a steal would.
  s.p2HasBall = kFalse;
  s.p1HasBall = kTrue;
  s.p1X = 300;
  s.p1Y = 400;
  s.p1Score = 3;
  core.Ticks(10);
  core.platform.Clear();
  ASSERT_TRUE(ShootWithM(core));
  EXPECT_EQ(s.p1Score, 4);
  EXPECT_EQ(core.platform.messages, std::vector<std::string>{"Player1 Wins"});
  const auto& events = core.platform.events;
  const auto message = std::find(events.begin(), events.end(), "message Player1 Wins");
  EXPECT_NE(std::find(events.begin(), message, "print " + std::string(kPlayer1Line) + " 4"),
            message);
  EXPECT_TRUE(core.game.Ended());
}

}  // namespace
}  // namespace tandemhoop
