#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWebSocket>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "net/match.h"
#include "net/wire.h"
#include "server/room_server.h"

// Players of the room server as tests script them: real WebSocket connections on loopback that
// send protocol messages and read what comes back, and a match to play through them.
namespace tandemhoop::server::testing {

// Runs the event loop until `done` or the deadline; false on the deadline.
bool WaitFor(const std::function<bool()>& done, int ms = 10000);

inline constexpr std::uint64_t kFingerprint = 0x5eed5eed5eed5eedull;

// The door's messages of a client of this fingerprint and version 1.0, unless told otherwise.
net::CreateRoom CreateOf(Speed speed = Speed::Classic);
net::JoinRoom JoinOf(const net::RoomCode& code, std::uint64_t fingerprint = kFingerprint,
                     const char* version = "1.0");
net::RejoinRoom RejoinOf(const net::RoomCode& code, const net::Token& token);
// The address of a room: /play/CODE.
QString PathOf(const net::RoomCode& code);

class Client {
 public:
  // Connects to ws://127.0.0.1:PORT/PATH as the player at `address` (the room server takes the
  // test for its proxy: X-Forwarded-For names whom a connection counts against).
  Client(quint16 port, const QString& path, const QString& address = QStringLiteral("127.0.0.2"));
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  // Whether the connection opened (waits for it, or for its refusal).
  bool Open();
  void Send(const net::Message& message);
  void SendBytes(const QByteArray& bytes);
  // The next message, waited for; nothing once the connection has closed with none left.
  std::optional<net::Message> Next();
  // The next message, which must be a T (a test failure, and a T of its defaults, otherwise).
  template <typename T>
  T Expect();
  // Reads messages until a T, and gives it; nothing if the connection closes first.
  template <typename T>
  std::optional<T> Until();
  // Waits until the server has closed the connection, and says whether it did.
  bool WaitClosed();
  // The next message as it came, if one is there (no waiting).
  bool TakeBytes(QByteArray& bytes) {
    if (inbox_.empty()) return false;
    bytes = inbox_.front();
    inbox_.pop_front();
    return true;
  }
  // Messages received and not yet read; players' messages (passed on by the server) in all.
  std::size_t pending() const { return inbox_.size(); }
  std::uint64_t passedOn() const { return passedOn_; }
  void Drain() { inbox_.clear(); }
  bool closed() const { return closed_; }
  QWebSocket& socket() { return socket_; }

 private:
  QWebSocket socket_;
  std::deque<QByteArray> inbox_;
  std::uint64_t passedOn_ = 0;
  bool closed_ = false;
};

const char* TypeName(const net::Message& message);
// Whether a message is one player's to the other, which the server passes on as it is.
bool BetweenPlayers(std::span<const std::uint8_t> bytes);

template <typename T>
T Client::Expect() {
  const std::optional<net::Message> message = Next();
  if (!message) {
    ADD_FAILURE() << "the connection closed instead of a message";
    return T{};
  }
  if (const T* wanted = std::get_if<T>(&*message)) return *wanted;
  ADD_FAILURE() << "got " << TypeName(*message);
  return T{};
}

template <typename T>
std::optional<T> Client::Until() {
  while (const std::optional<net::Message> message = Next()) {
    if (const T* wanted = std::get_if<T>(&*message)) return *wanted;
  }
  return std::nullopt;
}

// A match played to its win by two people mashing keys (the same for the same seed): each
// side's held sets, and every check each side sends, in tick order.
struct PlayedMatch {
  net::Agreement agreement;
  std::vector<net::Held> p1;
  std::vector<net::Held> p2;
  std::vector<net::Check> checks;
};
PlayedMatch PlayToAWin(const net::Agreement& agreement, std::uint64_t seed);

// Sends held sets [first, first + count) of one side in Inputs of up to 128.
void SendHeld(Client& client, std::uint16_t match, std::span<const net::Held> held,
              std::size_t first, std::size_t count);

// A room on the server with its two players, created and joined.
struct Pair {
  Pair(quint16 port, const QString& hostAddress = QStringLiteral("127.0.0.2"),
       const QString& guestAddress = QStringLiteral("127.0.0.3"), Speed speed = Speed::Classic);
  bool ok = false;
  net::RoomCode code{};
  net::Token hostToken{};
  net::Token guestToken{};
  Client host;
  std::optional<Client> guest;
  // Commits and reveals on both sides (reading what is passed on); returns the seed.
  std::uint32_t Agree(std::uint16_t match = 1);
  // The host starts the match with these picks; the guest reads the Start.
  void Start(std::uint16_t match, std::uint8_t p1Pick, std::uint8_t p2Pick);
  // Whether a message from one still reaches the other (a Ping each way), after all that was
  // passed on before it.
  bool StillPlaying();
};

// A program of ours, started with `arguments`; its standard output is gathered as it comes.
class Program {
 public:
  Program(const QString& program, const QStringList& arguments);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  // Waits for output that matches, and gives its first captured group.
  QString WaitForLine(const QString& pattern);
  // The port it says it listens on (tandemhoop-server and delay-proxy alike).
  quint16 Port() {
    return static_cast<quint16>(
        WaitForLine(QStringLiteral("listening on \\S*127\\.0\\.0\\.1:(\\d+)")).toUInt());
  }
  void Signal(int number);
  // The exit code once it has ended by itself, -1 if it does not.
  int Finished();
  QString output;

 private:
  QProcess process_;
};

// A room server on a free loopback port, on a clock of the test's own, writing into a folder
// of its own.
class ServerTest : public ::testing::Test {
 protected:
  void Start(const std::function<void(ServerOptions&)>& adjust = {});
  // The server's log, when the test failed.
  void TearDown() override;
  // Moves the server's clock on and lets it see to what is due.
  void Advance(std::int64_t ms);
  // Whether a line of the log contains `part`.
  bool Logged(const QString& part) const;

  std::int64_t now = 1'000'000;
  QTemporaryDir data;
  QStringList log;
  std::unique_ptr<RoomServer> server;
  quint16 port = 0;
};

}  // namespace tandemhoop::server::testing
