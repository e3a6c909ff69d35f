#include "screens/raster.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tandemhoop {
namespace {

Surface Filled(int width, int height, std::uint32_t colour) {
  Surface surface{width, height, {}};
  surface.pixels.assign(static_cast<std::size_t>(width) * height, colour);
  return surface;
}

std::uint32_t At(const Surface& s, int x, int y) {
  return s.pixels[y * s.width + x];
}

// A 4 x 3 source whose every pixel says where it came from: 0x00YYXX + 0x100000.
Surface Numbered() {
  Surface source{4, 3, {}};
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x)
      source.pixels.push_back(0x100000u | (y << 8) | x);
  }
  return source;
}

TEST(RasterCopy, CopiesTheRectangleAndLeavesTheRest) {
  Surface dest = Filled(10, 8, 0xABCDEF);
  EXPECT_EQ(BitBlt(dest, 2, 3, 4, 3, Numbered(), 0, 0, RasterOp::SrcCopy), 1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
      const std::uint32_t expected = inside ? (0x100000u | ((y - 3) << 8) | (x - 2)) : 0xABCDEFu;
      ASSERT_EQ(At(dest, x, y), expected) << x << "," << y;
    }
  }
}

TEST(RasterCopy, ClipsOnEverySideWithoutShiftingThePicture) {
  const Surface source = Numbered();
  // Off the top-left corner: only the source's bottom-right part lands at the origin.
  Surface dest = Filled(3, 3, 0);
  EXPECT_EQ(BitBlt(dest, -2, -1, 4, 3, source, 0, 0, RasterOp::SrcCopy), 1);
  EXPECT_EQ(At(dest, 0, 0), 0x100102u);
  EXPECT_EQ(At(dest, 1, 1), 0x100203u);
  EXPECT_EQ(At(dest, 2, 0), 0u);
  EXPECT_EQ(At(dest, 0, 2), 0u);
  // Past the bottom-right corner: only the top-left part, nothing wraps to the next row.
  dest = Filled(3, 3, 0);
  EXPECT_EQ(BitBlt(dest, 2, 1, 4, 3, source, 0, 0, RasterOp::SrcCopy), 1);
  EXPECT_EQ(At(dest, 2, 1), 0x100000u);
  EXPECT_EQ(At(dest, 2, 2), 0x100100u);
  EXPECT_EQ(At(dest, 0, 2), 0u);
  EXPECT_EQ(At(dest, 1, 1), 0u);
}

// The window repaints exactly the area a copy reports, so it must be the area the copy wrote.
TEST(RasterCopy, TheReportedAreaIsWhereTheClippedCopyLands) {
  const Surface source = Numbered();  // 4 x 3
  const Surface dest = Filled(3, 3, 0);
  const auto expect = [](CopyArea area, int x, int y, int width, int height) {
    EXPECT_EQ(area.x, x);
    EXPECT_EQ(area.y, y);
    EXPECT_EQ(area.width, width);
    EXPECT_EQ(area.height, height);
  };
  expect(ClippedCopyArea(dest, -2, -1, 4, 3, source, 0, 0), 0, 0, 2, 2);
  expect(ClippedCopyArea(dest, 2, 1, 4, 3, source, 0, 0), 2, 1, 1, 2);
  // Cut by the source as well: from (1, 1) of the source only 3 x 2 is there.
  expect(ClippedCopyArea(dest, 0, 0, 9, 9, source, 1, 1), 0, 0, 3, 2);
  EXPECT_TRUE(ClippedCopyArea(dest, 3, 0, 4, 3, source, 0, 0).empty());
  EXPECT_TRUE(ClippedCopyArea(dest, 0, 0, -1, 3, source, 0, 0).empty());
  EXPECT_TRUE(ClippedCopyArea(dest, 0, 0, 4, 3, Surface{}, 0, 0).empty());
  // Far-off coordinates do not overflow into a visible area.
  EXPECT_TRUE(ClippedCopyArea(dest, 2147483647, 0, 4, 3, source, 0, 0).empty());
  EXPECT_TRUE(ClippedCopyArea(dest, -2147483647, 0, 2147483647, 3, source, 0, 0).empty());
}

TEST(RasterCopy, WhollyOutsideIsAGoodCopyThatChangesNothing) {
  Surface dest = Filled(5, 5, 7);
  const Surface source = Numbered();
  for (auto [x, y] : {std::pair{-4, 0}, {5, 0}, {0, -3}, {0, 5}, {-100000, 100000}}) {
    EXPECT_EQ(BitBlt(dest, x, y, 4, 3, source, 0, 0, RasterOp::SrcPaint), 1);
  }
  for (std::uint32_t pixel : dest.pixels)
    EXPECT_EQ(pixel, 7u);
}

TEST(RasterCopy, NeverReadsBeyondTheSource) {
  // Asking for more than the picture has copies only what the picture has.
  Surface dest = Filled(10, 10, 0x55);
  EXPECT_EQ(BitBlt(dest, 0, 0, 10, 10, Numbered(), 0, 0, RasterOp::SrcCopy), 1);
  EXPECT_EQ(At(dest, 3, 2), 0x100203u);
  EXPECT_EQ(At(dest, 4, 0), 0x55u);
  EXPECT_EQ(At(dest, 0, 3), 0x55u);
  // A source origin inside the picture shifts what is read.
  dest = Filled(10, 10, 0x55);
  EXPECT_EQ(BitBlt(dest, 0, 0, 10, 10, Numbered(), 2, 1, RasterOp::SrcCopy), 1);
  EXPECT_EQ(At(dest, 0, 0), 0x100102u);
  EXPECT_EQ(At(dest, 2, 0), 0x55u);
}

TEST(RasterCopy, MissingOrMalformedPicturesFailAndDrawNothing) {
  Surface dest = Filled(4, 4, 9);
  const Surface empty;
  Surface malformed{4, 4, {1, 2, 3}};
  EXPECT_EQ(BitBlt(dest, 0, 0, 4, 4, empty, 0, 0, RasterOp::SrcCopy), 0);
  EXPECT_EQ(BitBlt(dest, 0, 0, 4, 4, malformed, 0, 0, RasterOp::SrcCopy), 0);
  EXPECT_EQ(BitBlt(dest, 0, 0, -1, 4, Numbered(), 0, 0, RasterOp::SrcCopy), 0);
  Surface noDest;
  EXPECT_EQ(BitBlt(noDest, 0, 0, 4, 3, Numbered(), 0, 0, RasterOp::SrcCopy), 0);
  for (std::uint32_t pixel : dest.pixels)
    EXPECT_EQ(pixel, 9u);
}

// The masked sprite: mask with AND, then image with OR.
struct Sprite {
  Surface mask;
  Surface image;
};

// A 3 x 1 figure: outside | shirt | skin.
Sprite MakeSprite(std::uint32_t shirt, std::uint32_t skin) {
  return {Surface{3, 1, {0xFFFFFF, 0x000000, skin}}, Surface{3, 1, {0x000000, shirt, skin}}};
}

void Draw(Surface& dest, const Sprite& sprite, int x, int y) {
  BitBlt(dest, x, y, 3, 1, sprite.mask, 0, 0, RasterOp::SrcAnd);
  BitBlt(dest, x, y, 3, 1, sprite.image, 0, 0, RasterOp::SrcPaint);
}

TEST(MaskedSprite, LeavesTheCourtOutsideAndTheImageInside) {
  Surface court = Filled(3, 1, 0x8A5A2B);
  const Sprite sprite = MakeSprite(0x0000FF, 0xC68642);
  Draw(court, sprite, 0, 0);
  EXPECT_EQ(At(court, 0, 0), 0x8A5A2Bu);
  EXPECT_EQ(At(court, 1, 0), 0x0000FFu);
  EXPECT_EQ(At(court, 2, 0), 0xC68642u);
}

TEST(MaskedSprite, DrawingTwiceGivesTheSamePicture) {
  const Sprite sprite = MakeSprite(0xFFFFFF, 0xC68642);
  Surface once = Filled(5, 1, 0x123456);
  Surface twice = once;
  Draw(once, sprite, 1, 0);
  Draw(twice, sprite, 1, 0);
  Draw(twice, sprite, 1, 0);
  EXPECT_EQ(once.pixels, twice.pixels);
}

TEST(MaskedSprite, TheLaterSpriteIsOnTopWhereFiguresOverlap) {
  const Sprite white = MakeSprite(0xFFFFFF, 0xC68642);
  const Sprite blue = MakeSprite(0x0000FF, 0x8D5524);
  Surface court = Filled(4, 1, 0x8A5A2B);
  Draw(court, white, 0, 0);  // outside, shirt, skin at 0..2
  Draw(court, blue, 1, 0);   // outside at 1, shirt at 2, skin at 3
  EXPECT_EQ(At(court, 0, 0), 0x8A5A2Bu);
  EXPECT_EQ(At(court, 1, 0), 0xFFFFFFu);  // the earlier sprite shows through the later's outside
  EXPECT_EQ(At(court, 2, 0), 0x0000FFu);  // the later sprite's shirt covers the earlier skin
  EXPECT_EQ(At(court, 3, 0), 0x8D5524u);
}

}  // namespace
}  // namespace tandemhoop
