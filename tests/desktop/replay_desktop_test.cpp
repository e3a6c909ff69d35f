#include "desktop/replay_desktop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QStandardPaths>

#include "desktop/court_window.h"
#include "game/game.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

// Keys reach the game through the recorder, so the replay holds exactly what the game got.
TEST(ReplayDesktop, TheCourtWindowsKeysAreRecordedOnTheirWayToTheGame) {
  testing::FakePlatform platform;
  Recorder recorder(platform);
  testing::RepeatingRandom random{0.5};
  Game game(recorder, random);
  struct : SelectionView {
    void SetText1(std::string_view) override {}
    void SetText2(std::string_view) override {}
    void HideScreen() override {}
  } view;
  PlayerSelection selection(game.state, view);
  recorder.Attach(game, selection);
  CourtWindow court;
  court.SetGame(&game);
  court.SetRecorder(&recorder);
  recorder.Load();

  const auto send = [&court](QEvent::Type type, int key, const QString& text, bool repeat) {
    QKeyEvent event(type, key, Qt::ShiftModifier, text, repeat);
    QCoreApplication::sendEvent(&court, &event);
  };
  send(QEvent::KeyPress, Qt::Key_Left, {}, false);
  send(QEvent::KeyPress, Qt::Key_M, QStringLiteral("M"), false);
  send(QEvent::KeyRelease, Qt::Key_M, QStringLiteral("M"), true);  // X11's repeat release
  send(QEvent::KeyPress, Qt::Key_M, QStringLiteral("M"), true);
  send(QEvent::KeyRelease, Qt::Key_Left, {}, false);
  EXPECT_EQ(game.state.p1KeyLeft, kFalse);
  EXPECT_TRUE(platform.timerEnabled);  // the character key started the game

  const std::string text = recorder.Text();
  EXPECT_NE(text.find("\n0 down 37 1\n0 down 77 1\n0 press 77\n0 down 77 1\n0 press 77\n"
                      "0 up 37 1\nend 0 "),
            std::string::npos)
      << text;
}

// The newest fifty of the game's own replays are kept; files of the player's are left alone.
TEST(ReplayDesktop, KeepsTheFiftyNewestReplays) {
  QStandardPaths::setTestModeEnabled(true);
  QDir(ReplayFolder()).removeRecursively();
  ASSERT_TRUE(QDir().mkpath(ReplayFolder()));
  const auto touch = [](const QString& name) {
    QFile file(ReplayFolder() + QStringLiteral("/") + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  };
  for (int day = 1; day <= 28; ++day) {
    for (int hour = 10; hour <= 11; ++hour)
      touch(QStringLiteral("2001-02-%1_%2-00-00.tandemhoop-replay")
                .arg(day, 2, 10, QChar('0'))
                .arg(hour));
  }
  touch(QStringLiteral("my best game.tandemhoop-replay"));

  QString error;
  const QString kept = KeepReplay("tandemhoop-replay 1\n", &error);
  ASSERT_FALSE(kept.isEmpty()) << error.toStdString();
  const QStringList left = QDir(ReplayFolder()).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(left.size(), kReplaysKept + 1);
  EXPECT_TRUE(left.contains(QFileInfo(kept).fileName()));
  EXPECT_TRUE(left.contains(QStringLiteral("my best game.tandemhoop-replay")));
  EXPECT_FALSE(left.contains(QStringLiteral("2001-02-04_10-00-00.tandemhoop-replay")));
  EXPECT_TRUE(left.contains(QStringLiteral("2001-02-04_11-00-00.tandemhoop-replay")));
  QDir(ReplayFolder()).removeRecursively();
}

}  // namespace
}  // namespace tandemhoop
