#pragma once

#include <string>
#include <string_view>

#include "net/session.h"

// What a front end tells the player about an online game, in one set of words for the desktop
// and the page alike (UTF-8). Never on the tick path: the front ends ask when they show it.
namespace tandemhoop::net {

// What Esc asks online, where play goes on meanwhile (there is no pause online).
inline constexpr std::string_view kLeaveQuestion = "Leave the game?";

// From this round trip on, the other player's moves arrive late enough to be seen corrected.
inline constexpr double kPoorRoundTripMs = 300;

// The line beside the court during an online game: the room, the side the local player plays,
// the round trip between the two players, and a warning when the connection is poor (a slow
// round trip, or the game holding for the other side's keys). "Room 7HKP3C · you are Player 1
// · round trip 84 ms".
std::string ConnectionLine(const Status& status, const Stats& stats);
bool PoorConnection(const Status& status, const Stats& stats);

// What stands over the court or in the online dialog for where the session is, and for how
// long a lost player may still come back (`secondsLeft`, for a drop on either side); after a
// win, whether this side has asked for a rematch. Empty for play itself.
std::string PhaseText(const Status& status, int secondsLeft, bool askedRematch = false);
// The selection screen's line: the side the local player plays and what is awaited.
std::string PickingText(const Status& status);

std::string_view RefusalText(Refusal reason);
std::string_view LeaveText(LeaveReason reason);

// One line for standard error at the end of an online game: the figures of its connection.
std::string StatsLine(const Stats& stats);

}  // namespace tandemhoop::net
