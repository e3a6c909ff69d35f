// The floor under every frame (the court copy) and the game logic of one tick, on the core.
#include <benchmark/benchmark.h>

#include "bench/recorded_play.h"
#include "game/game.h"
#include "game/replay.h"
#include "screens/raster.h"
#include "tests/support/picture_set.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::bench {
namespace {

void BM_CourtCopy(benchmark::State& state) {
  static testing::PictureSet pictures;
  if (pictures.court.width == 0) testing::MakeSyntheticPictures(pictures);
  Surface frame{727, 542, std::vector<std::uint32_t>(727 * 542, 0xFFFFFF)};
  for (auto _ : state) {
    BitBlt(frame, 0, 0, 727, 542, pictures.court, 0, 0, RasterOp::SrcCopy);
    benchmark::DoNotOptimize(frame.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CourtCopy);

// The busiest recorded frame on synthetic art of the catalogue sizes: the same copies as with
// the real art, for a build without Qt.
void BM_BusyFrameSynthetic(benchmark::State& state) {
  static testing::PictureSet pictures;
  if (pictures.court.width == 0) testing::MakeSyntheticPictures(pictures);
  static const Recording recording = RecordPlay(300'000, 1717, false);
  testing::RasterPlatform platform(pictures);
  testing::SmallRandom random;
  Game game(platform, random);
  for (auto _ : state) {
    platform.ClearTickCopies();
    game.state = recording.busiest.state;
    random = recording.busiest.random;
    game.Timer1_Timer();
    benchmark::DoNotOptimize(platform.frame().pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(ContentsOf(platform).Describe());
}
BENCHMARK(BM_BusyFrameSynthetic);

// One tick of play after another, each from the moment of a recorded random game: the mix of
// walking, shooting, loose balls, fouls and the computer's decisions that real play has.
void BM_LogicPerTick(benchmark::State& state) {
  static const Recording recording = RecordPlay(50'000, 4242, true);
  // Draws nothing and answers nothing: what is left of a tick is its logic.
  HeadlessPlatform platform;
  testing::SmallRandom random;
  Game game(platform, random);
  std::size_t next = 0;
  for (auto _ : state) {
    const Moment& moment = recording.moments[next];
    game.state = moment.state;
    random = moment.random;
    game.Timer1_Timer();
    benchmark::DoNotOptimize(game.state);
    if (++next == recording.moments.size()) next = 0;
  }
  state.counters["moments"] = static_cast<double>(recording.moments.size());
}
BENCHMARK(BM_LogicPerTick);

// The restoring of a moment alone, to be taken off the figure above.
void BM_LogicRestoreOnly(benchmark::State& state) {
  static const Recording recording = RecordPlay(50'000, 4242, true);
  GameState gameState;
  testing::SmallRandom random;
  std::size_t next = 0;
  for (auto _ : state) {
    const Moment& moment = recording.moments[next];
    gameState = moment.state;
    random = moment.random;
    benchmark::DoNotOptimize(gameState);
    benchmark::DoNotOptimize(random);
    if (++next == recording.moments.size()) next = 0;
  }
}
BENCHMARK(BM_LogicRestoreOnly);

}  // namespace
}  // namespace tandemhoop::bench
