// The cost of mixing one tick's worth of sound: at the classic speed, 2,636 samples.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "sound/mixer.h"
#include "tools/sfxgen/synth.h"

namespace tandemhoop {
namespace {

// The game's own sounds, `voices` of them playing at once, restarted as they end.
void BM_MixOneTick(benchmark::State& state) {
  static const auto sounds = [] {
    std::array<std::vector<std::int16_t>, kSoundCount> made;
    for (int k = 0; k < kSoundCount; ++k)
      made[static_cast<std::size_t>(k)] = sfx::Make(static_cast<Sound>(k));
    return made;
  }();
  Mixer mixer;
  for (int k = 0; k < kSoundCount; ++k) {
    mixer.SetSamples(static_cast<Sound>(k), sounds[static_cast<std::size_t>(k)]);
  }
  const int voices = static_cast<int>(state.range(0));
  TickSamples perTick(Speed::Classic);
  std::vector<std::int16_t> out(4096);
  for (auto _ : state) {
    for (int k = mixer.ActiveVoices(); k < voices; ++k)
      mixer.Play(Sound::Win);
    mixer.Render(out.data(), perTick.Next());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_MixOneTick)->Arg(1)->Arg(4)->Arg(Mixer::kVoices);

}  // namespace
}  // namespace tandemhoop
