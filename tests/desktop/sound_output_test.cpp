#include "desktop/sound_output.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTemporaryDir>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/picture_holders.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// The sound wired into a real court window and platform, the game behind the window faked, and
// the settings in a file of the test's own. There is no sound server here: the output is silent.
class SoundControls : public ::testing::Test {
 protected:
  SoundControls() {
    Settings::UseFileForTesting(dir.filePath(QStringLiteral("settings.ini")));
    court.SetGame(&game);
  }
  ~SoundControls() override { Settings::UseFileForTesting({}); }

  void Key(QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(&court, &event);
  }

  QTemporaryDir dir;
  testing::FakePlatform fake;
  testing::RepeatingRandom random{0.5};
  Game game{fake, random};
  CourtWindow court;
  PictureHolders pictures;
  DesktopPlatform platform{court, pictures};
};

TEST_F(SoundControls, F2SwitchesTheSoundOnceAKeyStrokeNeverReachesTheGameAndIsRemembered) {
  {
    SoundOutput sound;
    ConnectSound(sound, platform, court);
    EXPECT_TRUE(sound.Enabled());  // on by default
    Key(QEvent::KeyPress, Qt::Key_F2);
    Key(QEvent::KeyPress, Qt::Key_F2, /*autoRepeat=*/true);  // held down: still one switch
    Key(QEvent::KeyRelease, Qt::Key_F2);
    EXPECT_FALSE(sound.Enabled());
    // F2 is no character: the game was neither started nor told of a key.
    EXPECT_FALSE(fake.timerEnabled);
    EXPECT_TRUE(fake.events.empty());
  }
  SoundOutput next;  // the next start of the game
  EXPECT_FALSE(next.Enabled());
  next.Toggle();
  EXPECT_TRUE(SoundOutput().Enabled());
}

TEST_F(SoundControls, TheMenuHasTheSwitchAndAVolumeThatIsRemembered) {
  SoundOutput sound;
  QMenu menu;
  sound.AddMenuEntries(menu);
  const QList<QAction*> entries = menu.actions();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_TRUE(entries[0]->text().startsWith(QStringLiteral("Sound")));
  EXPECT_TRUE(entries[0]->isCheckable() && entries[0]->isChecked());
  entries[0]->trigger();
  EXPECT_FALSE(sound.Enabled());

  QMenu* volume = entries[1]->menu();
  ASSERT_NE(volume, nullptr);
  QStringList levels;
  for (QAction* level : volume->actions())
    levels << level->text();
  EXPECT_EQ(levels, (QStringList{"25 %", "50 %", "75 %", "100 %"}));
  EXPECT_TRUE(volume->actions()[3]->isChecked());
  volume->actions()[1]->trigger();
  EXPECT_EQ(sound.Volume(), 50);
  EXPECT_TRUE(volume->actions()[1]->isChecked());
  EXPECT_FALSE(volume->actions()[3]->isChecked());
  EXPECT_EQ(SoundOutput().Volume(), 50);

  // A volume out of range in a hand-edited file is brought back into range.
  Settings::SetValue(QString::fromLatin1(SoundOutput::kVolumeKey), 400);
  EXPECT_EQ(SoundOutput().Volume(), 100);
}

}  // namespace
}  // namespace tandemhoop
