#pragma once

#include "screens/picture_set.h"

namespace tandemhoop::testing {

// The game's picture set, as the tests fill it.
using tandemhoop::PictureSet;

// Pictures of the catalogue sizes that keep the mask/image convention: a figure (an ellipse
// filling most of the picture) with colours that say which picture and pixel they are; masks
// white outside it and black on the shirt band of body poses; images black outside it.
void MakeSyntheticPictures(PictureSet& pictures);
// Those pictures, made once for the whole test program.
const PictureSet& SyntheticPictures();

}  // namespace tandemhoop::testing
