#pragma once

#include "game/state.h"

namespace tandemhoop {
class Game;
}

// Player 1's controller, one routine per step, declared in the order UpdatePlayer1 runs them.
// Each step sees what the earlier ones wrote in the same tick.
namespace tandemhoop::player1 {

// players/player1_ball.cpp, player1_air.cpp and player1_movement.cpp
void CountHeldKeys(Game& game);               // 1
void FreezeInAirWithBall(Game& game);         // 2
void ApplyTopBound(Game& game);               // 3
void DropDribbleWithoutBall(Game& game);      // 4
void BuildUpShot(Game& game);                 // 5
void ReleaseShot(Game& game);                 // 6
void PlaceLayUp(Game& game);                  // 7
void PlaceDunk(Game& game);                   // 8
void StepShotInFlight(Game& game);            // 9
void CarryBall(Game& game);                   // 10
void AdvanceJump(Game& game);                 // 11
void TryBlock(Game& game);                    // 12
void CatchLooseBall(Game& game);              // 13
void CallCollisionOverLooseBall(Game& game);  // 14
void Walk(Game& game);                        // 15
void AdvanceWalkFrame(Game& game);            // 16
void RaiseDribbleFlag(Game& game);            // 17
void Draw(Game& game, int x, int y);          // 18

}  // namespace tandemhoop::player1
