// The game draws a player as separate layers at fixed offsets from his position: body, head,
// shirt number, dribbling hand. These tests put the committed pictures together at those
// offsets and check that they meet: the number lies on the shirt, the head sits on the collar,
// the hand joins the arm and reaches the ball.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "tests/art/art_files.h"

namespace tandemhoop::art {
namespace {

namespace f2 = form2;

struct Offset {
  int x;
  int y;
};

// A picture's figure, placed relative to the player's position.
struct Placed {
  QImage mask;
  QImage image;
  Offset at;

  bool Figure(int px, int py) const {
    const int x = px - at.x;
    const int y = py - at.y;
    if (x < 0 || y < 0 || x >= mask.width() || y >= mask.height()) return false;
    return !(Pixel(mask, x, y) == kWhite && Pixel(image, x, y) == kBlack);
  }
  bool Shirt(int px, int py) const {
    const int x = px - at.x;
    const int y = py - at.y;
    if (x < 0 || y < 0 || x >= mask.width() || y >= mask.height()) return false;
    return Pixel(mask, x, y) == kBlack;
  }
};

Placed Sprite(int mask, int image, Offset at) {
  return {LoadSprite(mask), LoadSprite(image), at};
}

enum class View { Front, Back, Left, Middle, Right };

// The drawing tables, pick by pick.
Offset HeadOffset(int side, int pick, View view) {
  static constexpr Offset kFront[4] = {{30, 0}, {25, 0}, {28, 0}, {30, 5}};
  static constexpr Offset kBack[4] = {{30, 0}, {30, 0}, {30, 0}, {29, 5}};
  static constexpr Offset kLeft[4] = {{22, 5}, {22, 0}, {22, 3}, {17, 5}};
  static constexpr Offset kMiddle[4] = {{30, 7}, {30, 3}, {30, 3}, {32, 12}};
  static constexpr Offset kRight[4] = {{30, 3}, {30, 3}, {30, 5}, {30, 0}};
  const int i = pick - 1;
  switch (view) {
    case View::Front:
      return kFront[i];
    case View::Back:
      return kBack[i];
    case View::Left:
      return kLeft[i];
    case View::Middle:
      return kMiddle[i];
    case View::Right:
      // Player 2's table puts the fourth player's head 3 pixels lower here.
      return (side == 2 && pick == 4) ? Offset{30, 3} : kRight[i];
  }
  return {};
}

int HeadMask(int pick, View view) {
  const int first = f2::Picture26 + 8 * (pick - 1);
  switch (view) {
    case View::Front:
      return first;
    case View::Back:
    case View::Middle:
      return first + 2;
    case View::Left:
      return first + 4;
    case View::Right:
      return first + 6;
  }
  return 0;
}

Offset NumberOffset(View view) {
  return view == View::Left    ? Offset{22, 50}
         : view == View::Right ? Offset{30, 50}
                               : Offset{25, 50};
}

struct Pose {
  const char* name;
  int mask;
  int image1;
  int image2;
  Offset at1;
  Offset at2;
  std::vector<View> views;
};

const std::vector<Pose>& Poses() {
  static const std::vector<Pose> poses = {
      {"standing",
       f2::Picture5,
       f2::Picture6,
       f2::Picture7,
       {0, 0},
       {0, 0},
       {View::Back, View::Front}},
      {"walk 1", f2::Picture58, f2::Picture59, f2::Picture60, {0, 0}, {0, 0}, {View::Back}},
      {"walk 2", f2::Picture61, f2::Picture62, f2::Picture63, {0, 0}, {0, 0}, {View::Back}},
      {"guard", f2::Picture8, f2::Picture9, f2::Picture10, {-33, 0}, {-33, 0}, {View::Front}},
      {"reach", f2::Picture11, f2::Picture12, f2::Picture13, {5, -20}, {3, -20}, {View::Front}},
      {"jump shot, both hands",
       f2::Picture14,
       f2::Picture15,
       f2::Picture16,
       {12, -40},
       {12, -40},
       {View::Left}},
      {"jump shot, bent arm",
       f2::Picture17,
       f2::Picture18,
       f2::Picture19,
       {0, -40},
       {0, -40},
       {View::Middle, View::Right}},
      {"lay-up",
       f2::Picture68,
       f2::Picture69,
       f2::Picture70,
       {-9, -40},
       {-9, -40},
       {View::Left, View::Middle, View::Right}},
      {"dunk, hanging",
       f2::Picture20,
       f2::Picture21,
       f2::Picture22,
       {-12, -10},
       {-12, -10},
       {View::Middle, View::Right}},
      {"dunk, one arm",
       f2::Picture23,
       f2::Picture24,
       f2::Picture25,
       {-28, -10},
       {-28, -10},
       {View::Left}},
  };
  return poses;
}

std::string Name(const Pose& pose, int side, View view, int pick) {
  static const char* const kViews[] = {"front", "back", "left", "middle", "right"};
  return std::string(pose.name) + ", player " + std::to_string(side) + ", " +
         kViews[static_cast<int>(view)] + (pick > 0 ? ", pick " + std::to_string(pick) : "");
}

TEST(Placement, ShirtNumberLiesWhollyOnTheShirt) {
  for (const Pose& pose : Poses()) {
    for (int side = 1; side <= 2; ++side) {
      const Placed body =
          Sprite(pose.mask, side == 1 ? pose.image1 : pose.image2, side == 1 ? pose.at1 : pose.at2);
      ASSERT_FALSE(body.mask.isNull());
      for (View view : pose.views) {
        if (view == View::Front) continue;  // no number on the front
        const Offset n = NumberOffset(view);
        int off = 0;
        for (int y = n.y; y < n.y + 30; ++y)
          for (int x = n.x; x < n.x + 37; ++x)
            off += body.Shirt(x, y) ? 0 : 1;
        EXPECT_EQ(off, 0) << Name(pose, side, view, 0) << ": " << off
                          << " pixels of the patch land off the shirt";
      }
    }
  }
}

TEST(Placement, HeadSitsOnTheCollar) {
  for (const Pose& pose : Poses()) {
    for (int side = 1; side <= 2; ++side) {
      const Placed body =
          Sprite(pose.mask, side == 1 ? pose.image1 : pose.image2, side == 1 ? pose.at1 : pose.at2);
      for (View view : pose.views) {
        for (int pick = 1; pick <= 4; ++pick) {
          const int mask = HeadMask(pick, view);
          const Placed head = Sprite(mask, mask + 1, HeadOffset(side, pick, view));
          ASSERT_FALSE(head.mask.isNull());
          // The bottom of the neck: the lowest row of the head's figure, at its middle.
          int bottom = INT_MIN;
          std::vector<int> columns;
          for (int y = head.at.y; y < head.at.y + head.mask.height(); ++y)
            for (int x = head.at.x; x < head.at.x + head.mask.width(); ++x)
              if (head.Figure(x, y)) bottom = std::max(bottom, y);
          for (int x = head.at.x; x < head.at.x + head.mask.width(); ++x)
            if (head.Figure(x, bottom)) columns.push_back(x);
          ASSERT_FALSE(columns.empty());
          const int neck = columns[columns.size() / 2];
          // The body's first figure row below the chin in that column is the collar.
          int collar = INT_MAX;
          for (int y = bottom - 10; y < bottom + 20; ++y) {
            if (body.Figure(neck, y)) {
              collar = y;
              break;
            }
          }
          const std::string name = Name(pose, side, view, pick);
          EXPECT_LE(collar, bottom + 1) << name << ": a gap between neck and collar";
          EXPECT_GE(collar, bottom - 7) << name << ": the head sinks into the shirt";
        }
      }
    }
  }
}

int Overlap(const Placed& a, const Placed& b) {
  int count = 0;
  for (int y = a.at.y; y < a.at.y + a.mask.height(); ++y)
    for (int x = a.at.x; x < a.at.x + a.mask.width(); ++x)
      count += a.Figure(x, y) && b.Figure(x, y) ? 1 : 0;
  return count;
}

TEST(Placement, DribblingHandJoinsTheArmAndMeetsTheBall) {
  const Placed right = Sprite(f2::Picture64, f2::Picture65, {70, 35});
  const Placed left = Sprite(f2::Picture66, f2::Picture67, {-8, 35});
  // At the top of its bounce the ball is 60 below the player's top, beside him.
  const Placed ballRight = Sprite(f2::Picture1, f2::Picture2, {60, 60});
  const Placed ballLeft = Sprite(f2::Picture1, f2::Picture2, {-25, 60});
  EXPECT_GT(Overlap(right, ballRight), 30);
  EXPECT_GT(Overlap(left, ballLeft), 30);
  for (const Pose& pose : Poses()) {
    if (pose.mask != f2::Picture5 && pose.mask != f2::Picture58 && pose.mask != f2::Picture61)
      continue;
    const Placed body = Sprite(pose.mask, pose.image1, pose.at1);
    EXPECT_GT(Overlap(right, body), 20) << pose.name << ": right hand floats";
    EXPECT_GT(Overlap(left, body), 20) << pose.name << ": left hand floats";
  }
}

}  // namespace
}  // namespace tandemhoop::art
