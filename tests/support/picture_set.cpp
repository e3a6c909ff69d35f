#include "tests/support/picture_set.h"

#include <cstddef>
#include <cstdint>

#include "screens/pictures.h"

namespace tandemhoop::testing {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

bool InsideFigure(int x, int y, int width, int height) {
  // An ellipse touching the middle of every edge: the corners stay outside, like the art.
  const double dx = (2.0 * x + 1.0 - width) / width;
  const double dy = (2.0 * y + 1.0 - height) / height;
  return dx * dx + dy * dy <= 1.0;
}

bool OnShirt(int y, int height) {
  return y >= height / 3 && y < height / 2;
}

// A colour that is neither white nor black, different from pixel to pixel and picture to
// picture, so that a misplaced copy shows.
std::uint32_t Colour(int seed, int x, int y) {
  std::uint32_t value = static_cast<std::uint32_t>(seed) * 2654435761u ^
                        static_cast<std::uint32_t>(x) * 40503u ^
                        static_cast<std::uint32_t>(y) * 69069u;
  value ^= value >> 13;
  value = (value & 0x7F7F7F) | 0x202020;
  return value;
}

Surface Blank(PictureSize size) {
  Surface surface{size.width, size.height, {}};
  surface.pixels.assign(static_cast<std::size_t>(size.width) * size.height, kBlack);
  return surface;
}

void FillOpaque(Surface& surface, int seed) {
  for (int y = 0; y < surface.height; ++y) {
    for (int x = 0; x < surface.width; ++x)
      surface.pixels[y * surface.width + x] = Colour(seed, x, y);
  }
}

// One masked sprite: its mask and its one or two images. Outside the shirt the images carry
// the mask's colours, so one mask serves both sides.
void FillSprite(PictureSet& pictures, const SpriteEntry& sprite) {
  Surface& mask = pictures.form2[sprite.mask];
  const int width = mask.width;
  const int height = mask.height;
  const int images[2] = {sprite.player1Image, sprite.player2Image};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * width + x;
      const bool figure = InsideFigure(x, y, width, height);
      const bool shirt = sprite.body && OnShirt(y, height);
      mask.pixels[at] = !figure ? kWhite : shirt ? kBlack : Colour(sprite.mask, x, y);
      for (int image : images) {
        if (image == 0) continue;
        pictures.form2[image].pixels[at] = !figure ? kBlack
                                           : shirt ? Colour(image, x, y)
                                                   : Colour(sprite.mask, x, y);
      }
    }
  }
}

}  // namespace

void MakeSyntheticPictures(PictureSet& pictures) {
  for (const PictureEntry& entry : Pictures()) {
    Surface* surface = pictures.Find(entry.ref);
    if (surface == nullptr) continue;
    *surface = Blank(entry.size);
    if (entry.kind == PictureKind::Patch || entry.kind == PictureKind::Full) {
      FillOpaque(*surface, static_cast<int>(entry.ref.form) * 100 + entry.ref.index);
    }
  }
  for (const SpriteEntry& sprite : MaskedSprites())
    FillSprite(pictures, sprite);
}

const PictureSet& SyntheticPictures() {
  static const PictureSet* pictures = [] {
    auto* set = new PictureSet;
    MakeSyntheticPictures(*set);
    return set;
  }();
  return *pictures;
}

}  // namespace tandemhoop::testing
