#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "desktop/controls_dialog.h"
#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/gamepads.h"
#include "desktop/key_bindings.h"
#include "desktop/level_menu.h"
#include "desktop/online_dialog.h"
#include "desktop/online_game.h"
#include "desktop/picture_holders.h"
#include "desktop/replay_desktop.h"
#include "desktop/selection_screen.h"
#include "desktop/sound_output.h"
#include "desktop/x11_session.h"
#include "game/game.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "net/room.h"

namespace {

// Qt gives up with a stack trace when it finds no display; say plainly what to do instead.
bool HasDisplay() {
#if defined(__linux__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__)
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
  return true;
#endif
}

constexpr const char* kUsage =
    "Usage: tandemhoop [OPTION]...\n"
    "A small half-court basketball game. Without options, the game.\n"
    "\n"
    "  --replay FILE           show a replay in the game's window (Esc stops it)\n"
    "  --replay FILE --verify  play a replay back with no window, as fast as it can, and check\n"
    "                          that it ends where it was recorded (exit 0 if so, 1 if not,\n"
    "                          2 if the file cannot be read)\n"
    "  --record FILE           also write the replay of this game to FILE\n"
    "  --server URL --host     play online: make a room on the room server at URL\n"
    "                          (ws://HOST:PORT/play, or HOST:PORT) and print its code as\n"
    "                          \"room CODE\" once it is there, for the other player\n"
    "  --server URL --join CODE\n"
    "                          play online: join the room of that code on the server at URL\n"
    "                          (or come back into it after this program was stopped)\n"
    "  --help                  show this help\n"
    "  --version               show the name and version\n"
    "\n"
    "Every game that is won or quit after play began is kept in the game's data folder,\n"
    "replays/ (the 50 newest), online games too. \"Play online…\" in the court's menu (right\n"
    "click) hosts or joins as well, and hosts on this computer for a friend on the network.\n";

struct Options {
  std::string replay;
  std::string record;
  std::string server;
  std::string join;
  bool host = false;
  bool verify = false;
  bool help = false;
  bool version = false;
};

// Fails with a one-line reason.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const auto value = [&](std::string& into, const char* what = "a file name") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        error = argument + " needs " + what;
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--verify") {
      options.verify = true;
    } else if (argument == "--replay") {
      if (!value(options.replay)) return false;
    } else if (argument == "--record") {
      if (!value(options.record)) return false;
    } else if (argument == "--server") {
      if (!value(options.server, "a server address")) return false;
    } else if (argument == "--join") {
      if (!value(options.join, "a room code")) return false;
    } else if (argument == "--host") {
      options.host = true;
    } else {
      error = "unknown option '" + argument + "'";
      return false;
    }
  }
  if (options.verify && options.replay.empty()) {
    error = "--verify needs --replay FILE";
    return false;
  }
  if (!options.record.empty() && !options.replay.empty()) {
    error = "--record is for a game played, not for a replay shown";
    return false;
  }
  const bool online = options.host || !options.join.empty();
  if (online && options.server.empty()) {
    error = std::string(options.host ? "--host" : "--join") + " needs --server URL";
    return false;
  }
  if (!options.server.empty() && !online) {
    error = "--server needs --host or --join CODE";
    return false;
  }
  if (options.host && !options.join.empty()) {
    error = "--host and --join do not go together: one makes a room, the other joins one";
    return false;
  }
  if (online && (!options.replay.empty() || !options.record.empty())) {
    error = "online play does not go with --replay or --record (its replay is kept anyway)";
    return false;
  }
  return true;
}

// The online request of the command line; fails with a one-line reason.
bool ReadOnlineRequest(const Options& options, tandemhoop::OnlineRequest& request,
                       std::string& error) {
  QString why;
  if (!tandemhoop::ReadServerAddress(QString::fromLocal8Bit(options.server.c_str()), request.server,
                                     &why)) {
    error = "--server: " + why.toStdString();
    return false;
  }
  request.host = options.host;
  if (!options.host && !tandemhoop::net::ParseRoomCode(options.join, request.code)) {
    error = "--join: not a room code: '" + options.join + "' (six characters of " +
            std::string(tandemhoop::net::kRoomCodeAlphabet) + ")";
    return false;
  }
  return true;
}

std::string ScoreLine(const char* label, std::int16_t score) {
  return std::string(label) + (score < 0 ? " -" : "  ") +
         std::to_string(score < 0 ? -score : score);
}

// No window and no display: the core alone, on a platform that draws nothing.
int Verify(const std::string& path) {
  tandemhoop::Replay replay;
  std::string error;
  if (!tandemhoop::LoadReplayFile(path, replay, error)) {
    std::fprintf(stderr, "tandemhoop: %s: %s\n", path.c_str(), error.c_str());
    return 2;
  }
  const tandemhoop::VerifyResult result = tandemhoop::VerifyReplay(replay);
  std::printf("%s\n%s\n", ScoreLine("PLAYER 1 -", result.p1Score).c_str(),
              ScoreLine("PLAYER 2 -", result.p2Score).c_str());
  if (result.matches) {
    std::printf("replay verified (%u ticks)\n", result.ticks);
    return 0;
  }
  std::string why = result.mismatch;
  if (replay.header.version != tandemhoop::GameVersion()) {
    why += "; it was recorded by version " + replay.header.version + " and this is version " +
           std::string(tandemhoop::GameVersion()) + ", whose rules may differ";
  }
  std::fprintf(stderr, "tandemhoop: %s: the replay does not play back as recorded: %s\n",
               path.c_str(), why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "tandemhoop: %s (see tandemhoop --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("tandemhoop %s\n", std::string(tandemhoop::GameVersion()).c_str());
    return 0;
  }
  if (options.verify) return Verify(options.replay);
  tandemhoop::OnlineRequest onlineRequest;
  const bool online = !options.server.empty();
  if (online && !ReadOnlineRequest(options, onlineRequest, error)) {
    std::fprintf(stderr, "tandemhoop: %s (see tandemhoop --help)\n", error.c_str());
    return 2;
  }
  if (!options.record.empty()) {
    QString why;
    if (!tandemhoop::CanWriteReplayTo(QString::fromLocal8Bit(options.record.c_str()), &why)) {
      std::fprintf(stderr, "tandemhoop: cannot record to %s: %s\n", options.record.c_str(),
                   why.toLocal8Bit().constData());
      return 2;
    }
  }

  tandemhoop::Replay replay;
  if (!options.replay.empty() && !tandemhoop::LoadReplayFile(options.replay, replay, error)) {
    std::fprintf(stderr, "tandemhoop: %s: %s\n", options.replay.c_str(), error.c_str());
    return 2;
  }

  if (!HasDisplay()) {
    std::fputs(
        "Tandemhoop needs a graphical display, and this session has none (DISPLAY, "
        "WAYLAND_DISPLAY and QT_QPA_PLATFORM are all unset). Start it from a desktop session, "
        "or give it a virtual X display with xvfb-run, for example: xvfb-run -a build/tandemhoop\n",
        stderr);
    return 1;
  }
  QString reason;
  if (!tandemhoop::XDisplayAnswers(&reason)) {
    std::fprintf(stderr,
                 "Tandemhoop could not open its window: %s. Start it from a desktop session, or "
                 "give it a virtual X display with xvfb-run, for example: xvfb-run -a "
                 "tandemhoop\n",
                 reason.toLocal8Bit().constData());
    return 1;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tandemhoop"));
  QGuiApplication::setDesktopFileName(QStringLiteral("net.tandemhoop.tandemhoop"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));

  if (!options.replay.empty()) return tandemhoop::ShowReplay(replay);

  tandemhoop::MtRandom random;
  tandemhoop::PictureHolders pictures;
  tandemhoop::CourtWindow court;
  tandemhoop::DesktopPlatform platform(court, pictures);
  // Every input goes through the recorder on its way to the game.
  tandemhoop::Recorder recorder(platform);
  tandemhoop::Game game(recorder, random);
  tandemhoop::SelectionScreen selection(game.state, pictures, &court);
  recorder.Attach(game, selection.rules());
  selection.SetClickRouter(
      [&recorder](tandemhoop::SelectionClick click) { recorder.Click(click); });
  platform.SetSelectionScreen(&selection);
  court.SetFrontWindow(&selection);
  selection.SetStillHeldCheck([&court](const QKeyEvent& key) { return court.StillHeld(key); });
  tandemhoop::KeyBindings::Current().Load();
  tandemhoop::DesktopGamepadTarget padTarget(game, &selection);
  padTarget.SetRecorder(&recorder);
  tandemhoop::Gamepads pads(padTarget);
  if (pads.Start()) {
    pads.PollWhileIdle(
        [&platform] { return platform.TimerEnabled() && !platform.scheduler().Held(); });
  }
  // The pads are read just before each tick, as the keys that came since have been.
  platform.SetTickHandler([&recorder, &pads] {
    pads.Poll();
    recorder.Tick();
  });
  court.SetGame(&game);
  court.SetRecorder(&recorder);
  court.SetHeldRunner([&platform](const std::function<void()>& body) { platform.RunHeld(body); });
  // Online play borrows the court window, the selection screen and the keys.
  tandemhoop::OnlineGame onlineGame(court, pictures, selection, platform, game);
  onlineGame.SetGamepadTarget(&padTarget);
  onlineGame.SetPadPoll([&pads] { pads.Poll(); });
  const auto quit = [&platform, &game, &recorder, &onlineGame] {
    // The other player is told, and the online game kept, before the program ends.
    onlineGame.Leave();
    platform.QuitFromDesktop(game, [&recorder] { recorder.KeyPress(27); });
  };
  court.SetCloseHandler(quit);
  tandemhoop::CloseEvenBehindABox(court, quit);

  // The player's choices from last time: speed, scaling, full screen, window size.
  platform.RestoreSpeed();
  tandemhoop::RecordSpeedChanges(platform, recorder);
  court.RestoreSettings();
  court.AddMenuEntries([&court, &onlineGame, &platform](QMenu& menu) {
    if (onlineGame.InGame()) {
      menu.addAction(QStringLiteral("Leave the online game"), &court,
                     [&onlineGame] { onlineGame.Leave(); });
    } else {
      menu.addAction(QStringLiteral("Play online…"), &court, [&court, &onlineGame, &platform] {
        tandemhoop::RunOnlineDialog(court, onlineGame, platform.speed());
      });
    }
  });
  court.AddMenuEntries([&court](QMenu& menu) { court.FillDisplayMenu(menu); });
  court.AddMenuEntries([&platform](QMenu& menu) { platform.FillSpeedMenu(menu); });
  tandemhoop::InstallComputerLevelMenu(court, game);
  tandemhoop::OfferEasierLevelAfterALoss(platform, game);
  tandemhoop::SoundOutput sound;
  tandemhoop::ConnectSound(sound, platform, court);
  onlineGame.SetSoundHandler([&sound](tandemhoop::Sound cue) { sound.Play(cue); });
  tandemhoop::AddReplayMenu(court, recorder);
  // A game won, or quit after play began, is kept.
  QString kept;
  const auto keep = [&recorder, &kept] {
    QString failure;
    kept = tandemhoop::KeepReplay(recorder.Text(), &failure);
    if (kept.isEmpty()) {
      std::fprintf(stderr, "tandemhoop: the replay of this game was not kept: %s\n",
                   failure.toLocal8Bit().constData());
    }
  };
  recorder.SetEndHandler([&recorder, &keep] {
    if (recorder.PlayStarted()) keep();
  });
  tandemhoop::AddControlsMenu(court, &pads);

  // The window is loaded hidden; what Form_Load draws is the first thing shown.
  recorder.Load();
  // The title is drawn once, into the court window's persistent image: its 1.2 MB picture is
  // not needed again.
  pictures.Release(tandemhoop::Holder::Form5);
  court.show();
  court.raise();
  court.activateWindow();
  // Centred by its outer size, which is known only once a window manager has framed it.
  platform.CentreOnceFramed();
  if (online) {
    // From the command line the program is the online game: it ends when that does.
    onlineGame.SetCommandLine(true);
    onlineRequest.speed = platform.speed();
    QTimer::singleShot(0, &court, [&court, &onlineGame, &onlineRequest] {
      if (!tandemhoop::RunOnlineDialog(court, onlineGame, onlineRequest.speed, &onlineRequest) &&
          !onlineGame.Active()) {
        QCoreApplication::exit(onlineGame.ExitCode());
      }
    });
  }
  const int code = app.exec();
  if (!options.record.empty()) {
    QString failure;
    if (!tandemhoop::WriteReplayFile(QString::fromLocal8Bit(options.record.c_str()),
                                     recorder.Text(), &failure)) {
      // The place was there at start-up; whatever became of it, the game is not lost.
      if (kept.isEmpty()) keep();
      std::fprintf(stderr, "tandemhoop: the replay was not written to %s: %s%s\n",
                   options.record.c_str(), failure.toLocal8Bit().constData(),
                   kept.isEmpty() ? "" : ("; it is kept as " + kept.toLocal8Bit()).constData());
      return code == 0 ? 1 : code;
    }
  }
  return code;
}
