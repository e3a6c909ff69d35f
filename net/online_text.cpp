#include "net/online_text.h"

#include <cmath>

#include "net/room.h"

namespace tandemhoop::net {

namespace {

std::string Code(const Status& status) {
  return IsRoomCode(status.code) ? std::string(CodeText(status.code)) : std::string();
}

// A figure rounded to `places` decimals (0 or 1). Written out by hand: the printf family would
// bring the C library's file output into the browser's module, which imports nothing but the
// page's own functions.
std::string Number(double value, int places) {
  const long long scaled = std::llround(places == 0 ? value : value * 10);
  if (places == 0) return std::to_string(scaled);
  const std::string sign = scaled < 0 ? "-" : "";
  const long long magnitude = scaled < 0 ? -scaled : scaled;
  return sign + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

}  // namespace

bool PoorConnection(const Status& status, const Stats& stats) {
  return status.phase == Phase::Waiting || stats.roundTripMs >= kPoorRoundTripMs;
}

std::string ConnectionLine(const Status& status, const Stats& stats) {
  std::string line;
  const std::string code = Code(status);
  if (!code.empty()) line = "Room " + code + " \u00b7 ";
  line += "you are Player " + std::to_string(status.localSide) + " \u00b7 round trip ";
  // Nothing measured yet: the first ping is on its way. On a LAN it may be less than one.
  if (stats.roundTripMs <= 0) {
    line += "\u2026";
  } else if (stats.roundTripMs < 0.5) {
    line += "under 1 ms";
  } else {
    line += Number(stats.roundTripMs, 0) + " ms";
  }
  if (status.phase == Phase::Waiting) {
    line += " \u2014 waiting for the other player's keys";
  } else if (PoorConnection(status, stats)) {
    line += " \u2014 poor connection";
  }
  return line;
}

std::string PhaseText(const Status& status, int secondsLeft, bool askedRematch) {
  const std::string seconds = " (" + std::to_string(secondsLeft < 0 ? 0 : secondsLeft) + " s)";
  switch (status.phase) {
    case Phase::Connecting:
      // Until the room is there only the host, who plays Player 1 in the first match, waits.
      if (!IsRoomCode(status.code)) return "Reaching the server\u2026";
      if (status.localSide == 1) return "Room " + Code(status) + ": waiting for the other player";
      return "Joining room " + Code(status) + "\u2026";
    case Phase::Agreeing:
      return "The other player is here: agreeing on the game\u2026";
    case Phase::Picking:
      return "Pick your player, then Ready";
    case Phase::Playing:
    case Phase::Stoppage:
      return {};
    case Phase::Waiting:
      return "Waiting for the other player's game\u2026";
    case Phase::Ended: {
      std::string text = status.winner == status.localSide
                             ? std::string("You win!")
                             : "Player " + std::to_string(status.winner) + " wins.";
      if (askedRematch) return text + " Waiting for the other player's answer\u2026";
      return text + (status.peerWantsRematch ? " The other player wants a rematch."
                                             : " Rematch or leave?");
    }
    case Phase::PeerDropped:
      return "The other player's connection dropped: waiting up to " +
             std::to_string(kRejoinSeconds) + " s for them to come back" + seconds;
    case Phase::PeerLeft:
      return std::string(LeaveText(status.leaveReason));
    case Phase::Desync:
      return "The two games no longer agree (from tick " + std::to_string(status.desyncTick) +
             "): the game stops here. The server keeps a report.";
    case Phase::Refused:
      return std::string(RefusalText(status.refusal));
    case Phase::Disconnected:
      if (secondsLeft <= 0)
        return "The connection to the server was lost and could not be made again.";
      return "The connection to the server was lost: coming back" + seconds;
    case Phase::Left:
      return "You left the game.";
  }
  return {};
}

std::string PickingText(const Status& status) {
  const int own = status.localSide == 1 ? status.p1Pick : status.p2Pick;
  const bool ownReady = status.localSide == 1 ? status.p1Ready : status.p2Ready;
  const bool otherReady = status.localSide == 1 ? status.p2Ready : status.p1Ready;
  const std::string other = "Player " + std::to_string(3 - status.localSide);
  std::string text = "Online: you are Player " + std::to_string(status.localSide) + ". ";
  if (own == 0) return text + "Pick your player.";
  if (!ownReady) return text + (otherReady ? other + " is ready: " : "") + "Ready when you are.";
  return text + (otherReady ? "Starting\u2026" : "Waiting for " + other + "\u2026");
}

std::string_view RefusalText(Refusal reason) {
  switch (reason) {
    case Refusal::Version:
      return "The other side runs another version of Tandemhoop.";
    case Refusal::Fingerprint:
      return "The other side's Tandemhoop plays by other rules (another build of the same "
             "version).";
    case Refusal::RoomFull:
      return "That room already has two players.";
    case Refusal::UnknownCode:
      return "No room has that code.";
    case Refusal::TooManyAttempts:
      return "Too many codes were tried from here: wait a minute, then try again.";
    case Refusal::ShuttingDown:
      return "The server is shutting down.";
    case Refusal::ProtocolBroken:
      return "The connection broke the rules of online play and was closed.";
    case Refusal::ServerFull:
      return "The server is full: try again later.";
    case Refusal::RejoinRefused:
      return "The room could not be joined again: too late, or the game had not begun.";
    case Refusal::Idle:
      return "The server closed the connection: nothing came from this side for too long.";
  }
  return "The server refused.";
}

std::string_view LeaveText(LeaveReason reason) {
  switch (reason) {
    case LeaveReason::Left:
      return "The other player left the game.";
    case LeaveReason::NotBack:
      return "The other player's connection dropped, and they did not come back.";
    case LeaveReason::ProtocolBroken:
      return "The other player's game broke the rules of online play and was cut off.";
  }
  return "The other player is gone.";
}

std::string StatsLine(const Stats& stats) {
  std::uint64_t depths = 0;
  for (std::size_t depth = 0; depth < stats.rollbackDepths.size(); ++depth)
    depths += depth * stats.rollbackDepths[depth];
  const double meanDepth =
      stats.rollbacks == 0 ? 0 : static_cast<double>(depths) / static_cast<double>(stats.rollbacks);
  return "online: round trip " + Number(stats.roundTripMs, 0) + " ms, input delay " +
         std::to_string(stats.inputDelayTicks) + " ticks, " + std::to_string(stats.ticks) +
         " ticks, " + std::to_string(stats.rollbacks) + " rollbacks (deepest " +
         std::to_string(stats.maxRollbackDepth) + " ticks, mean " + Number(meanDepth, 1) + "), " +
         std::to_string(stats.rerunTicks) + " ticks run again, " + std::to_string(stats.waits) +
         " waits (" + std::to_string(stats.ticksWaited) + " ticks held), " +
         std::to_string(stats.bytesSent) + " bytes sent, " + std::to_string(stats.bytesReceived) +
         " received";
}

}  // namespace tandemhoop::net
