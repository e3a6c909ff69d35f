#include "game/game.h"
#include "game/sound_cues.h"
#include "players/player1.h"
#include "screens/pictures.h"

namespace tandemhoop {

using namespace form2;

namespace player1 {

namespace {

constexpr int kStep = 15;  // per held key and tick
constexpr int kLeftBound = 0;
constexpr int kRightBound = 655;
constexpr int kTopBound = 130;
constexpr int kBottomBound = 450;
constexpr int kWalkCycle = 8;  // frames 0..7 while Up is held

bool Holds(const GameState& s) {
  return s.p1HasBall == kTrue;
}

void StepUp(GameState& s) {
  s.p1Y = static_cast<std::int16_t>(s.p1Y - kStep);
}

// With the ball: running up into Player 2 from below is a charge; level with him he only
// stops. A defender in the air is no obstacle.
void WalkUpWithBall(Game& game) {
  GameState& s = game.state;
  s.p1Dribbling = kTrue;
  const bool free = s.p1X > s.p2X + 30 || s.p1X + 30 < s.p2X - 10 || s.p2Jumping == kTrue ||
                    s.p1Y > s.p2Y + 15 || s.p1Y < s.p2Y;
  if (free) {
    StepUp(s);
    return;
  }
  s.p1KeyUp = kFalse;
  if (s.p1Y > s.p2Y) {
    game.CallOffensiveFoul();
  }
}

// Player 2 is shooting: a wider berth, and bumping into the shooter only stops him.
void WalkUpToShooter(GameState& s) {
  const bool free =
      s.p1X > s.p2X + 50 || s.p1X + 50 < s.p2X || s.p1Y > s.p2Y + 30 || s.p1Y < s.p2Y - 10;
  if (free) {
    StepUp(s);
  } else {
    s.p1KeyUp = kFalse;
  }
}

// Without the ball, running up into Player 2 from below is a foul.
void WalkUpWithoutBall(Game& game) {
  GameState& s = game.state;
  const bool free =
      s.p1X > s.p2X + 50 || s.p1X + 50 < s.p2X + 25 || s.p1Y > s.p2Y + 15 || s.p1Y < s.p2Y;
  if (free) {
    StepUp(s);
    return;
  }
  s.p1KeyUp = kFalse;
  game.CallFoul();
}

// ---- drawing -------------------------------------------------------------------------------

struct Placed {
  int mask;
  int image;
  int dx;
  int dy;
};

void DrawPlaced(Game& game, const Placed& p, int x, int y) {
  game.DrawMaskedSprite(p.mask, p.image, x + p.dx, y + p.dy);
}

constexpr Placed kGuardPose{Picture8, Picture9, -33, 0};
constexpr Placed kReachPose{Picture11, Picture12, 5, -20};

// Heads by pick (1..4) for each way he can be seen, and where each sits on the body.
constexpr Placed kHeadShootingLeft[4] = {{Picture30, Picture31, 22, 5},
                                         {Picture38, Picture39, 22, 0},
                                         {Picture46, Picture47, 22, 3},
                                         {Picture54, Picture55, 17, 5}};
constexpr Placed kHeadShootingRight[4] = {{Picture32, Picture33, 30, 3},
                                          {Picture40, Picture41, 30, 3},
                                          {Picture48, Picture49, 30, 5},
                                          {Picture56, Picture57, 30, 0}};
constexpr Placed kHeadShootingMiddle[4] = {{Picture28, Picture29, 30, 7},
                                           {Picture36, Picture37, 30, 3},
                                           {Picture44, Picture45, 30, 3},
                                           {Picture52, Picture53, 32, 12}};
constexpr Placed kHeadFront[4] = {{Picture26, Picture27, 30, 0},
                                  {Picture34, Picture35, 25, 0},
                                  {Picture42, Picture43, 28, 0},
                                  {Picture50, Picture51, 30, 5}};
constexpr Placed kHeadBack[4] = {{Picture28, Picture29, 30, 0},
                                 {Picture36, Picture37, 30, 0},
                                 {Picture44, Picture45, 30, 0},
                                 {Picture52, Picture53, 29, 5}};
// Black digits on white, on the back of the shirt: 13, 55, 14, 42.
constexpr int kShirtNumber[4] = {Picture71, Picture72, Picture73, Picture74};
constexpr int kShirtNumberY = 50;

// He faces the play, arms spread, when a loose ball is below him or he runs back after it, or
// when a shot is up and he stands in front of the shooter.
bool GuardsTheLane(const GameState& s, int y) {
  return (s.looseBallLeft == kTrue && y < s.ballY) || (s.looseBallRight == kTrue && y < s.ballY) ||
         (s.looseBallLeft == kTrue && s.p1KeyDown == kTrue) ||
         (s.looseBallRight == kTrue && s.p1KeyDown == kTrue) ||
         (s.p2Shooting == kTrue && s.p1Jumping == kFalse && y < s.p2Y + 5) ||
         (s.p1ShotInFlight == kTrue && y < s.p2Y && s.p1JumpTicks == 0) ||
         (s.p2ShotInFlight == kTrue && y < s.p2Y && s.p1Jumping == kFalse);
}

void DrawShootingBody(Game& game, int x, int y) {
  const GameState& s = game.state;
  const bool rightOfRim = x > s.basketX - 20;
  if (s.p1ShotStyle == kDunk && s.p1ShotTicks > 3) {
    if (rightOfRim) {
      game.DrawMaskedSprite(Picture20, Picture21, x - 12, y - 10);
    } else {
      game.DrawMaskedSprite(Picture23, Picture24, x - 28, y - 10);
    }
  } else if (s.p1ShotStyle == kLayUp || s.p1ShotStyle == kDunk) {
    game.DrawMaskedSprite(Picture68, Picture69, x - 9, y - 40);
  } else if (rightOfRim) {
    game.DrawMaskedSprite(Picture17, Picture18, x, y - 40);
  } else {
    game.DrawMaskedSprite(Picture14, Picture15, x + 12, y - 40);
  }
}

void DrawBody(Game& game, int x, int y) {
  const GameState& s = game.state;
  if (s.p1Shooting == kTrue) {
    DrawShootingBody(game, x, y);
    return;
  }
  // Let go of a dunk early: he is still drawn going up for it until the ball drops.
  if (s.p1ShotStyle == kDunk && s.p1ShotTicks <= 3) {
    game.DrawMaskedSprite(Picture68, Picture69, x - 9, y - 40);
    return;
  }
  if (GuardsTheLane(s, y)) {
    DrawPlaced(game, kGuardPose, x, y);
    return;
  }
  // In front of the carrier he now and then throws both arms up. The value is drawn whenever
  // this row is looked at, so the flicker costs the same draw whether or not it shows.
  const double flicker = game.NextRandom();
  if (s.p2HasBall == kTrue && y < s.p2Y + 5) {
    DrawPlaced(game, flicker * 20 > 1 ? kGuardPose : kReachPose, x, y);
    return;
  }
  const bool grounded = s.p1JumpTicks < 1 || s.p1HasBall == kTrue || s.lastShooterP1 == kTrue;
  if (grounded && s.p1KeyUp == kTrue && s.p1HasBall == kTrue) {
    if (s.p1WalkFrame > 4) {
      game.DrawMaskedSprite(Picture61, Picture62, x, y);
    } else {
      game.DrawMaskedSprite(Picture58, Picture59, x, y);
    }
  } else if (grounded) {
    game.DrawMaskedSprite(Picture5, Picture6, x, y);
  } else {
    DrawPlaced(game, kReachPose, x, y);  // up in a block jump
  }
}

bool FacesTheCourt(const GameState& s, int y) {
  return (s.p2HasBall == kTrue && y < s.p2Y + 5) || (s.looseBallLeft == kTrue && y < s.ballY) ||
         (s.p1Jumping == kTrue && s.p1HasBall == kFalse && s.lastShooterP1 == kFalse) ||
         (s.looseBallRight == kTrue && y < s.ballY) || (s.p2Shooting == kTrue && y < s.p2Y + 5) ||
         (s.looseBallLeft == kTrue && s.p1KeyDown == kTrue) ||
         (s.looseBallRight == kTrue && s.p1KeyDown == kTrue);
}

void DrawHeadAndNumber(Game& game, int x, int y) {
  const GameState& s = game.state;
  if (s.p1Pick < 1 || s.p1Pick > 4) return;  // nobody picked yet: no head, no number
  const int pick = s.p1Pick - 1;
  if (s.p1Shooting == kTrue) {
    const Placed* head = &kHeadShootingMiddle[pick];
    int numberX = 25;
    if (x < s.basketX - 19) {
      head = &kHeadShootingLeft[pick];
      numberX = 22;
    } else if (x > s.basketX + 30) {
      head = &kHeadShootingRight[pick];
      numberX = 30;
    }
    DrawPlaced(game, *head, x, y);
    game.DrawOpaquePicture(kShirtNumber[pick], x + numberX, y + kShirtNumberY);
    return;
  }
  if (FacesTheCourt(s, y)) {
    DrawPlaced(game, kHeadFront[pick], x, y);  // the number is on his back, out of sight
    return;
  }
  DrawPlaced(game, kHeadBack[pick], x, y);
  game.DrawOpaquePicture(kShirtNumber[pick], x + 25, y + kShirtNumberY);
}

void DrawBallHand(Game& game, int x, int y) {
  const GameState& s = game.state;
  if (s.p1Dribbling == kTrue && s.p1KeyLeft == kTrue) {
    game.DrawMaskedSprite(Picture66, Picture67, x - 8, y + 35);
  } else if (s.p1Dribbling == kTrue ||
             (s.looseBallRight == kTrue && s.ballY < y && s.p1KeyUp == kTrue)) {
    game.DrawMaskedSprite(Picture64, Picture65, x + 70, y + 35);
  }
}

}  // namespace

void ApplyTopBound(Game& game) {
  GameState& s = game.state;
  // Jumps, lay-ups and dunks may take him above the line; back on his feet he is pulled down.
  if (s.p1Shooting == kFalse && s.p1Y < kTopBound && s.p1Jumping == kFalse) s.p1Y = kTopBound;
}

void Walk(Game& game) {
  GameState& s = game.state;
  if (Holds(s) && s.dribblePickedUp != kFalse) return;  // he has picked up his dribble
  if (s.p1KeyLeft == kTrue) {
    s.p1X = static_cast<std::int16_t>(s.p1X - kStep);
    if (s.p1X < kLeftBound) s.p1X = kLeftBound;
    if (Holds(s)) s.p1Dribbling = kTrue;
  }
  if (s.p1KeyUp == kTrue) {
    // The step is taken from the top line at the most, so Up held at the top shows him 15
    // above it until he lets go.
    if (s.p1Y < kTopBound) s.p1Y = kTopBound;
    if (Holds(s)) {
      WalkUpWithBall(game);
    } else if (s.p2Shooting == kTrue || s.p2ShotInFlight == kTrue) {
      WalkUpToShooter(s);
    } else {
      WalkUpWithoutBall(game);
    }
  }
  if (s.p1KeyRight == kTrue) {
    s.p1X = static_cast<std::int16_t>(s.p1X + kStep);
    if (s.p1X > kRightBound) s.p1X = kRightBound;
    if (Holds(s)) s.p1Dribbling = kTrue;
  }
  if (s.p1KeyDown == kTrue) {
    s.p1Y = static_cast<std::int16_t>(s.p1Y + kStep);
    if (s.p1Y > kBottomBound) s.p1Y = kBottomBound;
  }
}

void AdvanceWalkFrame(Game& game) {
  GameState& s = game.state;
  if (s.p1KeyUp == kTrue) {
    s.p1WalkFrame = static_cast<std::int16_t>((s.p1WalkFrame + 1) % kWalkCycle);
  } else {
    s.p1WalkFrame = 0;
  }
}

void RaiseDribbleFlag(Game& game) {
  GameState& s = game.state;
  if (Holds(s) && s.dribblePickedUp == kFalse &&
      (s.p1KeyLeft == kTrue || s.p1KeyUp == kTrue || s.p1KeyRight == kTrue ||
       s.p1KeyDown == kTrue)) {
    s.p1Dribbling = kTrue;
  }
}

void Draw(Game& game, int x, int y) {
  const GameState& s = game.state;
  if ((s.p1HasBall == kTrue || s.p1ShotInFlight == kTrue) && s.ballHidden == kFalse) {
    game.DrawMaskedSprite(Picture1, Picture2, s.ballX, s.ballY);
  }
  DrawBody(game, x, y);
  DrawHeadAndNumber(game, x, y);
  DrawBallHand(game, x, y);
}

}  // namespace player1

void Game::UpdatePlayer1() {
  using namespace player1;
  ShotCues cues(*this, state.p1ShotInFlight);
  CountHeldKeys(*this);
  FreezeInAirWithBall(*this);
  ApplyTopBound(*this);
  DropDribbleWithoutBall(*this);
  BuildUpShot(*this);
  ReleaseShot(*this);
  PlaceLayUp(*this);
  PlaceDunk(*this);
  StepShotInFlight(*this);
  cues.Tell();
  CarryBall(*this);
  AdvanceJump(*this);
  TryBlock(*this);
  CatchLooseBall(*this);
  CallCollisionOverLooseBall(*this);
  Walk(*this);
  AdvanceWalkFrame(*this);
  RaiseDribbleFlag(*this);
  // Where he stands now: after a whistle in this tick, that is already his restart spot.
  Draw(*this, state.p1X, state.p1Y);
}

}  // namespace tandemhoop
