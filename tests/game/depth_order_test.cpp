#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// Which side's body is drawn first in a frame, told apart by the body images of each side.
enum class First { Player1, Player2, Neither };

First WhoIsDrawnFirst(const testing::FakePlatform& platform) {
  static const std::vector<int> player1Bodies = {6, 9, 12, 15, 18, 21, 24, 59, 62, 69};
  static const std::vector<int> player2Bodies = {7, 10, 13, 16, 19, 22, 25, 60, 63, 70};
  for (const auto& copy : platform.SpriteCopies()) {
    const auto is = [&](const std::vector<int>& set) {
      return std::find(set.begin(), set.end(), copy.source.index) != set.end();
    };
    if (is(player1Bodies)) return First::Player1;
    if (is(player2Bodies)) return First::Player2;
  }
  return First::Neither;
}

struct DepthCase {
  const char* name;  // test name
  const char* what;
  std::int16_t p1Y, p2Y;
  bool p1HasBall, p2HasBall;
  bool p1Dunks, p2Dunks;
  First first;
};

class DepthOrder : public ::testing::TestWithParam<DepthCase> {};

TEST_P(DepthOrder, TheLowerPlayerIsDrawnLast) {
  const DepthCase& c = GetParam();
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game(platform, random);
  game.NewGame();
  GameState& s = game.state;
  s.playClock = 20;
  s.twoPlayerMode = kTrue;  // no computer moving Player 2 around
  s.p1Pick = 1;
  s.p2Pick = 2;
  s.p1X = 100;  // far apart: no contact rule fires
  s.p2X = 500;
  s.p1Y = c.p1Y;
  s.p2Y = c.p2Y;
  s.p1HasBall = c.p1HasBall ? kTrue : kFalse;
  s.p2HasBall = c.p2HasBall ? kTrue : kFalse;
  if (c.p1Dunks) {
    s.p1Shooting = kTrue;
    s.p1ShotStyle = kDunk;
    s.p1ShotTicks = 1;
  }
  if (c.p2Dunks) {
    s.p2Shooting = kTrue;
    s.p2ShotStyle = kDunk;
    s.p2ShotTicks = 1;
  }
  game.RunFrame();
  EXPECT_EQ(WhoIsDrawnFirst(platform), c.first) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DepthOrder,
    ::testing::Values(
        DepthCase{"Player2HoldsLevel", "Player 2 holds the ball, level", 300, 300, false, true,
                  false, false, First::Player1},
        DepthCase{"Player1HoldsLevel", "Player 1 holds the ball, level", 300, 300, true, false,
                  false, false, First::Player2},
        DepthCase{"NobodyHoldsLevel", "nobody holds the ball, level", 300, 300, false, false, false,
                  false, First::Player2},
        DepthCase{"Player2HoldsPlayer1Lower", "Player 2 holds the ball, Player 1 lower", 350, 300,
                  false, true, false, false, First::Player2},
        DepthCase{"Player2HoldsPlayer1Higher", "Player 2 holds the ball, Player 1 higher", 250, 300,
                  false, true, false, false, First::Player1},
        DepthCase{"Player1HoldsPlayer2Lower", "Player 1 holds the ball, Player 2 lower", 300, 350,
                  true, false, false, false, First::Player1},
        DepthCase{"Player2DunksOverPlayer1AboveLine", "Player 2 dunks over Player 1 above the line",
                  140, 130, false, false, false, true, First::Player1},
        DepthCase{"Player2DunksPlayer1BelowLine",
                  "Player 2 dunks, Player 1 below the line and lower", 150, 130, false, false,
                  false, true, First::Player2},
        DepthCase{"Player1DunksOverPlayer2AboveLine", "Player 1 dunks over Player 2 above the line",
                  130, 140, false, false, true, false, First::Player2}),
    [](const ::testing::TestParamInfo<DepthCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tandemhoop
