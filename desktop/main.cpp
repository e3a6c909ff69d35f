#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <cstdio>
#include <cstdlib>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/level_menu.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/sound_output.h"
#include "desktop/x11_session.h"
#include "game/game.h"
#include "game/mt_random.h"

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

}  // namespace

int main(int argc, char** argv) {
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

  tandemhoop::MtRandom random;
  tandemhoop::PictureHolders pictures;
  tandemhoop::CourtWindow court;
  tandemhoop::DesktopPlatform platform(court, pictures);
  tandemhoop::Game game(platform, random);
  tandemhoop::SelectionScreen selection(game.state, pictures, &court);
  platform.SetSelectionScreen(&selection);
  platform.SetTickHandler([&game] { game.Timer1_Timer(); });
  court.SetGame(&game);
  court.SetHeldRunner([&platform](const std::function<void()>& body) { platform.RunHeld(body); });
  court.SetCloseHandler([&platform, &game] { platform.QuitFromDesktop(game); });
  tandemhoop::CloseEvenBehindABox(court, [&platform, &game] { platform.QuitFromDesktop(game); });

  // The player's choices from last time: speed, scaling, full screen, window size.
  platform.RestoreSpeed();
  court.RestoreSettings();
  court.AddMenuEntries([&court](QMenu& menu) { court.FillDisplayMenu(menu); });
  court.AddMenuEntries([&platform](QMenu& menu) { platform.FillSpeedMenu(menu); });
  tandemhoop::InstallComputerLevelMenu(court, game);
  tandemhoop::SoundOutput sound;
  tandemhoop::ConnectSound(sound, platform, court);

  // The window is loaded hidden; what Form_Load draws is the first thing shown.
  game.Form_Load();
  court.show();
  court.raise();
  court.activateWindow();
  // Centred by its outer size, which is known only once a window manager has framed it.
  platform.CentreOnceFramed();
  return app.exec();
}
