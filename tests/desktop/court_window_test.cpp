#include "desktop/court_window.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>

#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// The real court window in front of the real game, with the platform faked: what a key does
// shows in the game's flags and in what the game asked of the platform.
class CourtWindowKeys : public ::testing::Test {
 protected:
  CourtWindowKeys() { court.SetGame(&game); }

  void Send(QEvent::Type type, int key, const QString& text, bool autoRepeat,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers, text, autoRepeat);
    QCoreApplication::sendEvent(&court, &event);
  }
  void Press(int key, const QString& text = {}, bool autoRepeat = false) {
    Send(QEvent::KeyPress, key, text, autoRepeat);
  }
  void Release(int key, const QString& text = {}, bool autoRepeat = false) {
    Send(QEvent::KeyRelease, key, text, autoRepeat);
  }
  // One real key stroke, down and up.
  void Stroke(int key, const QString& text = {}) {
    Press(key, text);
    Release(key, text);
  }

  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game{platform, random};
  CourtWindow court;
};

TEST(VirtualKeyCodes, ArrowsLettersDigitsAndTheNamedKeys) {
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Left), 37);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Up), 38);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Right), 39);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Down), 40);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Escape), 27);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Return), 13);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Enter), 13);  // the keypad's Enter too
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Space), 32);
  for (int letter = 'A'; letter <= 'Z'; ++letter)
    EXPECT_EQ(VirtualKeyCode(Qt::Key_A + letter - 'A'), letter);
  for (int digit = '0'; digit <= '9'; ++digit)
    EXPECT_EQ(VirtualKeyCode(Qt::Key_0 + digit - '0'), digit);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_F1), 0);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Shift), 0);
  EXPECT_EQ(VirtualKeyCode(Qt::Key_Adiaeresis), 0);
}

TEST_F(CourtWindowKeys, EveryMovementKeyRaisesItsFlagUntilItGoesUp) {
  struct Row {
    int key;
    QString text;
    std::int16_t GameState::*flag;
  };
  const Row rows[] = {
      {Qt::Key_Left, {}, &GameState::p1KeyLeft},   {Qt::Key_Up, {}, &GameState::p1KeyUp},
      {Qt::Key_Right, {}, &GameState::p1KeyRight}, {Qt::Key_Down, {}, &GameState::p1KeyDown},
      {Qt::Key_F, "f", &GameState::p2KeyLeft},     {Qt::Key_T, "t", &GameState::p2KeyUp},
      {Qt::Key_H, "H", &GameState::p2KeyRight},    {Qt::Key_V, "v", &GameState::p2KeyDown},
  };
  for (const Row& row : rows) {
    Press(row.key, row.text);
    EXPECT_EQ(game.state.*row.flag, kTrue) << "key " << row.key;
    Release(row.key, row.text);
    EXPECT_EQ(game.state.*row.flag, kFalse) << "key " << row.key;
  }
}

TEST_F(CourtWindowKeys, OnlyKeysThatTypeACharacterReachTheCharacterHandler) {
  // The first character key starts the timer; the arrows and F1 type nothing.
  for (int key : {int(Qt::Key_Left), int(Qt::Key_Up), int(Qt::Key_Right), int(Qt::Key_Down),
                  int(Qt::Key_F1), int(Qt::Key_Shift)}) {
    Stroke(key);
  }
  // Delete types nothing on the game's home desktop; Qt gives it a control character.
  Stroke(Qt::Key_Delete, QStringLiteral("\x7f"));
  EXPECT_FALSE(platform.timerEnabled);

  struct CharacterKey {
    int key;
    QString text;
  };
  for (const CharacterKey& c : {CharacterKey{Qt::Key_Return, "\r"},
                                CharacterKey{Qt::Key_Space, " "}, CharacterKey{Qt::Key_5, "5"},
                                CharacterKey{Qt::Key_Tab, "\t"}, CharacterKey{Qt::Key_M, "m"}}) {
    platform.timerEnabled = false;
    Stroke(c.key, c.text);
    EXPECT_TRUE(platform.timerEnabled) << "key " << c.key;
  }
}

TEST_F(CourtWindowKeys, EscAsksTheQuitQuestionAndNoLeavesTheGameFrozen) {
  Stroke(Qt::Key_Return, "\r");
  ASSERT_TRUE(platform.timerEnabled);
  platform.answers = {false};
  Stroke(Qt::Key_Escape, "\x1b");
  ASSERT_EQ(platform.questions.size(), 1u);
  EXPECT_EQ(platform.questions[0], "     Ayawan Na?");
  EXPECT_FALSE(platform.timerEnabled);
  EXPECT_FALSE(game.Ended());
}

TEST_F(CourtWindowKeys, AHeldKeyRepeatsBothHandlersButNeverLetsGo) {
  // X11 sends a repeated release before every repeated press while a key is held.
  Press(Qt::Key_Left);
  for (int i = 0; i < 3; ++i) {
    Release(Qt::Key_Left, {}, true);
    EXPECT_EQ(game.state.p1KeyLeft, kTrue) << "a repeated release let go of the key";
    Press(Qt::Key_Left, {}, true);
  }
  Release(Qt::Key_Left);
  EXPECT_EQ(game.state.p1KeyLeft, kFalse);

  // M held with the ball right after a restart: nothing until a repeat arrives after the tenth
  // tick, and the shot is not cut by the repeated releases.
  game.state.p1HasBall = kTrue;
  game.state.playClock = 5;
  Press(Qt::Key_M, "m");
  EXPECT_EQ(game.state.p1Shooting, kFalse);
  game.state.playClock = 11;
  Release(Qt::Key_M, "m", true);
  Press(Qt::Key_M, "m", true);
  EXPECT_EQ(game.state.p1Shooting, kTrue);
  Release(Qt::Key_M, "m", true);
  EXPECT_EQ(game.state.p1Shooting, kTrue);
  Release(Qt::Key_M, "m");
  EXPECT_EQ(game.state.p1Shooting, kFalse);

  // A held Esc types Esc again with every repeat, and each one asks.
  Press(Qt::Key_Escape, "\x1b");
  Press(Qt::Key_Escape, "\x1b", true);
  EXPECT_EQ(platform.questions.size(), 2u);
}

TEST_F(CourtWindowKeys, LetterKeysKeepTheirCodesUnderEveryLayout) {
  // Keycodes of the F, V and A keys, and what Cyrillic, Greek and French layouts put on them.
  const auto key = [](QEvent::Type type, int qtKey, quint32 scanCode, const QString& text) {
    return QKeyEvent(type, qtKey, Qt::NoModifier, scanCode, 0, 0, text);
  };
  QKeyEvent cyrillicF = key(QEvent::KeyPress, 0x0410, 41, QStringLiteral("\u0430"));
  EXPECT_EQ(VirtualKeyCode(cyrillicF), 'F');
  EXPECT_EQ(VirtualKeyCode(key(QEvent::KeyPress, 0x03A9, 55, QStringLiteral("\u03c9"))), 'V');
  // AZERTY: the key in the place of Q is A, and stays A.
  EXPECT_EQ(VirtualKeyCode(key(QEvent::KeyPress, Qt::Key_A, 24, QStringLiteral("a"))), 'A');
  EXPECT_EQ(VirtualKeyCode(key(QEvent::KeyPress, Qt::Key_Adiaeresis, 48, QStringLiteral("\u00e4"))),
            0);

  QCoreApplication::sendEvent(&court, &cyrillicF);
  EXPECT_EQ(game.state.p2KeyLeft, kTrue);
  QKeyEvent up = key(QEvent::KeyRelease, 0x0410, 41, QStringLiteral("\u0430"));
  QCoreApplication::sendEvent(&court, &up);
  EXPECT_EQ(game.state.p2KeyLeft, kFalse);
}

TEST_F(CourtWindowKeys, KeysLetGoElsewhereAreLetGoForTheGame) {
  // Released while one of the game's own windows (a box, the selection screen) has the keyboard.
  QWidget box;
  Press(Qt::Key_V, QStringLiteral("v"));
  Press(Qt::Key_Left);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::NoModifier, QStringLiteral("v"));
  QCoreApplication::sendEvent(&box, &release);
  EXPECT_EQ(game.state.p2KeyDown, kFalse);
  EXPECT_EQ(game.state.p1KeyLeft, kTrue);
  // A key the game does not believe held is not let go twice.
  game.state.p2KeyDown = kTrue;
  QCoreApplication::sendEvent(&box, &release);
  EXPECT_EQ(game.state.p2KeyDown, kTrue);
  game.state.p2KeyDown = kFalse;

  // The keyboard went to another program: every key still held goes up, and no tick runs.
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QCoreApplication::sendEvent(&court, &away);
  EXPECT_EQ(game.state.p1KeyLeft, kFalse);
  EXPECT_TRUE(platform.copies.empty()) << "a tick ran";
}

TEST_F(CourtWindowKeys, ClosingTheWindowRunsTheCloseHandlerOnce) {
  int closes = 0;
  court.SetCloseHandler([&] { ++closes; });
  court.show();
  QCloseEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QCoreApplication::instance()->notify(&court, &event);
  EXPECT_TRUE(event.isAccepted());
  EXPECT_EQ(closes, 1);
}

TEST(CourtWindow, OriginalSizeCaptionAndAWhiteImageBeforeAnythingIsDrawn) {
  CourtWindow court;
  EXPECT_EQ(court.windowTitle(), "Tandemhoop");
  EXPECT_EQ(court.size(), QSize(727, 542));
  EXPECT_EQ(court.minimumSize(), QSize(727, 542));  // larger if the player wants
  ASSERT_EQ(court.surface().width, 727);
  ASSERT_EQ(court.surface().height, 542);
  ASSERT_EQ(court.surface().pixels.size(), 727u * 542u);
  for (std::uint32_t pixel : court.surface().pixels)
    ASSERT_EQ(pixel, 0x00FFFFFFu);
  // The Qt image is the surface itself, not a copy of it.
  EXPECT_EQ(court.image().constBits(),
            reinterpret_cast<const uchar*>(court.surface().pixels.data()));
}

TEST(CourtWindow, ShowsExactlyItsImageEveryTimeItIsPainted) {
  CourtWindow court;
  Surface& surface = court.surface();
  for (int y = 0; y < surface.height; ++y) {
    for (int x = 0; x < surface.width; ++x) {
      surface.pixels[static_cast<std::size_t>(y * surface.width + x)] =
          static_cast<std::uint32_t>((x * 3 % 256) << 16 | (y * 5 % 256) << 8 | ((x + y) % 256));
    }
  }
  court.show();
  for (int shown = 0; shown < 2; ++shown) {
    const QImage seen = court.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(seen.size(), QSize(727, 542));
    for (int y = 0; y < surface.height; y += 7) {
      for (int x = 0; x < surface.width; x += 3) {
        ASSERT_EQ(seen.pixel(x, y) & 0xFFFFFFu,
                  surface.pixels[static_cast<std::size_t>(y * surface.width + x)])
            << x << "," << y << " after showing " << shown + 1 << " times";
      }
    }
    // Hidden and shown again, as when the window is covered and uncovered.
    court.hide();
    court.show();
  }
}

}  // namespace
}  // namespace tandemhoop
