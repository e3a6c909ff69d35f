#include "game/arith.h"
#include "game/game.h"
#include "screens/pictures.h"

namespace tandemhoop {

namespace {

constexpr int kBounceStep = 15;
// A loose ball comes to rest against the floor line and the side of the court it rolls to.
constexpr std::int16_t kFloorLine = 400;
constexpr std::int16_t kRightLimit = 650;
constexpr std::int16_t kLeftEdge = 10;
constexpr std::int16_t kLeftRest = 20;

// A carrier who has run one way for more than this many ticks may burst when he turns.
constexpr std::int16_t kBurstAfterTicks = 8;
constexpr int kBurstDistance = 70;

// Whatever rolls the ball loose also takes it out of every pair of hands and ends any shot.
void TakeBallFromEverybody(GameState& s) {
  s.dribblePickedUp = kFalse;
  s.p2HasBall = kFalse;
  s.p1HasBall = kFalse;
  s.p2ShotInFlight = kFalse;
  s.p1Shooting = kFalse;
  s.ballHidden = kFalse;
}

void LandOnFloor(GameState& s) {
  if (s.ballY > kFloorLine) s.ballY = kFloorLine;
}

// The ball comes to the floor line or to the side where it rests: the moment it bounces. Lying
// there on later ticks, kept in place by the same limits, it makes no sound.
bool ReachedRest(const GameState& s, std::int16_t xBefore, std::int16_t yBefore) {
  const bool floor = s.ballY == kFloorLine && yBefore != kFloorLine;
  const bool right = s.looseBallRight == kTrue && s.ballX == kRightLimit && xBefore != kRightLimit;
  const bool left = s.looseBallLeft == kTrue && s.ballX == kLeftRest && xBefore != kLeftRest;
  return floor || right || left;
}

}  // namespace

void Game::DrawLooseBall() {
  GameState& s = state;

  // Drawn last in the frame, so the free ball lies over both players. Player 1's shot in the
  // air is his controller's to draw.
  if (s.p1HasBall != kTrue && s.p1ShotInFlight != kTrue && s.p2HasBall != kTrue &&
      s.p2Shooting != kTrue && s.basketMade != kTrue && s.ballHidden == kFalse) {
    DrawMaskedSprite(form2::Picture1, form2::Picture2, s.ballX, s.ballY);
  }

  const std::int16_t xBefore = s.ballX;
  const std::int16_t yBefore = s.ballY;
  if (s.looseBallRight == kTrue) {
    s.ballY = Wrap16(s.ballY + kBounceStep);
    s.ballX = Wrap16(s.ballX + kBounceStep);
    if (s.ballX > kRightLimit) s.ballX = kRightLimit;
    LandOnFloor(s);
    TakeBallFromEverybody(s);
  }
  if (s.looseBallLeft == kTrue) {
    s.ballY = Wrap16(s.ballY + kBounceStep);
    s.ballX = Wrap16(s.ballX - kBounceStep);
    // It bounces back off the sideline a little rather than resting on it.
    if (s.ballX < kLeftEdge) s.ballX = kLeftRest;
    LandOnFloor(s);
    TakeBallFromEverybody(s);
  }
  if ((s.looseBallRight == kTrue || s.looseBallLeft == kTrue) && ReachedRest(s, xBefore, yBefore)) {
    platform().PlaySound(Sound::Bounce);
  }

  if (s.dribblePickedUp != kFalse || s.p1JumpTicks != 0 || s.p2JumpTicks != 0) return;

  // The crossover: after a long run one way, turning the other way jumps the carrier up the
  // court. The computer takes it only now and then, so it cannot be read.
  auto burstPlayer2 = [&] {
    const double r = NextRandom();
    return s.twoPlayerMode == kTrue || (s.twoPlayerMode == kFalse && r * 5 < 2);
  };
  auto resetCounters = [&] {
    s.leftHeldTicks = 0;
    s.rightHeldTicks = 0;
  };

  if (s.leftHeldTicks > kBurstAfterTicks) {
    if (s.p1KeyRight == kTrue && s.p1HasBall == kTrue) {
      s.p1Y = Wrap16(s.p1Y - kBurstDistance);
      resetCounters();
    } else if (s.p2KeyRight == kTrue && s.p2HasBall == kTrue) {
      if (burstPlayer2()) {
        s.p2Y = Wrap16(s.p2Y - kBurstDistance);
        resetCounters();
      }
    }
  }
  if (s.rightHeldTicks > kBurstAfterTicks) {
    if (s.p1KeyLeft == kTrue && s.p1HasBall == kTrue) {
      s.p1Y = Wrap16(s.p1Y - kBurstDistance);
      resetCounters();
    } else if (s.p2KeyLeft == kTrue && s.p2HasBall == kTrue) {
      if (burstPlayer2()) {
        s.p2Y = Wrap16(s.p2Y - kBurstDistance);
        resetCounters();
      }
    }
  }
}

}  // namespace tandemhoop
