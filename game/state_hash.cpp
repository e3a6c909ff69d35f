#include "game/fnv.h"
#include "game/state_fields.h"

namespace tandemhoop {

std::uint64_t StateHash(const GameState& state) {
  Fnv1a64 hash;
  for (const StateField& f : kStateFields)
    hash.AddLittleEndian(static_cast<std::uint16_t>(state.*f.field), 2);
  return hash.value();
}

}  // namespace tandemhoop
