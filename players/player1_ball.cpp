#include "game/arith.h"
#include "game/game.h"
#include "players/player1.h"
#include "screens/pictures.h"

namespace tandemhoop::player1 {

namespace {

// The near zone, where a shot can become a lay-up or a dunk: 241..444 across, 160 and above.
constexpr int kFarFromY = 161;
constexpr int kNearLeft = 240;
constexpr int kNearRight = 445;
// Still building on this tick, any shot has turned into a jump shot.
constexpr int kJumpShotTick = 7;
// The edges of the court, from where a jump shot is little more than a hope.
constexpr int kEdgeLeft = 20;
constexpr int kEdgeRight = 570;
constexpr int kEdgeBottom = 475;
// A jump shot let go before this tick is called off and he keeps the ball.
constexpr int kEarliestRelease = 6;
constexpr int kDribbleStep = 25;
constexpr int kDribbleFloor = 150;  // the ball comes back up once it falls this far below him
constexpr int kDribbleTop = 60;

void ClearArrows(GameState& s) {
  s.p1KeyUp = kFalse;
  s.p1KeyDown = kFalse;
  s.p1KeyLeft = kFalse;
  s.p1KeyRight = kFalse;
}

void SetJumpShotChance(GameState& s) {
  const bool edge = s.p1X < kEdgeLeft || s.p1X > kEdgeRight || s.p1Y > kEdgeBottom;
  if (s.p2Jumping == kTrue) {
    s.shotChance = static_cast<std::int16_t>(edge ? 10 : 50);
  } else {
    s.shotChance = static_cast<std::int16_t>(edge ? 15 : 55);
  }
}

void BuildJumpShot(GameState& s) {
  s.p1ShotStyle = kJumpShot;
  SetJumpShotChance(s);
  if (s.p1ShotTicks > 6) s.p1Jumping = kTrue;
  if (s.p1ShotTicks > 7) s.p1ShotInFlight = kTrue;
  s.ballX = static_cast<std::int16_t>(s.p1X + 35);
  s.ballY = s.p1Y;
}

}  // namespace

void CountHeldKeys(Game& game) {
  GameState& s = game.state;
  if (s.p1KeyLeft == kTrue && s.p1HasBall == kTrue) {
    s.leftHeldTicks = static_cast<std::int16_t>(s.leftHeldTicks + 1);
  }
  if (s.p1KeyRight == kTrue && s.p1HasBall == kTrue) {
    s.rightHeldTicks = static_cast<std::int16_t>(s.rightHeldTicks + 1);
  }
}

void DropDribbleWithoutBall(Game& game) {
  GameState& s = game.state;
  if (s.p1HasBall == kFalse) s.p1Dribbling = kFalse;
}

void BuildUpShot(Game& game) {
  GameState& s = game.state;
  // One ball, one holder. When the ball has gone to Player 2 in the middle of a shooting motion
  // (a whistle, a steal on the tick M went down), the motion is over whatever M still says:
  // nothing is built, nothing let go, and no dunk or lay-up keeps him at the rim.
  if (s.p2HasBall == kTrue && (s.p1Shooting == kTrue || s.p1ShotTicks != 0)) {
    s.p1Shooting = kFalse;
    s.p1ShotTicks = 0;
    s.ballHidden = kFalse;
    s.p1ShotStyle = kJumpShot;
    return;
  }
  if (s.p1Shooting != kTrue) return;
  // Picking up the dribble to shoot is for good: no more walking with this ball.
  if (s.p1Dribbling == kTrue) {
    s.p1Dribbling = kFalse;
    s.dribblePickedUp = kTrue;
  }
  // A key held through the shot has to be pressed again to count.
  ClearArrows(s);
  s.ballHidden = kTrue;  // the ball is part of the shooting pose now
  s.p1ShotTicks = static_cast<std::int16_t>(s.p1ShotTicks + 1);
  s.p1HasBall = kFalse;
  s.lastShooterP1 = kTrue;

  const bool far = s.p1Y >= kFarFromY || s.p1X >= kNearRight || s.p1X <= kNearLeft ||
                   s.p1ShotTicks >= kJumpShotTick;
  if (far) {
    BuildJumpShot(s);
  } else if (s.p1Y + 2 < s.p2Y) {
    // The defender is behind him: well behind, he dunks; close behind, he lays it up, and a
    // lay-up once begun stays one.
    if (s.p1Y + 35 < s.p2Y && s.p1ShotStyle != kLayUp) {
      s.p1ShotStyle = kDunk;
    } else {
      s.p1ShotStyle = kLayUp;
      s.shotChance = 85;
    }
  } else {
    // Level with the defender or behind him he keeps the ball where it is and waits.
    s.p1ShotStyle = kJumpShot;
  }
}

void ReleaseShot(Game& game) {
  GameState& s = game.state;
  if (s.p1Shooting != kFalse || s.p1ShotTicks <= 0) return;
  if (s.p1ShotStyle == kDunk) {
    s.basketMade = kTrue;
  } else if (s.p1ShotStyle == kLayUp) {
    s.p1ShotInFlight = kTrue;
  } else if (s.p1ShotTicks < kEarliestRelease) {
    // Called off: he holds the ball again, but a picked-up dribble stays picked up.
    s.p1HasBall = kTrue;
    s.p1ShotTicks = 0;
  } else {
    s.p1ShotInFlight = kTrue;
  }
}

void PlaceLayUp(Game& game) {
  GameState& s = game.state;
  if (s.p1ShotStyle != kLayUp) return;
  s.p1Y = static_cast<std::int16_t>(s.netY + 20);
  s.ballX = static_cast<std::int16_t>(s.p1X + 50);
  s.ballY = static_cast<std::int16_t>(s.p1Y - 40);
  // Up at the rim he lets go when it feels right: soon two times in five, else late.
  const bool late = game.NextRandom() * 5 > 2;
  if (s.p1ShotTicks > (late ? 6 : 3)) s.p1ShotInFlight = kTrue;
}

void PlaceDunk(Game& game) {
  GameState& s = game.state;
  if (s.p1ShotStyle != kDunk) return;
  s.ballX = static_cast<std::int16_t>(s.basketX + 10);
  s.ballY = static_cast<std::int16_t>(s.basketY + 80);
  if (s.p1ShotTicks == 4 || s.p1ShotTicks == 5) {
    // The rim pulled down under his weight; drawn now so that ball and player hang over it.
    game.DrawMaskedSprite(form2::Picture3, form2::Picture4, s.netX - 20, s.netY);
  }
  if (s.p1X <= s.basketX - 20) {
    s.p1X = static_cast<std::int16_t>(s.basketX - 42);
    s.p1Y = static_cast<std::int16_t>(s.basketY + 63);
  } else {
    s.p1X = static_cast<std::int16_t>(s.basketX - 19);
    s.p1Y = static_cast<std::int16_t>(s.basketY + 60);
  }
  if (s.p1ShotTicks > 5) s.basketMade = kTrue;
  s.lastShooterP1 = kTrue;
}

void StepShotInFlight(Game& game) {
  GameState& s = game.state;
  if (s.p1ShotInFlight != kTrue) return;
  s.p1Shooting = kFalse;
  s.p1ShotTicks = 0;
  s.ballHidden = kFalse;
  s.p1ShotStyle = kJumpShot;
  // A fifth of the way up per tick, mostly aimed a little over the rim so the ball drops in.
  const double ballY = s.ballY;
  const double basketY = s.basketY;
  if (game.NextRandom() * 6 >= 2) {
    s.ballY = RoundToEven(ballY - (ballY - basketY + 35) / 5);
  } else {
    s.ballY = RoundToEven(ballY - (ballY - basketY) / 5);
  }
  const double ballX = s.ballX;
  const double basketX = s.basketX;
  if (s.ballX > s.basketX + 10) {
    s.ballX = RoundToEven(ballX - (ballX - basketX) / 5);
  } else if (s.ballX < s.basketX - 10) {
    s.ballX = RoundToEven(ballX + (basketX - ballX) / 5);
  }
}

void CarryBall(Game& game) {
  GameState& s = game.state;
  if (s.p1HasBall != kTrue) return;
  s.p2Dribbling = kFalse;
  if (s.p1Dribbling != kTrue) {
    s.ballX = static_cast<std::int16_t>(s.p1X + 20);
    s.ballY = s.p1Y;
    return;
  }
  // Bounced on the side he is going: on his left while he moves left, on his right otherwise.
  s.ballY = static_cast<std::int16_t>(s.ballY + kDribbleStep);
  s.ballX = static_cast<std::int16_t>(s.p1KeyLeft == kTrue ? s.p1X - 25 : s.p1X + 60);
  if (s.ballY > s.p1Y + kDribbleFloor) {
    game.platform().PlaySound(Sound::Bounce);
    s.ballY = static_cast<std::int16_t>(s.p1Y + kDribbleTop);
  }
}

}  // namespace tandemhoop::player1
