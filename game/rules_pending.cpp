#include "game/game.h"

namespace tandemhoop {

// Referee, ball flight and loose ball are not built yet: each does nothing so the frame runs.
void Game::UpdateBallFlight() {}
void Game::DrawLooseBall() {}
void Game::CallOffensiveFoul() {}
void Game::ChangePossession() {}
void Game::CallFoul() {}
void Game::AwardBasket() {}

}  // namespace tandemhoop
