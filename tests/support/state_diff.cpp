#include "tests/support/state_diff.h"

#include "game/state_fields.h"

namespace tandemhoop::testing {

const std::vector<StateField>& StateFields() {
  static const std::vector<StateField> fields = [] {
    std::vector<StateField> all;
    for (const tandemhoop::StateField& f : kStateFields)
      all.push_back({f.name, f.field});
    return all;
  }();
  return fields;
}

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
