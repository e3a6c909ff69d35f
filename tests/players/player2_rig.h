#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop::testing {

// A random value that keeps the standing pose: the guard row's own term is true (it needs the
// carrier in front as well) and the reach row's is false.
inline constexpr double kQuiet = 0.5;

// One picture drawn: a masked sprite (mask and image) or an opaque patch (image 0).
struct Drawn {
  int mask;
  int image;
  int x;
  int y;
  bool operator==(const Drawn&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Drawn& d) {
  return out << "{" << d.mask << "/" << d.image << " at " << d.x << "," << d.y << "}";
}

// The sprite-sheet copies folded back into what was drawn: an AND copy and the PAINT copy
// after it are one masked sprite; a plain copy is a patch.
inline std::vector<Drawn> DrawnPictures(const FakePlatform& platform) {
  std::vector<Drawn> result;
  const auto copies = platform.SpriteCopies();
  for (std::size_t i = 0; i < copies.size(); ++i) {
    const auto& c = copies[i];
    if (c.op == RasterOp::SrcAnd && i + 1 < copies.size() &&
        copies[i + 1].op == RasterOp::SrcPaint && copies[i + 1].x == c.x &&
        copies[i + 1].y == c.y) {
      result.push_back({c.source.index, copies[i + 1].source.index, c.x, c.y});
      ++i;
    } else {
      result.push_back({c.source.index, 0, c.x, c.y});
    }
  }
  return result;
}

// Player 2's controller alone on the fakes. Every tick is given exactly the random values it
// must draw; a tick that draws more or fewer fails the test.
struct Player2Rig {
  FakePlatform platform;
  ScriptedRandom random;
  Game game{platform, random};
  GameState& s = game.state;

  // Play running for a while, two people, nobody holding the ball, far apart.
  Player2Rig() {
    game.NewGame();
    s.playClock = 50;
    s.twoPlayerMode = kTrue;
    s.p1Pick = 1;
    s.p2Pick = 1;
    s.p1HasBall = kFalse;
    s.p1X = 100;
    s.p1Y = 300;
    s.p2X = 500;
    s.p2Y = 300;
  }

  void Tick(std::initializer_list<double> draws) {
    platform.Clear();
    const std::size_t before = random.Drawn();
    random.Push(draws);
    game.UpdatePlayer2();
    EXPECT_EQ(random.Drawn() - before, draws.size()) << "random values drawn in this tick";
    // Keep the script in step for the next tick after drawing too few.
    while (random.Drawn() < before + draws.size())
      random.Next();
  }

  std::vector<Drawn> Pictures() const { return DrawnPictures(platform); }
};

}  // namespace tandemhoop::testing
