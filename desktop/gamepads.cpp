#include "desktop/gamepads.h"

#include <SDL.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleHints>
#include <algorithm>
#include <cstdio>

#include "desktop/court_window.h"
#include "desktop/selection_screen.h"
#include "game/game.h"
#include "game/keys.h"

namespace tandemhoop {

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK;

// Each side's keys, in the order of the played controls: left, up, right, down, action.
constexpr int kSideCodes[2][5] = {
    {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kKeyM},
    {keys::kKeyF, keys::kKeyT, keys::kKeyH, keys::kKeyV, keys::kKeyA},
};

Gamepads::Duration SteadyClock() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

}  // namespace

Gamepads::Gamepads(GamepadTarget& target, Clock clock)
    : target_(target), clock_(clock ? std::move(clock) : Clock(SteadyClock)) {
  if (QGuiApplication::instance() != nullptr) {
    const int rate = QGuiApplication::styleHints()->keyboardAutoRepeatRate();
    SetRepeat(kRepeatDelay, rate);
  }
  idle_.setInterval(static_cast<int>(kIdlePollPeriod.count()));
  QObject::connect(&idle_, &QTimer::timeout, [this] {
    if (!ticking_ || !ticking_()) Poll();
  });
}

Gamepads::~Gamepads() {
  idle_.stop();
  if (!started_) return;
  for (Pad& pad : pads_) {
    if (pad.used && pad.controller != nullptr) SDL_GameControllerClose(pad.controller);
  }
  SDL_QuitSubSystem(kSubsystems);
}

bool Gamepads::Start() {
  if (started_) return true;
  // SDL must leave Ctrl+C and the desktop's signals to the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // There is no SDL window to have the focus; the pads are read while the game runs.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(kSubsystems) != 0) {
    std::fprintf(stderr, "Tandemhoop: no gamepads (%s)\n", SDL_GetError());
    return false;
  }
  started_ = true;
  return true;
}

void Gamepads::PollWhileIdle(std::function<bool()> ticking) {
  ticking_ = std::move(ticking);
  idle_.start();
}

void Gamepads::SetRepeat(Duration delay, int rate) {
  delay_ = delay;
  interval_ = std::chrono::nanoseconds(1'000'000'000LL / (rate > 0 ? rate : 30));
}

void Gamepads::Poll() {
  if (!started_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0)
    Handle(&event);
  const Duration now = clock_();
  const GamepadTarget::Route route = target_.CurrentRoute();
  for (int index = 0; index < kMaxPads; ++index) {
    if (!pads_[index].used) continue;
    if (route == GamepadTarget::Route::Game) Reconcile(index);
    Repeat(index, route, now);
    Forget(index);
  }
}

void Gamepads::Handle(const void* raw) {
  const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Added(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Removed(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      Pad* pad = Find(event.cbutton.which);
      if (pad == nullptr) break;
      const int index = static_cast<int>(pad - pads_.data());
      const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
      switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: {
          static constexpr int kDpadSlot[] = {1, 3, 0, 2};  // SDL's order: up, down, left, right
          pad->dpad[kDpadSlot[event.cbutton.button - SDL_CONTROLLER_BUTTON_DPAD_UP]] = down;
          UpdateDirections(index);
          break;
        }
        case SDL_CONTROLLER_BUTTON_A:
          Set(index, kAction, down);
          break;
        case SDL_CONTROLLER_BUTTON_B:
          Set(index, kCancel, down);
          break;
        case SDL_CONTROLLER_BUTTON_START:  // Options on some pads
          Set(index, kStart, down);
          break;
        case SDL_CONTROLLER_BUTTON_BACK:  // Share or Create on some pads
          Set(index, kBack, down);
          break;
        default:
          break;
      }
      break;
    }
    case SDL_CONTROLLERAXISMOTION: {
      Pad* pad = Find(event.caxis.which);
      if (pad == nullptr) break;
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        pad->stickX = event.caxis.value;
      } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        pad->stickY = event.caxis.value;
      } else {
        break;
      }
      UpdateDirections(static_cast<int>(pad - pads_.data()));
      break;
    }
    default:
      break;
  }
}

void Gamepads::Added(int deviceIndex) {
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (instance < 0 || Find(instance) != nullptr) return;
  int free = -1;
  bool slotTaken[2] = {false, false};
  for (int index = 0; index < kMaxPads; ++index) {
    const Pad& pad = pads_[index];
    if (!pad.used && free < 0) free = index;
    if (pad.used && !pad.gone && pad.slot >= 0) slotTaken[pad.slot] = true;
  }
  if (free < 0) return;
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return;
  Pad& pad = pads_[free];
  pad = Pad{};
  pad.used = true;
  pad.controller = controller;
  pad.instance = instance;
  pad.order = nextOrder_++;
  pad.slot = !slotTaken[0] ? 0 : !slotTaken[1] ? 1 : -1;
  const char* name = SDL_GameControllerName(controller);
  pad.name = name != nullptr ? QString::fromUtf8(name) : QStringLiteral("Gamepad");
}

void Gamepads::Removed(std::int32_t instance) {
  Pad* pad = Find(instance);
  if (pad == nullptr) return;
  const int freedSlot = pad->slot;
  SDL_GameControllerClose(pad->controller);
  pad->controller = nullptr;
  pad->gone = true;
  pad->slot = -1;
  // Whatever it held goes up: the key-ups reach the game as soon as it takes keys.
  pad->dpad = {};
  pad->stickX = pad->stickY = 0;
  const int index = static_cast<int>(pad - pads_.data());
  for (int control = 0; control < kControlCount; ++control)
    pad->down[control] = false;
  if (target_.CurrentRoute() == GamepadTarget::Route::Game) Reconcile(index);
  // A pad that found both sides taken takes the one freed, the longest waiting first.
  if (freedSlot < 0) return;
  Pad* waiting = nullptr;
  for (Pad& other : pads_) {
    if (other.used && !other.gone && other.slot < 0 &&
        (waiting == nullptr || other.order < waiting->order))
      waiting = &other;
  }
  if (waiting != nullptr) waiting->slot = freedSlot;
}

Gamepads::Pad* Gamepads::Find(std::int32_t instance) {
  for (Pad& pad : pads_) {
    if (pad.used && !pad.gone && pad.instance == instance) return &pad;
  }
  return nullptr;
}

void Gamepads::UpdateDirections(int index) {
  Pad& pad = pads_[index];
  const bool left = pad.dpad[0] || pad.stickX < -kDeadZone;
  const bool up = pad.dpad[1] || pad.stickY < -kDeadZone;
  const bool right = pad.dpad[2] || pad.stickX > kDeadZone;
  const bool down = pad.dpad[3] || pad.stickY > kDeadZone;
  Set(index, kLeftControl, left);
  Set(index, kUpControl, up);
  Set(index, kRightControl, right);
  Set(index, kDownControl, down);
}

void Gamepads::Set(int index, Control control, bool down) {
  Pad& pad = pads_[index];
  if (pad.down[control] == down) return;
  pad.down[control] = down;
  if (down) pad.nextRepeat[control] = clock_() + delay_;
  using Route = GamepadTarget::Route;
  switch (target_.CurrentRoute()) {
    case Route::Game:
      if (control < kPlayedControls) {
        Reconcile(index);
      } else if (down && control == kStart) {
        target_.Stroke(13);
      } else if (down && control == kBack) {
        target_.Stroke(27);
      }
      break;
    case Route::Selection:
      if (!down) break;
      if (control < kAction) {
        target_.MoveFocus(static_cast<GamepadTarget::Direction>(control));
      } else if (control == kAction || control == kStart) {
        target_.Activate();
      } else if (control == kBack) {
        target_.Stroke(27);
      }
      break;
    case Route::MessageBox:
      if (!down) break;
      if (control == kAction || control == kStart) {
        target_.AnswerBox(true);
      } else if (control == kBack || control == kCancel) {
        target_.AnswerBox(false);
      }
      break;
    case Route::Nothing:
      break;
  }
}

int Gamepads::Side(const Pad& pad) {
  if (pad.gone || pad.slot < 0) return -1;
  if (!target_.AgainstComputer()) return pad.slot;
  for (const Pad& other : pads_) {
    if (other.used && !other.gone && other.slot >= 0 && other.order < pad.order) return -1;
  }
  return 0;
}

void Gamepads::Reconcile(int index) {
  const int side = Side(pads_[index]);
  for (int control = 0; control < kPlayedControls; ++control) {
    // Read afresh each time: a key handler never opens a box, but the pad may be forgotten.
    Pad& pad = pads_[index];
    const int wanted = pad.down[control] && side >= 0 ? kSideCodes[side][control] : 0;
    const int held = pad.delivered[control];
    if (held == wanted) continue;
    pad.delivered[control] = wanted;
    if (held != 0) target_.KeyUp(held);
    if (wanted != 0) {
      // A press that waited behind a box (or a side that changed) is new to the game: it
      // repeats after the delay from now, as a key pressed now would.
      pad.nextRepeat[control] = std::max(pad.nextRepeat[control], clock_() + delay_);
      target_.KeyDown(wanted);
    }
  }
}

void Gamepads::Repeat(int index, GamepadTarget::Route route, Duration now) {
  for (int control = 0; control < kPlayedControls; ++control) {
    Pad& pad = pads_[index];
    if (!pad.down[control] || now < pad.nextRepeat[control]) continue;
    // One repeat for all that came due; the next is on the same grid, after now.
    while (pad.nextRepeat[control] <= now)
      pad.nextRepeat[control] += interval_;
    if (route == GamepadTarget::Route::Game && pad.delivered[control] != 0) {
      target_.KeyDown(pad.delivered[control]);
    } else if (route == GamepadTarget::Route::Selection && control < kAction) {
      target_.MoveFocus(static_cast<GamepadTarget::Direction>(control));
    }
  }
}

void Gamepads::Forget(int index) {
  Pad& pad = pads_[index];
  if (!pad.gone) return;
  for (int code : pad.delivered) {
    if (code != 0) return;
  }
  pad = Pad{};
}

QString Gamepads::NameOnSide(int side) {
  for (const Pad& pad : pads_) {
    if (pad.used && Side(pad) == side) return pad.name;
  }
  return {};
}

int Gamepads::ConnectedCount() const {
  int count = 0;
  for (const Pad& pad : pads_)
    count += pad.used && !pad.gone ? 1 : 0;
  return count;
}

DesktopGamepadTarget::DesktopGamepadTarget(Game& game, SelectionScreen* selection)
    : game_(game), selection_(selection) {}

GamepadTarget::Route DesktopGamepadTarget::CurrentRoute() {
  if (game_.Ended() && sink_ == nullptr) return Route::Nothing;
  QWidget* modal = QApplication::activeModalWidget();
  if (qobject_cast<QMessageBox*>(modal) != nullptr) return Route::MessageBox;
  if (modal != nullptr || QApplication::activePopupWidget() != nullptr) return Route::Nothing;
  if (selection_ != nullptr && selection_->isVisible()) return Route::Selection;
  return Route::Game;
}

bool DesktopGamepadTarget::AgainstComputer() {
  // Online, as against the computer, one pad plays: the local player's.
  if (sink_ != nullptr) return true;
  return game_.state.playClock > 0 && game_.state.twoPlayerMode == kFalse;
}

// A pad's keys are inputs like the keyboard's: through the recorder when the game is recorded.
void DesktopGamepadTarget::Down(int code) {
  if (recorder_ != nullptr) {
    recorder_->KeyDown(code, 0);
  } else {
    game_.Form_KeyDown(code, 0);
  }
}

void DesktopGamepadTarget::Up(int code) {
  if (recorder_ != nullptr) {
    recorder_->KeyUp(code, 0);
  } else {
    game_.Form_KeyUp(code, 0);
  }
}

void DesktopGamepadTarget::Press(int character) {
  if (recorder_ != nullptr) {
    recorder_->KeyPress(character);
  } else {
    game_.Form_KeyPress(character);
  }
}

void DesktopGamepadTarget::KeyDown(int code) {
  if (sink_ != nullptr) {
    sink_->KeyDown(code);
    return;
  }
  Down(code);
  // The letter keys type their letter, which starts and resumes the game like any character.
  if (code >= 'A' && code <= 'Z') Press(code - 'A' + 'a');
}

void DesktopGamepadTarget::KeyUp(int code) {
  if (sink_ != nullptr) {
    sink_->KeyUp(code);
    return;
  }
  Up(code);
}

void DesktopGamepadTarget::Stroke(int code) {
  if (sink_ != nullptr) {
    sink_->KeyPress(code);
    return;
  }
  Down(code);
  Press(code);
  Up(code);
}

void DesktopGamepadTarget::MoveFocus(Direction direction) {
  if (selection_ == nullptr) return;
  static constexpr int kSteps[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  const auto step = kSteps[static_cast<int>(direction)];
  // The focus is drawn only in the active window: a pad player may have clicked the court.
  if (!selection_->isActiveWindow()) selection_->activateWindow();
  selection_->MoveFocus(step[0], step[1]);
}

void DesktopGamepadTarget::Activate() {
  if (selection_ == nullptr) return;
  if (!selection_->isActiveWindow()) selection_->activateWindow();
  selection_->ActivateFocus();
}

void DesktopGamepadTarget::AnswerBox(bool defaultAnswer) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr) return;
  QAbstractButton* answer = nullptr;
  if (defaultAnswer) {
    answer = box->defaultButton();
    if (answer == nullptr) answer = box->button(QMessageBox::Ok);
  } else {
    answer = box->button(QMessageBox::No);
  }
  if (answer != nullptr) answer->click();
}

}  // namespace tandemhoop
