#include "bench/recorded_play.h"

#include <algorithm>

#include "screens/pictures.h"
#include "tests/support/picture_set.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::bench {

namespace {

bool IsBody(int picture, bool player1) {
  // Body poses come as mask, Player 1 image, Player 2 image.
  for (const SpriteEntry& sprite : MaskedSprites()) {
    if (!sprite.body) continue;
    if (picture == (player1 ? sprite.player1Image : sprite.player2Image)) return true;
  }
  return false;
}

bool IsHeadImage(int picture) {
  return picture >= 27 && picture <= 57 && picture % 2 == 1;
}

}  // namespace

int FrameContents::Score() const {
  return (ball ? 1 : 0) + (net ? 1 : 0) + (player1Body ? 1 : 0) + (player2Body ? 1 : 0) +
         std::min(heads, 2) + (player1Number ? 1 : 0) + (player2Number ? 1 : 0) +
         std::min(hands, 2);
}

std::string FrameContents::Describe() const {
  std::string text;
  auto add = [&](bool present, const char* what) {
    if (!present) return;
    if (!text.empty()) text += ' ';
    text += what;
  };
  add(ball, "ball");
  add(net, "net");
  add(player1Body, "body1");
  add(player2Body, "body2");
  add(heads > 0, heads >= 2 ? "heads2" : "head1");
  add(player1Number, "number1");
  add(player2Number, "number2");
  add(hands > 0, hands >= 2 ? "hands2" : "hand1");
  text += " (" + std::to_string(copies) + " copies, score " + std::to_string(Score()) + "/9)";
  return text;
}

FrameContents ContentsOf(const testing::RasterPlatform& platform) {
  FrameContents contents;
  contents.copies = platform.tickCopyCount();
  for (int i = 0; i < platform.tickCopyCount(); ++i) {
    const testing::RasterPlatform::Copy& copy = platform.tickCopy(i);
    if (copy.source.form != Holder::Form2) continue;
    const int picture = copy.source.index;
    const PictureSize size = SpriteSize(picture);
    contents.spritePixels += static_cast<long long>(size.width) * size.height;
    if (copy.op == RasterOp::SrcAnd) continue;
    contents.ball |= picture == form2::Picture2;
    contents.net |= picture == form2::Picture4;
    contents.player1Body |= IsBody(picture, true);
    contents.player2Body |= IsBody(picture, false);
    if (IsHeadImage(picture)) ++contents.heads;
    contents.player1Number |= picture >= form2::Picture71 && picture <= form2::Picture74;
    contents.player2Number |= picture >= form2::Picture75 && picture <= form2::Picture78;
    if (picture == form2::Picture65 || picture == form2::Picture67) ++contents.hands;
  }
  return contents;
}

Recording RecordPlay(long long ticks, std::uint64_t seed, bool keepMoments) {
  static testing::PictureSet pictures;
  if (pictures.court.width == 0) testing::MakeSyntheticPictures(pictures);
  testing::RasterPlatform platform(pictures);
  platform.draw = false;
  testing::SmallRandom random(seed);
  testing::RandomPlayer player(platform, random, seed);

  Recording recording;
  if (keepMoments) recording.moments.reserve(static_cast<std::size_t>(ticks));
  long long bestScore = -1;
  long long bestPixels = -1;
  long long bestHandScore = -1;
  long long bestHandPixels = -1;
  while (player.stats().ticks < ticks) {
    if (!player.Events()) continue;
    const Moment moment{player.game().state, random};
    const long long messages = platform.messages;
    platform.ClearTickCopies();
    player.Tick();
    // A tick that ends the program or opens a message box is not a frame worth replaying.
    if (player.game().Ended() || platform.messages != messages) continue;
    if (keepMoments) recording.moments.push_back(moment);
    const FrameContents contents = ContentsOf(platform);
    const long long score = contents.Score();
    if (score > bestScore || (score == bestScore && contents.spritePixels > bestPixels)) {
      bestScore = score;
      bestPixels = contents.spritePixels;
      recording.busiest = moment;
      recording.busiestContents = contents;
    }
    if (contents.hands > 0 && (score > bestHandScore || (score == bestHandScore &&
                                                         contents.spritePixels > bestHandPixels))) {
      bestHandScore = score;
      bestHandPixels = contents.spritePixels;
      recording.busiestWithHand = moment;
      recording.busiestWithHandContents = contents;
    }
  }
  return recording;
}

}  // namespace tandemhoop::bench
