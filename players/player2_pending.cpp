#include "game/game.h"

namespace tandemhoop {

void Game::UpdatePlayer2() {}  // Player 2's controller is not built yet: he stands still.

}  // namespace tandemhoop
