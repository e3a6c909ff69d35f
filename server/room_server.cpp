#include "server/room_server.h"

#include <QElapsedTimer>
#include <QHash>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>
#include <unordered_map>

#include "server/site.h"

namespace tandemhoop::server {

namespace {

// A request head must be all there this soon after connecting: a connection that trickles
// bytes holds a place for nothing.
constexpr std::int64_t kHeadMs = 5000;
// A page's files take this long at most to reach even a slow reader.
constexpr std::int64_t kAnswerMs = 120'000;
// A connection being closed whose other end does not finish the close is cut after this.
constexpr std::int64_t kClosingMs = 5000;
// A browser fetches a page's files six at a time, each on a connection of its own (every answer
// closes its connection), and a household behind one address may open the page in a few tabs at
// once: connections for the page have an allowance of their own beside the players'.
constexpr int kPageConnectionsPerAddress = 24;
// WebSocket messages larger than this are cut off by Qt itself; below it the lobby refuses
// what is over the protocol's own limit, saying why.
constexpr quint64 kMaxIncomingBytes = 4 * net::kMaxMessageBytes;

QString AddressText(const QHostAddress& address) {
  bool ipv4 = false;
  const quint32 v4 = address.toIPv4Address(&ipv4);
  return ipv4 ? QHostAddress(v4).toString() : address.toString();
}

QString PeerKey(const QHostAddress& address, quint16 port) {
  return AddressText(address) + QLatin1Char(' ') + QString::number(port);
}

// The room a WebSocket address names: /play (none yet) or /play/CODE. False for any other.
bool PlayPath(const QByteArray& path, std::optional<net::RoomCode>& code) {
  code.reset();
  if (path == "/play") return true;
  if (!path.startsWith("/play/") || path.size() != 6 + static_cast<qsizetype>(net::kRoomCodeLength))
    return false;
  // Read by index: the compiler cannot tell that an empty QByteArray never gets this far.
  net::RoomCode read{};
  const QByteArrayView tail = QByteArrayView(path).sliced(6);
  for (std::size_t i = 0; i < read.size(); ++i)
    read[i] = tail[static_cast<qsizetype>(i)];
  if (!net::IsRoomCode(read)) return false;
  code = read;
  return true;
}

}  // namespace

class RoomServer::Impl {
 public:
  class Link;

  Impl(const ServerOptions& options, Log log);
  ~Impl();

  std::int64_t Now() const { return options.clockMs ? options.clockMs() : clock.elapsed(); }
  void Accept();
  void ReadHead(QTcpSocket* socket);
  bool Count(QTcpSocket* socket, const QString& address);
  void AcceptWebSocket();
  void Sweep();
  int open() const { return static_cast<int>(connections.size() + upgrades.size() + links.size()); }

  ServerOptions options;
  Log log;
  QElapsedTimer clock;
  Lobby lobby;

  // Addresses and how many connections each has open, of any kind and for play; declared before
  // what holds a count.
  struct PerAddress {
    QHash<QString, int> open;
    void Uncount(const QString& address) {
      if (!address.isEmpty() && --open[address] <= 0) open.remove(address);
    }
  };
  PerAddress perAddress;
  PerAddress playersPerAddress;
  void Uncount(const QString& address) { perAddress.Uncount(address); }
  // Counts one more connection of `address` against `limit`; false (and logged once a minute)
  // when it already has that many.
  bool Take(PerAddress& counts, const QString& address, int limit);
  // Connections whose request has not been answered or handed on yet.
  struct Connection {
    QString counted;  // the address it counts against, empty when none yet
    std::int64_t since = 0;
    bool answered = false;  // a page is being sent
  };
  QHash<QTcpSocket*, Connection> connections;
  // Connections handed to the WebSocket server, by "address port", until it makes a WebSocket
  // of them or gives up on their handshake. Qt takes the TCP socket over and cuts every
  // connection to its signals: what is known of it is kept here meanwhile.
  struct Upgrade {
    QString address;
    std::optional<net::RoomCode> code;
    QString counted;
    QString player;  // the address it counts against as a player's
    std::int64_t since = 0;
  };
  QHash<QString, Upgrade> upgrades;
  std::unordered_map<QWebSocket*, std::unique_ptr<Link>> links;
  QSet<QString> told;  // addresses whose refused connections were logged this minute
  std::int64_t toldSince = 0;
  bool shuttingDown = false;

  QObject context;  // the receiver of every connection's signals
  QTcpServer tcp;
  QWebSocketServer webSockets{QStringLiteral("tandemhoop-server"), QWebSocketServer::NonSecureMode};
  QTimer sweepTimer;
};

class RoomServer::Impl::Link final : public PeerLink {
 public:
  Link(Impl& impl, QWebSocket* socket, QString counted, QString player)
      : impl_(impl), socket_(socket), counted_(std::move(counted)), player_(std::move(player)) {}
  ~Link() override {
    impl_.Uncount(counted_);
    impl_.playersPerAddress.Uncount(player_);
  }
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  void Send(std::span<const std::uint8_t> message) override {
    // Gone already, though the lobby has not heard yet (both players of a room may drop at once).
    if (closing_ || !socket_->isValid()) return;
    // Not copied here: the socket makes its own copy to frame before it returns.
    socket_->sendBinaryMessage(QByteArray::fromRawData(
        reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size())));
    // Out at once: left to the event loop, every message would cost a turn of it waiting to be
    // allowed to write, on every one of the server's sockets.
    socket_->flush();
  }
  void Close(bool brokeProtocol) override {
    if (closing_) return;
    closing_ = true;
    closingSince_ = impl_.Now();
    // A connection already gone at the other end has no close handshake to make.
    if (!socket_->isValid()) {
      socket_->abort();
      return;
    }
    socket_->close(brokeProtocol ? QWebSocketProtocol::CloseCodeProtocolError
                                 : QWebSocketProtocol::CloseCodeNormal);
  }
  std::size_t Backlog() const override { return static_cast<std::size_t>(socket_->bytesToWrite()); }
  void Ping() override {
    if (socket_->isValid()) socket_->ping();
  }

  bool StuckClosing(std::int64_t nowMs) const {
    return closing_ && nowMs - closingSince_ >= kClosingMs;
  }
  QWebSocket* socket() const { return socket_; }
  PeerId id = 0;

 private:
  Impl& impl_;
  QWebSocket* socket_;
  QString counted_;
  QString player_;
  bool closing_ = false;
  std::int64_t closingSince_ = 0;
};

RoomServer::Impl::Impl(const ServerOptions& options, Log log)
    : options(options), log(log), lobby(options.lobby, log, [](std::span<std::uint8_t> into) {
        // Tokens are the keys back into a room, and codes should not be foreseeable either.
        QRandomGenerator::system()->generate(into.begin(), into.end());
      }) {
  clock.start();
  webSockets.setHandshakeTimeout(static_cast<int>(kHeadMs));
  QObject::connect(&tcp, &QTcpServer::newConnection, &context, [this] { Accept(); });
  QObject::connect(&webSockets, &QWebSocketServer::newConnection, &context,
                   [this] { AcceptWebSocket(); });
  sweepTimer.setInterval(500);
  QObject::connect(&sweepTimer, &QTimer::timeout, &context, [this] { Sweep(); });
}

RoomServer::Impl::~Impl() {
  sweepTimer.stop();
  // No connection's signal may reach this half-destroyed server.
  for (auto& [socket, link] : links) {
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    socket->abort();
    delete socket;
  }
  links.clear();
  for (QTcpSocket* socket : connections.keys())
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
}

void RoomServer::Impl::Accept() {
  while (QTcpSocket* socket = tcp.nextPendingConnection()) {
    const QString address = AddressText(socket->peerAddress());
    // Every message is small and wanted at once: none waits for the one before to be taken.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connections.insert(socket, Connection{QString(), Now(), false});
    QObject::connect(socket, &QObject::destroyed, &tcp,
                     [this, socket] { Uncount(connections.take(socket).counted); });
    QObject::connect(socket, &QTcpSocket::disconnected, &context,
                     [socket] { socket->deleteLater(); });
    if (shuttingDown || open() > options.maxConnections) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    // Behind a proxy every connection comes from the proxy; who it is comes with the head.
    if (!options.proxies.contains(socket->peerAddress()) && !Count(socket, address)) continue;
    QObject::connect(socket, &QTcpSocket::readyRead, &context,
                     [this, socket] { ReadHead(socket); });
  }
}

bool RoomServer::Impl::Take(PerAddress& counts, const QString& address, int limit) {
  int& open = counts.open[address];
  if (open >= limit) {
    if (!told.contains(address)) {
      told.insert(address);
      log(QStringLiteral("refused %1: more than %2 connections at once").arg(address).arg(limit));
    }
    if (open == 0) counts.open.remove(address);
    return false;
  }
  ++open;
  return true;
}

// Any connection, before its head says what it is for.
bool RoomServer::Impl::Count(QTcpSocket* socket, const QString& address) {
  if (!Take(perAddress, address,
            options.lobby.limits.connectionsPerAddress + kPageConnectionsPerAddress)) {
    socket->abort();
    socket->deleteLater();
    return false;
  }
  connections[socket].counted = address;
  return true;
}

void RoomServer::Impl::ReadHead(QTcpSocket* socket) {
  const QByteArray seen = socket->peek(kMaxHeadBytes + 1);
  const qsizetype end = seen.indexOf("\r\n\r\n");
  const auto answer = [this, socket](const QByteArray& response) {
    connections[socket].answered = true;
    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    socket->readAll();
    socket->write(response);
    socket->disconnectFromHost();
  };
  if (end < 0) {
    if (seen.size() > kMaxHeadBytes)
      answer(TextResponse(431, "Request Header Fields Too Large", "Too large.\n"));
    return;
  }
  HttpRequest request;
  if (!ParseHead(QByteArrayView(seen).first(end + 2), request)) {
    answer(TextResponse(400, "Bad Request", "Bad request.\n"));
    return;
  }

  QString address = AddressText(socket->peerAddress());
  if (options.proxies.contains(socket->peerAddress())) {
    const QList<QByteArray> chain = request.Header("X-Forwarded-For").split(',');
    const QHostAddress player(QString::fromLatin1(chain.last().trimmed()));
    if (!player.isNull()) address = AddressText(player);
    if (!Count(socket, address)) return;
  }

  const QByteArray path = request.Path();
  std::optional<net::RoomCode> code;
  if (PlayPath(path, code)) {
    if (!request.Header("Upgrade").toLower().contains("websocket")) {
      answer(TextResponse(426, "Upgrade Required", "This address is for the game's WebSocket.\n",
                          "Upgrade: websocket\r\n"));
      return;
    }
    // The players' own limit: the page's allowance is not for play.
    if (!Take(playersPerAddress, address, options.lobby.limits.connectionsPerAddress)) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    const Connection connection = connections.take(socket);
    QObject::disconnect(socket, nullptr, nullptr, nullptr);
    upgrades.insert(PeerKey(socket->peerAddress(), socket->peerPort()),
                    Upgrade{address, code, connection.counted, address, Now()});
    webSockets.handleConnection(socket);
    return;
  }
  if (options.siteDir.isEmpty()) {
    answer(TextResponse(404, "Not Found", "This server serves no page.\n"));
    return;
  }
  answer(ServeFile(options.siteDir, request));
}

void RoomServer::Impl::AcceptWebSocket() {
  while (QWebSocket* socket = webSockets.nextPendingConnection()) {
    const Upgrade upgrade = upgrades.take(PeerKey(socket->peerAddress(), socket->peerPort()));
    socket->setParent(&context);
    socket->setMaxAllowedIncomingMessageSize(kMaxIncomingBytes);
    socket->setMaxAllowedIncomingFrameSize(kMaxIncomingBytes);
    auto link = std::make_unique<Link>(*this, socket, upgrade.counted, upgrade.player);
    Link& peer = *link;
    links.emplace(socket, std::move(link));
    const QString address =
        upgrade.address.isEmpty() ? AddressText(socket->peerAddress()) : upgrade.address;
    peer.id = lobby.Connect(peer, address, upgrade.code, Now());
    const PeerId id = peer.id;
    QObject::connect(socket, &QWebSocket::binaryMessageReceived, &context,
                     [this, id](const QByteArray& message) {
                       lobby.Receive(id,
                                     {reinterpret_cast<const std::uint8_t*>(message.constData()),
                                      static_cast<std::size_t>(message.size())},
                                     Now());
                     });
    QObject::connect(socket, &QWebSocket::textMessageReceived, &context,
                     [this, id] { lobby.ReceiveText(id, Now()); });
    QObject::connect(socket, &QWebSocket::pong, &context, [this, id] { lobby.Heard(id, Now()); });
    QObject::connect(socket, &QWebSocket::disconnected, &context, [this, id, socket] {
      lobby.Disconnected(id, socket->closeCode() == QWebSocketProtocol::CloseCodeTooMuchData,
                         Now());
      // The link may be the one closing right now: it goes once this turn of the loop is over.
      QMetaObject::invokeMethod(
          &context, [this, socket] { links.erase(socket); }, Qt::QueuedConnection);
      socket->deleteLater();
    });
  }
}

void RoomServer::Impl::Sweep() {
  const std::int64_t now = Now();
  lobby.Sweep(now);
  for (auto it = connections.cbegin(); it != connections.cend(); ++it) {
    if (now - it->since >= (it->answered ? kAnswerMs : kHeadMs)) it.key()->abort();
  }
  // The WebSocket server gives up on a handshake after kHeadMs and says nothing of it.
  for (auto it = upgrades.begin(); it != upgrades.end();) {
    if (now - it->since >= 2 * kHeadMs) {
      Uncount(it->counted);
      playersPerAddress.Uncount(it->player);
      it = upgrades.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto& [socket, link] : links) {
    if (link->StuckClosing(now)) socket->abort();
  }
  if (now - toldSince >= 60'000) {
    told.clear();
    toldSince = now;
  }
}

RoomServer::RoomServer(const ServerOptions& options, Log log)
    : impl_(std::make_unique<Impl>(options, std::move(log))) {}

RoomServer::~RoomServer() = default;

bool RoomServer::Listen(QString& error) {
  if (!impl_->tcp.listen(impl_->options.bind, impl_->options.port)) {
    error = impl_->tcp.errorString();
    return false;
  }
  impl_->sweepTimer.start();
  return true;
}

QHostAddress RoomServer::address() const {
  return impl_->tcp.serverAddress();
}

quint16 RoomServer::port() const {
  return impl_->tcp.serverPort();
}

QStringList RoomServer::PlayUrls() const {
  const QHostAddress bound = address();
  QList<QHostAddress> hosts;
  if (bound == QHostAddress::Any || bound == QHostAddress::AnyIPv4 ||
      bound == QHostAddress::AnyIPv6) {
    for (const QNetworkInterface& network : QNetworkInterface::allInterfaces()) {
      const auto flags = network.flags();
      if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning))
        continue;
      for (const QNetworkAddressEntry& entry : network.addressEntries()) {
        const QHostAddress host = entry.ip();
        // A link-local IPv6 address needs its interface named: no one types that.
        if (host.isLinkLocal() ||
            (bound == QHostAddress::AnyIPv4 && host.protocol() != QAbstractSocket::IPv4Protocol))
          continue;
        hosts.append(host);
      }
    }
    std::stable_partition(hosts.begin(), hosts.end(),
                          [](const QHostAddress& host) { return !host.isLoopback(); });
  } else {
    hosts.append(bound);
  }
  QStringList urls;
  for (const QHostAddress& host : hosts) {
    const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(host.toString())
                             : host.toString();
    urls.append(QStringLiteral("ws://%1:%2/play").arg(name).arg(port()));
  }
  return urls;
}

void RoomServer::Sweep() {
  impl_->Sweep();
}

void RoomServer::Shutdown() {
  impl_->shuttingDown = true;
  impl_->tcp.close();
  impl_->lobby.Shutdown();
  for (QTcpSocket* socket : impl_->connections.keys())
    socket->abort();
}

int RoomServer::connections() const {
  return impl_->open();
}

LobbyCounts RoomServer::counts() const {
  return impl_->lobby.counts();
}

}  // namespace tandemhoop::server
