// The words both front ends show for an online game: what a player reads must follow the
// session's state, not merely exist.
#include <gtest/gtest.h>

#include <string>

#include "net/online_text.h"
#include "net/room.h"

namespace tandemhoop::net {
namespace {

RoomCode Code(const char* text) {
  RoomCode code{};
  EXPECT_TRUE(ParseRoomCode(text, code));
  return code;
}

TEST(OnlineTextTest, TheConnectionLineGivesTheSideTheRoundTripAndWarnsWhenItIsPoor) {
  Status status;
  status.phase = Phase::Playing;
  status.code = Code("7hk-p3c");
  status.localSide = 2;
  Stats stats;
  EXPECT_EQ(ConnectionLine(status, stats),
            "Room 7HKP3C \u00b7 you are Player 2 \u00b7 round trip \u2026");
  stats.roundTripMs = 83.6;
  EXPECT_EQ(ConnectionLine(status, stats),
            "Room 7HKP3C \u00b7 you are Player 2 \u00b7 round trip 84 ms");
  EXPECT_FALSE(PoorConnection(status, stats));
  stats.roundTripMs = kPoorRoundTripMs;
  EXPECT_TRUE(PoorConnection(status, stats));
  EXPECT_NE(ConnectionLine(status, stats).find("300 ms \u2014 poor connection"), std::string::npos);
  // Holding for the other side's keys is the warning that matters most, whatever the ping.
  stats.roundTripMs = 40;
  status.phase = Phase::Waiting;
  EXPECT_TRUE(PoorConnection(status, stats));
  EXPECT_NE(ConnectionLine(status, stats).find("waiting for the other player's keys"),
            std::string::npos);
}

TEST(OnlineTextTest, ThePhaseTextFollowsTheRoomTheMatchAndWhoIsGone) {
  Status status;
  EXPECT_EQ(PhaseText(status, 0), "Reaching the server\u2026");
  status.code = Code("7HKP3C");
  EXPECT_EQ(PhaseText(status, 0), "Room 7HKP3C: waiting for the other player");
  status.localSide = 2;
  EXPECT_EQ(PhaseText(status, 0), "Joining room 7HKP3C\u2026");

  status.phase = Phase::Ended;
  status.winner = 1;
  EXPECT_EQ(PhaseText(status, 0), "Player 1 wins. Rematch or leave?");
  status.localSide = 1;
  status.peerWantsRematch = true;
  EXPECT_EQ(PhaseText(status, 0), "You win! The other player wants a rematch.");
  EXPECT_EQ(PhaseText(status, 0, true), "You win! Waiting for the other player's answer\u2026");

  status.phase = Phase::PeerDropped;
  EXPECT_NE(PhaseText(status, 17).find("(17 s)"), std::string::npos);
  status.phase = Phase::Disconnected;
  EXPECT_NE(PhaseText(status, 3).find("coming back (3 s)"), std::string::npos);
  EXPECT_EQ(PhaseText(status, 0).find("coming back"), std::string::npos) << "no more time";
  status.phase = Phase::PeerLeft;
  status.leaveReason = LeaveReason::NotBack;
  EXPECT_EQ(PhaseText(status, 0), LeaveText(LeaveReason::NotBack));
  status.phase = Phase::Refused;
  status.refusal = Refusal::UnknownCode;
  EXPECT_EQ(PhaseText(status, 0), "No room has that code.");
  status.phase = Phase::Desync;
  status.desyncTick = 1234;
  EXPECT_NE(PhaseText(status, 0).find("from tick 1234"), std::string::npos);
  status.phase = Phase::Playing;
  EXPECT_EQ(PhaseText(status, 0), "");
}

TEST(OnlineTextTest, ThePickingLineSaysWhatEachSideStillOwes) {
  Status status;
  status.phase = Phase::Picking;
  status.localSide = 2;
  EXPECT_EQ(PickingText(status), "Online: you are Player 2. Pick your player.");
  status.p2Pick = 3;
  status.p1Ready = true;  // the other side's readiness, not ours
  EXPECT_EQ(PickingText(status),
            "Online: you are Player 2. Player 1 is ready: Ready when you are.");
  status.p1Ready = false;
  status.p2Ready = true;
  EXPECT_EQ(PickingText(status), "Online: you are Player 2. Waiting for Player 1\u2026");
}

TEST(OnlineTextTest, TheFiguresGiveTheMeanRollbackDepthFromTheHistogram) {
  Stats stats;
  stats.roundTripMs = 241.4;
  stats.rollbacks = 5;
  stats.rollbackDepths[1] = 2;
  stats.rollbackDepths[3] = 2;
  stats.rollbackDepths[64] = 1;  // 64 or deeper counts as 64
  stats.maxRollbackDepth = 70;
  const std::string line = StatsLine(stats);
  EXPECT_NE(line.find("round trip 241 ms"), std::string::npos) << line;
  EXPECT_NE(line.find("5 rollbacks (deepest 70 ticks, mean 14.4)"), std::string::npos) << line;
}

}  // namespace
}  // namespace tandemhoop::net
