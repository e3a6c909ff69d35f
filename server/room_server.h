#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

#include "server/lobby.h"

// The room server on the network: WebSocket connections at /play and /play/CODE, plain HTTP for
// the web page's files on the same port, and the lobby behind them. It lives in the caller's
// event loop and owns nothing of the process (no signals, no output of its own), so the desktop
// game can run one to host a game on its LAN just as tandemhoop-server does.
namespace tandemhoop::server {

struct ServerOptions {
  QHostAddress bind = QHostAddress::LocalHost;
  quint16 port = 8064;  // 0: any free port (port() says which)
  QString siteDir;      // the web page's files; empty: no page is served
  // Reverse proxies in front of the server (nginx for TLS, or for several servers): a
  // connection from one of them is the player named by its X-Forwarded-For.
  QList<QHostAddress> proxies;
  int maxConnections = 10000;  // open at once, pages and play together
  LobbyOptions lobby;
  // Milliseconds on a clock that never goes back; empty: the system's monotonic clock. Tests
  // give one of their own to pass 30 s in no time.
  std::function<std::int64_t()> clockMs;
};

class RoomServer {
 public:
  using Log = std::function<void(const QString& line)>;

  // `log` is given one line for each thing that happens (a room made, a player dropped, ...).
  RoomServer(const ServerOptions& options, Log log);
  ~RoomServer();
  RoomServer(const RoomServer&) = delete;
  RoomServer& operator=(const RoomServer&) = delete;

  // Starts listening; false with the reason when the address cannot be had.
  bool Listen(QString& error);
  // Where it listens, once it does: what a friend on the LAN is told.
  QHostAddress address() const;
  quint16 port() const;
  // The addresses players reach it at, as ws://HOST:PORT/play: the one it listens on, or, bound
  // to every interface, one for each address this machine has on its networks (loopback last).
  QStringList PlayUrls() const;

  // Runs what is due: idle peers, rejoin deadlines, slow heads. A timer calls it twice a
  // second; tests with a clock of their own call it after moving the clock.
  void Sweep();
  // Tells every player the server stops (Refused ShuttingDown), closes every connection and
  // stops listening. Done once connections() is 0 (or after a short wait for slow peers).
  void Shutdown();
  int connections() const;
  LobbyCounts counts() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tandemhoop::server
