#pragma once

// Every picture of the sprite sheet: the body poses, the heads, the shirt numbers, the ball, the
// net and the dribbling hands.

#include <QImage>
#include <array>

#include "screens/pictures.h"
#include "tools/artgen/sprite_kit.h"

namespace artgen::sprite {

// Indexed by picture number; index 0 is unused.
using Sheet = std::array<QImage, tandemhoop::form2::kPictureCount + 1>;
Sheet DrawSheet();

// The ten body poses, by the number of their mask; the size comes from the catalogue.
BodyPictures DrawBody(int maskPicture);
// The middle of a pose's collar, where the heads are fitted on.
QPointF BodyNeck(int maskPicture);

enum class HeadView { Front, Back, FacingRight, FacingLeft };
// pick 1..4, the selectable players in their usual order.
MaskedPair DrawHead(int pick, HeadView view);

// The opaque patch on the back of the shirt.
QImage DrawShirtNumber(int number, bool player2);

MaskedPair DrawBall();
MaskedPair DrawNet();
MaskedPair DrawDribbleHand(bool leftOfBody);

// The shirt numbers of picks 1..4.
inline constexpr std::array<int, 4> kShirtNumbers = {13, 55, 14, 42};

}  // namespace artgen::sprite
