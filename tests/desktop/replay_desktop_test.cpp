#include "desktop/replay_desktop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "game/mt_random.h"
#include "tests/support/fake_platform.h"
#include "tests/support/random_player.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using std::chrono::nanoseconds;

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

// Classic, then Fast from the menu for two ticks, then Classic again: the replay window ticks at
// the speed each tick was played at.
TEST(ReplayDesktop, ASpeedChosenInTheMenuIsRecordedAndTheReplayIsShownAtIt) {
  QTemporaryDir settings;
  Settings::UseFileForTesting(settings.filePath(QStringLiteral("settings.ini")));
  PictureHolders pictures;
  nanoseconds now{1'000'000'000};
  const auto clock = [&now] { return now; };
  const auto tickOnce = [&now](DesktopPlatform& platform) {
    now += platform.scheduler().period();
    platform.ServiceTimer();
  };

  CourtWindow court;
  DesktopPlatform platform(court, pictures, clock);
  Recorder recorder(platform);
  MtRandom random;
  Game game(recorder, random);
  testing::FixedSelectionView view;
  PlayerSelection rules(game.state, view);
  recorder.Attach(game, rules);
  platform.SetTickHandler([&recorder] { recorder.Tick(); });
  RecordSpeedChanges(platform, recorder);
  const auto choose = [&platform](const char* caption) {
    QMenu menu;
    platform.FillSpeedMenu(menu);
    for (QAction* action : menu.actions().front()->menu()->actions()) {
      if (action->text().startsWith(QLatin1String(caption))) action->trigger();
    }
  };
  recorder.Load();
  recorder.KeyPress(13);
  for (int tick = 0; tick < 3; ++tick)
    tickOnce(platform);
  choose("Fast");
  for (int tick = 0; tick < 2; ++tick)
    tickOnce(platform);
  choose("Classic");
  for (int tick = 0; tick < 2; ++tick)
    tickOnce(platform);
  const std::string text = recorder.Text();
  EXPECT_NE(text.find("\nspeed classic\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n3 speed fast\n5 speed classic\nend 7 "), std::string::npos) << text;
  Settings::UseFileForTesting({});

  Replay replay;
  std::string error;
  ASSERT_TRUE(ReadReplay(text, replay, error)) << error;
  CourtWindow shownCourt;
  DesktopPlatform shown(shownCourt, pictures, clock);
  Player player(shown, replay);
  MtRandom shownRandom;
  Game shownGame(player, shownRandom);
  SelectionScreen selection(shownGame.state, pictures, &shownCourt);
  shown.SetSelectionScreen(&selection);
  player.Attach(shownGame, selection.rules());
  ReplayDriver driver(player, shown, 0);
  std::string speeds;
  shown.SetTickHandler([&] {
    speeds += shown.speed() == Speed::Fast ? 'F' : 'C';
    driver.Tick();
  });
  driver.Start();
  QCoreApplication::processEvents();  // the title's Enter, after its pause
  ASSERT_TRUE(shown.TimerEnabled());
  for (int guard = 0; guard < 20 && !driver.finished(); ++guard)
    tickOnce(shown);
  EXPECT_EQ(speeds, "CCCFFCC");
  EXPECT_TRUE(player.Matches()) << player.Mismatch();
  selection.hide();
}

TEST(ReplayDesktop, APlaceThatCannotTakeAReplayIsToldApart) {
  QTemporaryDir dir;
  QString why;
  EXPECT_TRUE(CanWriteReplayTo(dir.filePath(QStringLiteral("game.tandemhoop-replay")), &why));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList()) << "nothing left behind";
  for (const QString& refused : {QStringLiteral("/proc/x"), dir.path(),
                                 dir.filePath(QStringLiteral("missing/game.tandemhoop-replay"))}) {
    why.clear();
    EXPECT_FALSE(CanWriteReplayTo(refused, &why)) << refused.toStdString();
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(why.contains(QLatin1Char('\n')));
  }
}

// Hands every modal window that opens, once, to `handle`, from inside its own event loop.
class ModalHandler {
 public:
  explicit ModalHandler(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || modal->property("handled").toBool()) return;
      modal->setProperty("handled", true);
      handle_(modal);
    });
    poll_.start(5);
  }

 private:
  std::function<void(QWidget*)> handle_;
  QTimer poll_;
};

QAction* MenuEntry(CourtWindow& court, QMenu& menu, const QString& text) {
  court.FillMenu(menu);
  for (QAction* action : menu.actions()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

TEST(ReplayDesktop, TheReplayDialogsOpenInTheReplaysFolderAndOpeningMidGameAsksFirst) {
  QStandardPaths::setTestModeEnabled(true);
  QDir(ReplayFolder()).removeRecursively();
  testing::FakePlatform platform;
  platform.timerEnabled = true;
  Recorder recorder(platform);
  testing::RepeatingRandom random{0.5};
  Game game(recorder, random);
  testing::FixedSelectionView view;
  PlayerSelection selection(game.state, view);
  recorder.Attach(game, selection);
  CourtWindow court;
  AddReplayMenu(court, recorder);
  QMenu menu;
  QAction* save = MenuEntry(court, menu, QStringLiteral("Save replay as…"));
  QAction* open = MenuEntry(court, menu, QStringLiteral("Open replay…"));
  ASSERT_NE(save, nullptr);
  ASSERT_NE(open, nullptr);

  QString folder;
  QString question;
  bool fileDialog = false;
  QMessageBox::StandardButton answer = QMessageBox::No;
  const auto handle = [&](const QString& typed) {
    return [&, typed](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        question = box->text();
        box->button(answer)->click();
      } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        fileDialog = true;
        folder = dialog->directory().absolutePath();
        if (typed.isEmpty()) {
          dialog->reject();
        } else {
          dialog->selectFile(typed);
          static_cast<QDialog*>(dialog)->accept();  // as the Save button does
        }
      }
    };
  };
  {
    ModalHandler typeR1(handle(QStringLiteral("r1")));
    save->trigger();
  }
  EXPECT_EQ(folder, ReplayFolder()) << "made when missing, not typed in as a name";
  EXPECT_TRUE(QFile::exists(ReplayFolder() + QStringLiteral("/r1.tandemhoop-replay")));

  // Before play nothing is asked.
  QDir(ReplayFolder()).removeRecursively();
  folder.clear();
  {
    ModalHandler cancel(handle({}));
    open->trigger();
  }
  EXPECT_TRUE(question.isEmpty());
  EXPECT_EQ(folder, ReplayFolder());

  game.state.playClock = 2;
  recorder.Tick();
  ASSERT_TRUE(recorder.PlayStarted());
  for (const QMessageBox::StandardButton given : {QMessageBox::No, QMessageBox::Yes}) {
    answer = given;
    question.clear();
    fileDialog = false;
    ModalHandler cancel(handle({}));
    open->trigger();
    EXPECT_TRUE(question.contains(QStringLiteral("middle of this game"))) << question.toStdString();
    EXPECT_EQ(fileDialog, given == QMessageBox::Yes);
  }
  QDir(ReplayFolder()).removeRecursively();
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
