#include "tests/server/scripted_client.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QUrl>

#include "game/replay.h"
#include "game/state.h"
#include "tests/support/random_player.h"

#include <csignal>

namespace tandemhoop::server::testing {

bool WaitFor(const std::function<bool()>& done, int ms) {
  const QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

Client::Client(quint16 port, const QString& path, const QString& address) {
  QObject::connect(&socket_, &QWebSocket::binaryMessageReceived, &socket_,
                   [this](const QByteArray& message) {
                     inbox_.push_back(message);
                     if (BetweenPlayers({reinterpret_cast<const std::uint8_t*>(message.constData()),
                                         static_cast<std::size_t>(message.size())}))
                       ++passedOn_;
                   });
  QObject::connect(&socket_, &QWebSocket::disconnected, &socket_, [this] { closed_ = true; });
  QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1%2").arg(port).arg(path)));
  request.setRawHeader("X-Forwarded-For", address.toLatin1());
  socket_.open(request);
}

bool Client::Open() {
  WaitFor([this] { return socket_.state() == QAbstractSocket::ConnectedState || closed_; });
  return socket_.state() == QAbstractSocket::ConnectedState;
}

void Client::Send(const net::Message& message) {
  net::Frame frame;
  ASSERT_TRUE(net::Encode(message, frame));
  SendBytes(QByteArray(reinterpret_cast<const char*>(frame.bytes.data()),
                       static_cast<qsizetype>(frame.size)));
}

void Client::SendBytes(const QByteArray& bytes) {
  socket_.sendBinaryMessage(bytes);
  socket_.flush();
}

std::optional<net::Message> Client::Next() {
  WaitFor([this] { return !inbox_.empty() || closed_; });
  if (inbox_.empty()) return std::nullopt;
  const QByteArray bytes = inbox_.front();
  inbox_.pop_front();
  net::Message message;
  const net::WireError error =
      net::Decode({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.size())},
                  message);
  EXPECT_EQ(error, net::WireError::None) << "the server sent what does not decode";
  return message;
}

bool Client::WaitClosed() {
  return WaitFor([this] { return closed_; });
}

const char* TypeName(const net::Message& message) {
  static std::string name;
  name = std::string(net::MessageName(net::TypeOf(message)));
  return name.c_str();
}

net::CreateRoom CreateOf(Speed speed) {
  net::CreateRoom create;
  create.fingerprint = kFingerprint;
  create.speed = speed;
  create.version = net::VersionText("1.0");
  return create;
}

net::JoinRoom JoinOf(const net::RoomCode& code, std::uint64_t fingerprint, const char* version) {
  net::JoinRoom join;
  join.fingerprint = fingerprint;
  join.code = code;
  join.version = net::VersionText(version);
  return join;
}

net::RejoinRoom RejoinOf(const net::RoomCode& code, const net::Token& token) {
  net::RejoinRoom rejoin;
  rejoin.fingerprint = kFingerprint;
  rejoin.code = code;
  rejoin.token = token;
  rejoin.version = net::VersionText("1.0");
  return rejoin;
}

QString PathOf(const net::RoomCode& code) {
  return QStringLiteral("/play/") + QString::fromLatin1(code.data(), 6);
}

bool BetweenPlayers(std::span<const std::uint8_t> bytes) {
  net::Message message;
  return net::Decode(bytes, message) == net::WireError::None &&
         net::DirectionOf(net::TypeOf(message)) == net::Direction::BetweenPlayers;
}

PlayedMatch PlayToAWin(const net::Agreement& agreement, std::uint64_t seed) {
  PlayedMatch played;
  played.agreement = agreement;
  HeadlessPlatform headless;
  net::Match match(headless);
  EventLog log;
  match.Begin(agreement, log);
  tandemhoop::testing::SplitMix64 random(seed);
  net::Held a = 0;
  net::Held b = 0;
  net::StepEvents step;
  for (std::uint32_t tick = 0; !match.state().over && tick < 100000; ++tick) {
    if (random.OneIn(6)) a = static_cast<net::Held>(a ^ (1u << random.Below(5)));
    if (random.OneIn(6)) b = static_cast<net::Held>(b ^ (1u << random.Below(5)));
    played.p1.push_back(a);
    played.p2.push_back(b);
    match.platform().BeginTick({}, false);
    match.Step(a, b, step);
    net::CheckKind kind{};
    if (net::CheckDue(tick, step, kind)) {
      played.checks.push_back(
          net::Check{1, kind, tick, StateHash(match.game().state), match.random().Draws()});
    }
  }
  EXPECT_TRUE(match.state().over) << "the seed's mashing won no game";
  return played;
}

void SendHeld(Client& client, std::uint16_t match, std::span<const net::Held> held,
              std::size_t first, std::size_t count) {
  for (std::size_t at = first; at < first + count;) {
    net::Inputs inputs;
    inputs.match = match;
    inputs.first = static_cast<std::uint32_t>(at);
    inputs.tick = inputs.first;
    inputs.count = static_cast<std::uint8_t>(
        std::min<std::size_t>(net::kMaxInputsPerMessage, first + count - at));
    std::copy_n(held.begin() + static_cast<std::ptrdiff_t>(at), inputs.count, inputs.held.begin());
    client.Send(inputs);
    at += inputs.count;
  }
}

Pair::Pair(quint16 port, const QString& hostAddress, const QString& guestAddress, Speed speed)
    : host(port, QStringLiteral("/play"), hostAddress) {
  if (!host.Open()) {
    ADD_FAILURE() << "the host could not connect";
    return;
  }
  host.Send(CreateOf(speed));
  const net::RoomCreated created = host.Expect<net::RoomCreated>();
  code = created.code;
  hostToken = created.token;
  guest.emplace(port, PathOf(code), guestAddress);
  if (!guest->Open()) {
    ADD_FAILURE() << "the guest could not connect";
    return;
  }
  guest->Send(JoinOf(code));
  const net::RoomJoined joined = guest->Expect<net::RoomJoined>();
  guestToken = joined.token;
  EXPECT_EQ(joined.code, code);
  EXPECT_EQ(joined.speed, speed);
  guest->Expect<net::PeerJoined>();
  host.Expect<net::PeerJoined>();
  ok = !::testing::Test::HasFailure();
}

std::uint32_t Pair::Agree(std::uint16_t match) {
  net::Nonce hostNonce{};
  net::Nonce guestNonce{};
  hostNonce.fill(static_cast<std::uint8_t>(match));
  guestNonce.fill(static_cast<std::uint8_t>(100 + match));
  host.Send(net::Commit{match, net::CommitmentOf(hostNonce)});
  guest->Send(net::Commit{match, net::CommitmentOf(guestNonce)});
  guest->Expect<net::Commit>();
  host.Expect<net::Commit>();
  host.Send(net::Reveal{match, hostNonce});
  guest->Send(net::Reveal{match, guestNonce});
  guest->Expect<net::Reveal>();
  host.Expect<net::Reveal>();
  return net::SeedOf(hostNonce, guestNonce);
}

void Pair::Start(std::uint16_t match, std::uint8_t p1Pick, std::uint8_t p2Pick) {
  host.Send(net::Start{match, p1Pick, p2Pick});
  guest->Expect<net::Start>();
}

bool Pair::StillPlaying() {
  host.Send(net::Ping{1});
  const std::optional<net::Ping> atGuest = guest->Until<net::Ping>();
  guest->Send(net::Ping{2});
  const std::optional<net::Ping> atHost = host.Until<net::Ping>();
  return atGuest && atGuest->stamp == 1 && atHost && atHost->stamp == 2;
}

Program::Program(const QString& program, const QStringList& arguments) {
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                   [this] { output += QString::fromLocal8Bit(process_.readAllStandardOutput()); });
  process_.start(program, arguments);
}

Program::~Program() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QString Program::WaitForLine(const QString& pattern) {
  const QRegularExpression expression(pattern);
  QString found;
  WaitFor([&] {
    const QRegularExpressionMatch match = expression.match(output);
    if (match.hasMatch()) found = match.captured(1);
    return match.hasMatch() || process_.state() == QProcess::NotRunning;
  });
  return found;
}

void Program::Signal(int number) {
  ::kill(static_cast<pid_t>(process_.processId()), number);
}

int Program::Finished() {
  WaitFor([this] { return process_.state() == QProcess::NotRunning; });
  return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit
             ? process_.exitCode()
             : -1;
}

void ServerTest::Start(const std::function<void(ServerOptions&)>& adjust) {
  ASSERT_TRUE(data.isValid());
  ServerOptions options;
  options.port = 0;
  options.proxies = {QHostAddress::LocalHost};
  options.lobby.dataDir = data.path();
  options.clockMs = [this] { return now; };
  if (adjust) adjust(options);
  server = std::make_unique<RoomServer>(options, [this](const QString& line) { log.append(line); });
  QString error;
  ASSERT_TRUE(server->Listen(error)) << error.toStdString();
  port = server->port();
}

void ServerTest::TearDown() {
  if (HasFailure())
    std::fprintf(stderr, "server log:\n%s\n", qPrintable(log.join(QLatin1Char('\n'))));
}

void ServerTest::Advance(std::int64_t ms) {
  now += ms;
  server->Sweep();
}

bool ServerTest::Logged(const QString& part) const {
  for (const QString& line : log) {
    if (line.contains(part)) return true;
  }
  return false;
}

}  // namespace tandemhoop::server::testing
