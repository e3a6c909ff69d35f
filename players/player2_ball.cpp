#include "game/arith.h"
#include "game/game.h"
#include "players/player2.h"
#include "screens/pictures.h"

namespace tandemhoop::player2 {

namespace {

// Player 2's near zone stops one pixel short of Player 1's at the bottom (y < 160).
constexpr int kNearBottom = 160;
constexpr int kNearLeft = 240;
constexpr int kNearRight = 445;
constexpr int kJumpTick = 7;  // a jump shot leaves the floor here and the ball goes a tick later

void ClearDirectionFlags(GameState& s) {
  s.p2KeyUp = kFalse;
  s.p2KeyDown = kFalse;
  s.p2KeyRight = kFalse;
  s.p2KeyLeft = kFalse;
}

void PlaceBallForJumpShot(GameState& s) {
  s.ballX = static_cast<std::int16_t>(s.p2X + 35);
  s.ballY = s.p2Y;
}

// A person's shots keep the chance the rules give them; the computer's lose some at the easier
// levels.
std::int16_t ChanceFor(const Game& game, int chance) {
  return static_cast<std::int16_t>(chance * game.computerHandicap().shotPercent / 100);
}

// From the edges of the court the shot is a prayer; a defender in the air spoils it further.
void SetJumpShotChance(Game& game) {
  GameState& s = game.state;
  const bool edge = s.p2X < 20 || s.p2X > 570 || s.p2Y > 475;
  if (s.p1Jumping == kTrue) {
    s.shotChance = ChanceFor(game, edge ? 10 : 50);
  } else {
    s.shotChance = ChanceFor(game, edge ? 15 : 55);
  }
}

}  // namespace

// The crossover burst reads these; the computer's raised flags count like held keys.
void CountHeldKeys(Game& game) {
  GameState& s = game.state;
  if (s.p2KeyLeft == kTrue && s.p2HasBall == kTrue) {
    s.leftHeldTicks = static_cast<std::int16_t>(s.leftHeldTicks + 1);
  }
  if (s.p2KeyRight == kTrue && s.p2HasBall == kTrue) {
    s.rightHeldTicks = static_cast<std::int16_t>(s.rightHeldTicks + 1);
  }
}

// He holds the ball at his side, or bounces it 25 a tick down to 150 below his top and picks it
// up again at 60. Once he has picked up his dribble the ball stays wherever the shot left it.
void CarryBall(Game& game) {
  GameState& s = game.state;
  if (s.p2HasBall != kTrue || s.dribblePickedUp != kFalse) return;
  if (s.p2Dribbling == kFalse) {
    s.ballX = static_cast<std::int16_t>(s.p2X + 15);
    s.ballY = s.p2Y;
    return;
  }
  s.ballY = static_cast<std::int16_t>(s.ballY + 25);
  s.ballX = static_cast<std::int16_t>(s.p2KeyLeft == kTrue ? s.p2X - 20 : s.p2X + 60);
  if (s.ballY > s.p2Y + 150) {
    game.platform().PlaySound(Sound::Bounce);
    s.ballX = static_cast<std::int16_t>(s.p2X + 60);
    s.ballY = static_cast<std::int16_t>(s.p2Y + 60);
  }
}

void BuildUpShot(Game& game) {
  GameState& s = game.state;
  // One ball, one holder: a shooting motion whose ball went to Player 1 meanwhile (his charge
  // on the tick A went down, a steal) is over, whatever A still says.
  if (s.p1HasBall == kTrue && (s.p2Shooting == kTrue || s.p2ShotTicks != 0)) {
    s.p2Shooting = kFalse;
    s.p2ShotTicks = 0;
    s.ballHidden = kFalse;
    s.p2ShotStyle = kJumpShot;
    return;
  }
  if (s.p2Shooting != kTrue) return;
  s.p2HasBall = kFalse;
  ClearDirectionFlags(s);  // a key held through the shot must be pressed again to act
  s.p2ShotTicks = static_cast<std::int16_t>(s.p2ShotTicks + 1);
  s.lastShooterP1 = kFalse;
  s.ballHidden = kTrue;  // the ball is part of the shooting picture
  if (s.p2Dribbling == kTrue) {
    s.p2Dribbling = kFalse;
    s.dribblePickedUp = kTrue;
  }

  const bool near =
      s.p2Y < kNearBottom && s.p2X > kNearLeft && s.p2X < kNearRight && s.p2ShotTicks < kJumpTick;
  if (near) {
    if (s.p2Y + 2 < s.p1Y) {
      // Far enough ahead of the defender to dunk; a lay-up once chosen stays a lay-up. An
      // easier computer never dunks: a dunk cannot miss.
      if (s.p2Y + 35 < s.p1Y && s.p2ShotStyle != kLayUp && game.computerHandicap().dunks) {
        s.p2ShotStyle = kDunk;
      } else {
        s.p2ShotStyle = kLayUp;
      }
    } else {
      // Defender level or in front: he hangs on to the ball until the shot turns into a
      // jump shot on tick 7.
      s.p2ShotStyle = kJumpShot;
    }
    return;
  }
  s.p2ShotStyle = kJumpShot;
  PlaceBallForJumpShot(s);
  SetJumpShotChance(game);
  if (s.p2ShotTicks == kJumpTick) s.p2Jumping = kTrue;
  if (s.p2ShotTicks > kJumpTick) s.p2ShotInFlight = kTrue;
}

void PlaceDunk(Game& game) {
  GameState& s = game.state;
  if (s.p2ShotStyle != kDunk) return;
  if (s.p2ShotTicks == 4 || s.p2ShotTicks == 5) {
    // The rim pulled down, drawn before the ball and the player so he hangs in front of it.
    game.DrawMaskedSprite(form2::Picture3, form2::Picture4, s.netX - 20, s.netY);
  }
  if (s.p2X > s.basketX - 20) {
    s.p2X = static_cast<std::int16_t>(s.basketX - 19);
    s.p2Y = static_cast<std::int16_t>(s.basketY + 60);
  } else {
    s.p2X = static_cast<std::int16_t>(s.basketX - 42);
    s.p2Y = static_cast<std::int16_t>(s.basketY + 63);
  }
  // Lower than Player 1's dunk: Player 2 pushes the ball through the net.
  s.ballX = static_cast<std::int16_t>(s.basketX + 5);
  s.ballY = static_cast<std::int16_t>(s.basketY + 110);
  if (s.p2ShotTicks > 5) s.basketMade = kTrue;
}

// No random delay for Player 2: a held lay-up always leaves the hand on tick 4.
void PlaceLayUp(Game& game) {
  GameState& s = game.state;
  if (s.p2ShotStyle != kLayUp) return;
  s.shotChance = ChanceFor(game, 85);
  s.p2Y = static_cast<std::int16_t>(s.netY + 20);
  s.ballX = static_cast<std::int16_t>(s.p2X + 35);
  s.ballY = s.p2Y;
  if (s.p2ShotTicks > 3) s.p2ShotInFlight = kTrue;
}

void ReleaseShot(Game& game) {
  GameState& s = game.state;
  if (s.p2Shooting != kFalse || s.p2ShotTicks <= 0) return;
  if (s.p2ShotStyle == kDunk) {
    // Let go of the rim too early: the ball goes up from his hands and has to drop like any
    // other shot.
    s.ballX = static_cast<std::int16_t>(s.p2X + 30);
    s.ballY = s.p2Y;
    s.p2ShotInFlight = kTrue;
  } else if (s.p2ShotStyle == kLayUp) {
    s.p2ShotInFlight = kTrue;
  } else if (s.p2ShotTicks < 6) {
    // Too early for a jump shot: he keeps the ball, but a picked-up dribble stays picked up.
    s.p2ShotTicks = 0;
    s.ballHidden = kFalse;
    s.p2HasBall = kTrue;
    PlaceBallForJumpShot(s);
  } else {
    s.p2ShotInFlight = kTrue;
    s.p2ShotTicks = 0;
  }
}

void StepShotInFlight(Game& game) {
  GameState& s = game.state;
  if (s.p2ShotInFlight != kTrue) return;
  s.p1ShotStyle = kJumpShot;
  s.p2ShotStyle = kJumpShot;
  s.ballHidden = kFalse;
  s.p2Shooting = kFalse;
  s.p2ShotTicks = 0;
  // Player 2's shots are flatter than Player 1's: the low aim at the rim comes up two times in
  // five, otherwise he aims 35 above it.
  const double ballY = s.ballY;
  const double basketY = s.basketY;
  if (game.NextRandom() * 5 < 2) {
    s.ballY = RoundToEven(ballY - (ballY - basketY) / 5);
  } else {
    s.ballY = RoundToEven(ballY - (ballY - basketY + 35) / 5);
  }
  const double ballX = s.ballX;
  const double basketX = s.basketX;
  if (s.ballX > s.basketX + 10) {
    s.ballX = RoundToEven(ballX - (ballX - basketX) / 5);
  } else if (s.ballX < s.basketX - 10) {
    s.ballX = RoundToEven(ballX + (basketX - ballX) / 5);
  }
}

}  // namespace tandemhoop::player2
