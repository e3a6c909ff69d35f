#pragma once

#include <array>
#include <cstdint>

#include "game/state.h"

namespace tandemhoop {

// Every 16-bit field of the record with its name, in declaration order: what the state hash
// covers, and what tests name when two records differ. lastBlitResult is left out: nothing
// reads it, and it says only whether a copy could be made on one machine.
struct StateField {
  const char* name;
  std::int16_t GameState::*field;
};

inline constexpr std::array<StateField, 53> kStateFields = {{
    {"p1X", &GameState::p1X},
    {"p1Y", &GameState::p1Y},
    {"basketX", &GameState::basketX},
    {"basketY", &GameState::basketY},
    {"netX", &GameState::netX},
    {"netY", &GameState::netY},
    {"p2X", &GameState::p2X},
    {"p2Y", &GameState::p2Y},
    {"ballX", &GameState::ballX},
    {"ballY", &GameState::ballY},
    {"p1Score", &GameState::p1Score},
    {"p2Score", &GameState::p2Score},
    {"playClock", &GameState::playClock},
    {"p1ShotInFlight", &GameState::p1ShotInFlight},
    {"p1Shooting", &GameState::p1Shooting},
    {"p1KeyLeft", &GameState::p1KeyLeft},
    {"p1KeyUp", &GameState::p1KeyUp},
    {"p1KeyRight", &GameState::p1KeyRight},
    {"p1KeyDown", &GameState::p1KeyDown},
    {"p2KeyLeft", &GameState::p2KeyLeft},
    {"p2KeyUp", &GameState::p2KeyUp},
    {"p2KeyRight", &GameState::p2KeyRight},
    {"p2KeyDown", &GameState::p2KeyDown},
    {"twoPlayerMode", &GameState::twoPlayerMode},
    {"p1HasBall", &GameState::p1HasBall},
    {"looseBallLeft", &GameState::looseBallLeft},
    {"looseBallRight", &GameState::looseBallRight},
    {"p2Dribbling", &GameState::p2Dribbling},
    {"p1Dribbling", &GameState::p1Dribbling},
    {"p2HasBall", &GameState::p2HasBall},
    {"p2Shooting", &GameState::p2Shooting},
    {"p2ShotInFlight", &GameState::p2ShotInFlight},
    {"p1Stealing", &GameState::p1Stealing},
    {"lastShooterP1", &GameState::lastShooterP1},
    {"p1Jumping", &GameState::p1Jumping},
    {"foulCode", &GameState::foulCode},
    {"p2ShotTicks", &GameState::p2ShotTicks},
    {"ballHidden", &GameState::ballHidden},
    {"basketMade", &GameState::basketMade},
    {"p2Jumping", &GameState::p2Jumping},
    {"dribblePickedUp", &GameState::dribblePickedUp},
    {"p1JumpTicks", &GameState::p1JumpTicks},
    {"p2JumpTicks", &GameState::p2JumpTicks},
    {"p1ShotTicks", &GameState::p1ShotTicks},
    {"p1Pick", &GameState::p1Pick},
    {"p2Pick", &GameState::p2Pick},
    {"p1WalkFrame", &GameState::p1WalkFrame},
    {"p2WalkFrame", &GameState::p2WalkFrame},
    {"p1ShotStyle", &GameState::p1ShotStyle},
    {"p2ShotStyle", &GameState::p2ShotStyle},
    {"leftHeldTicks", &GameState::leftHeldTicks},
    {"rightHeldTicks", &GameState::rightHeldTicks},
    {"shotChance", &GameState::shotChance},
}};

// A field added to the record and not to the table would drop out of the hash unnoticed.
static_assert(sizeof(GameState) ==
              (sizeof(std::int32_t) + kStateFields.size() * sizeof(std::int16_t) + 3) / 4 * 4);

}  // namespace tandemhoop
