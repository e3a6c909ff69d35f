#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "game/speed.h"

// The messages of online play, as they travel: one message is one binary WebSocket message,
// a type byte and then its fields, integers little-endian and of fixed width. docs/online.md
// says who sends each one to whom and what the room server does with it.
namespace tandemhoop::net {

// Raised whenever a message changes shape or meaning; the server and the other side refuse a
// peer of another protocol at the door.
inline constexpr std::uint16_t kProtocolVersion = 1;

// Limits every decoder applies before it believes a byte.
inline constexpr std::size_t kMaxMessageBytes = 1024;
inline constexpr std::size_t kMaxVersionLength = 32;      // the game's version text
inline constexpr std::size_t kMaxInputsPerMessage = 128;  // held sets in one Inputs
inline constexpr std::size_t kMaxHistoryPerMessage = 960;
inline constexpr std::uint32_t kMaxMatchTicks = 20'000'000;  // a replay's own limit
inline constexpr std::size_t kRoomCodeLength = 6;
inline constexpr std::size_t kTokenBytes = 16;
inline constexpr std::size_t kNonceBytes = 32;

// One side's five actions held during a tick, one bit each; the other three bits are always 0.
using Held = std::uint8_t;
inline constexpr Held kHoldLeft = 1;
inline constexpr Held kHoldUp = 2;
inline constexpr Held kHoldRight = 4;
inline constexpr Held kHoldDown = 8;
inline constexpr Held kHoldAction = 16;
inline constexpr Held kHeldMask = 31;

using RoomCode = std::array<char, kRoomCodeLength>;
using Token = std::array<std::uint8_t, kTokenBytes>;
using Digest = std::array<std::uint8_t, 32>;
using Nonce = std::array<std::uint8_t, kNonceBytes>;

// The game's version as sent: 1 to 32 printable characters, kept without allocating.
class VersionText {
 public:
  VersionText() = default;
  explicit VersionText(std::string_view text);  // cut to kMaxVersionLength
  std::string_view view() const { return {chars_.data(), length_}; }
  friend bool operator==(const VersionText& a, const VersionText& b) {
    return a.view() == b.view();
  }

 private:
  std::array<char, kMaxVersionLength> chars_{};
  std::uint8_t length_ = 0;
};

// Why the server (or the other side, at its door) will not go on with a connection. The
// connection is closed after it.
enum class Refusal : std::uint8_t {
  Version = 1,      // another protocol or another game version
  Fingerprint,      // the same version number but another core (a build that plays otherwise)
  RoomFull,         // the room has its two players
  UnknownCode,      // no room has this code
  TooManyAttempts,  // too many codes tried from this address: wait a while
  ShuttingDown,     // the server is stopping
  ProtocolBroken,   // a message that does not decode or does not belong where it came
  ServerFull,       // no room for another room or connection
  RejoinRefused,    // the token is not this room's, or the time to come back has passed
  Idle,             // nothing heard for too long
};
inline constexpr std::uint8_t kRefusalCount = 10;

// Why the other player is gone for good.
enum class LeaveReason : std::uint8_t {
  Left = 0,            // chose to leave
  NotBack = 1,         // dropped and did not come back in time
  ProtocolBroken = 2,  // dropped by the server for breaking the protocol
};
inline constexpr std::uint8_t kLeaveReasonCount = 3;

// What a hash check is taken at.
enum class CheckKind : std::uint8_t {
  Periodic = 0,  // every 32nd tick of a match
  Stoppage = 1,  // the tick that showed a foul or a win message
  End = 2,       // the winning tick, once both sides' inputs for it are known
};

// Where a room's current match stands, for a player who comes back.
enum class MatchPhase : std::uint8_t { Agreeing = 0, Picking = 1, Playing = 2, Ended = 3 };

// ---- client to server: the room ----

struct CreateRoom {  // the host asks for a room; answered by RoomCreated or Refused
  std::uint16_t protocol = kProtocolVersion;
  std::uint64_t fingerprint = 0;
  Speed speed = Speed::Classic;
  VersionText version;
  bool operator==(const CreateRoom&) const = default;
};
struct JoinRoom {  // the guest asks to join by the code; RoomJoined or Refused
  std::uint16_t protocol = kProtocolVersion;
  std::uint64_t fingerprint = 0;
  RoomCode code{};
  VersionText version;
  bool operator==(const JoinRoom&) const = default;
};
struct RejoinRoom {  // a player whose connection (or program) was lost comes back
  std::uint16_t protocol = kProtocolVersion;
  std::uint64_t fingerprint = 0;
  RoomCode code{};
  Token token{};
  VersionText version;
  bool operator==(const RejoinRoom&) const = default;
};

// ---- server to client: the room ----

struct RoomCreated {  // to the host: the code to give the friend, the token to come back with
  RoomCode code{};
  Token token{};
  bool operator==(const RoomCreated&) const = default;
};
struct RoomJoined {  // to the guest
  RoomCode code{};
  Token token{};
  Speed speed = Speed::Classic;
  bool operator==(const RoomJoined&) const = default;
};
// To both, once the room has its two players.
struct PeerJoined {
  bool operator==(const PeerJoined&) const = default;
};
// The other's connection dropped; the room waits for them.
struct PeerDropped {
  bool operator==(const PeerDropped&) const = default;
};
// ... and they are back.
struct PeerReturned {
  bool operator==(const PeerReturned&) const = default;
};
struct Refused {
  Refusal reason = Refusal::ProtocolBroken;
  bool operator==(const Refused&) const = default;
};
// To a player who came back: where the match stands. History messages follow with every input
// the server holds of each side, P1's first, then the other side's resends carry on.
struct Resume {
  bool host = true;  // the role this player had
  Speed speed = Speed::Classic;
  std::uint16_t match = 1;
  MatchPhase phase = MatchPhase::Agreeing;
  std::uint32_t seed = 0;  // from Picking on
  std::uint8_t p1Pick = 0;
  std::uint8_t p2Pick = 0;
  bool p1Ready = false;
  bool p2Ready = false;
  std::uint32_t p1Count = 0;  // held sets the History messages will bring, per side
  std::uint32_t p2Count = 0;
  bool operator==(const Resume&) const = default;
};
struct History {
  std::uint8_t side = 1;  // 1: Player 1's inputs, 2: Player 2's
  std::uint32_t first = 0;
  std::uint16_t count = 0;  // 1 to kMaxHistoryPerMessage
  std::array<Held, kMaxHistoryPerMessage> held{};
  bool operator==(const History&) const = default;
};

// ---- between the two players, passed on by the server as they are ----

struct Hello {  // first word to the other side once both are in the room
  std::uint16_t protocol = kProtocolVersion;
  std::uint64_t fingerprint = 0;
  Speed speed = Speed::Classic;  // the host's choice; a guest repeats what it was told
  bool host = true;
  VersionText version;
  bool operator==(const Hello&) const = default;
};
struct Commit {  // SHA-256 of the nonce to come, so that neither side chooses the seed alone
  std::uint16_t match = 1;
  Digest digest{};
  bool operator==(const Commit&) const = default;
};
struct Reveal {  // the nonce, sent once the other side's Commit has arrived
  std::uint16_t match = 1;
  Nonce nonce{};
  bool operator==(const Reveal&) const = default;
};
struct Pick {  // the sender's own pick on the selection screen, 0 for none; not ready any more
  std::uint16_t match = 1;
  std::uint8_t pick = 0;
  bool operator==(const Pick&) const = default;
};
struct Ready {  // the sender wants to start with its pick (or no longer)
  std::uint16_t match = 1;
  bool ready = false;
  bool operator==(const Ready&) const = default;
};
struct Start {  // the host, once both are ready: the picks the match is played with
  std::uint16_t match = 1;
  std::uint8_t p1Pick = 1;
  std::uint8_t p2Pick = 2;
  bool operator==(const Start&) const = default;
};
// The sender's held sets for ticks first .. first + count - 1: everything the other side has not
// acknowledged yet, resent in every message until it is.
struct Inputs {
  std::uint16_t match = 1;
  std::uint32_t ack = 0;       // the receiver's held sets the sender holds: ticks 0 .. ack - 1
  std::uint32_t tick = 0;      // the tick the sender runs next
  std::int16_t advantage = 0;  // how far the sender is ahead, in 1/256 ticks (time sync)
  std::uint32_t first = 0;     // tick of held[0]
  std::uint8_t count = 0;      // 0 (an acknowledgement alone) to kMaxInputsPerMessage
  std::array<Held, kMaxInputsPerMessage> held{};
  bool operator==(const Inputs&) const = default;
};
struct Check {  // the state after a confirmed tick, to be compared
  std::uint16_t match = 1;
  CheckKind kind = CheckKind::Periodic;
  std::uint32_t tick = 0;
  std::uint64_t hash = 0;   // StateHash
  std::uint64_t draws = 0;  // random values drawn since the seeding
  bool operator==(const Check&) const = default;
};
struct Desync {  // the sender (or the server) found the two sides apart from this tick
  std::uint16_t match = 1;
  std::uint32_t tick = 0;
  bool operator==(const Desync&) const = default;
};
struct Rematch {  // after a match was won: the sender wants another
  std::uint16_t match = 1;
  bool operator==(const Rematch&) const = default;
};
struct Leave {  // from a player: it leaves; from the server: the other player is gone
  LeaveReason reason = LeaveReason::Left;
  bool operator==(const Leave&) const = default;
};
struct Ping {  // answered at once with a Pong carrying the same stamp
  std::uint64_t stamp = 0;
  bool operator==(const Ping&) const = default;
};
struct Pong {
  std::uint64_t stamp = 0;
  bool operator==(const Pong&) const = default;
};

using Message =
    std::variant<CreateRoom, JoinRoom, RejoinRoom, RoomCreated, RoomJoined, PeerJoined, PeerDropped,
                 PeerReturned, Refused, Resume, History, Hello, Commit, Reveal, Pick, Ready, Start,
                 Inputs, Check, Desync, Rematch, Leave, Ping, Pong>;

// The type byte of each message, first byte on the wire.
enum class MessageType : std::uint8_t {
  CreateRoom = 0x01,
  JoinRoom = 0x02,
  RejoinRoom = 0x03,
  RoomCreated = 0x10,
  RoomJoined = 0x11,
  PeerJoined = 0x12,
  PeerDropped = 0x13,
  PeerReturned = 0x14,
  Refused = 0x15,
  Resume = 0x16,
  History = 0x17,
  Hello = 0x20,
  Commit = 0x21,
  Reveal = 0x22,
  Pick = 0x23,
  Ready = 0x24,
  Start = 0x25,
  Inputs = 0x26,
  Check = 0x27,
  Desync = 0x28,
  Rematch = 0x29,
  Leave = 0x2A,
  Ping = 0x2B,
  Pong = 0x2C,
};
MessageType TypeOf(const Message& message);
std::string_view MessageName(MessageType type);

// Who may send a message: a client to the server, the server to a client, or one player to the
// other (the server passes those on as they are; Leave is also the server's word about a peer).
enum class Direction : std::uint8_t { ToServer, FromServer, BetweenPlayers };
Direction DirectionOf(MessageType type);

// One encoded message, in a fixed buffer.
struct Frame {
  std::array<std::uint8_t, kMaxMessageBytes> bytes{};
  std::size_t size = 0;
  std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
};

enum class WireError : std::uint8_t {
  None,
  Empty,          // no bytes at all
  TooLong,        // more than kMaxMessageBytes
  UnknownType,    // a type byte no message has
  Truncated,      // the message stops inside a field
  TrailingBytes,  // bytes after the last field
  OutOfRange,     // a field holds a value it may not (a bad code, a count over its limit, ...)
};
std::string_view WireErrorName(WireError error);

// Writes `message` into `frame`. False (and nothing written) for a message the decoder would
// refuse: a field out of its range.
bool Encode(const Message& message, Frame& frame);
// Reads one whole message. Every length and count is checked against its limit and against the
// bytes there are; every field against its range; the encoding is the only one (Encode gives
// back the same bytes).
WireError Decode(std::span<const std::uint8_t> bytes, Message& message);

}  // namespace tandemhoop::net
