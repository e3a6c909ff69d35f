#pragma once

#include <QString>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

struct _SDL_GameController;

namespace tandemhoop {

class Game;
class KeySink;
class Recorder;
class SelectionScreen;

// Where a gamepad's presses go at the moment, and what they do there.
class GamepadTarget {
 public:
  enum class Route : std::uint8_t {
    Game,        // the court window: a pad is its side's keys
    Selection,   // the selection screen: the d-pad moves the focus, the action button clicks
    MessageBox,  // a message box: the action button or Start answers it as Enter would
    Nothing,     // a menu or a dialog of ours is open
  };
  enum class Direction : std::uint8_t { Left, Up, Right, Down };

  virtual ~GamepadTarget() = default;
  virtual Route CurrentRoute() = 0;
  // Play has started against the computer: then only the first pad plays, as Player 1.
  virtual bool AgainstComputer() = 0;

  // Route::Game: a key of a side went down (or repeated) or up, by its virtual-key code. A key
  // that types a letter also types it, as the keyboard does.
  virtual void KeyDown(int code) = 0;
  virtual void KeyUp(int code) = 0;
  // One stroke of Enter (13) or Esc (27).
  virtual void Stroke(int code) = 0;
  // Route::Selection
  virtual void MoveFocus(Direction direction) = 0;
  virtual void Activate() = 0;
  // Route::MessageBox: the default answer (OK, or Yes), or No where the box has one.
  virtual void AnswerBox(bool defaultAnswer) = 0;
};

// Gamepads through SDL's game controller API (only its joystick and game controller parts: no
// SDL window). The first pad connected plays Player 1, the second Player 2; a pad keeps its side
// until it is unplugged, and the next pad connected takes the free side. Against the computer
// the first pad plays Player 1.
//
// The pads are read once per tick, just before the tick runs (the court window's keys arrive
// between ticks in the same way), and by a slow timer while no tick is coming: on the title, in
// a pause, behind a message box. Presses and releases are taken from SDL's events in the order
// they happened, so a tap shorter than a tick still goes down and up.
//
// A held direction or action button repeats its key-down like a held key: the rules wait for the
// next repeat after a restart (a shot starts only once the play clock has passed 10, a direction
// held through a foul takes effect again). Repeats are timed on the real clock at the desktop's
// keyboard delay and rate, and the poll delivers a repeat that has come due: two repeats between
// ticks would do no more than one, since only a tick changes what a key-down does.
class Gamepads {
 public:
  using Duration = std::chrono::nanoseconds;
  using Clock = std::function<Duration()>;

  // How far the left stick must lean before it counts as a direction, of 32767.
  static constexpr int kDeadZone = 8000;
  // The keyboard repeat delay of most desktops; Qt 6.4 does not tell the desktop's own.
  static constexpr std::chrono::milliseconds kRepeatDelay{500};
  static constexpr std::chrono::milliseconds kIdlePollPeriod{20};

  explicit Gamepads(GamepadTarget& target, Clock clock = {});
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // Starts SDL's game controller support; false (and no gamepads) if SDL cannot start.
  bool Start();
  // Polls by a timer whenever `ticking` says no tick is coming to do it.
  void PollWhileIdle(std::function<bool()> ticking);

  // The repeat of a held button: first after `delay`, then `rate` times a second.
  void SetRepeat(Duration delay, int rate);

  // Reads what happened on the pads since the last poll and hands it on.
  void Poll();

  // The name of the pad that plays a side (0 = Player 1, 1 = Player 2), empty if none.
  QString NameOnSide(int side);
  int ConnectedCount() const;
  bool AgainstComputer() { return target_.AgainstComputer(); }

 private:
  enum Control : std::uint8_t {
    kLeftControl,
    kUpControl,
    kRightControl,
    kDownControl,
    kAction,
    kStart,
    kBack,
    kCancel,
    kControlCount
  };
  static constexpr int kPlayedControls = kAction + 1;  // the ones that are a side's keys
  static constexpr int kMaxPads = 8;

  struct Pad {
    bool used = false;
    bool gone = false;  // unplugged; its keys are still held in the game until released
    _SDL_GameController* controller = nullptr;
    std::int32_t instance = -1;
    int slot = -1;  // 0 or 1: the side it plays in two-player mode; -1: none free
    std::uint64_t order = 0;
    QString name;
    std::array<bool, 4> dpad{};
    int stickX = 0;
    int stickY = 0;
    std::array<bool, kControlCount> down{};
    std::array<Duration, kControlCount> nextRepeat{};
    std::array<int, kPlayedControls> delivered{};  // the code the game holds down for it
  };

  void Handle(const void* event);
  void Added(int deviceIndex);
  void Removed(std::int32_t instance);
  Pad* Find(std::int32_t instance);
  void UpdateDirections(int index);
  void Set(int index, Control control, bool down);
  int Side(const Pad& pad);
  void Reconcile(int index);
  void Repeat(int index, GamepadTarget::Route route, Duration now);
  void Forget(int index);

  GamepadTarget& target_;
  Clock clock_;
  bool started_ = false;
  Duration delay_{kRepeatDelay};
  Duration interval_{std::chrono::milliseconds(1000 / 30)};
  std::array<Pad, kMaxPads> pads_{};
  std::uint64_t nextOrder_ = 1;
  QTimer idle_;
  std::function<bool()> ticking_;
};

// The target of the real game: the court window's handlers, the selection screen, the open box.
class DesktopGamepadTarget : public GamepadTarget {
 public:
  DesktopGamepadTarget(Game& game, SelectionScreen* selection);

  Route CurrentRoute() override;
  bool AgainstComputer() override;
  void KeyDown(int code) override;
  void KeyUp(int code) override;
  void Stroke(int code) override;
  void MoveFocus(Direction direction) override;
  void Activate() override;
  void AnswerBox(bool defaultAnswer) override;

  // Where the game is recorded, the pads' keys go through the recorder.
  void SetRecorder(Recorder* recorder) { recorder_ = recorder; }
  // While a sink is set (an online game), the pads' keys go to it: the first pad only, as the
  // local player's Player 1 keys.
  void SetKeySink(KeySink* sink) { sink_ = sink; }

 private:
  void Down(int code);
  void Up(int code);
  void Press(int character);

  Game& game_;
  SelectionScreen* selection_;
  Recorder* recorder_ = nullptr;
  KeySink* sink_ = nullptr;
};

}  // namespace tandemhoop
