#pragma once

#include <array>

#include "game/platform.h"
#include "screens/raster.h"

namespace tandemhoop {

// Every picture of the game as a Surface, found by its holder and number without a search.
// A front end that keeps the pictures itself (the browser's module, the native tools) fills
// one; the tests fill one with synthetic art.
struct PictureSet {
  std::array<Surface, 79> form2;  // index 0 unused
  Surface court;                  // Form3.Picture1
  std::array<Surface, 3> badges;  // Form4.Picture1 and Picture2, index 0 unused
  Surface title;                  // Form5.Picture1

  // The picture, or nullptr for one the game does not have.
  const Surface* Find(PictureRef ref) const;
  Surface* Find(PictureRef ref);
};

}  // namespace tandemhoop
