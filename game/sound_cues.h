#pragma once

#include <cstdint>

#include "game/game.h"

namespace tandemhoop {

// Watches one controller's steps for the ball leaving the shooter's hands and for a dunk going
// down. Several rules can raise either flag on the same tick; the player hears each once, on the
// tick it happened. Only reads the state: a cue never changes the game.
class ShotCues {
 public:
  ShotCues(Game& game, const std::int16_t& shotInFlight)
      : game_(game),
        shotInFlight_(shotInFlight),
        wasInFlight_(shotInFlight),
        wasMade_(game.state.basketMade) {}

  void Tell() {
    if (wasInFlight_ != kTrue && shotInFlight_ == kTrue) game_.platform().PlaySound(Sound::Release);
    if (wasMade_ != kTrue && game_.state.basketMade == kTrue) {
      game_.platform().PlaySound(Sound::Dunk);
    }
  }

 private:
  Game& game_;
  const std::int16_t& shotInFlight_;
  std::int16_t wasInFlight_;
  std::int16_t wasMade_;
};

}  // namespace tandemhoop
