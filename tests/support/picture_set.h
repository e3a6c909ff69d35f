#pragma once

#include <array>

#include "game/platform.h"
#include "screens/raster.h"

namespace tandemhoop::testing {

// Every picture of the game as a Surface, found by its holder and number. Filled either with
// synthetic art of the catalogue sizes (MakeSyntheticPictures) or, in the desktop benchmarks,
// with the real art.
struct PictureSet {
  std::array<Surface, 79> form2;  // index 0 unused
  Surface court;                  // Form3.Picture1
  std::array<Surface, 3> badges;  // Form4.Picture1 and Picture2, index 0 unused
  Surface title;                  // Form5.Picture1

  // The picture, or nullptr for one the game does not have.
  const Surface* Find(PictureRef ref) const;
  Surface* Find(PictureRef ref);
};

// Pictures of the catalogue sizes that keep the mask/image convention: a figure (an ellipse
// filling most of the picture) with colours that say which picture and pixel they are; masks
// white outside it and black on the shirt band of body poses; images black outside it.
void MakeSyntheticPictures(PictureSet& pictures);

}  // namespace tandemhoop::testing
