#include "desktop/replay_desktop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <cstdio>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/sound_output.h"
#include "desktop/x11_session.h"
#include "game/game.h"
#include "game/mt_random.h"

namespace tandemhoop {

namespace {

const QString kSuffix = QStringLiteral(".tandemhoop-replay");
const QString kFilter = QStringLiteral("Replays (*.tandemhoop-replay);;All files (*)");
constexpr int kBoxMilliseconds = 1000;

QString FromStd(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Esc stops the replay; no other key reaches the game.
class StopOnEscape : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
      QCoreApplication::exit(0);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

// The folder the dialogs open in; one that is not there yet would be taken for a file name.
QString MadeReplayFolder() {
  const QString folder = ReplayFolder();
  QDir().mkpath(folder);
  return folder;
}

void SaveReplayAs(QWidget* parent, const Recorder& recorder) {
  QFileDialog dialog(parent, QStringLiteral("Save replay"), MadeReplayFolder(), kFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  // A name typed without an ending gets the replays' own, or "Open replay…" would not list it.
  dialog.setDefaultSuffix(kSuffix.mid(1));
  dialog.selectFile(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
                    kSuffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString error;
  if (!WriteReplayFile(dialog.selectedFiles().front(), recorder.Text(), &error)) {
    QMessageBox::warning(parent, QStringLiteral("Tandemhoop"),
                         QStringLiteral("The replay was not saved:\n%1").arg(error));
  }
}

void OpenReplay(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Open replay"), MadeReplayFolder(), kFilter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().front();
  Replay replay;
  std::string error;
  if (!LoadReplayFile(path.toStdString(), replay, error)) {
    QMessageBox::warning(parent, QStringLiteral("Tandemhoop"),
                         QStringLiteral("This replay cannot be played:\n%1").arg(FromStd(error)));
    return;
  }
  // The replay gets a window of its own; this game stays as it is, held, until it closes.
  QProcess viewer;
  viewer.setProcessChannelMode(QProcess::ForwardedChannels);
  QEventLoop wait;
  QObject::connect(&viewer, &QProcess::finished, &wait, &QEventLoop::quit);
  QObject::connect(&viewer, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
  viewer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--replay"), path});
  if (!viewer.waitForStarted(5000)) {
    QMessageBox::warning(parent, QStringLiteral("Tandemhoop"),
                         QStringLiteral("The replay window could not be started."));
    return;
  }
  if (parent != nullptr) parent->setEnabled(false);
  wait.exec();
  if (parent != nullptr) {
    parent->setEnabled(true);
    parent->activateWindow();
  }
}

}  // namespace

ReplayDriver::ReplayDriver(Player& player, DesktopPlatform& platform, int pauseMilliseconds)
    : player_(player), platform_(platform), pauseMilliseconds_(pauseMilliseconds) {
  pump_.setSingleShot(true);
  QObject::connect(&pump_, &QTimer::timeout, [this] { Pump(); });
}

void ReplayDriver::Start() {
  player_.Load();
  FollowSpeed();
  pump_.start(pauseMilliseconds_);
}

void ReplayDriver::Tick() {
  player_.Tick();
  Continue();
}

void ReplayDriver::Pump() {
  if (platform_.Ended()) return;
  if (player_.EventsDue()) {
    player_.DeliverDue();
  } else if (!platform_.TimerEnabled() && player_.TickDue()) {
    // The recording ticks on where this game's timer stopped: it has gone another way, which
    // the outcome reports; play on as recorded.
    player_.Tick();
  }
  Continue();
}

void ReplayDriver::FollowSpeed() {
  if (player_.speed() != platform_.speed()) platform_.SetSpeed(player_.speed());
}

void ReplayDriver::Continue() {
  if (platform_.Ended() || finished_) return;
  FollowSpeed();
  if (player_.Finished()) {
    finished_ = true;
    platform_.SetTimerEnabled(false);
    return;
  }
  if (!platform_.TimerEnabled()) pump_.start(pauseMilliseconds_);
}

void RecordSpeedChanges(DesktopPlatform& platform, Recorder& recorder) {
  recorder.SetSpeed(platform.speed());
  platform.SetSpeedListener([&recorder](Speed speed) { recorder.SetSpeed(speed); });
}

QString ReplayFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
         QStringLiteral("/replays");
}

bool WriteReplayFile(const QString& path, const std::string& text, QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    if (error != nullptr) *error = file.errorString();
    return false;
  }
  return true;
}

bool CanWriteReplayTo(const QString& path, QString* error) {
  const QFileInfo info(path);
  QString why;
  if (info.isDir()) {
    why = QStringLiteral("it is a folder");
  } else if (!info.absoluteDir().exists()) {
    why = QStringLiteral("there is no folder %1").arg(info.absolutePath());
  } else {
    // The replay is written beside the file and then put in its place, so what must work is
    // making a new file in that folder.
    QTemporaryFile probe(info.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!probe.open()) why = probe.errorString();
  }
  if (why.isEmpty()) return true;
  if (error != nullptr) *error = why;
  return false;
}

QString KeepReplay(const std::string& text, QString* error) {
  const QString folder = ReplayFolder();
  if (!QDir().mkpath(folder)) {
    if (error != nullptr) *error = QStringLiteral("cannot make the folder %1").arg(folder);
    return {};
  }
  const QString stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
  QString path = folder + QStringLiteral("/") + stamp + kSuffix;
  for (int n = 2; QFile::exists(path); ++n)
    path = folder + QStringLiteral("/%1-%2").arg(stamp).arg(n) + kSuffix;
  if (!WriteReplayFile(path, text, error)) return {};

  // Names are dates and times, so the newest sort last; only the game's own names are pruned.
  QDir dir(folder);
  QStringList kept;
  const QRegularExpression ours(
      QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(-\\d+)?") +
      QRegularExpression::escape(kSuffix) + QStringLiteral("$"));
  for (const QString& name :
       dir.entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name)) {
    if (ours.match(name).hasMatch()) kept.append(name);
  }
  while (kept.size() > kReplaysKept)
    dir.remove(kept.takeFirst());
  return path;
}

void AddReplayMenu(CourtWindow& court, const Recorder& recorder) {
  court.AddMenuEntries([&court, &recorder](QMenu& menu) {
    menu.addAction(QStringLiteral("Save replay as…"), &court,
                   [&court, &recorder] { SaveReplayAs(&court, recorder); });
    menu.addAction(QStringLiteral("Open replay…"), &court, [&court, &recorder] {
      // The game in play would wait behind the replay's window: not by a slip of the mouse.
      if (recorder.PlayStarted() &&
          QMessageBox::question(&court, QStringLiteral("Tandemhoop"),
                                QStringLiteral("Open a replay in the middle of this game?\nThe "
                                               "game waits until the replay's window is closed."),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) != QMessageBox::Yes) {
        return;
      }
      OpenReplay(&court);
    });
  });
}

int ShowReplay(const Replay& replay) {
  PictureHolders pictures;
  CourtWindow court;
  DesktopPlatform platform(court, pictures);
  Player player(platform, replay);
  player.SetShowBoxes(true);
  MtRandom random;
  Game game(player, random);
  SelectionScreen selection(game.state, pictures, &court);
  selection.SetClickRouter([](SelectionClick) {});  // the viewer's clicks change nothing
  platform.SetSelectionScreen(&selection);
  platform.SetBoxTimeout(kBoxMilliseconds);
  platform.SetPauseMarked(false);
  player.Attach(game, selection.rules());
  ReplayDriver driver(player, platform);
  platform.SetTickHandler([&driver] { driver.Tick(); });
  court.RestoreSettings();
  court.AddMenuEntries([&court](QMenu& menu) { court.FillDisplayMenu(menu); });
  // A replay is heard as the game was, with the player's own sound settings.
  SoundOutput sound;
  ConnectSound(sound, platform, court);
  court.SetCornerMark(QStringLiteral("REPLAY"));
  court.SetCloseHandler([] { QCoreApplication::exit(0); });
  CloseEvenBehindABox(court, [] { QCoreApplication::exit(0); });
  StopOnEscape stop;
  court.installEventFilter(&stop);
  selection.installEventFilter(&stop);

  driver.Start();
  pictures.Release(Holder::Form5);  // the title is drawn once, as in the game
  court.show();
  court.raise();
  court.activateWindow();
  platform.CentreOnceFramed();
  const int code = QCoreApplication::exec();
  platform.SetTimerEnabled(false);
  // Played to its end, the replay says whether it ended as recorded.
  if (player.Finished()) {
    if (player.Matches()) {
      std::fputs("replay verified\n", stdout);
    } else {
      std::fprintf(stdout, "replay did not play back as recorded: %s\n", player.Mismatch().c_str());
    }
  }
  return code;
}

}  // namespace tandemhoop
