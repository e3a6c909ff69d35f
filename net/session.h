#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/platform.h"
#include "game/speed.h"
#include "net/wire.h"

// Online play, as the front ends see it: one object per connection to the room server. The
// front end moves bytes and pictures; the session runs the game.
namespace tandemhoop::net {

enum class Role : std::uint8_t { Host, Guest };

struct SessionOptions {
  Role role = Role::Host;
  Speed speed = Speed::Classic;  // the host's choice; a guest plays at the host's
  // Unpredictable bytes from the system's random source (the desktop's QRandomGenerator::system,
  // the browser's crypto.getRandomValues): the nonces of the seed's commitment come from them.
  std::array<std::uint8_t, 32> secret{};
  // How the room is reached: a host creates one; a guest joins with the code the host gave;
  // either comes back to its room with the code and the token it was given.
  RoomCode code{};
  Token token{};
  bool rejoin = false;
  // No room server between the two sides (tests; a link straight to the other side): the
  // handshake starts as soon as the connection is open.
  bool direct = false;
  // Where the game's random values come from instead of the session's own generator (tests);
  // it must be able to go back (RandomSource::Save and Restore).
  RandomSource* random = nullptr;
};

// Where the session stands, for the front end to show.
enum class Phase : std::uint8_t {
  Connecting,    // waiting for the server's answer or for the other player to come
  Agreeing,      // versions and the seed are being agreed
  Picking,       // the selection screen: each side picks its own player
  Playing,       // the game runs
  Stoppage,      // a foul or win message over the court: status().stoppageText
  Waiting,       // the other side's inputs are too late: the game holds for them
  Ended,         // the match was won: status().winner; a rematch may follow
  PeerDropped,   // the other player's connection dropped; the server keeps the room for them
  PeerLeft,      // the other player left, or did not come back: status().leaveReason
  Desync,        // the two machines disagree from status().desyncTick on: the game stops
  Refused,       // the server (or the other side) refused: status().refusal
  Disconnected,  // our own connection was lost: come back with a new session and rejoin
  Left,          // we left
};

struct Status {
  Phase phase = Phase::Connecting;
  std::uint16_t match = 1;  // 1 for the first; each rematch adds one, and the sides swap
  int localSide = 1;        // the player the local side plays this match: 1 or 2
  Speed speed = Speed::Classic;
  RoomCode code{};  // once the room is made or joined
  Token token{};    // to come back with after a lost connection
  // The selection screen: both sides' picks (0 for none) and whether each is ready.
  std::uint8_t p1Pick = 0;
  std::uint8_t p2Pick = 0;
  bool p1Ready = false;
  bool p2Ready = false;
  std::string_view stoppageText;  // the message shown over the court, empty when none
  int winner = 0;                 // 1 or 2 once Ended
  std::uint32_t desyncTick = 0;
  Refusal refusal = Refusal::ProtocolBroken;
  LeaveReason leaveReason = LeaveReason::Left;
  bool peerWantsRematch = false;
};

struct Stats {
  double roundTripMs = 0;        // smoothed, from the pings
  int inputDelayTicks = 0;       // chosen at the start of the match from the round trip
  int predictionTicks = 0;       // the window: ticks run ahead of the other side's inputs
  std::uint64_t ticks = 0;       // ticks of the match run for the first time
  std::uint64_t rerunTicks = 0;  // ticks run again after a rollback
  std::uint64_t rollbacks = 0;
  int lastRollbackDepth = 0;  // ticks gone back, at the last rollback
  int maxRollbackDepth = 0;
  std::array<std::uint64_t, 65> rollbackDepths{};  // how many rollbacks went back 0..63, 64+
  std::uint64_t waits = 0;        // times the game held for the other side's inputs
  std::uint64_t ticksWaited = 0;  // tick periods the game held in all
  double slowdown = 0;            // how much the tick period is stretched now (0.02: 2 %)
  std::uint64_t bytesSent = 0;
  std::uint64_t bytesReceived = 0;
  std::uint64_t messagesSent = 0;
  std::uint64_t messagesReceived = 0;
};

class SessionCore;

// One online game seen from one side. It owns the game, its random source and the selection
// rules, and stands a platform of its own between the game and the front end's: ticks run again
// after a rollback draw nothing and cue no sound; only the newest tick is drawn. Messages never
// open boxes; the game's own program never ends.
//
// The front end:
//   - calls Open once its connection is up, Receive with every message that arrives, and Update
//     at the time Update asked for (and after Receive); times are a monotonic clock in
//     nanoseconds;
//   - sends every message TakeOutgoing gives, in order, after each call;
//   - shows the court the game draws through its Platform, status() and stats();
//   - on the selection screen calls PickPlayer and SetReady for the local side only.
// It never ticks the game itself while online.
class Session {
 public:
  Session(Platform& frontEnd, const SessionOptions& options);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Open(std::int64_t nowNs);
  void Receive(std::span<const std::uint8_t> message, std::int64_t nowNs);
  // Runs what is due by `nowNs` with `held` as the local side's actions (the local side's keys
  // or pad, whichever side it plays) and returns when to be called next.
  std::int64_t Update(std::int64_t nowNs, Held held);
  // The connection is gone: the session stops and says Disconnected.
  void ConnectionLost();

  // The selection screen, for the local side: false for a pick the other side has.
  bool PickPlayer(int pick);
  void SetReady(bool ready);
  // After a win: asks for another match (it starts once both asked).
  void RequestRematch();
  void LeaveGame();  // the other side is told; the session ends

  // The next message to send, valid until the next call to the session; false when none.
  bool TakeOutgoing(std::span<const std::uint8_t>& message);

  Status status() const;
  const Stats& stats() const;
  // The current match so far as a replay file: its confirmed ticks, the same bytes on both
  // machines (empty before play; a rematch starts a new one, so keep it at Ended).
  std::string ReplayText() const;
  const Game& game() const;

 private:
  std::unique_ptr<SessionCore> core_;
};

// The end StateHash of a short game built into the core, its online rules included: two builds
// that give the same value play the same game. Computed once.
std::uint64_t CoreFingerprint();

}  // namespace tandemhoop::net
