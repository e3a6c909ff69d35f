#include "sound/mixer.h"

#include <algorithm>

namespace tandemhoop {

namespace {

// Mixed in slices on the stack: large enough to keep the loops long, small enough to stay in
// the first-level cache.
constexpr std::size_t kSlice = 512;

std::int16_t Saturate(std::int64_t value) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(value, -32768, 32767));
}

}  // namespace

void Mixer::SetSamples(Sound sound, std::span<const std::int16_t> samples) {
  sounds_[static_cast<std::size_t>(sound)] = samples;
}

void Mixer::Play(Sound sound) {
  const std::span<const std::int16_t> samples = sounds_[static_cast<std::size_t>(sound)];
  if (samples.empty()) return;
  Voice* voice = &voices_[0];
  for (Voice& candidate : voices_) {
    if (candidate.remaining == 0) {
      voice = &candidate;
      break;
    }
    if (candidate.started < voice->started) voice = &candidate;
  }
  *voice = Voice{samples.data(), samples.size(), ++plays_};
}

void Mixer::Render(std::int16_t* out, std::size_t count) {
  std::array<std::int32_t, kSlice> sum;
  while (count > 0) {
    const std::size_t slice = std::min(count, kSlice);
    std::fill_n(sum.begin(), slice, 0);
    for (Voice& voice : voices_) {
      const std::size_t n = std::min(slice, voice.remaining);
      const std::int16_t* samples = voice.samples;
      for (std::size_t i = 0; i < n; ++i)
        sum[i] += samples[i];
      voice.samples += n;
      voice.remaining -= n;
    }
    for (std::size_t i = 0; i < slice; ++i) {
      out[i] = Saturate((static_cast<std::int64_t>(sum[i]) * gain_) >> 15);
    }
    out += slice;
    count -= slice;
  }
}

void Mixer::SetVolume(int percent) {
  volumePercent_ = std::clamp(percent, 0, 100);
  gain_ = volumePercent_ * (1 << 15) / 100;
}

int Mixer::ActiveVoices() const {
  return static_cast<int>(std::count_if(voices_.begin(), voices_.end(),
                                        [](const Voice& v) { return v.remaining > 0; }));
}

void Mixer::StopAll() {
  voices_ = {};
}

}  // namespace tandemhoop
