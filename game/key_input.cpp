#include "game/arith.h"
#include "game/game.h"
#include "game/keys.h"

namespace tandemhoop {

namespace {

using namespace keys;

// Above this line (smaller y) a defender may jump at a dunk or a lay-up from anywhere.
constexpr std::int16_t kNearBasketLine = 145;
// No shot starts until play has run this many ticks since its last restart.
constexpr std::int16_t kShotClock = 10;

// M: shoot with the ball, reach for a steal against the carrier, or jump at a shot.
void ResolvePlayer1Action(GameState& s) {
  if (s.p1HasBall == kTrue && s.playClock > kShotClock) {
    s.p1Shooting = kTrue;
  } else if (s.p2HasBall == kTrue) {
    s.p1Stealing = kTrue;
  } else if (s.p2Shooting == kTrue) {
    if (s.p1Y < Wrap16(s.p2Y + 5) || (s.p2ShotStyle == kDunk && s.p1Y < kNearBasketLine) ||
        (s.p2ShotStyle == kLayUp && s.p1Y < kNearBasketLine)) {
      s.p1Jumping = kTrue;
    }
  }
}

// A: Player 2's key has no steal, and his block jump has no condition on the positions.
void ResolvePlayer2Action(GameState& s) {
  if (s.p2HasBall == kTrue && s.playClock > kShotClock) {
    s.p2Shooting = kTrue;
  } else if (s.p1Shooting == kTrue) {
    s.p2Jumping = kTrue;
  }
}

}  // namespace

void Game::Form_KeyDown(int keyCode, int /*shift*/) {
  if (ended_) return;
  GameState& s = state;
  if (keyCode == kKeyM) ResolvePlayer1Action(s);
  switch (keyCode) {
    case kLeft:
      s.p1KeyLeft = kTrue;
      break;
    case kUp:
      s.p1KeyUp = kTrue;
      break;
    case kRight:
      s.p1KeyRight = kTrue;
      break;
    case kDown:
      s.p1KeyDown = kTrue;
      break;
    case kKeyF:
      s.p2KeyLeft = kTrue;
      break;
    case kKeyT:
      s.p2KeyUp = kTrue;
      break;
    case kKeyH:
      s.p2KeyRight = kTrue;
      break;
    case kKeyV:
      s.p2KeyDown = kTrue;
      break;
    default:
      break;
  }
  if (keyCode == kKeyA && s.twoPlayerMode == kTrue) ResolvePlayer2Action(s);
}

void Game::Form_KeyUp(int keyCode, int /*shift*/) {
  if (ended_) return;
  GameState& s = state;
  switch (keyCode) {
    case kLeft:
      s.p1KeyLeft = kFalse;
      break;
    case kUp:
      s.p1KeyUp = kFalse;
      break;
    case kRight:
      s.p1KeyRight = kFalse;
      break;
    case kDown:
      s.p1KeyDown = kFalse;
      break;
    case kKeyF:
      s.p2KeyLeft = kFalse;
      break;
    case kKeyT:
      s.p2KeyUp = kFalse;
      break;
    case kKeyH:
      s.p2KeyRight = kFalse;
      break;
    case kKeyV:
      s.p2KeyDown = kFalse;
      break;
    case kKeyM:
      // Letting go of M releases or cancels a shot; it does not end a jump.
      s.p1Shooting = kFalse;
      s.ballHidden = kFalse;
      s.p1Stealing = kFalse;
      break;
    case kKeyA:
      s.p2Shooting = kFalse;
      break;  // in either mode
    default:
      break;
  }
}

}  // namespace tandemhoop
