#pragma once

#include <cstdint>
#include <string_view>

#include "net/wire.h"

// The rules of a room that need no network code: its code, and the limits a server holds every
// peer to. The room server applies them; the clients use the code rules to read what a player
// typed.
namespace tandemhoop::net {

// Room codes are read aloud and typed from a chat: no two characters of the alphabet look
// alike (none of 0/O/Q/D, 1/I/L, 2/Z, 5/S, 6/G, 8/B, U/V), and without vowels no code spells
// a word by chance. 17 characters to the power of 6: 24 million codes.
inline constexpr std::string_view kRoomCodeAlphabet = "CFHJKMNPRTWXY3479";

// Whether all six characters are from the alphabet (upper case, as sent).
bool IsRoomCode(const RoomCode& code);
// The code a server gives a new room from 64 random bits of its own.
RoomCode MakeRoomCode(std::uint64_t randomBits);
// What a player typed: letters in either case, spaces and dashes between them allowed. False
// for anything that is not six characters of the alphabet.
bool ParseRoomCode(std::string_view typed, RoomCode& code);
std::string_view CodeText(const RoomCode& code);

// How long a dropped player's place is kept.
inline constexpr int kRejoinSeconds = 30;

// What a server lets one peer do, so that it stays safe on the open internet. A client keeps far
// below each: at Fast it sends 64 Inputs and a Ping a second.
struct RoomLimits {
  int messagesPerSecond = 160;     // averaged over 2 s; more is flooding: dropped
  int connectionsPerAddress = 8;   // open at once
  int joinAttemptsPerMinute = 10;  // per address, successful or not: codes cannot be guessed
  int idleSeconds = 20;            // nothing at all from a peer (clients ping every second)
  int waitForGuestMinutes = 30;    // a room nobody joined is closed
  int maxRooms = 2000;             // the server's default for --max-rooms
};

}  // namespace tandemhoop::net
