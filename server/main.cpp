// tandemhoop-server: the room server for online play, as a program of its own. One line on
// standard output for each thing that happens, without timestamps: a service manager's journal
// adds its own.
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "game/replay.h"
#include "server/epoll_dispatcher.h"
#include "server/room_server.h"

namespace {

using tandemhoop::server::RoomServer;
using tandemhoop::server::ServerOptions;

// A signal only writes its number here; the event loop reads it and stops the server.
int signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const char byte = static_cast<char>(number);
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

void Say(const QString& line) {
  std::fputs(line.toLocal8Bit().constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Fail(const QString& message) {
  std::fprintf(stderr, "tandemhoop-server: %s\n", message.toLocal8Bit().constData());
  return 2;
}

// Where replays and reports go when --data is not given: the folder a systemd unit's
// StateDirectory= makes, or the user's own data folder.
QString DefaultDataDir() {
  const QString state = qEnvironmentVariable("STATE_DIRECTORY");
  if (!state.isEmpty()) return state.section(QLatin1Char(':'), 0, 0);
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/tandemhoop-server");
}

}  // namespace

int main(int argc, char* argv[]) {
  // Thousands of connections: the event loop hears only of the sockets that are ready.
  QCoreApplication::setEventDispatcher(new tandemhoop::server::EpollEventDispatcher);
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tandemhoop-server"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(
      tandemhoop::GameVersion().data(), static_cast<qsizetype>(tandemhoop::GameVersion().size())));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "The room server of Tandemhoop's online play: players meet in rooms by short codes over\n"
      "WebSocket (ws://HOST:PORT/play), and with --site the same port serves the web page."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption bind(QStringLiteral("bind"),
                                QStringLiteral("The address to listen on (default 127.0.0.1; "
                                               "0.0.0.0 or :: for every interface)."),
                                QStringLiteral("address"), QStringLiteral("127.0.0.1"));
  const QCommandLineOption port(QStringLiteral("port"),
                                QStringLiteral("The TCP port to listen on (default 8064)."),
                                QStringLiteral("port"), QStringLiteral("8064"));
  const QCommandLineOption data(
      QStringLiteral("data"),
      QStringLiteral("Where the replays of finished games and the reports of desyncs are "
                     "written (default $STATE_DIRECTORY, or ~/.local/share/tandemhoop-server)."),
      QStringLiteral("dir"));
  const QCommandLineOption maxRooms(QStringLiteral("max-rooms"),
                                    QStringLiteral("The most rooms open at once (default %1).")
                                        .arg(tandemhoop::net::RoomLimits{}.maxRooms),
                                    QStringLiteral("n"),
                                    QString::number(tandemhoop::net::RoomLimits{}.maxRooms));
  const QCommandLineOption site(
      QStringLiteral("site"),
      QStringLiteral("Serve the web page's files from this folder on the same port."),
      QStringLiteral("dir"));
  const QCommandLineOption proxy(
      QStringLiteral("proxy"),
      QStringLiteral("A reverse proxy in front of this server (repeatable): its connections "
                     "count as the player its X-Forwarded-For header names."),
      QStringLiteral("address"));
  parser.addOptions({bind, port, data, maxRooms, site, proxy});
  parser.process(app);
  if (!parser.positionalArguments().isEmpty())
    return Fail(QStringLiteral("unexpected argument %1 (see --help)")
                    .arg(parser.positionalArguments().first()));

  ServerOptions options;
  if (!options.bind.setAddress(parser.value(bind)))
    return Fail(QStringLiteral("--bind: not an address: %1").arg(parser.value(bind)));
  bool ok = false;
  const uint portNumber = parser.value(port).toUInt(&ok);
  if (!ok || portNumber > 65535)
    return Fail(QStringLiteral("--port: not a port: %1").arg(parser.value(port)));
  options.port = static_cast<quint16>(portNumber);
  options.lobby.limits.maxRooms = parser.value(maxRooms).toInt(&ok);
  if (!ok || options.lobby.limits.maxRooms < 1)
    return Fail(
        QStringLiteral("--max-rooms: not a number above 0: %1").arg(parser.value(maxRooms)));
  if (parser.isSet(site)) {
    options.siteDir = QDir(parser.value(site)).absolutePath();
    if (!QDir(options.siteDir).exists(QStringLiteral("index.html")))
      return Fail(QStringLiteral("--site: no index.html in %1").arg(options.siteDir));
  }
  for (const QString& address : parser.values(proxy)) {
    QHostAddress proxyAddress;
    if (!proxyAddress.setAddress(address))
      return Fail(QStringLiteral("--proxy: not an address: %1").arg(address));
    options.proxies.append(proxyAddress);
  }
  options.lobby.dataDir =
      QDir(parser.isSet(data) ? parser.value(data) : DefaultDataDir()).absolutePath();
  if (!QDir().mkpath(options.lobby.dataDir))
    return Fail(QStringLiteral("--data: cannot make %1").arg(options.lobby.dataDir));

  if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
    return Fail(QStringLiteral("no socket pair for the signals"));
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  // Two connections a game: a busy server needs more open files than a desktop program's
  // first limit, and may have as many as the system lets it.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
  }

  RoomServer server(options, Say);
  QString error;
  if (!server.Listen(error)) {
    std::fprintf(stderr, "tandemhoop-server: cannot listen on %s port %u: %s\n",
                 parser.value(bind).toLocal8Bit().constData(), portNumber,
                 error.toLocal8Bit().constData());
    return 1;
  }
  Say(QStringLiteral("tandemhoop-server %1 listening on %2%3; data in %4; up to %5 rooms")
          .arg(QCoreApplication::applicationVersion(), server.PlayUrls().join(QLatin1Char(' ')),
               options.siteDir.isEmpty() ? QString()
                                         : QStringLiteral(", the page from ") + options.siteDir,
               options.lobby.dataDir)
          .arg(options.lobby.limits.maxRooms));

  QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
  QTimer finish;
  QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
    char number = 0;
    if (read(signalPipe[0], &number, 1) != 1 || finish.isActive()) return;
    Say(QStringLiteral("stopping (%1): telling %2 players")
            .arg(number == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
            .arg(server.counts().peers));
    server.Shutdown();
    // Done once every connection has had its last word, and at most a few seconds on.
    finish.setInterval(20);
    const qint64 giveUp = QDateTime::currentMSecsSinceEpoch() + 3000;
    QObject::connect(&finish, &QTimer::timeout, &app, [&server, &app, giveUp] {
      if (server.connections() == 0 || QDateTime::currentMSecsSinceEpoch() >= giveUp) app.quit();
    });
    finish.start();
  });
  const int result = QCoreApplication::exec();
  Say(QStringLiteral("stopped"));
  return result;
}
