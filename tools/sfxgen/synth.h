#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "game/platform.h"

namespace tandemhoop::sfx {

// The samples of a sound: mono, 48 kHz, 16 bits. The same on every run and every machine.
std::vector<std::int16_t> Make(Sound sound);

}  // namespace tandemhoop::sfx
