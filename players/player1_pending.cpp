#include "game/game.h"

namespace tandemhoop {

void Game::UpdatePlayer1() {}  // Player 1's controller is not built yet: he stands still.

}  // namespace tandemhoop
