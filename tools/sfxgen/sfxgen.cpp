// Makes every sound of the game from its recipe and writes them as WAV files:
//   tandemhoop_sfxgen [folder]   (default: assets/sounds)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "sound/wav.h"
#include "tools/sfxgen/synth.h"

int main(int argc, char** argv) {
  using namespace tandemhoop;
  const std::filesystem::path folder = argc > 1 ? argv[1] : "assets/sounds";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (int i = 0; i < kSoundCount; ++i) {
    const auto sound = static_cast<Sound>(i);
    const std::vector<std::uint8_t> file = EncodeWav(sfx::Make(sound));
    const std::filesystem::path path = folder / std::string(SoundFileName(sound));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
      std::fprintf(stderr, "sfxgen: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu bytes\n", path.c_str(), file.size());
  }
  return 0;
}
