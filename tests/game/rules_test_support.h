#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/state.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/state_diff.h"

namespace tandemhoop::testing {

// A record in which every field holds its own value, none of them a flag value, so that any
// field a routine writes shows up in a StateDiff. The court marks keep their real values:
// nothing in play ever changes them.
inline GameState DistinctState() {
  GameState s;
  std::int16_t value = 101;
  for (const StateField& f : StateFields())
    s.*f.field = value++;
  s.basketX = 385;
  s.basketY = 15;
  s.netX = 405;
  s.netY = 50;
  return s;
}

// One game on the fakes; the script must be drawn to its end by the time the test is over.
struct RulesRig {
  FakePlatform platform;
  ScriptedRandom random;
  Game game{platform, random};
};

}  // namespace tandemhoop::testing
