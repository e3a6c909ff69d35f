#include "game/game.h"
#include "players/player2.h"

namespace tandemhoop::player2 {

namespace {

constexpr int kBlockRise = 4;      // block-jump ticks on the way up: the only ones that block
constexpr int kBlockLanding = 7;   // the block jump is over from this tick on
constexpr int kHopLanding = 2;     // his own jump shot's hop is over on this tick
constexpr int kCatchClock = 6;     // a loose ball can be caught once play has run past this
constexpr int kContactReach = 30;  // closer than this on both axes, the players touch

void EndJump(GameState& s) {
  s.p2JumpTicks = 0;
  s.p2Jumping = kFalse;
}

}  // namespace

void FreezeInAirWithBall(Game& game) {
  GameState& s = game.state;
  if (s.p2HasBall == kTrue && s.p2Jumping == kTrue) {
    s.p2KeyLeft = kFalse;
    s.p2KeyUp = kFalse;
    s.p2KeyRight = kFalse;
    s.p2KeyDown = kFalse;
  }
}

void AdvanceJump(Game& game) {
  GameState& s = game.state;
  if (s.p2Jumping != kTrue) return;
  s.p2JumpTicks = static_cast<std::int16_t>(s.p2JumpTicks + 1);
  if (s.lastShooterP1 == kFalse) {
    // The little hop of his own jump shot: up 20, down 22.
    if (s.p2JumpTicks == 1) {
      s.p2Y = static_cast<std::int16_t>(s.p2Y - 20);
    } else if (s.p2JumpTicks == kHopLanding) {
      s.p2Y = static_cast<std::int16_t>(s.p2Y + 22);
      EndJump(s);
    } else if (s.p2JumpTicks > kHopLanding) {
      // He became the last shooter in the middle of a block jump (a foul, or a shot of his
      // own from the air): past the hop's landing tick already, so land him here instead of
      // leaving him in the air for good.
      EndJump(s);
    }
    return;
  }
  // Against Player 1's shot he goes up 80, drifting after the ball, and comes down 30.
  if (s.p2JumpTicks <= kBlockRise) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y - 20);
    if (s.ballX > s.p2X) s.p2X = static_cast<std::int16_t>(s.p2X + 10);
    if (s.ballX < s.p2X) s.p2X = static_cast<std::int16_t>(s.p2X - 10);
  } else if (s.p2JumpTicks < kBlockLanding) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y + 15);
  } else {
    EndJump(s);
  }
}

void TryBlock(Game& game) {
  GameState& s = game.state;
  const bool blocks = s.p1ShotInFlight == kTrue && s.p2Jumping == kTrue &&
                      s.p1ShotStyle == kJumpShot && s.p2Y + 75 > s.p1Y && s.ballX - 55 < s.p2X &&
                      s.p2X < s.ballX + 55 && s.ballY - 75 < s.p2Y - 20 &&
                      s.p2Y - 20 < s.ballY + 75 && s.p2JumpTicks >= 1 &&
                      s.p2JumpTicks <= kBlockRise;
  if (!blocks) return;
  // An easier computer gets its hand to the ball only now and then; the original always does
  // and draws nothing for it.
  const int percent = game.computerHandicap().blockPercent;
  if (percent < 100 && game.NextRandom() * 100 >= percent) return;
  game.platform().PlaySound(Sound::Block);
  s.p1ShotTicks = 0;
  s.p1ShotInFlight = kFalse;
  s.ballX = s.p2X;
  s.ballY = static_cast<std::int16_t>(s.p2Y - 20);
  s.playClock = 2;
  // Knocked away from the shooter's side, or caught; one chance in two.
  const bool knockedAway = game.NextRandom() * 4 > 2;
  if (knockedAway) {
    if (s.p1X < s.p2X) {
      s.looseBallRight = kTrue;
    } else {
      s.looseBallLeft = kTrue;
    }
  } else {
    s.dribblePickedUp = kFalse;
    s.p2HasBall = kTrue;
  }
}

// Unlike Player 1, he snatches the ball out of the air as well.
void CatchLooseBall(Game& game) {
  GameState& s = game.state;
  if (s.looseBallLeft != kTrue && s.looseBallRight != kTrue) return;
  if (s.playClock <= kCatchClock) return;
  if (s.p2Y - 15 <= s.ballY && s.ballY < s.p2Y + 60 && s.p2X - 15 <= s.ballX &&
      s.ballX < s.p2X + 40) {
    s.looseBallLeft = kFalse;
    s.looseBallRight = kFalse;
    s.p2HasBall = kTrue;
  }
}

// Steals for both sides are settled here. Every test draws its own value, also after an
// earlier one has already moved the ball, so one tick of contact always uses the same number
// of values for the same situation.
void ResolveContact(Game& game) {
  GameState& s = game.state;
  if (s.p1HasBall != kTrue && s.p2HasBall != kTrue) return;
  const bool touching = s.p2X - kContactReach < s.p1X && s.p1X < s.p2X + kContactReach &&
                        s.p2Y - kContactReach < s.p1Y && s.p1Y < s.p2Y + kContactReach;
  if (!touching) return;
  if (s.p1Stealing == kTrue) {
    if (s.p2HasBall == kTrue) {
      if (game.NextRandom() * 100 < 10) game.ChangePossession();
      if (game.NextRandom() * 100 > 97) game.CallFoul();
    }
    if (s.p2Shooting == kTrue || s.p2ShotInFlight == kTrue) {
      if (game.NextRandom() * 100 < 25) game.ChangePossession();
      if (game.NextRandom() * 100 > 90) game.CallFoul();
    }
  } else if (s.p1Dribbling == kTrue && (s.p1KeyLeft == kTrue || s.p1KeyRight == kTrue ||
                                        s.p1KeyDown == kTrue || s.p1KeyUp == kTrue)) {
    // A dribbler who runs into him may lose the ball without Player 2 pressing anything; less
    // often to an easier computer.
    const double share = game.computerHandicap().stealPercent / 100.0;
    if (game.NextRandom() * 100 < 3 * share) game.ChangePossession();
    if (game.NextRandom() * 100 > 98) game.CallFoul();
  }
}

}  // namespace tandemhoop::player2
