// The cost of a frame with the real art on the software raster: the court copy alone, and a
// whole tick of the busiest frames random play produces (both players with body, head, shirt
// number and dribbling hand, the ball, the net). Text is left out: the window system draws it.
#include <benchmark/benchmark.h>
#include <QImage>
#include <QString>

#include <cstdio>
#include <string>

#include "bench/recorded_play.h"
#include "game/game.h"
#include "screens/pictures.h"
#include "screens/raster.h"
#include "tests/support/picture_set.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::bench {
namespace {

struct RealArt {
  testing::PictureSet pictures;
  std::string error;  // empty when every picture loaded at its catalogue size
};

const RealArt& Art() {
  static const RealArt art = [] {
    RealArt loaded;
    for (const PictureEntry& entry : Pictures()) {
      Surface* surface = loaded.pictures.Find(entry.ref);
      if (surface == nullptr) continue;
      const std::string path = std::string(TANDEMHOOP_ASSETS_DIR) + "/" + AssetPath(entry.ref);
      QImage image(QString::fromStdString(path));
      if (image.isNull() || image.width() != entry.size.width ||
          image.height() != entry.size.height) {
        if (loaded.error.empty()) loaded.error = "cannot load " + path + " at its size";
        continue;
      }
      image = image.convertToFormat(QImage::Format_RGB32);
      *surface = Surface{image.width(), image.height(), {}};
      surface->pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
      for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
          surface->pixels.push_back(row[x] & 0xFFFFFFu);
      }
    }
    return loaded;
  }();
  return art;
}

void BM_CourtCopy(benchmark::State& state) {
  const RealArt& art = Art();
  if (!art.error.empty()) {
    state.SkipWithError(art.error.c_str());
    return;
  }
  Surface frame{727, 542, std::vector<std::uint32_t>(727 * 542, 0xFFFFFF)};
  for (auto _ : state) {
    BitBlt(frame, 0, 0, 727, 542, art.pictures.court, 0, 0, RasterOp::SrcCopy);
    benchmark::DoNotOptimize(frame.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CourtCopy);

// Argument 0: the busiest frame; 1: the busiest with a dribbling hand.
void BM_BusyFrame(benchmark::State& state) {
  const RealArt& art = Art();
  if (!art.error.empty()) {
    state.SkipWithError(art.error.c_str());
    return;
  }
  static const Recording recording = RecordPlay(300'000, 1717, false);
  const bool withHand = state.range(0) == 1;
  const Moment& moment = withHand ? recording.busiestWithHand : recording.busiest;
  const FrameContents& recorded =
      withHand ? recording.busiestWithHandContents : recording.busiestContents;
  testing::RasterPlatform platform(art.pictures);
  testing::SmallRandom random;
  Game game(platform, random);
  for (auto _ : state) {
    platform.ClearTickCopies();
    game.state = moment.state;
    random = moment.random;
    game.Timer1_Timer();
    benchmark::DoNotOptimize(platform.frame().pixels.data());
    benchmark::ClobberMemory();
  }
  const FrameContents contents = ContentsOf(platform);
  if (contents.copies != recorded.copies || platform.faults != 0) {
    state.SkipWithError("the replayed frame differs from the recorded one");
    return;
  }
  state.SetLabel(contents.Describe());
  state.counters["sprite_pixels"] = static_cast<double>(contents.spritePixels);
}
BENCHMARK(BM_BusyFrame)->Arg(0)->Arg(1);

}  // namespace
}  // namespace tandemhoop::bench
