#include <string_view>

#include "game/game.h"

namespace tandemhoop {

namespace {

constexpr std::string_view kPlayer1OffensiveFoul = "Player 1 - Offensive Foul";
constexpr std::string_view kPlayer2OffensiveFoul = "Player 2 - Offensive Foul";
constexpr std::string_view kFoulOnPlayer1 = "FOUL: Player 1";
constexpr std::string_view kFoulOnPlayer2 = "FOUL: Player 2";

// What Player 1's controller leaves in foulCode after a collision over a loose ball.
constexpr std::int16_t kFoulCodePlayer2 = 1;
constexpr std::int16_t kFoulCodePlayer1 = 2;

struct Spot {
  std::int16_t x;
  std::int16_t y;
};

// Fouls restart at the bottom right, baskets at the bottom left; the ball starts in the hands
// of whoever gets it.
constexpr Spot kFoulBallSide{670, 450};
constexpr Spot kFoulOtherSide{550, 350};
constexpr Spot kBasketBallSide{0, 450};
constexpr Spot kBasketScorer{0, 350};

// Where the play clock restarts: no shot starts until it has passed 10, so after a foul the new
// carrier waits one tick less than after a basket.
constexpr std::int16_t kFoulRestartClock = 2;
constexpr std::int16_t kBasketRestartClock = 1;
constexpr std::int16_t kShotChanceAfterBasket = 55;

void PutPlayer1(GameState& s, Spot spot) {
  s.p1X = spot.x;
  s.p1Y = spot.y;
}

void PutPlayer2(GameState& s, Spot spot) {
  s.p2X = spot.x;
  s.p2Y = spot.y;
}

void PutBall(GameState& s, Spot spot) {
  s.ballX = spot.x;
  s.ballY = spot.y;
}

// Any stoppage drops every held direction: a key still down acts again at its next repeat.
void ClearMovementKeys(GameState& s) {
  s.p1KeyLeft = kFalse;
  s.p1KeyRight = kFalse;
  s.p1KeyUp = kFalse;
  s.p1KeyDown = kFalse;
  s.p2KeyLeft = kFalse;
  s.p2KeyRight = kFalse;
  s.p2KeyUp = kFalse;
  s.p2KeyDown = kFalse;
}

enum class Charged { Nobody, Player1, Player2 };

// The side without the ball is at fault; a shot still in the air counts against its shooter.
Charged ChargedSide(const GameState& s) {
  if (s.p1HasBall == kTrue) return Charged::Player2;
  if (s.foulCode == kFoulCodePlayer2) return Charged::Player2;
  if (s.p2ShotInFlight == kTrue) return Charged::Player2;
  if (s.p2HasBall == kTrue) return Charged::Player1;
  if (s.foulCode == kFoulCodePlayer1) return Charged::Player1;
  if (s.p1ShotInFlight == kTrue) return Charged::Player1;
  return Charged::Nobody;
}

}  // namespace

void Game::CallOffensiveFoul() {
  GameState& s = state;
  s.dribblePickedUp = kFalse;
  ClearMovementKeys(s);
  s.ballHidden = kFalse;

  // The box goes up while both players still stand where they collided.
  if (s.p1HasBall == kTrue) {
    platform().PlaySound(Sound::Whistle);
    platform().ShowMessage(kPlayer1OffensiveFoul);
    s.p1HasBall = kFalse;
    s.p2HasBall = kTrue;
    PutPlayer2(s, kFoulBallSide);
    PutPlayer1(s, kFoulOtherSide);
  } else if (s.p2HasBall == kTrue) {
    platform().PlaySound(Sound::Whistle);
    platform().ShowMessage(kPlayer2OffensiveFoul);
    s.p1HasBall = kTrue;
    s.p2HasBall = kFalse;
    PutPlayer2(s, kFoulOtherSide);
    PutPlayer1(s, kFoulBallSide);
  } else {
    return;
  }
  PutBall(s, kFoulBallSide);
}

void Game::ChangePossession() {
  GameState& s = state;
  s.leftHeldTicks = 0;
  s.rightHeldTicks = 0;
  s.dribblePickedUp = kFalse;

  // A steal carries on from where the players stand; only Player 1's shot can be taken back
  // out of the air.
  if (s.p1HasBall == kTrue || s.p1ShotInFlight == kTrue) {
    platform().PlaySound(Sound::Steal);
    s.p1ShotInFlight = kFalse;
    s.p2HasBall = kTrue;
    s.p1HasBall = kFalse;
  } else if (s.p2HasBall == kTrue) {
    platform().PlaySound(Sound::Steal);
    s.p1HasBall = kTrue;
    s.p2HasBall = kFalse;
  }
}

void Game::CallFoul() {
  GameState& s = state;
  s.dribblePickedUp = kFalse;
  s.leftHeldTicks = 0;
  s.rightHeldTicks = 0;
  s.p2Dribbling = kFalse;
  ClearMovementKeys(s);
  s.p1Shooting = kFalse;
  s.p2Shooting = kFalse;
  s.ballHidden = kFalse;

  const Charged charged = ChargedSide(s);
  if (charged == Charged::Nobody) return;

  platform().PlaySound(Sound::Whistle);
  platform().ShowMessage(charged == Charged::Player2 ? kFoulOnPlayer2 : kFoulOnPlayer1);
  s.playClock = kFoulRestartClock;
  s.p2ShotInFlight = kFalse;
  s.lastShooterP1 = kFalse;
  s.p1ShotInFlight = kFalse;
  if (charged == Charged::Player2) {
    s.p2HasBall = kFalse;
    s.p1HasBall = kTrue;
    PutPlayer2(s, kFoulOtherSide);
    PutPlayer1(s, kFoulBallSide);
  } else {
    s.p2HasBall = kTrue;
    s.p1HasBall = kFalse;
    PutPlayer2(s, kFoulBallSide);
    PutPlayer1(s, kFoulOtherSide);
  }
  PutBall(s, kFoulBallSide);
  s.foulCode = 0;
}

void Game::AwardBasket() {
  GameState& s = state;
  s.dribblePickedUp = kFalse;
  s.leftHeldTicks = 0;
  s.rightHeldTicks = 0;
  s.shotChance = kShotChanceAfterBasket;

  // No box for a basket: the score line of this same tick tells the story.
  if (s.lastShooterP1 == kTrue) {
    s.p1Score = static_cast<std::int16_t>(s.p1Score + 1);
    s.basketMade = kFalse;
    s.playClock = kBasketRestartClock;
    PutBall(s, kBasketBallSide);
    PutPlayer2(s, kBasketBallSide);
    s.p2HasBall = kTrue;
    s.p1HasBall = kFalse;
    PutPlayer1(s, kBasketScorer);
  } else if (s.lastShooterP1 == kFalse) {
    s.p2Score = static_cast<std::int16_t>(s.p2Score + 1);
    s.playClock = kBasketRestartClock;
    s.basketMade = kFalse;
    PutBall(s, kBasketBallSide);
    PutPlayer2(s, kBasketScorer);
    s.p1HasBall = kTrue;
    s.p2HasBall = kFalse;
    PutPlayer1(s, kBasketBallSide);
  }
}

}  // namespace tandemhoop
