#include "tools/artgen/sprite_sheet.h"

namespace artgen::sprite {

namespace f2 = tandemhoop::form2;

Sheet DrawSheet() {
  Sheet sheet;
  for (const tandemhoop::SpriteEntry& sprite : tandemhoop::MaskedSprites()) {
    if (sprite.body) {
      BodyPictures body = DrawBody(sprite.mask);
      sheet[sprite.mask] = body.mask;
      sheet[sprite.player1Image] = body.player1;
      sheet[sprite.player2Image] = body.player2;
      continue;
    }
    MaskedPair pair;
    if (sprite.mask == f2::Picture1) {
      pair = DrawBall();
    } else if (sprite.mask == f2::Picture3) {
      pair = DrawNet();
    } else if (sprite.mask == f2::Picture64 || sprite.mask == f2::Picture66) {
      pair = DrawDribbleHand(sprite.mask == f2::Picture66);
    } else {
      // Heads: four pictures pairs a player, front, back, facing right, facing left.
      const int offset = sprite.mask - f2::Picture26;
      pair = DrawHead(offset / 8 + 1, static_cast<HeadView>((offset % 8) / 2));
    }
    sheet[sprite.mask] = pair.mask;
    sheet[sprite.player1Image] = pair.image;
  }
  for (int pick = 1; pick <= 4; ++pick) {
    const int number = kShirtNumbers[static_cast<std::size_t>(pick - 1)];
    sheet[f2::Picture71 + pick - 1] = DrawShirtNumber(number, false);
    sheet[f2::Picture75 + pick - 1] = DrawShirtNumber(number, true);
  }
  return sheet;
}

}  // namespace artgen::sprite
