// The game's own online sessions, host and guest, through the real server: everything a session
// sends is taken by the server, a whole game is played, and the server keeps the replay both
// machines keep.
#include <QDir>
#include <QFile>

#include "game/replay.h"
#include "net/session.h"
#include "tests/server/scripted_client.h"
#include "tests/support/random_player.h"

namespace tandemhoop::server::testing {
namespace {

bool Final(net::Phase phase) {
  return phase == net::Phase::Ended || phase == net::Phase::Desync ||
         phase == net::Phase::Refused || phase == net::Phase::PeerLeft ||
         phase == net::Phase::Disconnected || phase == net::Phase::Left;
}

// One machine: its session, its connection, and a person mashing keys.
struct Machine {
  Machine(net::Role role, std::uint64_t seed, const net::RoomCode& code = {}) : hands(seed) {
    net::SessionOptions options;
    options.role = role;
    options.code = code;
    for (auto& byte : options.secret)
      byte = static_cast<std::uint8_t>(hands.Next());
    session = std::make_unique<net::Session>(platform, options);
  }
  // Sends what the session has to send; counts the players' messages among it.
  void Drain() {
    std::span<const std::uint8_t> message;
    while (session->TakeOutgoing(message)) {
      if (BetweenPlayers(message)) ++passed;
      client->SendBytes(QByteArray(reinterpret_cast<const char*>(message.data()),
                                   static_cast<qsizetype>(message.size())));
    }
  }
  void Receive(std::int64_t nowNs) {
    QByteArray bytes;
    while (client->TakeBytes(bytes)) {
      session->Receive({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        static_cast<std::size_t>(bytes.size())},
                       nowNs);
    }
  }
  net::Held Hands() {
    if (hands.OneIn(6)) held = static_cast<net::Held>(held ^ (1u << hands.Below(5)));
    return held;
  }

  HeadlessPlatform platform;
  tandemhoop::testing::SplitMix64 hands;
  net::Held held = 0;
  std::unique_ptr<net::Session> session;
  std::optional<Client> client;
  std::uint64_t passed = 0;  // players' messages sent, which the server passes on
};

class SessionsTest : public ServerTest {};

TEST_F(SessionsTest, TwoSessionsPlayAWholeGameAndTheServerKeepsTheReplayBothKeep) {
  Start();
  // One clock for the two machines and the server, moved on by the test: a whole game runs as
  // fast as loopback carries its messages.
  const auto ns = [this] { return now * 1'000'000; };
  Machine host(net::Role::Host, 11);
  host.client.emplace(port, QStringLiteral("/play"));
  ASSERT_TRUE(host.client->Open());
  host.session->Open(ns());
  host.Drain();
  ASSERT_TRUE(WaitFor([&] { return host.client->pending() > 0; }));
  host.Receive(ns());
  const net::RoomCode code = host.session->status().code;
  ASSERT_TRUE(net::IsRoomCode(code));

  Machine guest(net::Role::Guest, 12, code);
  guest.client.emplace(port, PathOf(code));
  ASSERT_TRUE(guest.client->Open());
  guest.session->Open(ns());
  guest.Drain();
  // The door's answers and PeerJoined, before the clock moves: from here on every message is
  // one player's to the other.
  ASSERT_TRUE(WaitFor([&] { return guest.client->pending() >= 2 && host.client->pending() >= 1; }));

  std::array<Machine*, 2> machines = {&host, &guest};
  std::array<std::int64_t, 2> due = {0, 0};
  for (int step = 0; step < 400'000; ++step) {
    if (Final(host.session->status().phase) && Final(guest.session->status().phase)) break;
    now = std::clamp(std::min(due[0], due[1]) / 1'000'000, now, now + 100);
    for (int side = 0; side < 2; ++side) {
      Machine& machine = *machines[static_cast<std::size_t>(side)];
      machine.Receive(ns());
      due[static_cast<std::size_t>(side)] =
          std::max(ns() + 1'000'000, machine.session->Update(ns(), machine.Hands()));
      const net::Status status = machine.session->status();
      if (status.phase == net::Phase::Picking) {
        if ((status.localSide == 1 ? status.p1Pick : status.p2Pick) == 0)
          machine.session->PickPlayer(status.localSide == 1 ? 4 : 2);
        machine.session->SetReady(true);
      }
      machine.Drain();
    }
    server->Sweep();
    // Everything one sent the other has before the clock moves on.
    ASSERT_TRUE(WaitFor([&] {
      return host.client->passedOn() >= guest.passed && guest.client->passedOn() >= host.passed;
    })) << "step "
        << step;
  }
  ASSERT_EQ(host.session->status().phase, net::Phase::Ended);
  ASSERT_EQ(guest.session->status().phase, net::Phase::Ended);
  const std::string replay = host.session->ReplayText();
  EXPECT_EQ(replay, guest.session->ReplayText());

  const QStringList kept = QDir(data.path() + QStringLiteral("/replays")).entryList(QDir::Files);
  ASSERT_EQ(kept.size(), 1) << log.join(QLatin1Char('\n')).toStdString();
  QFile file(data.path() + QStringLiteral("/replays/") + kept[0]);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(), replay);
  Replay read;
  std::string error;
  ASSERT_TRUE(ReadReplay(replay, read, error)) << error;
  EXPECT_TRUE(VerifyReplay(read).matches);
  EXPECT_FALSE(Logged(QStringLiteral("broke the protocol")));
}

}  // namespace
}  // namespace tandemhoop::server::testing
