#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>

#include "desktop/controls_dialog.h"
#include "desktop/court_window.h"
#include "desktop/key_bindings.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// Each test keeps the player's choices in a file of its own and leaves the keys as they were.
class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() {
    Settings::UseFileForTesting(dir.filePath(QStringLiteral("settings.ini")));
    KeyBindings::Current().RestoreDefaults();
  }
  ~ControlsTest() override {
    KeyBindings::Current().RestoreDefaults();
    Settings::UseFileForTesting({});
  }

  static void Key(QWidget* to, QEvent::Type type, int key, const QString& text = {}) {
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &event);
  }

  QTemporaryDir dir;
};

TEST_F(ControlsTest, TheDefaultsAreTheOriginalKeysAndTranslateToThemselves) {
  const KeyBindings keys;
  EXPECT_TRUE(keys.IsDefault());
  for (int qtKey : {int(Qt::Key_Left), int(Qt::Key_Up), int(Qt::Key_Right), int(Qt::Key_Down),
                    int(Qt::Key_M), int(Qt::Key_F), int(Qt::Key_T), int(Qt::Key_H), int(Qt::Key_V),
                    int(Qt::Key_A), int(Qt::Key_Q), int(Qt::Key_5), int(Qt::Key_Escape),
                    int(Qt::Key_Return), int(Qt::Key_Space), int(Qt::Key_F1)}) {
    const int code = VirtualKeyCode(qtKey);
    EXPECT_EQ(keys.Translate(KeyIdentity(qtKey, code), code), code) << qtKey;
  }
}

TEST_F(ControlsTest, AChosenKeyGivesTheOriginalCodeAndTheOriginalKeyGivesNothing) {
  KeyBindings keys;
  // Player 2 moves to the keypad-free keys IJKL and shoots with Home; Player 1 takes his F.
  EXPECT_EQ(keys.Choose(Action::Player2Left, Qt::Key_J), QString());
  EXPECT_EQ(keys.Choose(Action::Player2Action, Qt::Key_Home), QString());
  EXPECT_EQ(keys.Choose(Action::Player1Action, Qt::Key_F), QString());
  auto translate = [&](int qtKey) {
    return keys.Translate(KeyIdentity(qtKey, VirtualKeyCode(qtKey)), VirtualKeyCode(qtKey));
  };
  EXPECT_EQ(translate(Qt::Key_J), 70);
  EXPECT_EQ(translate(Qt::Key_Home), 65);
  EXPECT_EQ(translate(Qt::Key_F), 77);
  EXPECT_EQ(translate(Qt::Key_A), 0);
  EXPECT_EQ(translate(Qt::Key_M), 0);
  EXPECT_EQ(translate(Qt::Key_Left), 37);
  EXPECT_FALSE(keys.IsDefault());
  keys.RestoreDefaults();
  EXPECT_TRUE(keys.IsDefault());
  EXPECT_EQ(translate(Qt::Key_F), 70);
}

TEST_F(ControlsTest, KeysTheGameNeedsAndKeysInUseAreRefusedWithAWordWhy) {
  KeyBindings keys;
  for (int refused : {int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_F2),
                      int(Qt::Key_F11), int(Qt::Key_Control), int(Qt::Key_Shift)}) {
    EXPECT_FALSE(keys.Choose(Action::Player1Up, refused).isEmpty()) << refused;
  }
  const QString taken = keys.Choose(Action::Player1Up, Qt::Key_T);
  EXPECT_EQ(taken, QStringLiteral("T is already Player 2's Up key."));
  EXPECT_TRUE(keys.IsDefault());
  // Its own key again is no change and no refusal.
  EXPECT_EQ(keys.Choose(Action::Player2Up, Qt::Key_T), QString());
}

TEST_F(ControlsTest, TheChoiceIsKeptAndABrokenOrDoubledStoreMeansTheDefaults) {
  KeyBindings chosen;
  // A swap goes through two free keys on the way, and must load back as the swap it is.
  ASSERT_EQ(chosen.Choose(Action::Player1Left, Qt::Key_Z), QString());
  ASSERT_EQ(chosen.Choose(Action::Player2Left, Qt::Key_Left), QString());
  ASSERT_EQ(chosen.Choose(Action::Player1Left, Qt::Key_F), QString());
  chosen.Save();
  KeyBindings loaded;
  loaded.Load();
  for (int action = 0; action < kActionCount; ++action)
    EXPECT_EQ(loaded.Key(Action(action)), chosen.Key(Action(action))) << action;

  Settings::SetValue(QStringLiteral("controls/player2/up"), int(Qt::Key_F));  // F twice
  loaded.Load();
  EXPECT_TRUE(loaded.IsDefault());
  Settings::SetValue(QStringLiteral("controls/player2/up"), QStringLiteral("sideways"));
  loaded.Load();
  EXPECT_TRUE(loaded.IsDefault());
  Settings::SetValue(QStringLiteral("controls/player2/up"), int(Qt::Key_Escape));
  loaded.Load();
  EXPECT_TRUE(loaded.IsDefault());
}

TEST_F(ControlsTest, TheDialogRebindsRefusesRestoresAndKeepsTheChoice) {
  KeyBindings& keys = KeyBindings::Current();
  ControlsDialog dialog(keys, nullptr, nullptr);
  dialog.show();
  KeyCaptureButton* p1Action = dialog.KeyButton(Action::Player1Action);
  EXPECT_EQ(p1Action->text(), "M");
  EXPECT_EQ(dialog.PadLabel(0)->text(), "keyboard only");

  p1Action->click();
  EXPECT_TRUE(p1Action->Capturing());
  Key(p1Action, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_FALSE(p1Action->Capturing());
  EXPECT_EQ(p1Action->text(), "Space");
  EXPECT_EQ(keys.Key(Action::Player1Action), Qt::Key_Space);

  // Esc does not close the dialog while a key is awaited: it is refused, and says why.
  p1Action->click();
  Key(p1Action, QEvent::KeyPress, Qt::Key_Escape, QStringLiteral("\x1b"));
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.Message()->text().contains(QStringLiteral("Esc")))
      << dialog.Message()->text().toStdString();
  EXPECT_EQ(p1Action->text(), "Space");

  KeyCaptureButton* p2Left = dialog.KeyButton(Action::Player2Left);
  p2Left->click();
  Key(p2Left, QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
  EXPECT_EQ(dialog.Message()->text().toStdString(),
            "Not Space: Space is already Player 1's Shoot, block, steal key.");
  EXPECT_EQ(p2Left->text(), "F");

  KeyBindings stored;
  stored.Load();
  EXPECT_EQ(stored.Key(Action::Player1Action), Qt::Key_Space);

  dialog.RestoreButton()->click();
  EXPECT_EQ(p1Action->text(), "M");
  stored.Load();
  EXPECT_TRUE(stored.IsDefault());
}

TEST_F(ControlsTest, F11AndEnterAwaitedAsAKeyAreRefusedByTheirNames) {
  CourtWindow court;  // it switches full screen on F11 from any of the game's windows
  court.show();
  ControlsDialog dialog(KeyBindings::Current(), nullptr, &court);
  dialog.show();
  KeyCaptureButton* button = dialog.KeyButton(Action::Player1Action);
  button->click();
  Key(button, QEvent::KeyPress, Qt::Key_F11);
  EXPECT_FALSE(court.isFullScreen());
  EXPECT_EQ(dialog.Message()->text(), "Not F11: F11 switches full screen.");
  button->click();
  Key(button, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(dialog.Message()->text(), "Not Enter: Enter starts and resumes the game.");
  EXPECT_EQ(button->text(), "M");
  // Not waiting for a key, F11 is full screen again.
  Key(button, QEvent::KeyPress, Qt::Key_F11);
  EXPECT_TRUE(court.isFullScreen());
}

TEST_F(ControlsTest, TheCourtWindowHandsTheGameTheOriginalCodesOfTheChosenKeys) {
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game(platform, random);
  CourtWindow court;
  court.SetGame(&game);
  KeyBindings& keys = KeyBindings::Current();
  ASSERT_EQ(keys.Choose(Action::Player1Left, Qt::Key_J), QString());
  ASSERT_EQ(keys.Choose(Action::Player1Action, Qt::Key_PageDown), QString());

  Key(&court, QEvent::KeyPress, Qt::Key_Left);
  EXPECT_EQ(game.state.p1KeyLeft, kFalse);
  Key(&court, QEvent::KeyPress, Qt::Key_J, QStringLiteral("j"));
  EXPECT_EQ(game.state.p1KeyLeft, kTrue);
  EXPECT_TRUE(platform.timerEnabled) << "a chosen character key starts the game";
  Key(&court, QEvent::KeyRelease, Qt::Key_J, QStringLiteral("j"));
  EXPECT_EQ(game.state.p1KeyLeft, kFalse);

  // Under a Cyrillic layout the same key types another letter; it is still the key chosen.
  QKeyEvent cyrillic(QEvent::KeyPress, 0x43e, Qt::NoModifier, 44, 0, 0, QStringLiteral("\u043e"));
  QCoreApplication::sendEvent(&court, &cyrillic);
  EXPECT_EQ(game.state.p1KeyLeft, kTrue);
  Key(&court, QEvent::KeyRelease, Qt::Key_J, QStringLiteral("j"));

  game.state.p1HasBall = kTrue;
  game.state.playClock = 11;
  Key(&court, QEvent::KeyPress, Qt::Key_M, QStringLiteral("m"));
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  Key(&court, QEvent::KeyPress, Qt::Key_PageDown);
  EXPECT_EQ(game.state.p1Shooting, kTrue);
  Key(&court, QEvent::KeyRelease, Qt::Key_PageDown);
  EXPECT_EQ(game.state.p1Shooting, kFalse);
}

}  // namespace
}  // namespace tandemhoop
