#include "game/game.h"
#include "game/sound_cues.h"
#include "players/computer.h"
#include "players/player2.h"
#include "screens/pictures.h"

namespace tandemhoop {

using namespace form2;

namespace {

constexpr int kStep = 15;  // one walking step, per key and tick
// Walking by the keys stops short of the court's own edges on the right and at the bottom.
constexpr int kWalkRight = 640;
constexpr int kWalkBottom = 450;
constexpr int kCourtTop = 130;
constexpr int kCourtBottom = 600;
constexpr int kCourtRight = 655;
constexpr int kWalkCycle = 8;  // frames 0..8

bool Holds(const GameState& s) {
  return s.p2HasBall == kTrue;
}

// Up into Player 1 while carrying: a charge from below is his foul, level he only stops.
void WalkUpWithBall(Game& game) {
  GameState& s = game.state;
  s.p2Dribbling = kTrue;
  const bool free = s.p2X > s.p1X + 30 || s.p2X + 30 < s.p1X || s.p1Jumping == kTrue ||
                    s.p2Y > s.p1Y + 15 || s.p2Y < s.p1Y;
  if (free) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y - kStep);
  } else if (s.p2Y > s.p1Y) {
    s.p2KeyUp = kFalse;
    game.CallOffensiveFoul();
  }
}

// Running into a shooter is a foul on Player 2 (Player 1 in his place would only stop).
void WalkUpIntoShooter(Game& game) {
  GameState& s = game.state;
  const bool free =
      s.p2X > s.p1X + 30 || s.p2X + 30 < s.p1X || s.p2Y > s.p1Y + 30 || s.p2Y < s.p1Y - 10;
  if (free) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y - kStep);
  } else {
    s.p2KeyUp = kFalse;
    game.CallFoul();
  }
}

void WalkUpWithoutBall(Game& game) {
  GameState& s = game.state;
  const bool free =
      s.p2X > s.p1X + 50 || s.p2X + 50 < s.p1X + 25 || s.p2Y > s.p1Y + 15 || s.p2Y < s.p1Y;
  if (free) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y - kStep);
  } else {
    s.p2KeyUp = kFalse;
    game.CallFoul();
  }
}

// ---- drawing -------------------------------------------------------------------------------

struct Sprite {
  int mask, image, dx, dy;
};
struct Patch {
  int picture, dx, dy;
};

// Heads are shared with Player 1; the shirt numbers are Player 2's own (white on blue).
constexpr Sprite kHeadShootingLeft[4] = {{Picture30, Picture31, 22, 5},
                                         {Picture38, Picture39, 22, 0},
                                         {Picture46, Picture47, 22, 3},
                                         {Picture54, Picture55, 17, 5}};
constexpr Sprite kHeadShootingRight[4] = {{Picture32, Picture33, 30, 3},
                                          {Picture40, Picture41, 30, 3},
                                          {Picture48, Picture49, 30, 5},
                                          {Picture56, Picture57, 30, 3}};
constexpr Sprite kHeadShootingMiddle[4] = {{Picture28, Picture29, 30, 7},
                                           {Picture36, Picture37, 30, 3},
                                           {Picture44, Picture45, 30, 3},
                                           {Picture52, Picture53, 32, 12}};
constexpr Sprite kHeadFront[4] = {{Picture26, Picture27, 30, 0},
                                  {Picture34, Picture35, 25, 0},
                                  {Picture42, Picture43, 28, 0},
                                  {Picture50, Picture51, 30, 5}};
constexpr Sprite kHeadBack[4] = {{Picture28, Picture29, 30, 0},
                                 {Picture36, Picture37, 30, 0},
                                 {Picture44, Picture45, 30, 0},
                                 {Picture52, Picture53, 29, 5}};
constexpr int kShirtNumber[4] = {Picture75, Picture76, Picture77, Picture78};

void DrawAt(Game& game, const Sprite& sprite, int x, int y) {
  game.DrawMaskedSprite(sprite.mask, sprite.image, x + sprite.dx, y + sprite.dy);
}

constexpr Sprite kGuardPose{Picture8, Picture10, -33, 0};
constexpr Sprite kReachPose{Picture11, Picture13, 3, -20};

// The defender faces the play (arms spread) when the ball carrier is in front of him, when a
// loose ball is below him or he runs down after it, or when a shot is up and he is not in the
// air. The random term is drawn every time the row is looked at, whatever the other terms say.
bool ShowsGuardPose(Game& game, int y) {
  const GameState& s = game.state;
  const double r = game.NextRandom();
  return (r * 20 > 1 && s.p1HasBall == kTrue && y < s.p1Y + 5) ||
         (s.looseBallLeft == kTrue && s.ballY > y) || (s.looseBallRight == kTrue && s.ballY > y) ||
         (s.looseBallRight == kTrue && s.p2KeyDown == kTrue) ||
         (s.looseBallLeft == kTrue && s.p2KeyDown == kTrue) ||
         (s.p2ShotInFlight == kTrue && y < s.p1Y && s.p2JumpTicks == 0) ||
         (s.p1ShotInFlight == kTrue && y < s.p1Y && s.p2Jumping == kFalse) ||
         (s.p1Shooting == kTrue && s.p2Jumping == kFalse && y < s.p1Y + 8);
}

void DrawBody(Game& game, int x, int y) {
  const GameState& s = game.state;
  const bool leftOfRim = x <= s.basketX - 20;
  if (s.p2Shooting == kTrue) {
    if (s.p2ShotStyle == kDunk && s.p2ShotTicks > 3) {
      if (!leftOfRim) {
        game.DrawMaskedSprite(Picture20, Picture22, x - 12, y - 10);
      } else {
        game.DrawMaskedSprite(Picture23, Picture25, x - 28, y - 10);
      }
    } else if (s.p2ShotStyle == kLayUp || s.p2ShotStyle == kDunk) {
      game.DrawMaskedSprite(Picture68, Picture70, x - 9, y - 40);
    } else if (!leftOfRim) {
      game.DrawMaskedSprite(Picture17, Picture19, x, y - 40);
    } else {
      game.DrawMaskedSprite(Picture14, Picture16, x + 12, y - 40);
    }
    return;
  }
  if (ShowsGuardPose(game, y)) {
    DrawAt(game, kGuardPose, x, y);
    return;
  }
  // A second, independent value: now and then he throws both arms up at the carrier instead.
  if (game.NextRandom() * 20 < 2 && s.p1HasBall == kTrue && y < s.p1Y + 5) {
    DrawAt(game, kReachPose, x, y);
    return;
  }
  if (s.p2JumpTicks > 0 && s.p2HasBall == kFalse && s.lastShooterP1 == kTrue) {
    // Rising at Player 1's shot with the arms up, coming down with them spread.
    DrawAt(game, s.p2JumpTicks <= 4 ? kReachPose : kGuardPose, x, y);
    return;
  }
  if (s.p2HasBall == kTrue && s.p2KeyUp == kTrue) {
    if (s.p2WalkFrame >= 1 && s.p2WalkFrame <= 4) {
      game.DrawMaskedSprite(Picture58, Picture60, x, y);
    } else {
      game.DrawMaskedSprite(Picture61, Picture63, x, y);
    }
    return;
  }
  game.DrawMaskedSprite(Picture5, Picture7, x, y);
}

bool FacesTheCourt(const GameState& s, int y) {
  return (s.p1HasBall == kTrue && y <= s.p1Y) || (s.looseBallLeft == kTrue && s.ballY > y) ||
         (s.looseBallRight == kTrue && s.ballY > y) || (s.p1Shooting == kTrue && y < s.p1Y + 8) ||
         (s.looseBallRight == kTrue && s.p2KeyDown == kTrue) ||
         (s.looseBallLeft == kTrue && s.p2KeyDown == kTrue) ||
         (s.p2Jumping == kTrue && s.p2HasBall == kFalse && s.lastShooterP1 == kTrue);
}

void DrawHead(Game& game, int x, int y) {
  const GameState& s = game.state;
  if (s.p2Pick < 1 || s.p2Pick > 4) return;  // nobody picked: a headless body, no number
  const int pick = s.p2Pick - 1;
  const Sprite* head;
  Patch number{kShirtNumber[pick], 25, 50};
  bool showNumber = true;
  if (s.p2Shooting == kTrue) {
    if (x < s.basketX - 19) {
      head = &kHeadShootingLeft[pick];
      number.dx = 22;
    } else if (x > s.basketX + 30) {
      head = &kHeadShootingRight[pick];
      number.dx = 30;
    } else {
      head = &kHeadShootingMiddle[pick];
    }
  } else if (FacesTheCourt(s, y)) {
    head = &kHeadFront[pick];
    showNumber = false;  // the number is on the back of the shirt
  } else {
    head = &kHeadBack[pick];
  }
  DrawAt(game, *head, x, y);
  if (showNumber) game.DrawOpaquePicture(number.picture, x + number.dx, y + number.dy);
}

void DrawBallHand(Game& game, int x, int y) {
  const GameState& s = game.state;
  if (s.p2Dribbling != kTrue) return;
  if (s.p2KeyLeft == kTrue) {
    game.DrawMaskedSprite(Picture66, Picture67, x - 8, y + 35);
  } else {
    game.DrawMaskedSprite(Picture64, Picture65, x + 70, y + 35);
  }
}

}  // namespace

namespace player2 {

void Walk(Game& game) {
  GameState& s = game.state;
  if (Holds(s) && s.dribblePickedUp != kFalse) return;  // he ended his dribble to shoot
  if (s.p2KeyLeft == kTrue) {
    s.p2X = static_cast<std::int16_t>(s.p2X - kStep);
    if (s.p2X < 0) s.p2X = 0;
    if (Holds(s)) s.p2Dribbling = kTrue;
  }
  if (s.p2KeyUp == kTrue) {
    if (s.p2Y < kCourtTop) s.p2Y = kCourtTop - 1;
    if (s.p2Y > kCourtTop - 1) {
      if (Holds(s)) {
        WalkUpWithBall(game);
      } else if (s.p1Shooting == kTrue || s.p1ShotInFlight == kTrue) {
        WalkUpIntoShooter(game);
      } else {
        WalkUpWithoutBall(game);
      }
    }
  }
  if (s.p2KeyRight == kTrue) {
    s.p2X = static_cast<std::int16_t>(s.p2X + kStep);
    if (s.p2X > kWalkRight) s.p2X = kWalkRight;
    if (Holds(s)) s.p2Dribbling = kTrue;
  }
  if (s.p2KeyDown == kTrue) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y + kStep);
    if (s.p2Y > kWalkBottom) s.p2Y = kWalkBottom;
    if (Holds(s)) s.p2Dribbling = kTrue;
  }
}

// Also covers the computer, which only raises flags: any raised flag means he moves the ball.
void RaiseDribbleFlag(Game& game) {
  GameState& s = game.state;
  if (Holds(s) && s.dribblePickedUp == kFalse &&
      (s.p2KeyLeft == kTrue || s.p2KeyUp == kTrue || s.p2KeyRight == kTrue ||
       s.p2KeyDown == kTrue)) {
    s.p2Dribbling = kTrue;
    s.ballHidden = kFalse;
  }
}

// Kept when Up is let go, so the next run up the court picks the stride up where it was.
void AdvanceWalkFrame(Game& game) {
  GameState& s = game.state;
  if (s.p2KeyUp == kTrue) {
    s.p2WalkFrame = static_cast<std::int16_t>(s.p2WalkFrame + 1);
    if (s.p2WalkFrame > kWalkCycle) s.p2WalkFrame = 0;
  }
}

void GuardPossession(Game& game) {
  GameState& s = game.state;
  if (s.p2HasBall == kTrue) s.p1HasBall = kFalse;
}

// After everything that moved him this tick, so he is never drawn off the court; only a
// shooter or a jumper may be above the top line.
void ApplyCourtBounds(Game& game) {
  GameState& s = game.state;
  if (s.p2Y > kCourtBottom) s.p2Y = kCourtBottom;
  if (s.p2Y < kCourtTop && s.p2Shooting != kTrue && s.p2Jumping != kTrue) s.p2Y = kCourtTop;
  if (s.p2X < 0) s.p2X = 0;
  if (s.p2X > kCourtRight) s.p2X = kCourtRight;
}

void Draw(Game& game, int x, int y) {
  const GameState& s = game.state;
  if ((s.p2HasBall == kTrue || s.p2ShotInFlight == kTrue) && s.ballHidden == kFalse) {
    game.DrawMaskedSprite(Picture1, Picture2, s.ballX, s.ballY);
  }
  DrawBody(game, x, y);
  DrawHead(game, x, y);
  DrawBallHand(game, x, y);
}

}  // namespace player2

void Game::UpdatePlayer2() {
  using namespace player2;
  ShotCues cues(*this, state.p2ShotInFlight);
  CountHeldKeys(*this);
  FreezeInAirWithBall(*this);
  if (state.twoPlayerMode == kFalse) {
    computer::TakeTurn(*this, computerTurns_++);
  } else if (state.twoPlayerMode == kTrue) {
    Walk(*this);
  }
  RaiseDribbleFlag(*this);
  AdvanceWalkFrame(*this);
  CarryBall(*this);
  AdvanceJump(*this);
  TryBlock(*this);
  BuildUpShot(*this);
  PlaceDunk(*this);
  PlaceLayUp(*this);
  ReleaseShot(*this);
  StepShotInFlight(*this);
  cues.Tell();
  GuardPossession(*this);
  CatchLooseBall(*this);
  ApplyCourtBounds(*this);
  // A foul called in the contact below restarts play from new spots; this frame still shows
  // him where the foul happened.
  const int x = state.p2X;
  const int y = state.p2Y;
  ResolveContact(*this);
  Draw(*this, x, y);
  if (state.p1HasBall == kTrue) state.p2Dribbling = kFalse;
}

}  // namespace tandemhoop
