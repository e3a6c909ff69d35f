#include "tools/artgen/sprite_layout.h"

namespace artgen::layout {
namespace f2 = tandemhoop::form2;

const std::vector<Pairing>& Pairings() {
  // The face goes with the guard and reach poses, and with the standing pose while he jumps to
  // block; the back of the head with the standing and walking poses; the shooting views with
  // the shooting poses on their side of the basket.
  static const std::vector<Pairing> pairings = {
      {HeadCase::Front, f2::Picture5},           {HeadCase::Front, f2::Picture8},
      {HeadCase::Front, f2::Picture11},          {HeadCase::Back, f2::Picture5},
      {HeadCase::Back, f2::Picture58},           {HeadCase::Back, f2::Picture61},
      {HeadCase::ShootingLeft, f2::Picture14},   {HeadCase::ShootingLeft, f2::Picture68},
      {HeadCase::ShootingLeft, f2::Picture23},   {HeadCase::ShootingMiddle, f2::Picture17},
      {HeadCase::ShootingMiddle, f2::Picture68}, {HeadCase::ShootingMiddle, f2::Picture20},
      {HeadCase::ShootingRight, f2::Picture17},  {HeadCase::ShootingRight, f2::Picture68},
      {HeadCase::ShootingRight, f2::Picture20},
  };
  return pairings;
}

Layer Body(int side, int mask) {
  const bool two = side == 2;
  switch (mask) {
    case f2::Picture20:
      return {mask, two ? f2::Picture22 : f2::Picture21, {-12, -10}};
    case f2::Picture23:
      return {mask, two ? f2::Picture25 : f2::Picture24, {-28, -10}};
    case f2::Picture68:
      return {mask, two ? f2::Picture70 : f2::Picture69, {-9, -40}};
    case f2::Picture17:
      return {mask, two ? f2::Picture19 : f2::Picture18, {0, -40}};
    case f2::Picture14:
      return {mask, two ? f2::Picture16 : f2::Picture15, {12, -40}};
    case f2::Picture8:
      return {mask, two ? f2::Picture10 : f2::Picture9, {-33, 0}};
    case f2::Picture11:
      return {mask, two ? f2::Picture13 : f2::Picture12, {two ? 3 : 5, -20}};
    case f2::Picture61:
      return {mask, two ? f2::Picture63 : f2::Picture62, {0, 0}};
    case f2::Picture58:
      return {mask, two ? f2::Picture60 : f2::Picture59, {0, 0}};
    default:
      return {f2::Picture5, two ? f2::Picture7 : f2::Picture6, {0, 0}};
  }
}

Layer Head(int side, int pick, HeadCase headCase) {
  // Offsets per pick 1..4.
  static constexpr Offset kFront[4] = {{30, 0}, {25, 0}, {28, 0}, {30, 5}};
  static constexpr Offset kBack[4] = {{30, 0}, {30, 0}, {30, 0}, {29, 5}};
  static constexpr Offset kLeft[4] = {{22, 5}, {22, 0}, {22, 3}, {17, 5}};
  static constexpr Offset kMiddle[4] = {{30, 7}, {30, 3}, {30, 3}, {32, 12}};
  static constexpr Offset kRight1[4] = {{30, 3}, {30, 3}, {30, 5}, {30, 0}};
  static constexpr Offset kRight2[4] = {{30, 3}, {30, 3}, {30, 5}, {30, 3}};
  const int i = pick - 1;
  const int first = f2::Picture26 + 8 * i;
  switch (headCase) {
    case HeadCase::Front:
      return {first, first + 1, kFront[i]};
    case HeadCase::Back:
      return {first + 2, first + 3, kBack[i]};
    case HeadCase::ShootingMiddle:
      return {first + 2, first + 3, kMiddle[i]};
    case HeadCase::ShootingLeft:
      return {first + 4, first + 5, kLeft[i]};
    case HeadCase::ShootingRight:
      return {first + 6, first + 7, side == 2 ? kRight2[i] : kRight1[i]};
  }
  return {};
}

std::optional<Layer> Number(int side, int pick, HeadCase headCase) {
  const int patch = (side == 2 ? f2::Picture75 : f2::Picture71) + pick - 1;
  switch (headCase) {
    case HeadCase::Front:
      return std::nullopt;
    case HeadCase::ShootingLeft:
      return Layer{0, patch, {22, 50}};
    case HeadCase::ShootingRight:
      return Layer{0, patch, {30, 50}};
    default:
      return Layer{0, patch, {25, 50}};
  }
}

Layer Hand(bool left) {
  return left ? Layer{f2::Picture66, f2::Picture67, {-8, 35}}
              : Layer{f2::Picture64, f2::Picture65, {70, 35}};
}

}  // namespace artgen::layout
