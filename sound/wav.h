#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/platform.h"

namespace tandemhoop {

// The file each sound of the game is kept in: under assets/sounds/, in the desktop's resources
// and beside the web page alike.
std::string_view SoundFileName(Sound sound);

// The one kind of WAV file the game's sounds come in: 16-bit PCM, mono, 48 kHz.
inline constexpr int kWavRate = 48'000;

// The samples of such a file. Anything else, or anything malformed (a size that does not fit,
// a missing chunk, another format), is refused with the reason in `error`.
std::optional<std::vector<std::int16_t>> DecodeWav(std::span<const std::uint8_t> file,
                                                   std::string* error = nullptr);

// Such a file around the samples: the canonical 44-byte header, then the data.
std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples);

}  // namespace tandemhoop
