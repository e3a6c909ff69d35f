#include "game/arith.h"
#include "game/game.h"
#include "screens/pictures.h"

namespace tandemhoop {

namespace {

// A shot is decided once the ball has risen this far below the top of the rim.
constexpr int kRimDepth = 10;
// The net sprite hangs this far left of the net's reference point.
constexpr int kNetSpriteOffsetX = 20;
// A made ball comes out of the net here, below the basket, and falls this much per tick.
constexpr int kDropStartBelowBasket = 110;
constexpr int kDropPerTick = 10;
// Once the ball has fallen past this line it is on the floor and the basket counts.
constexpr int kFloorAfterDrop = 300;

}  // namespace

void Game::UpdateBallFlight() {
  GameState& s = state;

  if ((s.p1ShotInFlight == kTrue || s.p2ShotInFlight == kTrue) &&
      s.ballY < Wrap16(s.basketY + kRimDepth)) {
    s.p1ShotInFlight = kFalse;
    s.p2ShotInFlight = kFalse;
    s.p1ShotTicks = 0;
    s.p2ShotTicks = 0;
    // Both sides shoot with the same odds; who scores is settled only when the ball lands.
    const double r = NextRandom();
    if (s.shotChance > r * 100) {
      platform().PlaySound(Sound::Swish);
      s.ballHidden = kTrue;
      DrawMaskedSprite(form2::Picture3, form2::Picture4, s.netX - kNetSpriteOffsetX, s.netY);
      s.ballX = s.basketX;
      s.ballY = Wrap16(s.basketY + kDropStartBelowBasket);
      s.basketMade = kTrue;
    } else {
      platform().PlaySound(Sound::Rim);
      // The rebound has its own draw: it must not follow from how badly the shot missed.
      const double rebound = NextRandom();
      if (rebound * 5 > 2) {
        s.looseBallRight = kTrue;
      } else {
        s.looseBallLeft = kTrue;
      }
    }
  }

  if (s.basketMade == kTrue) {
    s.ballY = Wrap16(s.ballY + kDropPerTick);
    s.ballHidden = kFalse;
    // Keep both shooters reset for the whole drop so nobody starts a shot before the award.
    s.p1ShotStyle = kJumpShot;
    s.p2ShotStyle = kJumpShot;
    s.p1ShotTicks = 0;
    s.p2ShotTicks = 0;
    s.p2Shooting = kFalse;
    s.p1Shooting = kFalse;
    if (s.ballY > kFloorAfterDrop) AwardBasket();
  }

  if (s.basketMade == kTrue && s.ballHidden == kFalse) {
    DrawMaskedSprite(form2::Picture1, form2::Picture2, s.ballX, s.ballY);
  }
}

}  // namespace tandemhoop
