#pragma once

// Player 2's controller, one routine per subject, in the order UpdatePlayer2 runs them. Each
// works only on the game's record; Player 1's controller has routines of its own on purpose,
// because the two sides differ in their order, their limits and their pictures.

namespace tandemhoop {
class Game;
}

namespace tandemhoop::player2 {

// player2_ball.cpp
void CountHeldKeys(Game& game);     // step 1: left/right ticks with the ball
void CarryBall(Game& game);         // step 6: ball in hand or bouncing beside him
void BuildUpShot(Game& game);       // step 9: while the shot is held
void PlaceDunk(Game& game);         // step 10: hanging on the rim
void PlaceLayUp(Game& game);        // step 11: up at the net
void ReleaseShot(Game& game);       // step 12: the shot key went up
void StepShotInFlight(Game& game);  // step 13: one step towards the rim

// player2_air.cpp
void FreezeInAirWithBall(Game& game);  // step 2: no steering in the air with the ball
void AdvanceJump(Game& game);          // step 7: the hop or the block jump
void TryBlock(Game& game);             // step 8: against Player 1's jump shot
void CatchLooseBall(Game& game);       // step 15: also in the air
void ResolveContact(Game& game);       // step 17: steals and fouls for both sides

// player2_movement.cpp
void Walk(Game& game);                // step 3 in two-player mode: F, T, H, V
void RaiseDribbleFlag(Game& game);    // step 4
void AdvanceWalkFrame(Game& game);    // step 5
void GuardPossession(Game& game);     // step 14
void ApplyCourtBounds(Game& game);    // step 16
void Draw(Game& game, int x, int y);  // step 18, at the position after the bounds

}  // namespace tandemhoop::player2
