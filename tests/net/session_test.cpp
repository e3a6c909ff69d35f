// Two sessions playing whole games through a simulated network: whatever the network does, both
// machines keep the same replay, the one the same held sets give without any network, and a
// machine that plays otherwise is caught at the next check.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/mt_random.h"
#include "game/replay.h"
#include "net/match.h"
#include "net/room.h"
#include "net/session.h"
#include "tests/support/online_pair.h"

namespace tandemhoop::net {
namespace {

using testing::LinkProfile;
using testing::OnlinePair;
using testing::PairSetup;

std::uint32_t SeedOfReplay(const std::string& text) {
  Replay replay;
  std::string error;
  EXPECT_TRUE(ReadReplay(text, replay, error)) << error;
  return replay.header.seed;
}

// Both sides ended the match with the same winner and the same replay, which is the replay of
// the held sets they sent played without a network, and which verifies.
void ExpectOneGame(OnlinePair& pair, Speed speed) {
  const Status host = pair.session(0).status();
  const Status guest = pair.session(1).status();
  ASSERT_EQ(host.phase, Phase::Ended);
  ASSERT_EQ(guest.phase, Phase::Ended);
  EXPECT_EQ(host.winner, guest.winner);
  const std::string replay = pair.session(0).ReplayText();
  EXPECT_TRUE(replay == pair.session(1).ReplayText());
  const Agreement agreement{SeedOfReplay(replay), speed, host.p1Pick, host.p2Pick};
  EXPECT_TRUE(replay == BuildReplay(agreement, pair.HeldSent(0), pair.HeldSent(1)));
  Replay read;
  std::string error;
  ASSERT_TRUE(ReadReplay(replay, read, error)) << error;
  const VerifyResult verified = VerifyReplay(read);
  EXPECT_TRUE(verified.matches) << verified.mismatch;
  EXPECT_EQ(verified.p1Score == 4 ? 1 : 2, host.winner);
  EXPECT_GT(pair.stoppagesSeen(0), 0);  // fouls were called, and waited out, on both sides
  EXPECT_GT(pair.stoppagesSeen(1), 0);
}

TEST(SessionTest, APerfectLinkPlaysTheGameTheHeldSetsGiveWithoutANetwork) {
  PairSetup setup;
  setup.seed = 3;
  setup.p1Pick = 4;
  setup.p2Pick = 3;
  OnlinePair pair(setup);
  pair.Run();
  ExpectOneGame(pair, Speed::Classic);
  EXPECT_EQ(pair.session(0).status().p1Pick, 4);
  EXPECT_EQ(pair.session(1).status().p2Pick, 3);
}

TEST(SessionTest, ALossyLinkWithAnOutageAndDriftingClocksStillPlaysOneGame) {
  PairSetup setup;
  setup.speed = Speed::Fast;
  setup.seed = 11;
  setup.link = LinkProfile{75, 10, 0.02, 20, 2};
  setup.clockPpm = {200, -200};
  OnlinePair pair(setup);
  pair.Run();
  ExpectOneGame(pair, Speed::Fast);
  for (int side = 0; side < 2; ++side) {
    const Stats& stats = pair.session(side).stats();
    EXPECT_GT(stats.rollbacks, 0u);
    EXPECT_LE(stats.maxRollbackDepth, stats.predictionTicks);
    EXPECT_GE(stats.waits, 1u);  // the outage
    EXPECT_GT(stats.inputDelayTicks, 0);
    EXPECT_GE(stats.roundTripMs, 140);  // stalls hold pings too
    // Only the newest tick is drawn: ticks run again after a rollback draw nothing (a rollback
    // while the game holds redraws its newest tick once).
    EXPECT_GT(stats.rerunTicks, 2 * stats.rollbacks);
    EXPECT_LE(pair.courtCopies(side), static_cast<long long>(stats.ticks + stats.rollbacks));
  }
  EXPECT_GT(pair.link().stalls(), 0);
}

TEST(SessionTest, AProgramKilledInMidGameComesBackAndTheGameGoesOnAsOne) {
  PairSetup setup;
  setup.speed = Speed::Fast;
  setup.seed = 21;
  setup.link = LinkProfile{30, 5, 0, -1, 0};
  OnlinePair pair(setup);
  pair.RunUntil([&] { return pair.session(1).stats().ticks >= 600; });
  ASSERT_EQ(pair.session(0).status().phase, Phase::Playing);
  pair.Kill(1);
  const std::int64_t killed = pair.now();
  pair.RunUntil([&] { return pair.now() > killed + 2'000'000'000; });
  EXPECT_EQ(pair.session(0).status().phase, Phase::PeerDropped);
  const std::uint64_t waited = pair.session(0).stats().ticksWaited;
  pair.Rejoin(1);
  // It runs the match again from the start at once, and carries on.
  EXPECT_GE(pair.session(1).game().state.playClock, 1);
  EXPECT_EQ(pair.session(1).status().phase, Phase::Playing);
  pair.Run();
  ExpectOneGame(pair, Speed::Fast);
  EXPECT_GT(pair.session(0).stats().ticksWaited, waited);
}

// The game's random values, from a given draw on all of them off, on one machine only.
class GoingWrong final : public RandomSource {
 public:
  explicit GoingWrong(std::uint64_t from) : from_(from) {}
  double Next() override {
    const double value = random_.Next();
    return random_.Draws() < from_ ? value : std::fmod(value + 0.5, 1.0);
  }
  void Seed(std::uint32_t seed) override { random_.Seed(seed); }
  std::uint64_t Draws() const override { return random_.Draws(); }
  bool Save(RandomSnapshot& into) const override { return random_.Save(into); }
  bool Restore(const RandomSnapshot& from) override { return random_.Restore(from); }

 private:
  MtRandom random_;
  std::uint64_t from_;
};

TEST(SessionTest, AMachineWhoseRandomValuesGoWrongIsCaughtAtTheNextCheck) {
  PairSetup setup;
  setup.seed = 5;
  setup.link = LinkProfile{40, 5, 0, -1, 0};
  GoingWrong wrong(300);
  setup.random[1] = &wrong;
  OnlinePair pair(setup);
  pair.Run();
  const Status host = pair.session(0).status();
  const Status guest = pair.session(1).status();
  ASSERT_EQ(host.phase, Phase::Desync);
  ASSERT_EQ(guest.phase, Phase::Desync);
  EXPECT_EQ(host.desyncTick, guest.desyncTick);

  // The first tick after which the two machines' games differ, from the held sets they played.
  HeadlessPlatform headless;
  GoingWrong reference(300);
  Match right(headless);
  Match wrongMatch(headless, &reference);
  EventLog log;
  const Agreement agreement{SeedOfReplay(pair.session(0).ReplayText()), Speed::Classic, host.p1Pick,
                            host.p2Pick};
  right.Begin(agreement, log);
  wrongMatch.Begin(agreement, log);
  const std::vector<Held> p1 = pair.HeldSent(0);
  const std::vector<Held> p2 = pair.HeldSent(1);
  std::uint32_t apart = 0;
  StepEvents step;
  for (; apart < p1.size() && apart < p2.size(); ++apart) {
    right.Step(p1[apart], p2[apart], step);
    wrongMatch.Step(p1[apart], p2[apart], step);
    if (StateHash(right.game().state) != StateHash(wrongMatch.game().state) ||
        right.random().Draws() != wrongMatch.random().Draws()) {
      break;
    }
  }
  // Caught at the first check both sides took after it: no later than the next periodic one.
  EXPECT_GE(host.desyncTick, apart);
  EXPECT_LE(host.desyncTick, apart | 31);
}

std::vector<std::uint8_t> Bytes(const Message& message) {
  Frame frame;
  EXPECT_TRUE(Encode(message, frame));
  return {frame.bytes.begin(), frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.size)};
}

std::vector<Message> Sent(Session& session) {
  std::vector<Message> sent;
  std::span<const std::uint8_t> bytes;
  while (session.TakeOutgoing(bytes)) {
    Message message;
    EXPECT_EQ(Decode(bytes, message), WireError::None);
    sent.push_back(message);
  }
  return sent;
}

TEST(SessionTest, TheAgreementRefusesAnotherCoreAndANonceThatIsNotTheOneCommittedTo) {
  HeadlessPlatform platform;
  SessionOptions options;
  options.direct = true;
  options.role = Role::Guest;
  Hello hello;
  hello.fingerprint = CoreFingerprint();
  hello.version = VersionText(GameVersion());
  Nonce nonce{};
  nonce[0] = 9;
  {
    Session session(platform, options);
    session.Open(0);
    Hello other = hello;
    other.fingerprint ^= 1;
    session.Receive(Bytes(other), 1);
    EXPECT_EQ(session.status().phase, Phase::Refused);
    EXPECT_EQ(session.status().refusal, Refusal::Fingerprint);
  }
  {
    Session session(platform, options);
    session.Open(0);
    session.Receive(Bytes(hello), 1);
    session.Receive(Bytes(Commit{1, CommitmentOf(nonce)}), 2);
    nonce[0] = 10;
    session.Receive(Bytes(Reveal{1, nonce}), 3);
    EXPECT_EQ(session.status().phase, Phase::Refused);
    EXPECT_EQ(session.status().refusal, Refusal::ProtocolBroken);
    EXPECT_TRUE(std::holds_alternative<Leave>(Sent(session).back()));
  }
  {
    // A message that does not decode.
    Session session(platform, options);
    session.Open(0);
    const std::uint8_t garbage[] = {0x26, 1};
    session.Receive(garbage, 1);
    EXPECT_EQ(session.status().phase, Phase::Refused);
  }
}

TEST(SessionTest, ThroughARoomTheHostGetsTheCodeAndBothReachTheSelectionScreen) {
  HeadlessPlatform platform;
  SessionOptions hostOptions;
  hostOptions.speed = Speed::Fast;
  hostOptions.secret[0] = 1;
  SessionOptions guestOptions;
  guestOptions.role = Role::Guest;
  ASSERT_TRUE(ParseRoomCode("mnp-rtw", guestOptions.code));
  Session host(platform, hostOptions);
  Session guest(platform, guestOptions);
  const Token token{7, 7, 7};
  // Standing in for the server: a room for the host, the guest let in, then everything passed
  // on between them as it is.
  host.Open(0);
  std::vector<Message> toServer = Sent(host);
  ASSERT_EQ(toServer.size(), 1u);
  ASSERT_TRUE(std::holds_alternative<CreateRoom>(toServer[0]));
  EXPECT_EQ(std::get<CreateRoom>(toServer[0]).speed, Speed::Fast);
  EXPECT_EQ(std::get<CreateRoom>(toServer[0]).fingerprint, CoreFingerprint());
  host.Receive(Bytes(RoomCreated{guestOptions.code, token}), 1);
  EXPECT_EQ(CodeText(host.status().code), "MNPRTW");
  EXPECT_EQ(host.status().phase, Phase::Connecting);
  guest.Open(2);
  toServer = Sent(guest);
  ASSERT_TRUE(std::holds_alternative<JoinRoom>(toServer.at(0)));
  EXPECT_EQ(CodeText(std::get<JoinRoom>(toServer[0]).code), "MNPRTW");
  guest.Receive(Bytes(RoomJoined{guestOptions.code, token, Speed::Fast}), 3);
  host.Receive(Bytes(PeerJoined{}), 4);
  guest.Receive(Bytes(PeerJoined{}), 4);
  for (int round = 0; round < 4; ++round) {
    for (const Message& m : Sent(host))
      guest.Receive(Bytes(m), 5 + round);
    for (const Message& m : Sent(guest))
      host.Receive(Bytes(m), 5 + round);
  }
  EXPECT_EQ(host.status().phase, Phase::Picking);
  EXPECT_EQ(guest.status().phase, Phase::Picking);
  EXPECT_EQ(guest.status().speed, Speed::Fast);
  EXPECT_EQ(guest.status().localSide, 2);

  // A code that is no room's is refused before anything is sent.
  SessionOptions typo = guestOptions;
  typo.code[0] = 'O';
  Session lost(platform, typo);
  lost.Open(0);
  EXPECT_EQ(lost.status().phase, Phase::Refused);
  EXPECT_EQ(lost.status().refusal, Refusal::UnknownCode);
  EXPECT_TRUE(Sent(lost).empty());
}

TEST(SessionTest, OnTheSelectionScreenTwoPicksOfOnePlayerCrossingLeaveTheHostsStanding) {
  PairSetup setup;
  setup.autoPick = false;
  OnlinePair pair(setup);
  pair.RunUntil([&] {
    return pair.session(0).status().phase == Phase::Picking &&
           pair.session(1).status().phase == Phase::Picking;
  });
  // Both take player 3 before either hears of the other's pick.
  Session& host = pair.session(0);
  Session& guest = pair.session(1);
  ASSERT_TRUE(host.PickPlayer(3));
  ASSERT_TRUE(guest.PickPlayer(3));
  guest.SetReady(true);
  host.SetReady(true);
  std::vector<Message> fromHost = Sent(host);
  std::vector<Message> fromGuest = Sent(guest);
  for (const Message& m : fromHost)
    guest.Receive(Bytes(m), pair.now());
  for (const Message& m : fromGuest)
    host.Receive(Bytes(m), pair.now());
  EXPECT_EQ(host.status().p1Pick, 3);
  EXPECT_EQ(guest.status().p1Pick, 3);
  EXPECT_EQ(guest.status().p2Pick, 0);  // the guest took his back, and is not ready
  EXPECT_FALSE(guest.status().p2Ready);
  EXPECT_EQ(host.status().phase, Phase::Picking);  // no start with one player in both boxes
  EXPECT_FALSE(guest.PickPlayer(3));
  for (const Message& m : Sent(guest))
    host.Receive(Bytes(m), pair.now());
  EXPECT_EQ(host.status().p2Pick, 0);
}

TEST(SessionTest, ARematchAgreesOnANewSeedAndSwapsTheSides) {
  PairSetup setup;
  setup.seed = 8;
  OnlinePair pair(setup);
  pair.Run();
  ASSERT_EQ(pair.session(0).status().phase, Phase::Ended);
  const std::uint32_t firstSeed = SeedOfReplay(pair.session(0).ReplayText());
  const std::uint64_t firstTicks = pair.session(1).stats().ticks;
  pair.session(0).RequestRematch();
  pair.session(1).RequestRematch();
  pair.RunUntil([&] { return pair.session(1).stats().ticks > firstTicks + 100; });
  for (int side = 0; side < 2; ++side) {
    const Status status = pair.session(side).status();
    EXPECT_EQ(status.match, 2);
    EXPECT_EQ(status.localSide, side == 0 ? 2 : 1);
    EXPECT_EQ(status.phase, Phase::Playing);
  }
  EXPECT_NE(SeedOfReplay(pair.session(1).ReplayText()), firstSeed);
}

}  // namespace
}  // namespace tandemhoop::net
