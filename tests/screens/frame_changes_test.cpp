#include "screens/frame_changes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace tandemhoop {
namespace {

Surface Filled(int width, int height, std::uint32_t colour) {
  return Surface{width, height,
                 std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

long long Covered(const ChangedAreas& areas) {
  long long sum = 0;
  for (int i = 0; i < areas.count(); ++i)
    sum += static_cast<long long>(areas[i].width) * areas[i].height;
  return sum;
}

// A front end that sends only the areas it is told of must end up showing the frame exactly:
// random ticks of copies (a court over the whole frame now and then, sprites of each raster
// operation anywhere, partly off the frame), each followed by sending the changed areas.
TEST(FrameChanges, SendingOnlyTheChangedAreasKeepsTheShownFrameExact) {
  constexpr int kW = 48;
  constexpr int kH = 36;
  std::mt19937 random(20261209);
  std::vector<Surface> pictures;
  pictures.push_back(Filled(kW, kH, 0));  // the court
  for (std::size_t i = 0; i < pictures[0].pixels.size(); ++i)
    pictures[0].pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFFu;
  pictures.push_back(Filled(kW, kH, 0x00FFFFFF));  // another whole-frame picture (a title)
  for (int i = 0; i < 4; ++i) {
    Surface sprite = Filled(3 + i * 3, 2 + i * 4, 0);
    for (auto& pixel : sprite.pixels)
      pixel = random() & 0xFFFFFFu;
    pictures.push_back(sprite);
  }
  Surface frame = Filled(kW, kH, 0x00FFFFFF);
  Surface shown = Filled(kW, kH, 0x12345678);  // whatever the canvas held before
  FrameChanges changes(kW, kH);
  auto send = [&] {
    const ChangedAreas& areas = changes.Take();
    ASSERT_LE(areas.count(), ChangedAreas::kMax);
    for (int i = 0; i < areas.count(); ++i)
      BitBlt(shown, areas[i].x, areas[i].y, areas[i].width, areas[i].height, frame, areas[i].x,
             areas[i].y, RasterOp::SrcCopy);
  };
  auto copy = [&](int picture, int x, int y, RasterOp op) {
    const Surface& source = pictures[static_cast<std::size_t>(picture)];
    BitBlt(frame, x, y, source.width, source.height, source, 0, 0, op);
    changes.Copied(PictureRef{Holder::Form3, static_cast<std::int16_t>(picture)}, x, y,
                   ClippedCopyArea(frame, x, y, source.width, source.height, source, 0, 0), op);
  };
  for (int tick = 0; tick < 3000; ++tick) {
    const int start = static_cast<int>(random() % 10);
    if (start < 7) copy(0, 0, 0, RasterOp::SrcCopy);
    if (start == 7) copy(1, 0, 0, RasterOp::SrcCopy);
    if (start == 8) copy(0, 1, 0, RasterOp::SrcCopy);  // the court, but shifted
    const int sprites = static_cast<int>(random() % 7);
    for (int s = 0; s < sprites; ++s) {
      const int picture = 2 + static_cast<int>(random() % 4);
      const int x = static_cast<int>(random() % (kW + 10)) - 5;
      const int y = static_cast<int>(random() % (kH + 10)) - 5;
      copy(picture, x, y, static_cast<RasterOp>(random() % 3));
    }
    send();
    ASSERT_EQ(shown.pixels, frame.pixels) << "tick " << tick;
  }
}

TEST(FrameChanges, ATickOfPlaySendsWhatMovedNotTheWholeCourt) {
  const Surface court = Filled(727, 542, 0x00336699);
  const Surface player = Filled(87, 201, 0x00AA0000);
  Surface frame = Filled(727, 542, 0);
  FrameChanges changes(727, 542);
  auto tick = [&](int playerX) {
    BitBlt(frame, 0, 0, 727, 542, court, 0, 0, RasterOp::SrcCopy);
    changes.Copied({Holder::Form3, 1}, 0, 0, {0, 0, 727, 542}, RasterOp::SrcCopy);
    BitBlt(frame, playerX, 300, 87, 201, player, 0, 0, RasterOp::SrcPaint);
    changes.Copied({Holder::Form2, 5}, playerX, 300,
                   ClippedCopyArea(frame, playerX, 300, 87, 201, player, 0, 0), RasterOp::SrcPaint);
    return Covered(changes.Take());
  };
  EXPECT_EQ(tick(100), 727LL * 542);  // the first frame is sent whole
  EXPECT_EQ(tick(104), 91LL * 201);   // where the player stood, and where he stands now
  EXPECT_EQ(tick(104), 87LL * 201);   // standing still: drawn again in the same place
  changes.Forget();                   // the pictures were loaded again
  EXPECT_EQ(tick(104), 727LL * 542);
}

TEST(ChangedAreas, AFullListGrowsTheNearestAreaAndSkipsWhatItAlreadyCovers) {
  ChangedAreas areas;
  areas.Add({0, 0, 10, 10});
  areas.Add({2, 2, 3, 3});  // inside the first
  areas.Add({100, 0, 10, 10});
  areas.Add({0, 100, 10, 10});
  areas.Add({100, 100, 10, 10});
  EXPECT_EQ(areas.count(), 4);
  areas.Add({112, 100, 5, 10});  // next to the last one
  ASSERT_EQ(areas.count(), 4);
  EXPECT_EQ(areas[3].x, 100);
  EXPECT_EQ(areas[3].width, 17);
  EXPECT_EQ(Covered(areas), 300 + 170);
  areas.Add({5, 5, 0, 4});  // empty
  EXPECT_EQ(areas.count(), 4);
}

}  // namespace
}  // namespace tandemhoop
