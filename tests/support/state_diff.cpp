#include "tests/support/state_diff.h"

namespace tandemhoop::testing {

const std::vector<StateField>& StateFields() {
  static const std::vector<StateField> fields = {
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
  };
  return fields;
}

std::vector<std::string> StateDiff(const GameState& before, const GameState& after) {
  std::vector<std::string> changes;
  for (const StateField& f : StateFields()) {
    if (before.*f.field != after.*f.field) {
      changes.push_back(std::string(f.name) + " " + std::to_string(before.*f.field) + " -> " +
                        std::to_string(after.*f.field));
    }
  }
  return changes;
}

}  // namespace tandemhoop::testing
