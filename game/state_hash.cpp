#include "game/state_fields.h"

namespace tandemhoop {

std::uint64_t StateHash(const GameState& state) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const StateField& f : kStateFields) {
    const auto value = static_cast<std::uint16_t>(state.*f.field);
    hash ^= value & 0xFFu;
    hash *= 0x100000001b3ull;
    hash ^= value >> 8;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace tandemhoop
