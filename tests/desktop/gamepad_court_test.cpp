#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <memory>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/gamepads.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "game/game.h"
#include "game/replay.h"
#include "tests/desktop/virtual_pad.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using std::chrono::nanoseconds;

// The real windows and the game's own art, wired as main() wires them, on a made-up clock:
// one gamepad plays the whole way from the title to a basket.
class GamepadCourt : public ::testing::Test {
 protected:
  GamepadCourt() {
    platform.SetSelectionScreen(&selection);
    recorder.Attach(game, selection.rules());
    target.SetRecorder(&recorder);
    platform.SetTickHandler([this] {
      pads.Poll();
      recorder.Tick();
    });
    court.SetGame(&game);
    court.SetHeldRunner([this](const std::function<void()>& body) { platform.RunHeld(body); });
  }
  void SetUp() override {
    ASSERT_TRUE(pads.Start());
    pads.PollWhileIdle([this] { return platform.TimerEnabled() && !platform.scheduler().Held(); });
    game.Form_Load();
    court.show();
    pad = std::make_unique<testing::VirtualPad>();
    ASSERT_TRUE(pad->plugged());
    pads.Poll();
  }
  void TearDown() override { pad.reset(); }

  // Time moves on by one tick's worth, and the timer wakes up.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      now += TickScheduler::kTickPeriod;
      platform.ServiceTimer();
    }
  }
  // A press and a release, each seen by the poll before a tick.
  void Press(SDL_GameControllerButton button) {
    pad->Button(button, true);
    Tick();
    pad->Button(button, false);
    Tick();
  }
  QString Focused() { return selection.focusWidget()->objectName(); }

  nanoseconds now{5'000'000'000};
  testing::RepeatingRandom random{0.5};
  PictureHolders pictures;
  CourtWindow court;
  DesktopPlatform platform{court, pictures, [this] { return now; }};
  Recorder recorder{platform};
  Game game{recorder, random};
  SelectionScreen selection{game.state, pictures, &court};
  DesktopGamepadTarget target{game, &selection};
  Gamepads pads{target, [this] { return now; }};
  std::unique_ptr<testing::VirtualPad> pad;
};

TEST_F(GamepadCourt, FromTheTitleThroughTheSelectionScreenToABasket) {
  const GameState& s = game.state;
  // Start on the title starts the game; the first tick brings up the selection screen.
  pad->Button(SDL_CONTROLLER_BUTTON_START, true);
  pads.Poll();
  ASSERT_TRUE(platform.TimerEnabled());
  pad->Button(SDL_CONTROLLER_BUTTON_START, false);
  Tick();
  ASSERT_TRUE(selection.isVisible());
  ASSERT_EQ(Focused(), "Picture34");

  Press(SDL_CONTROLLER_BUTTON_A);  // Tobin Hask for Player 1
  EXPECT_EQ(s.p1Pick, 2);
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(Focused(), "Picture26");
  Press(SDL_CONTROLLER_BUTTON_A);  // Oskel Varrin for Player 2
  EXPECT_EQ(s.p2Pick, 1);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  EXPECT_EQ(Focused(), "Command4");
  Press(SDL_CONTROLLER_BUTTON_A);  // "2 Players"
  ASSERT_FALSE(selection.isVisible());
  ASSERT_EQ(s.twoPlayerMode, kTrue);
  ASSERT_GT(s.playClock, 0);

  // The stick walks Player 1 up to the basket, and A dunks.
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
  Tick(16);
  EXPECT_EQ(s.p1Y, 160);
  EXPECT_EQ(s.p1HasBall, kTrue);
  pad->Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
  pad->Button(SDL_CONTROLLER_BUTTON_A, true);
  Tick(6);
  EXPECT_EQ(s.p1ShotStyle, kDunk);
  pad->Button(SDL_CONTROLLER_BUTTON_A, false);
  for (int tick = 0; tick < 40 && s.p1Score == 0; ++tick)
    Tick();
  EXPECT_EQ(s.p1Score, 1);
  EXPECT_EQ(s.p2HasBall, kTrue);

  // Back asks the quit question; B on the pad answers No, and the game stays frozen until
  // Start resumes it.
  QTimer::singleShot(50, [this] { pad->Button(SDL_CONTROLLER_BUTTON_B, true); });
  bool asked = false;
  QTimer::singleShot(
      20, [&] { asked = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
  pad->Button(SDL_CONTROLLER_BUTTON_BACK, true);
  const std::int16_t clock = s.playClock;
  Tick();
  EXPECT_TRUE(asked);
  // No tick after No froze the game (playing it back, such a tick would be a divergence).
  EXPECT_EQ(s.playClock, clock);
  EXPECT_FALSE(game.Ended());
  EXPECT_FALSE(platform.TimerEnabled());
  pad->Button(SDL_CONTROLLER_BUTTON_BACK, false);
  pad->Button(SDL_CONTROLLER_BUTTON_B, false);
  pads.Poll();
  EXPECT_FALSE(platform.TimerEnabled());
  pad->Button(SDL_CONTROLLER_BUTTON_START, true);
  pads.Poll();
  EXPECT_TRUE(platform.TimerEnabled());
}

}  // namespace
}  // namespace tandemhoop
