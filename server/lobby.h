#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "net/match.h"
#include "net/room.h"
#include "net/wire.h"

// The rooms of the room server and everything it does with a message, apart from the network:
// the transport hands it each connection's messages and carries out what it says. One lobby is
// one server; nothing in it knows of sockets or processes, and its time is the caller's.
namespace tandemhoop::server {

// One open connection, as the lobby sees it.
class PeerLink {
 public:
  virtual ~PeerLink() = default;
  virtual void Send(std::span<const std::uint8_t> message) = 0;
  // Closes the connection once what was sent has gone. The lobby has forgotten the peer by
  // then: the transport tells it nothing more about this connection.
  virtual void Close(bool brokeProtocol) = 0;
  // Bytes sent and not yet taken by the network: a peer that stops reading piles them up.
  virtual std::size_t Backlog() const { return 0; }
  // Asks the other end for a sign of life below the protocol (a WebSocket ping).
  virtual void Ping() {}
};

struct LobbyOptions {
  net::RoomLimits limits;
  // Where finished games' replays (replays/) and the reports of desyncs (desyncs/) are written;
  // empty: nowhere.
  QString dataDir;
  int rejoinSeconds = net::kRejoinSeconds;
  // A connection that has said nothing this long after opening is closed.
  int greetingSeconds = 10;
  // Sent bytes a peer may leave unread before it is taken for gone.
  std::size_t maxBacklogBytes = 256 * 1024;
};

struct LobbyCounts {
  int rooms = 0;
  int peers = 0;
  std::uint64_t messages = 0;  // received, since the start
  std::uint64_t replays = 0;   // written
  std::uint64_t desyncs = 0;
};

using PeerId = std::uint64_t;

class Lobby {
 public:
  using Log = std::function<void(const QString& line)>;
  using RandomBytes = std::function<void(std::span<std::uint8_t> into)>;

  Lobby(const LobbyOptions& options, Log log, RandomBytes random);
  ~Lobby();
  Lobby(const Lobby&) = delete;
  Lobby& operator=(const Lobby&) = delete;

  // A connection was opened at /play (no code: a room is made with a code of the server's) or
  // at /play/CODE (the room of that code, made if the first message makes one).
  PeerId Connect(PeerLink& link, const QString& address, std::optional<net::RoomCode> code,
                 std::int64_t nowMs);
  void Receive(PeerId id, std::span<const std::uint8_t> message, std::int64_t nowMs);
  // A text message: never part of the protocol.
  void ReceiveText(PeerId id, std::int64_t nowMs);
  // A sign of life below the protocol.
  void Heard(PeerId id, std::int64_t nowMs);
  // The connection closed without the lobby closing it; `brokeProtocol` when the transport
  // closed it for what it received (a message far over the size limit).
  void Disconnected(PeerId id, bool brokeProtocol, std::int64_t nowMs);
  // Runs what is due by `nowMs`: idle peers, players who did not come back, rooms nobody
  // joined, the count of join attempts. Called about twice a second.
  void Sweep(std::int64_t nowMs);
  // Tells everyone the server is stopping and closes every connection.
  void Shutdown();

  LobbyCounts counts() const;

 private:
  struct Peer;
  struct Room;
  struct Attempts {
    int count = 0;
    std::int64_t windowStart = 0;
  };

  void Door(Peer& peer, const net::Message& message, std::int64_t nowMs);
  void CreateRoom(Peer& peer, const net::CreateRoom& create, std::int64_t nowMs);
  void JoinRoom(Peer& peer, const net::JoinRoom& join, std::int64_t nowMs);
  void RejoinRoom(Peer& peer, const net::RejoinRoom& rejoin, std::int64_t nowMs);
  // The door's checks of a join or a return: the address's code, the attempts, the protocol,
  // the room. Null once the peer has been refused.
  Room* Seek(Peer& peer, std::string_view what, std::uint16_t protocol, const net::RoomCode& code,
             net::Refusal unknown, std::int64_t nowMs);
  bool SameBuild(Peer& peer, const Room& room, const net::VersionText& version,
                 std::uint64_t fingerprint);
  bool CountAttempt(Peer& peer, std::int64_t nowMs);
  void Play(Peer& peer, Room& room, std::span<const std::uint8_t> bytes,
            const net::Message& message, std::int64_t nowMs);
  // False when the message breaks the protocol (`why` says how); true to pass it on.
  bool Keep(Room& room, int seat, const net::Message& message, std::int64_t nowMs,
            const char*& why);
  bool KeepInputs(Room& room, int seat, const net::Inputs& inputs, std::int64_t nowMs,
                  const char*& why);
  bool KeepCheck(Room& room, int seat, const net::Check& check, const char*& why);
  void MatchEnded(Room& room, const net::Check& end);
  void Compare(Room& room);
  void Desynced(Room& room, const net::Check& p1, const net::Check& p2);

  void Send(Peer& peer, const net::Message& message);
  void Refuse(Peer& peer, net::Refusal reason, const QString& why);
  void Broke(Peer& peer, const QString& why);
  // The peer's connection is gone (or taken away): its room waits for it, or closes.
  void Dropped(Peer& peer, std::int64_t nowMs);
  // Forgets the peer and has the transport close its connection.
  void Close(Peer& peer, bool brokeProtocol);
  // The room ends; the player still there (if any) is told `reason` and closed.
  void CloseRoom(Room& room, std::optional<net::LeaveReason> tellOther, int leavingSeat,
                 const QString& why);
  Peer* Find(PeerId id);
  Peer* Other(Room& room, int seat);
  QString Name(const Room& room) const;
  bool WriteFile(const QString& folder, const QString& name, const std::string& text);

  LobbyOptions options_;
  Log log_;
  RandomBytes random_;
  PeerId nextId_ = 1;
  std::unordered_map<PeerId, std::unique_ptr<Peer>> peers_;
  std::map<net::RoomCode, std::unique_ptr<Room>> rooms_;
  QHash<QString, Attempts> attempts_;
  LobbyCounts counts_;
  // What was closed during a call stays until the next one begins: the caller (and the
  // transport, which may answer a close at once) may still hold it.
  struct Entry;
  int depth_ = 0;
  std::vector<std::unique_ptr<Peer>> graveyard_;
  std::vector<std::unique_ptr<Room>> roomGraveyard_;
};

}  // namespace tandemhoop::server
