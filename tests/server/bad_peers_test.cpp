// Peers that do not play by the protocol, as anyone on the open internet may: each is refused
// with its reason (or cut off), a player it was paired with is told, and a room beside them
// plays on untouched.
#include <memory>
#include <vector>

#include "net/room.h"
#include "tests/server/scripted_client.h"

namespace tandemhoop::server::testing {
namespace {

QByteArray Encoded(const net::Message& message) {
  net::Frame frame;
  EXPECT_TRUE(net::Encode(message, frame));
  return QByteArray(reinterpret_cast<const char*>(frame.bytes.data()),
                    static_cast<qsizetype>(frame.size));
}

// What a fresh connection gets for sending `bytes` first: the refusal, or nothing when it was
// cut off without one.
std::optional<net::Refusal> AnswerTo(quint16 port, const QByteArray& bytes, bool text = false,
                                     const QString& path = QStringLiteral("/play"),
                                     const QString& address = QStringLiteral("127.0.0.20")) {
  Client client(port, path, address);
  EXPECT_TRUE(client.Open());
  if (text) {
    client.socket().sendTextMessage(QString::fromLatin1(bytes));
  } else {
    client.SendBytes(bytes);
  }
  std::optional<net::Refusal> reason;
  if (const std::optional<net::Message> message = client.Next()) {
    const auto* refused = std::get_if<net::Refused>(&*message);
    EXPECT_NE(refused, nullptr) << "got " << TypeName(*message);
    if (refused != nullptr) reason = refused->reason;
  }
  EXPECT_TRUE(client.WaitClosed());
  return reason;
}

class BadPeersTest : public ServerTest {};

TEST_F(BadPeersTest, EachIsRefusedWithItsReasonAndTheRoomBesideItPlaysOn) {
  // The clock jumps a minute here: only the limits being tried may count.
  Start([](ServerOptions& options) { options.lobby.limits.idleSeconds = 600; });
  Pair good(port);
  ASSERT_TRUE(good.ok);
  good.Agree();
  good.Start(1, 1, 2);

  const auto broken = std::optional(net::Refusal::ProtocolBroken);
  EXPECT_EQ(AnswerTo(port, QByteArray("\xff\x00garbage", 9)), broken);
  EXPECT_EQ(AnswerTo(port, QByteArray()), broken);
  EXPECT_EQ(AnswerTo(port, QByteArray(2000, '\x26')), broken);          // over the protocol's size
  EXPECT_EQ(AnswerTo(port, QByteArray(100000, '\x26')), std::nullopt);  // cut off unread
  EXPECT_EQ(AnswerTo(port, "hello", true), broken);
  EXPECT_EQ(AnswerTo(port, Encoded(net::RoomCreated{good.code, {}})), broken);  // the server's
  EXPECT_EQ(AnswerTo(port, Encoded(net::Ping{})), broken);                      // before any room
  net::CreateRoom old;
  old.protocol = net::kProtocolVersion + 1;
  old.version = net::VersionText("0.9");
  EXPECT_EQ(AnswerTo(port, Encoded(old)), std::optional(net::Refusal::Version));
  ASSERT_TRUE(good.StillPlaying());

  // A player who breaks the protocol in play is dropped, and the other player told why.
  Pair gap(port, QStringLiteral("127.0.0.4"), QStringLiteral("127.0.0.5"));
  gap.Agree();
  gap.Start(1, 3, 4);
  const std::vector<net::Held> held(40, net::kHoldLeft);
  SendHeld(gap.host, 1, held, 0, 10);
  SendHeld(gap.host, 1, held, 20, 10);  // ticks 10 to 19 never sent
  EXPECT_EQ(gap.host.Until<net::Refused>()->reason, net::Refusal::ProtocolBroken);
  EXPECT_EQ(gap.guest->Until<net::Leave>()->reason, net::LeaveReason::ProtocolBroken);
  EXPECT_TRUE(gap.guest->WaitClosed());
  ASSERT_TRUE(good.StillPlaying());

  // Flooding: far more messages in an instant than a client ever sends in two seconds.
  Pair flood(port, QStringLiteral("127.0.0.6"), QStringLiteral("127.0.0.7"));
  for (int i = 0; i < 400; ++i)
    flood.host.Send(net::Ping{static_cast<std::uint64_t>(i)});
  EXPECT_EQ(flood.host.Until<net::Refused>()->reason, net::Refusal::ProtocolBroken);
  EXPECT_EQ(flood.guest->Until<net::Leave>()->reason, net::LeaveReason::ProtocolBroken);
  ASSERT_TRUE(good.StillPlaying());

  // Guessing codes: ten tries a minute from one address, then refused whatever the code.
  const QString guesser = QStringLiteral("127.0.0.30");
  for (std::uint64_t i = 0; i < 10; ++i) {
    const net::RoomCode guess = net::MakeRoomCode(i * 7919);
    ASSERT_NE(guess, good.code);
    EXPECT_EQ(AnswerTo(port, Encoded(JoinOf(guess)), false, QStringLiteral("/play"), guesser),
              std::optional(net::Refusal::UnknownCode));
  }
  EXPECT_EQ(AnswerTo(port, Encoded(JoinOf(good.code)), false, QStringLiteral("/play"), guesser),
            std::optional(net::Refusal::TooManyAttempts));
  EXPECT_TRUE(Logged(QStringLiteral("refused 127.0.0.30: too many rooms tried")));
  Advance(60000);
  EXPECT_EQ(AnswerTo(port, Encoded(JoinOf(good.code)), false, QStringLiteral("/play"), guesser),
            std::optional(net::Refusal::RoomFull));
  ASSERT_TRUE(good.StillPlaying());

  // One address holds eight connections at once; the ninth is cut before its handshake.
  std::vector<std::unique_ptr<Client>> many;
  for (int i = 0; i < 8; ++i) {
    many.push_back(
        std::make_unique<Client>(port, QStringLiteral("/play"), QStringLiteral("127.0.0.40")));
    EXPECT_TRUE(many.back()->Open());
  }
  Client ninth(port, QStringLiteral("/play"), QStringLiteral("127.0.0.40"));
  EXPECT_FALSE(ninth.Open());
  EXPECT_TRUE(good.StillPlaying());
  EXPECT_EQ(server->counts().rooms, 1);
}

TEST_F(BadPeersTest, SilentConnectionsAreClosedAndASilentPlayerIsWaitedFor) {
  Start();
  Client mute(port, QStringLiteral("/play"), QStringLiteral("127.0.0.50"));
  ASSERT_TRUE(mute.Open());
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  pair.Agree();
  pair.Start(1, 4, 2);

  // A connection that says nothing at all after opening is not kept.
  Advance(10000);
  EXPECT_EQ(mute.Expect<net::Refused>().reason, net::Refusal::Idle);
  ASSERT_TRUE(pair.StillPlaying());

  // Players silent past the idle time (no message, no answer to the server's pings in the
  // meantime) are taken for lost connections: told, closed, and their places kept.
  Advance(19999);
  EXPECT_EQ(server->counts().peers, 2);
  Advance(1);
  EXPECT_EQ(pair.host.Until<net::Refused>()->reason, net::Refusal::Idle);
  EXPECT_EQ(pair.guest->Until<net::Refused>()->reason, net::Refusal::Idle);
  EXPECT_EQ(server->counts().rooms, 1);
  Client back(port, PathOf(pair.code));
  ASSERT_TRUE(back.Open());
  back.Send(RejoinOf(pair.code, pair.hostToken));
  EXPECT_TRUE(back.Expect<net::Resume>().host);
}

}  // namespace
}  // namespace tandemhoop::server::testing
