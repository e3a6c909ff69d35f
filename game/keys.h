#pragma once

namespace tandemhoop::keys {

// The virtual-key codes the court window's key handlers receive for the game's keys.
enum KeyCode : int {
  kLeft = 37,
  kUp = 38,
  kRight = 39,
  kDown = 40,
  kKeyA = 65,
  kKeyF = 70,
  kKeyH = 72,
  kKeyM = 77,
  kKeyT = 84,
  kKeyV = 86,
};

}  // namespace tandemhoop::keys
