#include "game/game.h"
#include "players/player1.h"

namespace tandemhoop::player1 {

namespace {

constexpr int kRisingTicks = 4;  // a block jump goes up on these ticks, and only then blocks
constexpr int kFallingTicks = 6;
constexpr int kCatchClock = 6;  // after a restart the ball cannot be caught this early
constexpr int kContact = 5;     // closer than this on both axes, the two collide

void Land(GameState& s) {
  s.p1JumpTicks = 0;
  s.p1Jumping = kFalse;
}

}  // namespace

void FreezeInAirWithBall(Game& game) {
  GameState& s = game.state;
  if (s.p1HasBall == kTrue && s.p1Jumping == kTrue) {
    s.p1KeyLeft = kFalse;
    s.p1KeyUp = kFalse;
    s.p1KeyRight = kFalse;
    s.p1KeyDown = kFalse;
  }
}

void AdvanceJump(Game& game) {
  GameState& s = game.state;
  if (s.p1Jumping != kTrue) return;
  s.p1KeyUp = kFalse;  // sideways and back he may still drift without the ball, never up
  s.p1JumpTicks = static_cast<std::int16_t>(s.p1JumpTicks + 1);
  if (s.lastShooterP1 == kTrue) {
    // His own jump shot is a short hop that lands a little behind where it took off.
    if (s.p1JumpTicks == 1) {
      s.p1Y = static_cast<std::int16_t>(s.p1Y - 20);
    } else if (s.p1JumpTicks == 2) {
      s.p1Y = static_cast<std::int16_t>(s.p1Y + 22);
    } else {
      Land(s);
    }
    return;
  }
  // A block jump flies at the ball: up 80, down only 30, so he lands nearer the basket.
  if (s.p1JumpTicks <= kRisingTicks) {
    s.p1Y = static_cast<std::int16_t>(s.p1Y - 20);
  } else if (s.p1JumpTicks <= kFallingTicks) {
    s.p1Y = static_cast<std::int16_t>(s.p1Y + 15);
  } else {
    Land(s);
  }
}

void TryBlock(Game& game) {
  GameState& s = game.state;
  const bool blocks = s.p2ShotInFlight == kTrue && s.p1Jumping == kTrue &&
                      s.p2ShotStyle == kJumpShot && s.p2Y < s.p1Y + 70 && s.ballX - 55 < s.p1X &&
                      s.p1X < s.ballX + 55 && s.ballY - 75 < s.p1Y - 20 &&
                      s.p1Y - 20 < s.ballY + 75 && s.p1JumpTicks >= 1 &&
                      s.p1JumpTicks <= kRisingTicks;
  if (!blocks) return;
  game.platform().PlaySound(Sound::Block);
  s.p2ShotInFlight = kFalse;
  s.p2Shooting = kFalse;
  s.p2ShotTicks = 0;
  s.ballX = s.p1X;
  s.ballY = static_cast<std::int16_t>(s.p1Y - 20);
  s.playClock = 2;
  // Half the time he swats it away from the shooter, half the time he comes down with it.
  if (game.NextRandom() * 4 > 2) {
    if (s.p1X < s.p2X) {
      s.looseBallRight = kTrue;
    } else {
      s.looseBallLeft = kTrue;
    }
  } else {
    s.dribblePickedUp = kFalse;
    s.p1HasBall = kTrue;
  }
}

void CatchLooseBall(Game& game) {
  GameState& s = game.state;
  if (s.looseBallLeft != kTrue && s.looseBallRight != kTrue) return;
  // Only with his feet on the floor, and not straight after a restart.
  const bool inReach = s.p1Y - 15 <= s.ballY && s.ballY < s.p1Y + 60 && s.p1X - 15 <= s.ballX &&
                       s.ballX < s.p1X + 40;
  if (inReach && s.playClock > kCatchClock && s.p1JumpTicks == 0) {
    s.p1HasBall = kTrue;
    s.looseBallLeft = kFalse;
    s.looseBallRight = kFalse;
  }
}

// Both diving at the same loose ball: whoever trails it ran into the other.
void CallCollisionOverLooseBall(Game& game) {
  GameState& s = game.state;
  const bool touching = s.p2X - kContact < s.p1X && s.p1X < s.p2X + kContact &&
                        s.p2Y - kContact < s.p1Y && s.p1Y < s.p2Y + kContact;
  if (!touching) return;
  if (s.looseBallRight == kTrue) {
    s.foulCode = static_cast<std::int16_t>(s.p2X < s.p1X ? 1 : 2);
    s.looseBallRight = kFalse;
  } else if (s.looseBallLeft == kTrue) {
    s.foulCode = static_cast<std::int16_t>(s.p2X < s.p1X ? 2 : 1);
    s.looseBallLeft = kFalse;
  } else {
    return;
  }
  game.CallFoul();
}

}  // namespace tandemhoop::player1
