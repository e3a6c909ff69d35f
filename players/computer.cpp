#include "players/computer.h"

#include "game/game.h"

namespace tandemhoop::computer {

namespace {

constexpr int kDefendClock = 5;    // after a restart he waits this long before defending
constexpr int kAttackClock = 15;   // ... and this long before he does anything with the ball
constexpr int kContestLine = 145;  // above this line he jumps at any lay-up or dunk
constexpr int kRightLimit = 600;   // a sidestep does not take him past here

void KeepOneSide(GameState& s) {
  if (s.p2KeyRight == kTrue) s.p2KeyLeft = kFalse;
  if (s.p2KeyLeft == kTrue) s.p2KeyRight = kFalse;
}

// Stay between Player 1 and the basket: drop back when he is too far up the court, run back
// towards the basket when beaten, or step aside when the carrier is right on top of him; then
// shadow Player 1 sideways. Only direct steps, no flags.
void Defend(GameState& s) {
  if (s.playClock <= kDefendClock) return;
  if (s.p2Y < s.p1Y - 20) {
    s.p2Y = static_cast<std::int16_t>(s.p2Y + 15);
  } else if (s.p2Y > s.p1Y) {
    if (s.p2X > s.p1X + 50 || s.p2X < s.p1X - 15 || s.p2Y > s.p1Y + 15) {
      s.p2Y = static_cast<std::int16_t>(s.p2Y - 15);
    } else {
      if (s.p2X < s.p1X) s.p2X = static_cast<std::int16_t>(s.p2X - 20);
      if (s.p2X >= s.p1X) s.p2X = static_cast<std::int16_t>(s.p2X + 20);
    }
  }
  if (s.p2X > s.p1X) s.p2X = static_cast<std::int16_t>(s.p2X - 12);
  if (s.p2X <= s.p1X) s.p2X = static_cast<std::int16_t>(s.p2X + 12);
}

// Both values are drawn on every tick of Player 1's shot, whether or not they are needed.
void ContestShot(Game& game, GameState& s) {
  const bool early = game.NextRandom() * 6 > 4;
  const bool late = game.NextRandom() * 6 < 5;
  const bool inFront = s.p2Y < s.p1Y + 8;
  if ((early && s.p1ShotTicks > 2 && inFront) || (late && s.p1ShotTicks > 3 && inFront) ||
      (s.p1ShotStyle == kDunk && s.p2Y < kContestLine) ||
      (s.p1ShotStyle == kLayUp && s.p2Y < kContestLine)) {
    s.p2Jumping = kTrue;
  }
}

// Straight at the ball; picking it up is the ordinary catch.
void ChaseLooseBall(GameState& s) {
  if (s.p2Y > s.ballY) {
    s.p2KeyUp = kTrue;
    s.p2Y = static_cast<std::int16_t>(s.p2Y - 15);
    s.p2KeyDown = kFalse;
  }
  if (s.p2Y < s.ballY) {
    s.p2KeyDown = kTrue;
    s.p2Y = static_cast<std::int16_t>(s.p2Y + 15);
  }
  if (s.p2X > s.ballX) s.p2X = static_cast<std::int16_t>(s.p2X - 15);
  if (s.p2X < s.ballX) s.p2X = static_cast<std::int16_t>(s.p2X + 15);
}

void DriveAtBasket(GameState& s) {
  if (s.p2X > s.basketX + 15) {
    s.p2KeyLeft = kTrue;
    s.p2KeyRight = kFalse;
    s.p2X = static_cast<std::int16_t>(s.p2X - 10);
  } else if (s.p2X < s.basketX - 15) {
    s.p2X = static_cast<std::int16_t>(s.p2X + 10);
    s.p2KeyLeft = kFalse;
    s.p2KeyRight = kTrue;
  }
  s.p2Y = static_cast<std::int16_t>(s.p2Y - 10);
  s.p2KeyUp = kTrue;
}

// Player 1 square in front of him: a step to the right, or else maybe to the left, never off
// the court.
void Sidestep(Game& game, GameState& s) {
  if (game.NextRandom() * 10 > 5) {
    s.p2KeyRight = kTrue;
    s.p2X = static_cast<std::int16_t>(s.p2X + 10);
    if (s.p2X > kRightLimit) s.p2X = static_cast<std::int16_t>(s.p2X - 10);
  } else if (game.NextRandom() * 10 < 6) {
    s.p2KeyLeft = kTrue;
    s.p2X = static_cast<std::int16_t>(s.p2X - 10);
    if (s.p2X < 0) s.p2X = static_cast<std::int16_t>(s.p2X + 10);
  }
}

// Near the basket he always shoots. Further out he now and then lets a long one go, and still
// takes his step in that tick: the shot is built from wherever the step leaves him.
void Attack(Game& game, GameState& s) {
  if (s.playClock <= kAttackClock) return;
  if (s.p2Y <= s.basketY + 130) {
    s.p2Shooting = kTrue;
    return;
  }
  if (game.NextRandom() * 300 < game.computerHandicap().longShotOdds) {
    s.p2Shooting = kTrue;
  }
  const bool laneOpen =
      s.p2X + 30 < s.p1X - 10 || s.p2X > s.p1X + 30 || s.p2Y > s.p1Y + 10 || s.p2Y < s.p1Y + 2;
  if (laneOpen) {
    DriveAtBasket(s);
  } else {
    Sidestep(game, s);
  }
}

// Exactly one situation a tick, the first that applies, even when its clock then holds him.
void Decide(Game& game, GameState& s) {
  KeepOneSide(s);
  if (s.p1HasBall == kTrue || s.p2ShotInFlight == kTrue || s.p1ShotInFlight == kTrue) {
    Defend(s);
  } else if (s.p1Shooting == kTrue) {
    ContestShot(game, s);
  } else if (s.looseBallLeft == kTrue || s.looseBallRight == kTrue) {
    ChaseLooseBall(s);
  } else if (s.p2HasBall == kTrue && s.dribblePickedUp == kFalse) {
    Attack(game, s);
  }
  // Otherwise nothing to do: nobody has the ball and it is not loose, or he has picked up his
  // dribble and waits.
}

CourtView ViewOf(const GameState& s) {
  return {.p1X = s.p1X,
          .p1Y = s.p1Y,
          .ballX = s.ballX,
          .ballY = s.ballY,
          .p1HasBall = s.p1HasBall,
          .p1Shooting = s.p1Shooting,
          .p1ShotTicks = s.p1ShotTicks,
          .p1ShotStyle = s.p1ShotStyle,
          .p1ShotInFlight = s.p1ShotInFlight,
          .looseBallLeft = s.looseBallLeft,
          .looseBallRight = s.looseBallRight};
}

// Player 1 and the ball as they were; his own position, his hold on the ball and the clock
// are as they are now: a player always knows where he stands and what is in his hands.
void Recall(const CourtView& view, GameState& s) {
  s.p1X = view.p1X;
  s.p1Y = view.p1Y;
  s.ballX = view.ballX;
  s.ballY = view.ballY;
  s.p1HasBall = view.p1HasBall;
  s.p1Shooting = view.p1Shooting;
  s.p1ShotTicks = view.p1ShotTicks;
  s.p1ShotStyle = view.p1ShotStyle;
  s.p1ShotInFlight = view.p1ShotInFlight;
  s.looseBallLeft = view.looseBallLeft;
  s.looseBallRight = view.looseBallRight;
}

}  // namespace

void PlayPlayer2(Game& game) {
  Decide(game, game.state);
}

void TakeTurn(Game& game, std::uint32_t turn) {
  const std::uint32_t delay = game.computerHandicap().sightDelay;
  auto& views = game.computerMemory().views;
  views[turn % views.size()] = ViewOf(game.state);
  if (delay == 0) {
    PlayPlayer2(game);
    return;
  }
  // The first turns after start-up have nothing older to go on than the first look.
  const std::uint32_t seenOn = turn >= delay ? turn - delay : 0;
  GameState seen = game.state;
  Recall(views[seenOn % views.size()], seen);
  Decide(game, seen);
  // What he decided, on the court as it is now: whatever he wrote stands, whatever he only saw
  // late goes back to what it is.
  Recall(views[turn % views.size()], seen);
  game.state = seen;
}

}  // namespace tandemhoop::computer
