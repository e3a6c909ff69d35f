#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "sound/wav.h"
#include "tools/sfxgen/synth.h"

namespace tandemhoop {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The share of a sound's energy between `low` and `high` Hz, from its spectrum in 2,048-sample
// windows (a plain DFT of the bins in the band and of all of them).
double BandShare(const std::vector<std::int16_t>& samples, double low, double high) {
  constexpr std::size_t kWindow = 2048;
  static const auto table = [] {
    std::vector<double> cosSin(2 * kWindow);
    for (std::size_t i = 0; i < kWindow; ++i) {
      const double angle = 2 * std::numbers::pi * static_cast<double>(i) / kWindow;
      cosSin[2 * i] = std::cos(angle);
      cosSin[2 * i + 1] = std::sin(angle);
    }
    return cosSin;
  }();
  double band = 0;
  double all = 0;
  for (std::size_t start = 0; start + kWindow <= samples.size(); start += kWindow) {
    for (std::size_t bin = 1; bin < kWindow / 2; bin += 2) {
      double re = 0;
      double im = 0;
      for (std::size_t i = 0; i < kWindow; ++i) {
        const std::size_t at = (bin * i) % kWindow;
        re += samples[start + i] * table[2 * at];
        im -= samples[start + i] * table[2 * at + 1];
      }
      const double energy = re * re + im * im;
      const double frequency = static_cast<double>(bin) * kWavRate / kWindow;
      all += energy;
      if (frequency >= low && frequency < high) band += energy;
    }
  }
  return all > 0 ? band / all : 0;
}

TEST(Sounds, TheCommittedFilesAreExactlyWhatTheGeneratorMakes) {
  std::size_t total = 0;
  for (int k = 0; k < kSoundCount; ++k) {
    const auto sound = static_cast<Sound>(k);
    const std::string name(SoundFileName(sound));
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> file =
        ReadFile(std::string(TANDEMHOOP_SOURCE_DIR) + "/assets/sounds/" + name);
    const std::vector<std::int16_t> made = sfx::Make(sound);
    EXPECT_TRUE(file == EncodeWav(made)) << "run tandemhoop_sfxgen from the repository root";
    const auto decoded = DecodeWav(file);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_GT(decoded->size(), kWavRate / 20u);
    EXPECT_LT(decoded->size(), kWavRate * 3u);
    total += file.size();
  }
  EXPECT_LT(total, 700'000u);  // the whole set stays small
}

TEST(Sounds, EachSoundHasItsEnergyWhereItsKindOfSoundHasIt) {
  // A thump is low, a swish and a whistle high; the whistle's is a narrow band near 3 kHz.
  EXPECT_GT(BandShare(sfx::Make(Sound::Bounce), 0, 1200), 0.8);
  EXPECT_GT(BandShare(sfx::Make(Sound::Swish), 2000, 12000), 0.7);
  EXPECT_GT(BandShare(sfx::Make(Sound::Whistle), 2500, 4000), 0.8);
  EXPECT_GT(BandShare(sfx::Make(Sound::Dunk), 0, 300), 0.3);  // the heavy thump under the clang
  // The rim rings in more than one place, and not at multiples of one note.
  const std::vector<std::int16_t> rim = sfx::Make(Sound::Rim);
  EXPECT_GT(BandShare(rim, 1250, 1450), 0.1);
  EXPECT_GT(BandShare(rim, 2150, 2400), 0.05);
}

}  // namespace
}  // namespace tandemhoop
