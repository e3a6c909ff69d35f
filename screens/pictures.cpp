#include "screens/pictures.h"

#include <array>

namespace tandemhoop {
namespace {

using K = PictureKind;
constexpr Holder F2 = Holder::Form2;

constexpr PictureEntry kPictures[] = {
    {{F2, 1}, {39, 39}, K::Mask, "ball"},
    {{F2, 2}, {39, 39}, K::Image, "ball"},
    {{F2, 3}, {50, 63}, K::Mask, "net pulled down, ball dropping through"},
    {{F2, 4}, {50, 63}, K::Image, "net pulled down, ball dropping through"},
    {{F2, 5}, {87, 201}, K::Mask, "standing, back view"},
    {{F2, 6}, {87, 201}, K::Image, "standing, back view (Player 1)"},
    {{F2, 7}, {87, 201}, K::Image, "standing, back view (Player 2)"},
    {{F2, 8}, {150, 201}, K::Mask, "guard pose, arms spread"},
    {{F2, 9}, {150, 201}, K::Image, "guard pose, arms spread (Player 1)"},
    {{F2, 10}, {150, 201}, K::Image, "guard pose, arms spread (Player 2)"},
    {{F2, 11}, {75, 219}, K::Mask, "reach and block, both arms up"},
    {{F2, 12}, {75, 219}, K::Image, "reach and block, both arms up (Player 1)"},
    {{F2, 13}, {75, 219}, K::Image, "reach and block, both arms up (Player 2)"},
    {{F2, 14}, {72, 243}, K::Mask, "jump shot, ball above the head in both hands"},
    {{F2, 15}, {72, 243}, K::Image, "jump shot, both hands (Player 1)"},
    {{F2, 16}, {72, 243}, K::Image, "jump shot, both hands (Player 2)"},
    {{F2, 17}, {84, 243}, K::Mask, "jump shot, shooting arm bent"},
    {{F2, 18}, {84, 243}, K::Image, "jump shot, shooting arm bent (Player 1)"},
    {{F2, 19}, {84, 243}, K::Image, "jump shot, shooting arm bent (Player 2)"},
    {{F2, 20}, {102, 162}, K::Mask, "dunk, hanging on the rim, legs drawn up"},
    {{F2, 21}, {102, 162}, K::Image, "dunk, hanging on the rim (Player 1)"},
    {{F2, 22}, {102, 162}, K::Image, "dunk, hanging on the rim (Player 2)"},
    {{F2, 23}, {114, 213}, K::Mask, "dunk, one arm at the rim, one out"},
    {{F2, 24}, {114, 213}, K::Image, "dunk, one arm at the rim (Player 1)"},
    {{F2, 25}, {114, 213}, K::Image, "dunk, one arm at the rim (Player 2)"},
    {{F2, 26}, {29, 39}, K::Mask, "Oskel Varrin, face"},
    {{F2, 27}, {29, 39}, K::Image, "Oskel Varrin, face"},
    {{F2, 28}, {29, 39}, K::Mask, "Oskel Varrin, back of the head"},
    {{F2, 29}, {29, 39}, K::Image, "Oskel Varrin, back of the head"},
    {{F2, 30}, {43, 42}, K::Mask, "Oskel Varrin, facing right"},
    {{F2, 31}, {43, 42}, K::Image, "Oskel Varrin, facing right"},
    {{F2, 32}, {43, 42}, K::Mask, "Oskel Varrin, facing left"},
    {{F2, 33}, {43, 42}, K::Image, "Oskel Varrin, facing left"},
    {{F2, 34}, {33, 39}, K::Mask, "Tobin Hask, face"},
    {{F2, 35}, {33, 39}, K::Image, "Tobin Hask, face"},
    {{F2, 36}, {33, 39}, K::Mask, "Tobin Hask, back of the head"},
    {{F2, 37}, {33, 39}, K::Image, "Tobin Hask, back of the head"},
    {{F2, 38}, {43, 42}, K::Mask, "Tobin Hask, facing right"},
    {{F2, 39}, {43, 42}, K::Image, "Tobin Hask, facing right"},
    {{F2, 40}, {43, 42}, K::Mask, "Tobin Hask, facing left"},
    {{F2, 41}, {43, 42}, K::Image, "Tobin Hask, facing left"},
    {{F2, 42}, {33, 39}, K::Mask, "Pell Ormand, face"},
    {{F2, 43}, {33, 39}, K::Image, "Pell Ormand, face"},
    {{F2, 44}, {33, 39}, K::Mask, "Pell Ormand, back of the head"},
    {{F2, 45}, {33, 39}, K::Image, "Pell Ormand, back of the head"},
    {{F2, 46}, {43, 42}, K::Mask, "Pell Ormand, facing right"},
    {{F2, 47}, {43, 42}, K::Image, "Pell Ormand, facing right"},
    {{F2, 48}, {43, 42}, K::Mask, "Pell Ormand, facing left"},
    {{F2, 49}, {43, 42}, K::Image, "Pell Ormand, facing left"},
    {{F2, 50}, {29, 39}, K::Mask, "Reko Fairlane, face"},
    {{F2, 51}, {29, 39}, K::Image, "Reko Fairlane, face"},
    {{F2, 52}, {33, 39}, K::Mask, "Reko Fairlane, back of the head"},
    {{F2, 53}, {33, 39}, K::Image, "Reko Fairlane, back of the head"},
    {{F2, 54}, {41, 42}, K::Mask, "Reko Fairlane, facing right"},
    {{F2, 55}, {41, 42}, K::Image, "Reko Fairlane, facing right"},
    {{F2, 56}, {41, 42}, K::Mask, "Reko Fairlane, facing left"},
    {{F2, 57}, {41, 42}, K::Image, "Reko Fairlane, facing left"},
    {{F2, 58}, {87, 201}, K::Mask, "walking with the ball, first step"},
    {{F2, 59}, {87, 201}, K::Image, "walking with the ball, first step (Player 1)"},
    {{F2, 60}, {87, 201}, K::Image, "walking with the ball, first step (Player 2)"},
    {{F2, 61}, {87, 201}, K::Mask, "walking with the ball, second step"},
    {{F2, 62}, {87, 201}, K::Image, "walking with the ball, second step (Player 1)"},
    {{F2, 63}, {87, 201}, K::Image, "walking with the ball, second step (Player 2)"},
    {{F2, 64}, {28, 50}, K::Mask, "dribbling hand, right of the body"},
    {{F2, 65}, {28, 50}, K::Image, "dribbling hand, right of the body"},
    {{F2, 66}, {28, 50}, K::Mask, "dribbling hand, left of the body"},
    {{F2, 67}, {28, 50}, K::Image, "dribbling hand, left of the body"},
    {{F2, 68}, {90, 246}, K::Mask, "lay-up, one arm high with the ball"},
    {{F2, 69}, {90, 246}, K::Image, "lay-up, one arm high with the ball (Player 1)"},
    {{F2, 70}, {90, 246}, K::Image, "lay-up, one arm high with the ball (Player 2)"},
    {{F2, 71}, {37, 30}, K::Patch, "shirt number 13 (Player 1)"},
    {{F2, 72}, {37, 30}, K::Patch, "shirt number 55 (Player 1)"},
    {{F2, 73}, {37, 30}, K::Patch, "shirt number 14 (Player 1)"},
    {{F2, 74}, {37, 30}, K::Patch, "shirt number 42 (Player 1)"},
    {{F2, 75}, {37, 30}, K::Patch, "shirt number 13 (Player 2)"},
    {{F2, 76}, {37, 30}, K::Patch, "shirt number 55 (Player 2)"},
    {{F2, 77}, {37, 30}, K::Patch, "shirt number 14 (Player 2)"},
    {{F2, 78}, {37, 30}, K::Patch, "shirt number 42 (Player 2)"},
    {{Holder::Form3, 1}, {821, 662}, K::Full, "the half court"},
    {{Holder::Form4, 1}, {30, 30}, K::Full, "1P badge"},
    {{Holder::Form4, 2}, {30, 30}, K::Full, "2P badge"},
    {{Holder::Form5, 1}, {640, 490}, K::Full, "title art"},
};

constexpr SpriteEntry kSprites[] = {
    {1, 2, 0, false},   {3, 4, 0, false},   {5, 6, 7, true},    {8, 9, 10, true},
    {11, 12, 13, true}, {14, 15, 16, true}, {17, 18, 19, true}, {20, 21, 22, true},
    {23, 24, 25, true}, {26, 27, 0, false}, {28, 29, 0, false}, {30, 31, 0, false},
    {32, 33, 0, false}, {34, 35, 0, false}, {36, 37, 0, false}, {38, 39, 0, false},
    {40, 41, 0, false}, {42, 43, 0, false}, {44, 45, 0, false}, {46, 47, 0, false},
    {48, 49, 0, false}, {50, 51, 0, false}, {52, 53, 0, false}, {54, 55, 0, false},
    {56, 57, 0, false}, {58, 59, 60, true}, {61, 62, 63, true}, {64, 65, 0, false},
    {66, 67, 0, false}, {68, 69, 70, true},
};

constexpr auto kSpriteSizes = [] {
  std::array<PictureSize, form2::kPictureCount + 1> sizes{};
  for (const PictureEntry& entry : kPictures) {
    if (entry.ref.form == Holder::Form2)
      sizes[static_cast<std::size_t>(entry.ref.index)] = entry.size;
  }
  return sizes;
}();

}  // namespace

std::span<const PictureEntry> Pictures() {
  return kPictures;
}
std::span<const SpriteEntry> MaskedSprites() {
  return kSprites;
}

PictureSize SpriteSize(int picture) {
  if (picture < 1 || picture > form2::kPictureCount) return {};
  return kSpriteSizes[static_cast<std::size_t>(picture)];
}

PictureSize SizeOf(PictureRef ref) {
  if (ref.form == Holder::Form2) return SpriteSize(ref.index);
  for (const PictureEntry& entry : kPictures) {
    if (entry.ref.form == ref.form && entry.ref.index == ref.index) return entry.size;
  }
  return {};
}

std::string AssetPath(PictureRef ref) {
  if (SizeOf(ref).width == 0) return {};
  return "form" + std::to_string(static_cast<int>(ref.form)) + "/Picture" +
         std::to_string(ref.index) + ".png";
}

}  // namespace tandemhoop
