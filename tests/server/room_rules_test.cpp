// The rules of a room, through the real server: the door, what is passed on, the replay of a
// won match, the report of a desync, and a player coming back within the time and after it.
#include <QDir>
#include <QFile>

#include "game/replay.h"
#include "net/room.h"
#include "tests/server/scripted_client.h"

namespace tandemhoop::server::testing {
namespace {

net::Refusal RefusalAt(quint16 port, const QString& path, const net::Message& message,
                       const QString& address = QStringLiteral("127.0.0.9")) {
  Client client(port, path, address);
  EXPECT_TRUE(client.Open());
  client.Send(message);
  const net::Refused refused = client.Expect<net::Refused>();
  EXPECT_TRUE(client.WaitClosed());
  return refused.reason;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RoomRulesTest : public ServerTest {};

TEST_F(RoomRulesTest, PlayersMeetByCodeAndTheDoorRefusesWhatCannotPlayTogether) {
  Start([](ServerOptions& options) { options.lobby.limits.maxRooms = 2; });
  Pair pair(port, QStringLiteral("127.0.0.2"), QStringLiteral("127.0.0.3"), Speed::Fast);
  ASSERT_TRUE(pair.ok);
  EXPECT_TRUE(net::IsRoomCode(pair.code));
  EXPECT_NE(pair.hostToken, pair.guestToken);

  // Players' messages pass as they are, either way.
  net::Hello hello;
  hello.fingerprint = kFingerprint;
  hello.speed = Speed::Fast;
  hello.version = net::VersionText("1.0");
  pair.host.Send(hello);
  EXPECT_EQ(pair.guest->Expect<net::Hello>(), hello);
  hello.host = false;
  pair.guest->Send(hello);
  EXPECT_EQ(pair.host.Expect<net::Hello>(), hello);

  EXPECT_EQ(RefusalAt(port, PathOf(pair.code), JoinOf(pair.code)), net::Refusal::RoomFull);
  net::RoomCode unknown = pair.code;
  unknown[0] = unknown[0] == 'C' ? 'F' : 'C';
  EXPECT_EQ(RefusalAt(port, PathOf(unknown), JoinOf(unknown)), net::Refusal::UnknownCode);

  // A room whose code its maker chose (so that a proxy hashing the address finds it again).
  net::RoomCode chosen{};
  ASSERT_TRUE(net::ParseRoomCode("kx-7m4p", chosen));
  ASSERT_NE(chosen, pair.code);
  Client maker(port, PathOf(chosen));
  ASSERT_TRUE(maker.Open());
  net::CreateRoom create = CreateOf();
  maker.Send(create);
  EXPECT_EQ(maker.Expect<net::RoomCreated>().code, chosen);
  EXPECT_EQ(RefusalAt(port, PathOf(chosen), create), net::Refusal::RoomFull);  // taken
  EXPECT_EQ(RefusalAt(port, PathOf(chosen), JoinOf(chosen, kFingerprint, "1.1")),
            net::Refusal::Version);
  EXPECT_EQ(RefusalAt(port, PathOf(chosen), JoinOf(chosen, kFingerprint + 1)),
            net::Refusal::Fingerprint);
  create.protocol = net::kProtocolVersion + 1;
  EXPECT_EQ(RefusalAt(port, QStringLiteral("/play"), create), net::Refusal::Version);
  create.protocol = net::kProtocolVersion;
  EXPECT_EQ(RefusalAt(port, QStringLiteral("/play"), create), net::Refusal::ServerFull);
  // A join for another room than the address names breaks the protocol.
  EXPECT_EQ(RefusalAt(port, PathOf(chosen), JoinOf(pair.code)), net::Refusal::ProtocolBroken);

  // Refused and wrong joins took nothing from the first room.
  EXPECT_TRUE(pair.StillPlaying());

  // A player's Leave reaches the other as it was sent, and the room is gone with both.
  pair.guest->Send(net::Leave{net::LeaveReason::ProtocolBroken});
  EXPECT_EQ(pair.host.Until<net::Leave>()->reason, net::LeaveReason::ProtocolBroken);
  EXPECT_TRUE(pair.host.WaitClosed());
  EXPECT_TRUE(pair.guest->WaitClosed());
  EXPECT_EQ(server->counts().rooms, 1);
}

TEST_F(RoomRulesTest, AWonMatchIsKeptAsTheReplayBothPlayersMake) {
  Start();
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  const std::uint32_t seed = pair.Agree();
  pair.Start(1, 3, 1);
  const PlayedMatch played = PlayToAWin(net::Agreement{seed, Speed::Classic, 3, 1}, 7);
  ASSERT_FALSE(played.checks.empty());

  // Both sides play in steps of 100 ticks on the room's clock, each sending its checks once
  // the ticks are confirmed, as a session does, and neither far ahead of the other.
  std::size_t nextCheck = 0;
  for (std::size_t first = 0; first < played.p1.size(); first += 100) {
    const std::size_t count = std::min<std::size_t>(100, played.p1.size() - first);
    now += 5500;
    SendHeld(pair.host, 1, played.p1, first, count);  // the host is Player 1 in match 1
    SendHeld(*pair.guest, 1, played.p2, first, count);
    for (; nextCheck < played.checks.size() && played.checks[nextCheck].tick < first + count;
         ++nextCheck) {
      pair.host.Send(played.checks[nextCheck]);
      pair.guest->Send(played.checks[nextCheck]);
    }
    ASSERT_TRUE(pair.StillPlaying());
  }
  const QStringList replays = QDir(data.path() + QStringLiteral("/replays")).entryList(QDir::Files);
  ASSERT_EQ(replays.size(), 1);
  EXPECT_TRUE(replays[0].endsWith(QString::fromLatin1(pair.code.data(), 6) +
                                  QStringLiteral("_m1.tandemhoop-replay")));
  const QByteArray text = ReadAll(data.path() + QStringLiteral("/replays/") + replays[0]);
  EXPECT_EQ(text.toStdString(), net::BuildReplay(played.agreement, played.p1, played.p2));
  Replay replay;
  std::string error;
  ASSERT_TRUE(ReadReplay(text.toStdString(), replay, error)) << error;
  EXPECT_TRUE(VerifyReplay(replay).matches);
  EXPECT_TRUE(Logged(QStringLiteral("match 1 won")));

  // A rematch begins match 2 once both asked: its agreement is taken, one for match 3 is not.
  pair.host.Send(net::Rematch{1});
  pair.guest->Expect<net::Rematch>();
  pair.guest->Send(net::Rematch{1});
  pair.host.Expect<net::Rematch>();
  pair.Agree(2);
  pair.host.Send(net::Commit{3, {}});
  EXPECT_EQ(pair.host.Expect<net::Refused>().reason, net::Refusal::ProtocolBroken);
  EXPECT_EQ(pair.guest->Expect<net::Leave>().reason, net::LeaveReason::ProtocolBroken);
}

TEST_F(RoomRulesTest, ChecksThatDifferStopTheMatchAndLeaveAReportOfBothSides) {
  Start();
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  const std::uint32_t seed = pair.Agree();
  pair.Start(1, 2, 4);
  const PlayedMatch played = PlayToAWin(net::Agreement{seed, Speed::Classic, 2, 4}, 3);
  ASSERT_GE(played.checks.size(), 3u);
  now += 20000;
  SendHeld(pair.host, 1, played.p1, 0, 200);
  SendHeld(*pair.guest, 1, played.p2, 0, 200);
  const net::Check agreed = played.checks[0];
  net::Check wrong = played.checks[1];
  pair.host.Send(agreed);
  pair.host.Send(wrong);
  pair.guest->Send(agreed);
  wrong.draws += 1;  // the guest's game drew one random value more
  pair.guest->Send(wrong);

  // Each gets the other's checks passed on, and the server's word that they are apart.
  for (Client* client : {&pair.host, &*pair.guest})
    EXPECT_EQ(client->Until<net::Desync>(), (net::Desync{1, wrong.tick}));
  const QStringList reports = QDir(data.path() + QStringLiteral("/desyncs")).entryList(QDir::Files);
  ASSERT_EQ(reports.size(), 1);
  const QString report =
      QString::fromLatin1(ReadAll(data.path() + QStringLiteral("/desyncs/") + reports[0]));
  EXPECT_TRUE(report.contains(QStringLiteral("first-differing-check %1").arg(wrong.tick)));
  EXPECT_TRUE(report.contains(QStringLiteral("last-agreed-check %1").arg(agreed.tick)));
  EXPECT_TRUE(report.contains(QStringLiteral("held1 200\n")));
  EXPECT_TRUE(report.contains(QStringLiteral("held2 200\n")));
  EXPECT_TRUE(Logged(QStringLiteral("the server agrees with player 1's")));
  EXPECT_TRUE(QDir(data.path() + QStringLiteral("/replays")).isEmpty());
}

TEST_F(RoomRulesTest, ADroppedPlayerComesBackWithinTheTimeToWhatWasConfirmedAndNotAfter) {
  // The host is quiet while the clock jumps: only the absent player's time counts here.
  Start([](ServerOptions& options) { options.lobby.limits.idleSeconds = 600; });
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  const std::uint32_t seed = pair.Agree();
  pair.guest->Send(net::Pick{1, 3});
  pair.host.Expect<net::Pick>();
  pair.Start(1, 1, 3);
  const PlayedMatch played = PlayToAWin(net::Agreement{seed, Speed::Classic, 1, 3}, 5);
  now += 20000;
  SendHeld(pair.host, 1, played.p1, 0, 300);
  SendHeld(*pair.guest, 1, played.p2, 0, 250);
  ASSERT_TRUE(pair.StillPlaying());

  const auto rejoin = [&](const net::Token& token) {
    auto client = std::make_unique<Client>(port, PathOf(pair.code), QStringLiteral("127.0.0.3"));
    EXPECT_TRUE(client->Open());
    client->Send(RejoinOf(pair.code, token));
    return client;
  };

  // The guest's connection drops; the host hears of it, plays on alone, and a wrong token
  // does not take the place.
  pair.guest->socket().abort();
  pair.host.Expect<net::PeerDropped>();
  SendHeld(pair.host, 1, played.p1, 300, 100);
  net::Token wrongToken = pair.guestToken;
  wrongToken[0] ^= 1;
  EXPECT_EQ(rejoin(wrongToken)->Expect<net::Refused>().reason, net::Refusal::RejoinRefused);

  // Back 29 s later with its token: where the match stands, and every held set kept.
  Advance(29000);
  std::unique_ptr<Client> back = rejoin(pair.guestToken);
  const net::Resume resume = back->Expect<net::Resume>();
  EXPECT_FALSE(resume.host);
  EXPECT_EQ(resume.match, 1);
  EXPECT_EQ(resume.phase, net::MatchPhase::Playing);
  EXPECT_EQ(resume.seed, seed);
  EXPECT_EQ(resume.p1Pick, 1);
  EXPECT_EQ(resume.p2Pick, 3);
  EXPECT_EQ(resume.p1Count, 400u);
  EXPECT_EQ(resume.p2Count, 250u);
  std::array<std::vector<net::Held>, 2> history;
  for (int messages = 0; history[0].size() + history[1].size() < 650 && messages < 10; ++messages) {
    const net::History part = back->Expect<net::History>();
    ASSERT_TRUE(part.side == 1 || part.side == 2);
    std::vector<net::Held>& side = history[part.side - 1u];
    EXPECT_EQ(part.first, side.size());
    side.insert(side.end(), part.held.begin(), part.held.begin() + part.count);
  }
  EXPECT_EQ(history[0], std::vector<net::Held>(played.p1.begin(), played.p1.begin() + 400));
  EXPECT_EQ(history[1], std::vector<net::Held>(played.p2.begin(), played.p2.begin() + 250));
  pair.host.Expect<net::PeerReturned>();
  // Its held sets go on from where the server has them; a changed one is refused later.
  SendHeld(*back, 1, played.p2, 250, 50);
  EXPECT_EQ(pair.host.Until<net::Inputs>()->first, 250u);
  pair.host.Send(net::Ping{9});
  EXPECT_EQ(back->Until<net::Ping>()->stamp, 9u);

  // A program started again before its old connection was seen to go takes its place at once.
  std::unique_ptr<Client> again = rejoin(pair.guestToken);
  EXPECT_EQ(again->Expect<net::Resume>().p2Count, 300u);
  EXPECT_TRUE(back->WaitClosed());
  EXPECT_EQ(back->pending(), 0u);
  pair.host.Expect<net::PeerReturned>();

  // Gone for 30 s: the room closes, the host is told, and the token opens nothing any more.
  again->socket().abort();
  pair.host.Expect<net::PeerDropped>();
  Advance(29999);
  EXPECT_EQ(server->counts().rooms, 1);
  Advance(1);
  EXPECT_EQ(server->counts().rooms, 0);
  EXPECT_EQ(pair.host.Expect<net::Leave>().reason, net::LeaveReason::NotBack);
  EXPECT_TRUE(pair.host.WaitClosed());
  EXPECT_EQ(rejoin(pair.guestToken)->Expect<net::Refused>().reason, net::Refusal::RejoinRefused);
}

TEST_F(RoomRulesTest, AConnectionLostWhileTheMatchIsAgreedEndsTheRoomAtOnce) {
  Start();
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  pair.host.Send(net::Commit{1, {}});
  pair.guest->Expect<net::Commit>();
  // Its secret for the seed went with it: no coming back, so no waiting for it either.
  pair.host.socket().abort();
  EXPECT_EQ(pair.guest->Expect<net::Leave>().reason, net::LeaveReason::NotBack);
  EXPECT_TRUE(pair.guest->WaitClosed());
  Client back(port, PathOf(pair.code));
  ASSERT_TRUE(back.Open());
  back.Send(RejoinOf(pair.code, pair.hostToken));
  EXPECT_EQ(back.Expect<net::Refused>().reason, net::Refusal::RejoinRefused);
}

TEST_F(RoomRulesTest, ShuttingDownTellsEveryPlayerAndClosesEveryConnection) {
  Start();
  Pair pair(port);
  ASSERT_TRUE(pair.ok);
  Client waiting(port, QStringLiteral("/play"));
  ASSERT_TRUE(waiting.Open());
  server->Shutdown();
  for (Client* client : {&pair.host, &*pair.guest, &waiting}) {
    EXPECT_EQ(client->Expect<net::Refused>().reason, net::Refusal::ShuttingDown);
    EXPECT_TRUE(client->WaitClosed());
  }
  EXPECT_TRUE(WaitFor([this] { return server->connections() == 0; }));
}

}  // namespace
}  // namespace tandemhoop::server::testing
