#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/fnv.h"
#include "sound/mixer.h"
#include "sound/wav.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::testing {
namespace {

// Short made-up sounds, each its own shape, so that a mix of them shows what went where.
struct TestSounds {
  TestSounds() {
    for (int k = 0; k < kSoundCount; ++k) {
      std::vector<std::int16_t>& samples = data[static_cast<std::size_t>(k)];
      samples.resize(static_cast<std::size_t>(1500 + 700 * k));
      for (std::size_t i = 0; i < samples.size(); ++i) {
        const int wave =
            static_cast<int>((i * static_cast<std::size_t>(97 + 31 * k)) % 4001) - 2000;
        samples[i] = static_cast<std::int16_t>(wave * (k + 1));
      }
    }
  }
  void LoadInto(Mixer& mixer) const {
    for (int k = 0; k < kSoundCount; ++k) {
      mixer.SetSamples(static_cast<Sound>(k), data[static_cast<std::size_t>(k)]);
    }
  }
  const std::vector<std::int16_t>& of(Sound sound) const {
    return data[static_cast<std::size_t>(sound)];
  }
  std::array<std::vector<std::int16_t>, kSoundCount> data;
};

std::vector<std::int16_t> Render(Mixer& mixer, std::size_t count) {
  std::vector<std::int16_t> out(count, 12345);
  mixer.Render(out.data(), count);
  return out;
}

TEST(TickSamples, CarryTheFractionSoTheSoundKeepsTimeWithTheGameAtBothSpeeds) {
  TickSamples fast(Speed::Fast);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(fast.Next(), 750u);

  // One whole cycle of the classic clock's fraction: exactly 48,000 samples a second.
  TickSamples classic(Speed::Classic);
  long long total = 0;
  for (int i = 0; i < 1'193'182; ++i) {
    const std::size_t n = classic.Next();
    ASSERT_TRUE(n == 2636 || n == 2637) << n;
    total += static_cast<long long>(n);
  }
  EXPECT_EQ(total, 48'000LL * 65'536);
}

TEST(Mixer, ASoundStartsWithTheNextSampleAndOverlapsItselfWhenPlayedAgain) {
  TestSounds sounds;
  Mixer mixer;
  sounds.LoadInto(mixer);
  const auto& bounce = sounds.of(Sound::Bounce);

  EXPECT_EQ(Render(mixer, 100), std::vector<std::int16_t>(100, 0));  // silence, not left-overs
  mixer.Play(Sound::Bounce);
  std::vector<std::int16_t> first = Render(mixer, 500);
  EXPECT_EQ(first, std::vector<std::int16_t>(bounce.begin(), bounce.begin() + 500));

  mixer.Play(Sound::Bounce);  // the first one goes on under the second
  EXPECT_EQ(mixer.ActiveVoices(), 2);
  const std::vector<std::int16_t> both = Render(mixer, 200);
  for (std::size_t i = 0; i < both.size(); ++i) {
    ASSERT_EQ(both[i], bounce[500 + i] + bounce[i]) << i;
  }
  // Each ends on its own; then silence.
  Render(mixer, bounce.size() - 700);
  EXPECT_EQ(mixer.ActiveVoices(), 1);
  Render(mixer, 500);
  EXPECT_EQ(mixer.ActiveVoices(), 0);
  EXPECT_EQ(Render(mixer, 10), std::vector<std::int16_t>(10, 0));
}

TEST(Mixer, VolumeScalesAndALoudSumSaturatesInsteadOfWrapping) {
  std::vector<std::int16_t> loud(64, 30000);
  std::vector<std::int16_t> low(64, -30000);
  Mixer mixer;
  mixer.SetSamples(Sound::Dunk, loud);
  mixer.SetSamples(Sound::Rim, low);
  mixer.Play(Sound::Dunk);
  mixer.Play(Sound::Dunk);
  EXPECT_EQ(Render(mixer, 1)[0], 32767);
  mixer.StopAll();
  mixer.Play(Sound::Rim);
  mixer.Play(Sound::Rim);
  EXPECT_EQ(Render(mixer, 1)[0], -32768);
  mixer.SetVolume(50);
  EXPECT_EQ(Render(mixer, 1)[0], -30000);
  mixer.SetVolume(0);
  EXPECT_EQ(Render(mixer, 1)[0], 0);
  mixer.SetVolume(250);
  EXPECT_EQ(mixer.volume(), 100);
}

TEST(Mixer, WhenEveryVoiceIsBusyTheOldestGivesWayAndASoundWithoutSamplesIsSilent) {
  TestSounds sounds;
  Mixer mixer;
  sounds.LoadInto(mixer);
  mixer.Play(Sound::Win);  // the oldest
  Render(mixer, 1);
  for (int i = 1; i < Mixer::kVoices; ++i)
    mixer.Play(Sound::Whistle);
  mixer.Play(Sound::Bounce);
  EXPECT_EQ(mixer.ActiveVoices(), Mixer::kVoices);
  const std::int16_t sample = Render(mixer, 1)[0];
  const int expected = (Mixer::kVoices - 1) * sounds.of(Sound::Whistle)[0] +
                       sounds.of(Sound::Bounce)[0];  // the win is gone
  EXPECT_EQ(sample, std::clamp(expected, -32768, 32767));

  // The oldest gives way wherever it sits, not the first voice: each sound a constant here, so
  // the mix tells which voices sound. The short bounce frees the first voice, a whistle takes
  // it, and the win (now the oldest, in the second voice) is what the swish replaces.
  std::array<std::vector<std::int16_t>, kSoundCount> flat;
  for (auto& samples : flat)
    samples.assign(1000, 1);
  flat[static_cast<std::size_t>(Sound::Bounce)].assign(10, 1);
  flat[static_cast<std::size_t>(Sound::Win)].assign(1000, 1000);
  flat[static_cast<std::size_t>(Sound::Swish)].assign(1000, 100);
  Mixer busy;
  for (int k = 0; k < kSoundCount; ++k)
    busy.SetSamples(static_cast<Sound>(k), flat[static_cast<std::size_t>(k)]);
  busy.Play(Sound::Bounce);
  busy.Play(Sound::Win);
  for (int i = 2; i < Mixer::kVoices; ++i)
    busy.Play(Sound::Whistle);
  Render(busy, 10);
  busy.Play(Sound::Whistle);
  busy.Play(Sound::Swish);
  EXPECT_EQ(Render(busy, 1)[0], (Mixer::kVoices - 1) * 1 + 100);

  Mixer empty;
  empty.Play(Sound::Swish);
  EXPECT_EQ(empty.ActiveVoices(), 0);
}

// A game of the random player whose cues go to a mixer, rendered a tick's worth after each tick.
class MixingPlatform : public RasterPlatform {
 public:
  using RasterPlatform::RasterPlatform;
  void PlaySound(Sound sound) override { mixer.Play(sound); }
  Mixer mixer;
};

std::uint64_t HashOfAGame(Speed speed, long long* samplesRendered, long long* samplesHeard) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  static const TestSounds sounds;
  MixingPlatform platform(pictures);
  platform.draw = false;
  sounds.LoadInto(platform.mixer);
  SmallRandom random(9);
  RandomPlayer player(platform, random, 31);
  TickSamples perTick(speed);
  Fnv1a64 hash;
  std::vector<std::int16_t> samples;
  *samplesRendered = 0;
  *samplesHeard = 0;
  while (player.stats().ticks < 1500) {
    if (!player.Step()) continue;
    samples.resize(perTick.Next());
    platform.mixer.Render(samples.data(), samples.size());
    for (const std::int16_t sample : samples)
      hash.AddLittleEndian(static_cast<std::uint16_t>(sample), 2);
    *samplesRendered += static_cast<long long>(samples.size());
    *samplesHeard += std::count_if(samples.begin(), samples.end(), [](auto v) { return v != 0; });
  }
  return hash.value();
}

TEST(Mixer, AScriptedGameGivesTheSameSamplesEverywhereAtEachSpeed) {
  long long rendered = 0;
  long long heard = 0;  // samples that are not silence
  EXPECT_EQ(HashOfAGame(Speed::Classic, &rendered, &heard), 11286270803046262350ull);
  EXPECT_EQ(rendered, 1500LL * 48'000 * 65'536 / 1'193'182);
  EXPECT_EQ(HashOfAGame(Speed::Fast, &rendered, &heard), 15349888635999051081ull);
  EXPECT_EQ(rendered, 1500LL * 750);
  EXPECT_GT(heard, 48'000);
}

TEST(Wav, ReadsWhatItWritesAndRefusesWhatIsMalformed) {
  const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 1234};
  const std::vector<std::uint8_t> file = EncodeWav(samples);
  ASSERT_EQ(file.size(), 44u + 12u);
  EXPECT_EQ(DecodeWav(file), samples);

  auto refused = [](std::vector<std::uint8_t> bytes, const std::string& reason) {
    std::string error;
    EXPECT_FALSE(DecodeWav(bytes, &error).has_value()) << reason;
    EXPECT_EQ(error, reason);
  };
  auto with = [&file](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = file;
    bytes[at] = value;
    return bytes;
  };
  refused({}, "not a RIFF WAVE file");
  refused(std::vector<std::uint8_t>(file.begin(), file.end() - 1),
          "the file is shorter than its header says");
  refused(with(40, 0xFF), "a chunk runs past the end of the file");  // data length
  refused(with(20, 3), "not PCM");
  refused(with(22, 2), "not mono");
  refused(with(24, 0x44), "not 48 kHz");
  refused(with(34, 8), "not 16 bits a sample");
  refused(with(16, 8), "the format chunk is too short");
  refused(with(36, 'x'), "no data chunk");
  std::vector<std::uint8_t> odd = file;
  odd[40] = 11;
  odd[4] = static_cast<std::uint8_t>(odd[4] - 1);
  odd.pop_back();
  refused(odd, "the data is not whole samples");
  // A chunk the game does not know is stepped over, padding included.
  std::vector<std::uint8_t> extra(file.begin(), file.begin() + 36);
  extra.insert(extra.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
  extra.insert(extra.end(), file.begin() + 36, file.end());
  extra[4] = static_cast<std::uint8_t>(extra[4] + 12);
  EXPECT_EQ(DecodeWav(extra), samples);
}

}  // namespace
}  // namespace tandemhoop::testing
