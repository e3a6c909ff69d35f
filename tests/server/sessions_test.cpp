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
  Machine(net::Role role, std::uint64_t seed, const net::RoomCode& code = {},
          std::optional<net::Token> rejoin = std::nullopt)
      : hands(seed) {
    net::SessionOptions options;
    options.role = role;
    options.code = code;
    if (rejoin) {
      options.rejoin = true;
      options.token = *rejoin;
    }
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

// A host and a guest in one room of the server, and one clock for the two machines and the
// server, moved on by the test: a whole game runs as fast as loopback carries its messages.
class SessionsTest : public ServerTest {
 protected:
  std::int64_t Ns() const { return now * 1'000'000; }

  void Meet() {
    Start();
    host = std::make_unique<Machine>(net::Role::Host, 11);
    host->client.emplace(port, QStringLiteral("/play"));
    ASSERT_TRUE(host->client->Open());
    host->session->Open(Ns());
    host->Drain();
    ASSERT_TRUE(WaitFor([&] { return host->client->pending() > 0; }));
    host->Receive(Ns());
    code = host->session->status().code;
    ASSERT_TRUE(net::IsRoomCode(code));
    guest = std::make_unique<Machine>(net::Role::Guest, 12, code);
    guest->client.emplace(port, PathOf(code));
    ASSERT_TRUE(guest->client->Open());
    guest->session->Open(Ns());
    guest->Drain();
    // The door's answers and PeerJoined, before the clock moves: from here on every message
    // is one player's to the other.
    ASSERT_TRUE(
        WaitFor([&] { return guest->client->pending() >= 2 && host->client->pending() >= 1; }));
  }

  // Both machines play, each on its schedule, until `until` or both have ended.
  void Play(const std::function<bool()>& until) {
    for (int step = 0; step < 400'000; ++step) {
      if (until() ||
          (Final(host->session->status().phase) && Final(guest->session->status().phase)))
        return;
      now = std::clamp(std::min(due[0], due[1]) / 1'000'000, now, now + 100);
      for (int side = 0; side < 2; ++side) {
        Machine& machine = side == 0 ? *host : *guest;
        machine.Receive(Ns());
        due[static_cast<std::size_t>(side)] =
            std::max(Ns() + 1'000'000, machine.session->Update(Ns(), machine.Hands()));
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
        return host->client->passedOn() >= guest->passed &&
               guest->client->passedOn() + guestMissed >= host->passed;
      })) << "step "
          << step << ": host sent " << host->passed << ", guest got " << guest->client->passedOn()
          << " (+" << guestMissed << "); guest sent " << guest->passed << ", host got "
          << host->client->passedOn();
    }
  }

  // Both won the same game, and the server keeps the replay both keep.
  void ExpectTheReplayKept() {
    ASSERT_EQ(host->session->status().phase, net::Phase::Ended);
    ASSERT_EQ(guest->session->status().phase, net::Phase::Ended);
    const std::string replay = host->session->ReplayText();
    EXPECT_EQ(replay, guest->session->ReplayText());
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

  std::unique_ptr<Machine> host;
  std::unique_ptr<Machine> guest;
  net::RoomCode code{};
  std::array<std::int64_t, 2> due{};
  std::uint64_t guestMissed = 0;  // the host's messages a guest's connection never got
};

TEST_F(SessionsTest, TwoSessionsPlayAWholeGameAndTheServerKeepsTheReplayBothKeep) {
  Meet();
  Play([] { return false; });
  ExpectTheReplayKept();
}

TEST_F(SessionsTest, AGuestWhoseProgramWasKilledComesBackAndTheGameEndsTheSame) {
  Meet();
  Play([&] { return host->session->stats().ticks >= 400; });
  ASSERT_EQ(guest->session->status().phase, net::Phase::Playing);

  // Killed: the connection goes with the program, and a new one starts from the code and the
  // token it was given.
  const net::Status lost = guest->session->status();
  const std::uint64_t sent = guest->passed;
  host->Receive(Ns());  // what came in the last step: the server's word is next
  guest->client->socket().abort();
  ASSERT_TRUE(WaitFor([&] { return host->client->pending() > 0; }));
  host->Receive(Ns());

  guest = std::make_unique<Machine>(net::Role::Guest, 13, code, lost.token);
  guest->passed = sent;
  guest->client.emplace(port, PathOf(code));
  ASSERT_TRUE(guest->client->Open());
  guest->session->Open(Ns());
  guest->Drain();
  ASSERT_TRUE(WaitFor([&] { return host->client->pending() > 0; }));  // PeerReturned
  // Messages the host sent while the guest was away reach it again in the host's resends.
  guestMissed = host->passed;
  Play([] { return false; });
  EXPECT_TRUE(Logged(QStringLiteral("came back")));
  ExpectTheReplayKept();
}

}  // namespace
}  // namespace tandemhoop::server::testing
