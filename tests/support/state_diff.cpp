#include "tests/support/state_diff.h"

namespace tandemhoop::testing {

std::vector<std::string> StateDiff(const GameState& before, const GameState& after) {
  std::vector<std::string> changes;
  for (const StateField& f : StateFields()) {
    if (before.*f.field != after.*f.field) {
      changes.push_back(std::string(f.name) + " " + std::to_string(before.*f.field) + " -> " +
                        std::to_string(after.*f.field));
    }
  }
  return changes;
}

}  // namespace tandemhoop::testing
