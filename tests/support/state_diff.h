#pragma once

#include <string>
#include <vector>

#include "game/state.h"
#include "game/state_fields.h"

namespace tandemhoop::testing {

// Names the fields in which two records differ, e.g. "p1X 300 -> 315", in declaration order.
// lastBlitResult is left out: nothing reads it.
std::vector<std::string> StateDiff(const GameState& before, const GameState& after);

// Every 16-bit field with its name, in declaration order: the game's own table.
using tandemhoop::StateField;
inline constexpr const auto& StateFields() {
  return kStateFields;
}

}  // namespace tandemhoop::testing
