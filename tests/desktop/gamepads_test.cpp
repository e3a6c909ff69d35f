#include "desktop/gamepads.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "desktop/controls_dialog.h"
#include "game/game.h"
#include "tests/desktop/virtual_pad.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using namespace std::chrono_literals;
using testing::VirtualPad;
using Route = GamepadTarget::Route;

// Writes down what the pads asked for, in order.
class RecordingTarget : public GamepadTarget {
 public:
  Route route = Route::Game;
  bool againstComputer = false;
  std::vector<std::string> log;

  Route CurrentRoute() override { return route; }
  bool AgainstComputer() override { return againstComputer; }
  void KeyDown(int code) override { log.push_back("down " + std::to_string(code)); }
  void KeyUp(int code) override { log.push_back("up " + std::to_string(code)); }
  void Stroke(int code) override { log.push_back("stroke " + std::to_string(code)); }
  void MoveFocus(Direction direction) override {
    log.push_back("move " + std::string(1, "LURD"[static_cast<int>(direction)]));
  }
  void Activate() override { log.push_back("activate"); }
  void AnswerBox(bool defaultAnswer) override {
    log.push_back(defaultAnswer ? "answer default" : "answer no");
  }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

class GamepadsTest : public ::testing::Test {
 protected:
  GamepadsTest() {
    pads.SetRepeat(500ms, 25);  // a repeat every 40 ms after half a second
  }
  void SetUp() override { ASSERT_TRUE(pads.Start()); }
  void Poll() { pads.Poll(); }
  std::unique_ptr<VirtualPad> Plug() {
    auto pad = std::make_unique<VirtualPad>();
    EXPECT_TRUE(pad->plugged());
    Poll();
    return pad;
  }

  Gamepads::Duration now{1h};
  RecordingTarget target;
  Gamepads pads{target, [this] { return now; }};
};

TEST_F(GamepadsTest, TheFirstPadPlaysPlayer1TheSecondPlayer2AndAFreedSideGoesToTheNext) {
  auto first = Plug();
  auto second = Plug();
  EXPECT_EQ(pads.ConnectedCount(), 2);
  EXPECT_FALSE(pads.NameOnSide(0).isEmpty());
  EXPECT_FALSE(pads.NameOnSide(1).isEmpty());

  first->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  Poll();
  second->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 37", "down 70"}));

  // The second pad keeps Player 2 when the first goes; the next pad plugged in is Player 1.
  first->Unplug();
  Poll();
  EXPECT_EQ(target.Take(), (Log{"up 37"}));
  EXPECT_TRUE(pads.NameOnSide(0).isEmpty());
  auto third = Plug();
  third->Button(SDL_CONTROLLER_BUTTON_A, true);
  Poll();
  second->Button(SDL_CONTROLLER_BUTTON_A, true);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77", "down 65"}));

  // Against the computer only the first pad connected plays, as Player 1: the second pad lets
  // go of Player 2's keys, and the third, now the first, takes Player 1's.
  third->Button(SDL_CONTROLLER_BUTTON_A, false);
  Poll();
  target.Take();
  target.againstComputer = true;
  Poll();
  Log changed = target.Take();
  std::sort(changed.begin(), changed.end());
  EXPECT_EQ(changed, (Log{"down 37", "down 77", "up 65", "up 70"}));
  EXPECT_EQ(pads.NameOnSide(1), QString());
}

TEST_F(GamepadsTest, DpadAndLeftStickMoveAndTheStickHasADeadZone) {
  auto pad = Plug();
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, -Gamepads::kDeadZone);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, Gamepads::kDeadZone);
  Poll();
  EXPECT_EQ(target.Take(), Log{}) << "a lean inside the dead zone moved";

  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, -Gamepads::kDeadZone - 1);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 37", "down 40"}));
  // Wobbling further out changes nothing; the d-pad on the same direction holds it down until
  // both have let go.
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
  Poll();
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  Poll();
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
  Poll();
  EXPECT_EQ(target.Take(), Log{});
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  Poll();
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  Poll();
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  Poll();
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"up 37", "up 40", "down 38", "down 39"}));
}

TEST_F(GamepadsTest, AHeldButtonRepeatsAtTheDelayAndRate) {
  auto pad = Plug();
  pad->Button(SDL_CONTROLLER_BUTTON_A, true);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77"}));
  now += 499ms;
  Poll();
  EXPECT_EQ(target.Take(), Log{});
  now += 1ms;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77"}));
  now += 39ms;
  Poll();
  EXPECT_EQ(target.Take(), Log{});
  now += 1ms;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77"}));
  // A slow tick that several repeats fell into gets one: only a tick changes what it does.
  now += 130ms;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77"}));
  // The grid goes on from where it was: the next repeat is 500 + 5 x 40 ms after the press.
  now += 29ms;
  Poll();
  EXPECT_EQ(target.Take(), Log{});
  now += 1ms;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 77"}));
  pad->Button(SDL_CONTROLLER_BUTTON_A, false);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"up 77"}));
  now += 1s;
  Poll();
  EXPECT_EQ(target.Take(), Log{});
}

TEST_F(GamepadsTest, StartBackAndTheButtonsGoWhereTheGameIs) {
  auto pad = Plug();
  auto press = [&](SDL_GameControllerButton button) {
    pad->Button(button, true);
    Poll();
    pad->Button(button, false);
    Poll();
  };
  press(SDL_CONTROLLER_BUTTON_START);
  press(SDL_CONTROLLER_BUTTON_BACK);
  press(SDL_CONTROLLER_BUTTON_B);  // nothing in play
  EXPECT_EQ(target.Take(), (Log{"stroke 13", "stroke 27"}));

  target.route = Route::Selection;
  press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  press(SDL_CONTROLLER_BUTTON_A);
  press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(target.Take(), (Log{"move D", "activate", "activate"}));
  // A held direction keeps moving, like a held arrow key.
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  Poll();
  now += 500ms;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"move R", "move R"}));
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
  Poll();

  target.route = Route::MessageBox;
  press(SDL_CONTROLLER_BUTTON_A);
  press(SDL_CONTROLLER_BUTTON_B);
  press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  EXPECT_EQ(target.Take(), (Log{"answer default", "answer no"}));

  // Behind our own dialog nothing goes anywhere.
  target.route = Route::Nothing;
  press(SDL_CONTROLLER_BUTTON_START);
  EXPECT_EQ(target.Take(), Log{});
}

TEST_F(GamepadsTest, UnpluggedWhileHeldItsKeysGoUpEvenWhenABoxWasOpen) {
  auto pad = Plug();
  pad->Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  Poll();
  pad->Button(SDL_CONTROLLER_BUTTON_A, true);
  Poll();
  EXPECT_EQ(target.Take(), (Log{"down 38", "down 77"}));
  // A foul box opens; the pad is pulled out while it is open, so the game hears of it after.
  target.route = Route::MessageBox;
  pad->Unplug();
  Poll();
  EXPECT_EQ(target.Take(), Log{});
  target.route = Route::Game;
  Poll();
  EXPECT_EQ(target.Take(), (Log{"up 38", "up 77"}));
  EXPECT_EQ(pads.ConnectedCount(), 0);
  now += 2s;
  Poll();
  EXPECT_EQ(target.Take(), Log{});
}

TEST_F(GamepadsTest, TheControlsDialogShowsWhichPadPlaysWhichSide) {
  KeyBindings keys;
  ControlsDialog dialog(keys, &pads, nullptr);
  EXPECT_EQ(dialog.PadLabel(0)->text(), "keyboard only");
  auto pad = Plug();
  dialog.RefreshPads();
  EXPECT_EQ(dialog.PadLabel(0)->text(), "Virtual Controller");
  EXPECT_EQ(dialog.PadLabel(1)->text(), "keyboard only");
  target.againstComputer = true;
  dialog.RefreshPads();
  EXPECT_EQ(dialog.PadLabel(1)->text(), "the computer");
}

// The pad in front of the real key handlers: holding A with the ball right after a restart
// does nothing until the first repeat after the play clock has passed 10.
TEST_F(GamepadsTest, AShotStartsAtTheFirstRepeatAfterThePlayClockPasses10) {
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game(platform, random);
  game.state.p1HasBall = kTrue;
  game.state.playClock = 5;
  DesktopGamepadTarget real(game, nullptr);
  Gamepads gamepads(real, [this] { return now; });
  gamepads.SetRepeat(500ms, 25);
  ASSERT_TRUE(gamepads.Start());
  VirtualPad pad;
  gamepads.Poll();

  pad.Button(SDL_CONTROLLER_BUTTON_A, true);
  gamepads.Poll();
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  EXPECT_TRUE(platform.timerEnabled) << "A types Player 1's letter, which starts the game";
  game.state.playClock = 11;
  now += 400ms;
  gamepads.Poll();
  EXPECT_EQ(game.state.p1Shooting, kFalse) << "a shot started before the button repeated";
  now += 100ms;
  gamepads.Poll();
  EXPECT_EQ(game.state.p1Shooting, kTrue);
  pad.Button(SDL_CONTROLLER_BUTTON_A, false);
  gamepads.Poll();
  EXPECT_EQ(game.state.p1Shooting, kFalse);
}

}  // namespace
}  // namespace tandemhoop
