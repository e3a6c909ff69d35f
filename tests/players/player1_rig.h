#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

#include "game/game.h"
#include "screens/pictures.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop::testing {

// A value for the reach flicker that keeps the guard pose (r x 20 > 1), for the lay-up that
// holds on to the ball (r x 5 > 2), for the flight that aims over the rim (r x 6 >= 2) and for
// a block that comes down with the ball (r x 4 <= 2).
inline constexpr double kSteady = 0.5;

// A picture as drawn: a masked sprite (mask, image) or an opaque patch (image 0).
struct Sprite {
  int mask;
  int image;
  int x;
  int y;
  bool operator==(const Sprite&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const Sprite& s) {
  return out << "Picture" << s.mask << "/" << s.image << " at (" << s.x << ", " << s.y << ")";
}

// Folds the recorded sprite-sheet copies back into sprites: an AND copy followed by a PAINT
// copy at the same place is one masked sprite, a plain copy a patch. Anything else is kept as
// it came, so a broken pair shows up in the comparison.
inline std::vector<Sprite> SpritesDrawn(const FakePlatform& platform) {
  std::vector<Sprite> sprites;
  const auto copies = platform.SpriteCopies();
  for (std::size_t i = 0; i < copies.size(); ++i) {
    const auto& copy = copies[i];
    const bool pair = copy.op == RasterOp::SrcAnd && i + 1 < copies.size() &&
                      copies[i + 1].op == RasterOp::SrcPaint && copies[i + 1].x == copy.x &&
                      copies[i + 1].y == copy.y;
    if (pair) {
      sprites.push_back({copy.source.index, copies[i + 1].source.index, copy.x, copy.y});
      ++i;
    } else {
      sprites.push_back({copy.source.index, copy.op == RasterOp::SrcCopy ? 0 : -1, copy.x, copy.y});
    }
  }
  return sprites;
}

// Player 1's controller on its own. Play has run for a while, Player 1 (pick 1) has the ball
// at (300, 400), Player 2 stands well out of his way, two people play.
struct Player1Rig {
  FakePlatform platform;
  ScriptedRandom random;
  Game game{platform, random};
  GameState& s = game.state;

  Player1Rig() {
    game.NewGame();
    s.playClock = 50;
    s.twoPlayerMode = kTrue;
    s.p1Pick = 1;
    s.p2Pick = 2;
    s.p2X = 600;
    s.p2Y = 200;
  }

  // One call of the controller, which must draw exactly the values given.
  void Tick(std::initializer_list<double> draws) {
    random.Push(draws);
    platform.Clear();
    game.UpdatePlayer1();
    EXPECT_EQ(random.Remaining(), 0u) << "the tick drew fewer random values than scripted";
  }
  // A tick in which only the reach flicker is looked at, and keeps the pose steady.
  void Tick() { Tick({kSteady}); }
  // A tick that must draw `count` values, all of them steady.
  void TickWithDraws(int count) {
    for (int i = 0; i < count; ++i)
      random.Push(kSteady);
    platform.Clear();
    game.UpdatePlayer1();
    EXPECT_EQ(random.Remaining(), 0u) << "the tick drew fewer random values than scripted";
  }

  std::vector<Sprite> Drawn() const { return SpritesDrawn(platform); }
  // The body: the first sprite after the ball (if the ball was drawn) is the body.
  Sprite Body() const {
    const auto sprites = Drawn();
    for (const Sprite& sprite : sprites) {
      if (sprite.mask != form2::Picture1 && sprite.mask != form2::Picture3) return sprite;
    }
    return {0, 0, 0, 0};
  }
  bool DrewSprite(int mask, int image) const {
    for (const Sprite& sprite : Drawn()) {
      if (sprite.mask == mask && sprite.image == image) return true;
    }
    return false;
  }

  void Hold(int keyCode) { game.Form_KeyDown(keyCode, 0); }
  void Let(int keyCode) { game.Form_KeyUp(keyCode, 0); }
};

inline constexpr int kLeftKey = 37;
inline constexpr int kUpKey = 38;
inline constexpr int kRightKey = 39;
inline constexpr int kDownKey = 40;
inline constexpr int kMKey = 77;

}  // namespace tandemhoop::testing
