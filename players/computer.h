#pragma once

#include <cstdint>

namespace tandemhoop {
class Game;
}

namespace tandemhoop::computer {

// The computer's decision for Player 2 from the court as it is now: it moves him directly and
// raises the same flags his keys would.
void PlayPlayer2(Game& game);

// The computer's turn in one tick, numbered from 0 since start-up: it looks at the court and
// decides, from what it sees now or, at an easier level, from what it saw a moment ago. Its
// only memory is what it has seen on its latest turns.
void TakeTurn(Game& game, std::uint32_t turn);

}  // namespace tandemhoop::computer
