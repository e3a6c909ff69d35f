#pragma once

#include <SDL.h>

namespace tandemhoop::testing {

// A gamepad plugged in by SDL itself, with no hardware: SDL recognises it as a standard game
// controller, so its buttons and axes are numbered as SDL's game controller ones are.
class VirtualPad {
 public:
  VirtualPad() {
    const int index = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index >= 0) joystick_ = SDL_JoystickOpen(index);
    if (joystick_ != nullptr) instance_ = SDL_JoystickInstanceID(joystick_);
  }
  ~VirtualPad() { Unplug(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  bool plugged() const { return joystick_ != nullptr; }

  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(joystick_, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void Axis(SDL_GameControllerAxis axis, int value) {
    SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
  }
  void Unplug() {
    if (joystick_ == nullptr) return;
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == instance_) {
        SDL_JoystickDetachVirtual(index);
        break;
      }
    }
  }

 private:
  SDL_Joystick* joystick_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

}  // namespace tandemhoop::testing
