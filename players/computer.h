#pragma once

namespace tandemhoop {
class Game;
}

namespace tandemhoop::computer {

// The computer's turn for Player 2 in one tick: it moves him directly and raises the same
// flags his keys would, and keeps nothing of its own between ticks.
void PlayPlayer2(Game& game);

}  // namespace tandemhoop::computer
