// tandemhoop-server as it is run: its options, its log, its clean stop on SIGTERM telling the
// players, and two of them behind Debian's nginx with each room routed by its address.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <vector>

#include "net/room.h"
#include "tests/server/scripted_client.h"

namespace tandemhoop::server::testing {
namespace {

TEST(ProgramTest, ListsItsOptionsAndStopsCleanlyOnSigtermTellingThePlayers) {
  Program help(TANDEMHOOP_SERVER_PROGRAM, {QStringLiteral("--help")});
  EXPECT_EQ(help.Finished(), 0);
  for (const char* option :
       {"--bind", "--port", "--data", "--max-rooms", "--site", "--proxy", "--version"})
    EXPECT_TRUE(help.output.contains(QLatin1String(option))) << option;
  QTemporaryDir data;
  Program noSite(TANDEMHOOP_SERVER_PROGRAM,
                 {QStringLiteral("--port=0"), QStringLiteral("--site"), data.path()});
  EXPECT_EQ(noSite.Finished(), 2);

  Program server(TANDEMHOOP_SERVER_PROGRAM, {QStringLiteral("--port"), QStringLiteral("0"),
                                             QStringLiteral("--data"), data.path()});
  const quint16 port = server.Port();
  ASSERT_NE(port, 0);
  Pair pair(port, QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1"));
  ASSERT_TRUE(pair.ok);
  EXPECT_FALSE(server.WaitForLine(QStringLiteral("(joined by 127\\.0\\.0\\.1)")).isEmpty());
  server.Signal(SIGTERM);
  EXPECT_EQ(pair.host.Until<net::Refused>()->reason, net::Refusal::ShuttingDown);
  EXPECT_EQ(pair.guest->Until<net::Refused>()->reason, net::Refusal::ShuttingDown);
  EXPECT_EQ(server.Finished(), 0);
  EXPECT_TRUE(server.output.contains(QStringLiteral("stopping (SIGTERM): telling 2 players\n")));
  EXPECT_TRUE(server.output.endsWith(QStringLiteral("stopped\n")));
}

// A browser loads a page's files six at a time, every answer on a connection of its own: as
// many connections close and open in one turn of the server's event loop, and the numbers of
// those that close come back for those that open.
TEST(ProgramTest, ServesThePageToManyConnectionsOpeningAndClosingAtOnce) {
  QTemporaryDir data;
  const QString site = data.path() + QStringLiteral("/site");
  ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("site")));
  QFile page(site + QStringLiteral("/index.html"));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<!doctype html><title>court</title>");
  page.close();
  QFile pack(site + QStringLiteral("/pack.bin"));
  ASSERT_TRUE(pack.open(QIODevice::WriteOnly));
  const QByteArray bytes(1 << 20, 'x');
  pack.write(bytes);
  pack.close();
  Program server(TANDEMHOOP_SERVER_PROGRAM, {QStringLiteral("--port=0"), QStringLiteral("--data"),
                                             data.path(), QStringLiteral("--site"), site});
  const quint16 port = server.Port();
  ASSERT_NE(port, 0);
  // Six at a time, each next one asked for as soon as one is answered, as a browser does.
  constexpr std::size_t kFiles = 60;
  constexpr std::size_t kAtOnce = 6;
  std::vector<std::unique_ptr<QTcpSocket>> sockets;
  std::vector<QByteArray> answers(kFiles);
  std::size_t done = 0;
  const auto ask = [&] {
    sockets.push_back(std::make_unique<QTcpSocket>());
    sockets.back()->connectToHost(QHostAddress::LocalHost, port);
    sockets.back()->write("GET /pack.bin HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  };
  for (std::size_t i = 0; i < kAtOnce; ++i)
    ask();
  EXPECT_TRUE(WaitFor(
      [&] {
        for (std::size_t i = done; i < sockets.size(); ++i)
          answers[i] += sockets[i]->readAll();
        while (done < sockets.size() &&
               sockets[done]->state() == QAbstractSocket::UnconnectedState) {
          answers[done] += sockets[done]->readAll();
          sockets[done++].reset();
          if (sockets.size() < kFiles) ask();
        }
        return done == kFiles;
      },
      30000))
      << done << " answered";
  for (std::size_t i = 0; i < done; ++i) {
    EXPECT_TRUE(answers[i].startsWith("HTTP/1.1 200 OK\r\n")) << "file " << i;
    EXPECT_TRUE(answers[i].endsWith(bytes)) << "file " << i;
  }
}

quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

// Two servers behind nginx, which picks the server of a room by hashing the address
// (/play/CODE): every room is made with a code its host chose, so its guest reaches the same
// server. The configuration is the README's, on loopback and without TLS.
TEST(ProgramTest, TwoServersBehindNginxEachRoomFoundWhereItWasMade) {
  const QString nginx = QStandardPaths::findExecutable(
      QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
  ASSERT_FALSE(nginx.isEmpty()) << "nginx is missing: scripts/install-deps installs it";
  QTemporaryDir dir;
  Program one(TANDEMHOOP_SERVER_PROGRAM,
              {QStringLiteral("--port=0"), QStringLiteral("--proxy=127.0.0.1"),
               QStringLiteral("--data=") + dir.path() + QStringLiteral("/one")});
  Program two(TANDEMHOOP_SERVER_PROGRAM,
              {QStringLiteral("--port=0"), QStringLiteral("--proxy=127.0.0.1"),
               QStringLiteral("--data=") + dir.path() + QStringLiteral("/two")});
  const quint16 portOne = one.Port();
  const quint16 portTwo = two.Port();
  ASSERT_TRUE(portOne != 0 && portTwo != 0);
  const quint16 front = FreePort();
  QFile config(dir.path() + QStringLiteral("/nginx.conf"));
  ASSERT_TRUE(config.open(QIODevice::WriteOnly));
  config.write(QStringLiteral(R"(error_log %1/error.log;
pid %1/nginx.pid;
events {}
http {
  access_log off;
  client_body_temp_path %1/body;
  proxy_temp_path %1/proxy;
  fastcgi_temp_path %1/fastcgi;
  uwsgi_temp_path %1/uwsgi;
  scgi_temp_path %1/scgi;
  upstream tandemhoop {
    hash $uri consistent;
    server 127.0.0.1:%2;
    server 127.0.0.1:%3;
  }
  map $http_upgrade $connection_upgrade {
    default upgrade;
    '' close;
  }
  server {
    listen 127.0.0.1:%4;
    location / {
      proxy_pass http://tandemhoop;
      proxy_http_version 1.1;
      proxy_set_header Upgrade $http_upgrade;
      proxy_set_header Connection $connection_upgrade;
      proxy_set_header X-Forwarded-For $remote_addr;
      proxy_read_timeout 60s;
    }
  }
}
)")
                   .arg(dir.path())
                   .arg(portOne)
                   .arg(portTwo)
                   .arg(front)
                   .toUtf8());
  config.close();
  Program proxy(nginx, {QStringLiteral("-p"), dir.path(), QStringLiteral("-c"), config.fileName(),
                        QStringLiteral("-g"), QStringLiteral("daemon off; master_process off;")});
  ASSERT_TRUE(WaitFor([front] {
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, front);
    return probe.waitForConnected(200);
  })) << proxy.output.toStdString();

  // Five rooms (each server allows one address ten tries a minute, and behind the proxy every
  // player here is 127.0.0.1): made and joined through the one front door.
  for (std::uint64_t i = 1; i <= 5; ++i) {
    const net::RoomCode code = net::MakeRoomCode(i * 0x9E3779B97F4A7C15ull);
    const QString path = PathOf(code);
    Client host(front, path);
    ASSERT_TRUE(host.Open());
    host.Send(CreateOf());
    EXPECT_EQ(host.Expect<net::RoomCreated>().code, code);
    Client guest(front, path);
    ASSERT_TRUE(guest.Open());
    guest.Send(JoinOf(code));
    EXPECT_EQ(guest.Expect<net::RoomJoined>().code, code) << "room " << i;
    guest.Expect<net::PeerJoined>();
    host.Send(net::Leave{});
    EXPECT_TRUE(guest.Until<net::Leave>());
  }
  const int made = static_cast<int>(one.output.count(QStringLiteral(": made by 127.0.0.1")) +
                                    two.output.count(QStringLiteral(": made by 127.0.0.1")));
  EXPECT_EQ(made, 5);
  std::printf("rooms made: %lld on the first server, %lld on the second\n",
              static_cast<long long>(one.output.count(QStringLiteral(": made by"))),
              static_cast<long long>(two.output.count(QStringLiteral(": made by"))));
  proxy.Signal(SIGQUIT);
  proxy.Finished();
}

}  // namespace
}  // namespace tandemhoop::server::testing
