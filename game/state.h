#pragma once

#include <cstdint>

namespace tandemhoop {

// Flags hold -1 for true and 0 for false and are compared with exactly these values.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// The one record of the game. Every routine reads and writes these fields directly; the order
// and the names are those the rest of the program (and its tests) rely on.
struct GameState {
  std::int32_t lastBlitResult = 0;
  std::int16_t p1X = 0;
  std::int16_t p1Y = 0;
  std::int16_t basketX = 0;
  std::int16_t basketY = 0;
  std::int16_t netX = 0;
  std::int16_t netY = 0;
  std::int16_t p2X = 0;
  std::int16_t p2Y = 0;
  std::int16_t ballX = 0;
  std::int16_t ballY = 0;
  std::int16_t p1Score = 0;
  std::int16_t p2Score = 0;
  std::int16_t playClock = 0;
  std::int16_t p1ShotInFlight = 0;
  std::int16_t p1Shooting = 0;
  std::int16_t p1KeyLeft = 0;
  std::int16_t p1KeyUp = 0;
  std::int16_t p1KeyRight = 0;
  std::int16_t p1KeyDown = 0;
  std::int16_t p2KeyLeft = 0;
  std::int16_t p2KeyUp = 0;
  std::int16_t p2KeyRight = 0;
  std::int16_t p2KeyDown = 0;
  std::int16_t twoPlayerMode = 0;
  std::int16_t p1HasBall = 0;
  std::int16_t looseBallLeft = 0;
  std::int16_t looseBallRight = 0;
  std::int16_t p2Dribbling = 0;
  std::int16_t p1Dribbling = 0;
  std::int16_t p2HasBall = 0;
  std::int16_t p2Shooting = 0;
  std::int16_t p2ShotInFlight = 0;
  std::int16_t p1Stealing = 0;
  std::int16_t lastShooterP1 = 0;
  std::int16_t p1Jumping = 0;
  std::int16_t foulCode = 0;
  std::int16_t p2ShotTicks = 0;
  std::int16_t ballHidden = 0;
  std::int16_t basketMade = 0;
  std::int16_t p2Jumping = 0;
  std::int16_t dribblePickedUp = 0;
  std::int16_t p1JumpTicks = 0;
  std::int16_t p2JumpTicks = 0;
  std::int16_t p1ShotTicks = 0;
  std::int16_t p1Pick = 0;
  std::int16_t p2Pick = 0;
  std::int16_t p1WalkFrame = 0;
  std::int16_t p2WalkFrame = 0;
  std::int16_t p1ShotStyle = 0;
  std::int16_t p2ShotStyle = 0;
  std::int16_t leftHeldTicks = 0;
  std::int16_t rightHeldTicks = 0;
  std::int16_t shotChance = 0;
};

// Shot styles as the controllers store them in p1ShotStyle / p2ShotStyle.
inline constexpr std::int16_t kLayUp = 0;
inline constexpr std::int16_t kDunk = 1;
inline constexpr std::int16_t kJumpShot = 3;

// FNV-1a, 64 bits, over every field but lastBlitResult in declaration order, each as its two
// bytes little-endian: the identity of a game's state across builds, machines and front ends.
std::uint64_t StateHash(const GameState& state);

}  // namespace tandemhoop
