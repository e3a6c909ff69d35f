#pragma once

// Where the game puts each layer of a player relative to his position, so that the contact
// sheet composes figures exactly as the game will.

#include <optional>
#include <vector>

#include "screens/pictures.h"

namespace artgen::layout {

// Which head the game draws: the face, the back of the head, or a shooting view.
enum class HeadCase { Front, Back, ShootingLeft, ShootingMiddle, ShootingRight };

struct Offset {
  int x = 0;
  int y = 0;
};

struct Layer {
  int mask = 0;  // 0: an opaque patch
  int image = 0;
  Offset at;
};

// Which head views the game draws over which body poses.
struct Pairing {
  HeadCase headCase;
  int bodyMask;
};
const std::vector<Pairing>& Pairings();

// The body pose of the given mask for side 1 or 2.
Layer Body(int side, int mask);
// The head of pick 1..4 in the given case.
Layer Head(int side, int pick, HeadCase headCase);
// The shirt number (absent for the front view).
std::optional<Layer> Number(int side, int pick, HeadCase headCase);
// The dribbling hand on the right of the body, or on the left while moving left.
Layer Hand(bool left);

}  // namespace artgen::layout
