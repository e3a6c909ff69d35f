// The masked-pair rules the game's AND-then-OR copy depends on: the court must show unchanged
// around every figure, and one body mask must serve both sides' shirts.

#include <gtest/gtest.h>

#include <map>

#include "tests/art/art_files.h"

namespace tandemhoop::art {
namespace {

struct Counts {
  int outside = 0;
  int shirt = 0;
  int inside = 0;
};

std::string Where(int picture, int x, int y) {
  return "Picture" + std::to_string(picture) + " at (" + std::to_string(x) + ", " +
         std::to_string(y) + ")";
}

// Classifies every pixel of a pair: outside (white mask over a black image), shirt (black
// mask; bodies only) or inside (mask and image alike, and never the colours of the outside).
// Reports the first few violations.
Counts CheckPair(int maskPicture, int imagePicture, bool body) {
  const QImage mask = LoadSprite(maskPicture);
  const QImage image = LoadSprite(imagePicture);
  Counts counts;
  if (mask.isNull() || image.isNull() || mask.size() != image.size()) {
    ADD_FAILURE() << "Picture" << maskPicture << " / Picture" << imagePicture
                  << " missing or of different sizes";
    return counts;
  }
  int faults = 0;
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) {
      const QRgb m = Pixel(mask, x, y);
      const QRgb i = Pixel(image, x, y);
      if (m == kWhite && i == kBlack) {
        ++counts.outside;
      } else if (m == kBlack && body && i != kBlack) {
        ++counts.shirt;
      } else if (m == i && m != kWhite && m != kBlack) {
        ++counts.inside;
      } else if (faults++ < 5) {
        ADD_FAILURE() << Where(imagePicture, x, y) << ": mask " << std::hex << m << ", image " << i
                      << " (half-covered edge, or outside and figure cannot be told apart)";
      }
    }
  }
  return counts;
}

TEST(MaskedPairs, KeepTheConventionEverywhere) {
  for (const SpriteEntry& sprite : MaskedSprites()) {
    SCOPED_TRACE("mask Picture" + std::to_string(sprite.mask));
    const Counts one = CheckPair(sprite.mask, sprite.player1Image, sprite.body);
    const int pixels = one.outside + one.shirt + one.inside;
    // A real figure with the court around it, not an empty or a filled rectangle.
    EXPECT_GT(one.shirt + one.inside, pixels / 10);
    EXPECT_GT(one.outside, 0);
    if (sprite.body) {
      EXPECT_GT(one.shirt, pixels / 20) << "a body pose needs its shirt area";
      CheckPair(sprite.mask, sprite.player2Image, true);
    }
  }
}

TEST(MaskedPairs, BodyImagesShareTheMasksSilhouette) {
  for (const SpriteEntry& sprite : MaskedSprites()) {
    if (!sprite.body) continue;
    const QImage mask = LoadSprite(sprite.mask);
    const QImage one = LoadSprite(sprite.player1Image);
    const QImage two = LoadSprite(sprite.player2Image);
    ASSERT_FALSE(mask.isNull() || one.isNull() || two.isNull());
    int faults = 0;
    for (int y = 0; y < mask.height(); ++y) {
      for (int x = 0; x < mask.width(); ++x) {
        const bool outsideMask = Pixel(mask, x, y) == kWhite;
        const bool outsideOne = Pixel(one, x, y) == kBlack;
        const bool outsideTwo = Pixel(two, x, y) == kBlack;
        if ((outsideMask != outsideOne || outsideMask != outsideTwo) && faults++ < 5)
          ADD_FAILURE() << Where(sprite.mask, x, y) << ": the three pictures disagree";
        // Outside the shirt the two sides must look the same: trim, skin, shorts, shoes.
        if (!outsideMask && Pixel(mask, x, y) != kBlack && Pixel(one, x, y) != Pixel(two, x, y) &&
            faults++ < 5)
          ADD_FAILURE() << Where(sprite.mask, x, y) << ": the sides differ off the shirt";
      }
    }
  }
}

TEST(MaskedPairs, Player1WearsWhiteAndPlayer2PureBlue) {
  for (const SpriteEntry& sprite : MaskedSprites()) {
    if (!sprite.body) continue;
    SCOPED_TRACE("mask Picture" + std::to_string(sprite.mask));
    const QImage mask = LoadSprite(sprite.mask);
    const QImage one = LoadSprite(sprite.player1Image);
    const QImage two = LoadSprite(sprite.player2Image);
    ASSERT_FALSE(mask.isNull() || one.isNull() || two.isNull());
    long long brightness = 0;
    long long blue = 0;
    int shirt = 0;
    int faults = 0;
    for (int y = 0; y < mask.height(); ++y) {
      for (int x = 0; x < mask.width(); ++x) {
        if (Pixel(mask, x, y) != kBlack) continue;
        ++shirt;
        const QRgb a = Pixel(one, x, y);
        const QRgb b = Pixel(two, x, y);
        brightness += (qRed(a) + qGreen(a) + qBlue(a)) / 3;
        blue += qBlue(b);
        if ((qRed(b) != 0 || qGreen(b) != 0) && faults++ < 5)
          ADD_FAILURE() << Where(sprite.player2Image, x, y) << ": " << std::hex << b
                        << " is not pure blue";
      }
    }
    ASSERT_GT(shirt, 0);
    EXPECT_GT(brightness / shirt, 200) << "Player 1's shirt should read white";
    EXPECT_GT(blue / shirt, 170) << "Player 2's shirt should read strong blue";
  }
}

QRgb CommonestColour(const QImage& image, const QImage* mask = nullptr) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (mask == nullptr || Pixel(*mask, x, y) == kBlack) ++counts[Pixel(image, x, y)];
  QRgb best = 0;
  int most = -1;
  for (const auto& [colour, count] : counts) {
    if (count > most) {
      best = colour;
      most = count;
    }
  }
  return best;
}

// The number patch is copied opaque onto the shirt, so its ground must be the shirt's own colour
// or a rectangle would show round the digits.
TEST(ShirtNumbers, GroundMatchesTheShirtAndDigitsContrast) {
  const QImage mask = LoadSprite(form2::Picture5);
  const QRgb shirt1 = CommonestColour(LoadSprite(form2::Picture6), &mask);
  const QRgb shirt2 = CommonestColour(LoadSprite(form2::Picture7), &mask);
  EXPECT_EQ(shirt1, kWhite);
  EXPECT_EQ(shirt2, 0x0000FFu);
  for (int pick = 0; pick < 4; ++pick) {
    for (int side = 1; side <= 2; ++side) {
      const int picture = (side == 1 ? form2::Picture71 : form2::Picture75) + pick;
      SCOPED_TRACE("Picture" + std::to_string(picture));
      const QImage patch = LoadSprite(picture);
      ASSERT_FALSE(patch.isNull());
      EXPECT_EQ(CommonestColour(patch), side == 1 ? shirt1 : shirt2);
      // The ground runs all round the edge, so the patch melts into the shirt.
      for (int x = 0; x < patch.width(); ++x) {
        EXPECT_EQ(Pixel(patch, x, 0), side == 1 ? shirt1 : shirt2);
        EXPECT_EQ(Pixel(patch, x, patch.height() - 1), side == 1 ? shirt1 : shirt2);
      }
      int digits = 0;
      for (int y = 0; y < patch.height(); ++y)
        for (int x = 0; x < patch.width(); ++x)
          digits += Pixel(patch, x, y) == (side == 1 ? kBlack : kWhite) ? 1 : 0;
      EXPECT_GT(digits, patch.width() * patch.height() / 8) << "the digits should be bold";
    }
  }
}

}  // namespace
}  // namespace tandemhoop::art
