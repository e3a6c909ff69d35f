#include "server/lobby.h"

#include <QDateTime>
#include <QDir>
#include <QSaveFile>
#include <algorithm>
#include <string>
#include <type_traits>
#include <utility>

#include "game/replay.h"
#include "game/state.h"

namespace tandemhoop::server {

namespace {

using net::Held;
using net::MatchPhase;

constexpr std::int64_t kMs = 1000;
// A quiet peer is asked for a sign of life this often, well inside the idle limit.
constexpr std::int64_t kPingAfterMs = 5 * kMs;
// Checks of one side the other has not sent yet. The two sides run at most a few ticks apart,
// so two or three is the most a real client leaves waiting.
constexpr std::size_t kMaxPendingChecks = 64;
// Held sets a side may be ahead of the room's own clock: time sync may run it a few per cent
// fast, and a host starts before the room hears its Start. Anything beyond is not a person
// playing, and only makes the server keep more.
constexpr double kClockSlack = 1.05;
constexpr std::int64_t kClockSlackSeconds = 10;

QString Text(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString SpeedName(Speed speed) {
  return Text(kSpeedNames[static_cast<int>(speed)]);
}

QString Hex(std::uint64_t value) {
  return QStringLiteral("%1").arg(value, 16, 16, QLatin1Char('0'));
}

// The player (0: Player 1, 1: Player 2) a seat (0: the host) plays in a match: the host plays
// Player 1 in odd matches, and the sides swap on every rematch.
int PlayerOf(int seat, std::uint16_t match) {
  return (seat == 0) == (match % 2 == 1) ? 0 : 1;
}

// A message that names a match: the current one, one already over (a message that crossed the
// rematch on its way: passed on, not kept), or one that has not begun (a broken peer).
enum class Era { Current, Stale, Future };
Era EraOf(std::uint16_t match, std::uint16_t current) {
  return match == current ? Era::Current : match < current ? Era::Stale : Era::Future;
}

template <typename T>
concept HasMatch = requires(const T& t) {
  t.match;
};

std::optional<std::uint16_t> MatchOf(const net::Message& message) {
  return std::visit(
      [](const auto& m) -> std::optional<std::uint16_t> {
        if constexpr (HasMatch<std::decay_t<decltype(m)>>) {
          return m.match;
        } else {
          return std::nullopt;
        }
      },
      message);
}

}  // namespace

struct Lobby::Peer {
  PeerId id = 0;
  PeerLink* link = nullptr;
  QString address;
  std::optional<net::RoomCode> pathCode;
  Room* room = nullptr;
  int seat = -1;  // 0 the host, 1 the guest
  std::int64_t connectedAt = 0;
  std::int64_t lastHeard = 0;
  std::int64_t lastPinged = 0;
  // Messages it may still send now: refilled at the limit's rate, up to two seconds' worth.
  double allowance = 0;
  std::int64_t allowanceAt = 0;
};

struct Lobby::Room {
  struct Seat {
    bool taken = false;
    net::Token token{};
    PeerId peer = 0;  // 0 while the player is away
    std::int64_t droppedAt = 0;
    bool rematch = false;
    std::optional<net::Digest> commit;
    std::optional<net::Nonce> nonce;
  };

  net::RoomCode code{};
  Speed speed = Speed::Classic;
  std::uint64_t fingerprint = 0;
  net::VersionText version;
  std::array<Seat, 2> seats;
  std::int64_t createdAt = 0;

  // The current match.
  std::uint16_t match = 1;
  MatchPhase phase = MatchPhase::Agreeing;
  std::uint32_t seed = 0;
  std::array<std::uint8_t, 2> picks{};  // by player
  std::array<bool, 2> ready{};
  net::Agreement agreement;
  std::int64_t playStartMs = 0;
  std::array<std::vector<Held>, 2> held;  // by player, from tick 0
  // Each player's checks the other's has not come for yet, by tick.
  std::array<std::map<std::uint32_t, net::Check>, 2> checks;
  std::optional<std::uint32_t> lastAgreed;  // the tick of the last check both sides agreed on
  bool compareDue = false;
  bool stopped = false;  // a desync stopped the match

  bool paired() const { return seats[1].taken; }
};

struct Lobby::Entry {
  explicit Entry(Lobby& lobby) : lobby_(lobby) {
    if (lobby_.depth_++ == 0) {
      lobby_.graveyard_.clear();
      lobby_.roomGraveyard_.clear();
    }
  }
  ~Entry() { --lobby_.depth_; }
  Entry(const Entry&) = delete;
  Entry& operator=(const Entry&) = delete;

 private:
  Lobby& lobby_;
};

Lobby::Lobby(const LobbyOptions& options, Log log, RandomBytes random)
    : options_(options), log_(std::move(log)), random_(std::move(random)) {}

Lobby::~Lobby() = default;

LobbyCounts Lobby::counts() const {
  LobbyCounts counts = counts_;
  counts.rooms = static_cast<int>(rooms_.size());
  counts.peers = static_cast<int>(peers_.size());
  return counts;
}

Lobby::Peer* Lobby::Find(PeerId id) {
  const auto found = peers_.find(id);
  return found == peers_.end() ? nullptr : found->second.get();
}

Lobby::Peer* Lobby::Other(Room& room, int seat) {
  const PeerId id = room.seats[static_cast<std::size_t>(1 - seat)].peer;
  return id == 0 ? nullptr : Find(id);
}

QString Lobby::Name(const Room& room) const {
  return QStringLiteral("room ") + Text(net::CodeText(room.code));
}

PeerId Lobby::Connect(PeerLink& link, const QString& address, std::optional<net::RoomCode> code,
                      std::int64_t nowMs) {
  const Entry entry(*this);
  auto peer = std::make_unique<Peer>();
  peer->id = nextId_++;
  peer->link = &link;
  peer->address = address;
  peer->pathCode = code;
  peer->connectedAt = peer->lastHeard = peer->lastPinged = nowMs;
  peer->allowance = 2.0 * options_.limits.messagesPerSecond;
  peer->allowanceAt = nowMs;
  const PeerId id = peer->id;
  peers_.emplace(id, std::move(peer));
  return id;
}

void Lobby::Receive(PeerId id, std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
  const Entry entry(*this);
  Peer* peer = Find(id);
  if (peer == nullptr) return;
  ++counts_.messages;
  peer->lastHeard = nowMs;

  const double rate = options_.limits.messagesPerSecond;
  peer->allowance = std::min(
      2.0 * rate, peer->allowance + static_cast<double>(nowMs - peer->allowanceAt) * rate / 1000.0);
  peer->allowanceAt = nowMs;
  if (peer->allowance < 1.0) {
    Broke(*peer,
          QStringLiteral("more than %1 messages a second").arg(options_.limits.messagesPerSecond));
    return;
  }
  peer->allowance -= 1.0;

  net::Message message;
  const net::WireError error = net::Decode(bytes, message);
  if (error != net::WireError::None) {
    Broke(
        *peer,
        QStringLiteral("a message that does not decode (%1)").arg(Text(net::WireErrorName(error))));
    return;
  }
  if (peer->room == nullptr) {
    Door(*peer, message, nowMs);
  } else {
    Play(*peer, *peer->room, bytes, message, nowMs);
  }
}

void Lobby::ReceiveText(PeerId id, std::int64_t nowMs) {
  const Entry entry(*this);
  Peer* peer = Find(id);
  if (peer == nullptr) return;
  peer->lastHeard = nowMs;
  Broke(*peer, QStringLiteral("a text message"));
}

void Lobby::Heard(PeerId id, std::int64_t nowMs) {
  const Entry entry(*this);
  if (Peer* peer = Find(id)) peer->lastHeard = nowMs;
}

void Lobby::Disconnected(PeerId id, bool brokeProtocol, std::int64_t nowMs) {
  const Entry entry(*this);
  Peer* peer = Find(id);
  if (peer == nullptr) return;
  if (brokeProtocol) {
    Broke(*peer, QStringLiteral("a message far over the size limit"));
  } else {
    Dropped(*peer, nowMs);
  }
}

// ---- the door ----

void Lobby::Door(Peer& peer, const net::Message& message, std::int64_t nowMs) {
  if (const auto* create = std::get_if<net::CreateRoom>(&message)) {
    CreateRoom(peer, *create, nowMs);
  } else if (const auto* join = std::get_if<net::JoinRoom>(&message)) {
    JoinRoom(peer, *join, nowMs);
  } else if (const auto* rejoin = std::get_if<net::RejoinRoom>(&message)) {
    RejoinRoom(peer, *rejoin, nowMs);
  } else {
    Broke(peer, Text(net::MessageName(net::TypeOf(message))) +
                    QStringLiteral(" before the room was made or joined"));
  }
}

bool Lobby::CountAttempt(Peer& peer, std::int64_t nowMs) {
  Attempts& attempts = attempts_[peer.address];
  if (attempts.count == 0 || nowMs - attempts.windowStart >= 60 * kMs) {
    attempts.count = 0;
    attempts.windowStart = nowMs;
  }
  ++attempts.count;
  if (attempts.count <= options_.limits.joinAttemptsPerMinute) return true;
  // Said once a minute: a guesser must not fill the log either.
  const bool first = attempts.count == options_.limits.joinAttemptsPerMinute + 1;
  Refuse(peer, net::Refusal::TooManyAttempts,
         first ? QStringLiteral("too many rooms tried this minute; the rest quietly") : QString());
  return false;
}

void Lobby::CreateRoom(Peer& peer, const net::CreateRoom& create, std::int64_t nowMs) {
  // A room made at /play/CODE has a code its maker chose, and whether a code is taken tells a
  // guesser something: it counts as a try, like a join.
  if (peer.pathCode && !CountAttempt(peer, nowMs)) return;
  if (create.protocol != net::kProtocolVersion) {
    Refuse(peer, net::Refusal::Version, QStringLiteral("protocol %1").arg(create.protocol));
    return;
  }
  if (peer.pathCode && rooms_.contains(*peer.pathCode)) {
    Refuse(peer, net::Refusal::RoomFull, QStringLiteral("the code asked for is taken"));
    return;
  }
  if (static_cast<int>(rooms_.size()) >= options_.limits.maxRooms) {
    Refuse(peer, net::Refusal::ServerFull, QStringLiteral("no room for another room"));
    return;
  }
  net::RoomCode code{};
  if (peer.pathCode) {
    code = *peer.pathCode;
  } else {
    // 24 million codes for a few thousand rooms: a draw is taken a handful of times in a
    // server's life.
    do {
      std::uint64_t bits = 0;
      random_(std::span(reinterpret_cast<std::uint8_t*>(&bits), sizeof bits));
      code = net::MakeRoomCode(bits);
    } while (rooms_.contains(code));
  }

  auto room = std::make_unique<Room>();
  room->code = code;
  room->speed = create.speed;
  room->fingerprint = create.fingerprint;
  room->version = create.version;
  room->createdAt = nowMs;
  Room::Seat& host = room->seats[0];
  host.taken = true;
  host.peer = peer.id;
  random_(host.token);
  peer.room = room.get();
  peer.seat = 0;
  Send(peer, net::RoomCreated{code, host.token});
  log_(Name(*room) + QStringLiteral(": made by %1 (%2, version %3)")
                         .arg(peer.address, SpeedName(create.speed), Text(create.version.view())));
  rooms_.emplace(code, std::move(room));
}

Lobby::Room* Lobby::Seek(Peer& peer, std::string_view what, std::uint16_t protocol,
                         const net::RoomCode& code, net::Refusal unknown, std::int64_t nowMs) {
  if (peer.pathCode && *peer.pathCode != code) {
    Broke(peer, Text(what) + QStringLiteral(" for another code than its address"));
    return nullptr;
  }
  if (!CountAttempt(peer, nowMs)) return nullptr;
  if (protocol != net::kProtocolVersion) {
    Refuse(peer, net::Refusal::Version, QStringLiteral("protocol %1").arg(protocol));
    return nullptr;
  }
  const auto found = rooms_.find(code);
  if (found == rooms_.end()) {
    Refuse(peer, unknown, QStringLiteral("no room %1").arg(Text(net::CodeText(code))));
    return nullptr;
  }
  return found->second.get();
}

bool Lobby::SameBuild(Peer& peer, const Room& room, const net::VersionText& version,
                      std::uint64_t fingerprint) {
  if (!(version == room.version)) {
    Refuse(peer, net::Refusal::Version,
           QStringLiteral("version %1 for %2 of version %3")
               .arg(Text(version.view()), Name(room), Text(room.version.view())));
    return false;
  }
  if (fingerprint != room.fingerprint) {
    Refuse(peer, net::Refusal::Fingerprint,
           QStringLiteral("another build of version %1 than %2's")
               .arg(Text(version.view()), Name(room)));
    return false;
  }
  return true;
}

void Lobby::JoinRoom(Peer& peer, const net::JoinRoom& join, std::int64_t nowMs) {
  Room* found = Seek(peer, "JoinRoom", join.protocol, join.code, net::Refusal::UnknownCode, nowMs);
  if (found == nullptr) return;
  Room& room = *found;
  if (room.paired()) {
    Refuse(peer, net::Refusal::RoomFull, Name(room) + QStringLiteral(" has its two players"));
    return;
  }
  if (!SameBuild(peer, room, join.version, join.fingerprint)) return;
  Room::Seat& guest = room.seats[1];
  guest.taken = true;
  guest.peer = peer.id;
  random_(guest.token);
  peer.room = &room;
  peer.seat = 1;
  Send(peer, net::RoomJoined{room.code, guest.token, room.speed});
  log_(Name(room) + QStringLiteral(": joined by %1").arg(peer.address));
  for (const Room::Seat& seat : room.seats) {
    if (Peer* player = Find(seat.peer)) Send(*player, net::PeerJoined{});
  }
}

void Lobby::RejoinRoom(Peer& peer, const net::RejoinRoom& rejoin, std::int64_t nowMs) {
  // A room gone (after 30 s) is refused as a late return, not as a code never given.
  Room* found =
      Seek(peer, "RejoinRoom", rejoin.protocol, rejoin.code, net::Refusal::RejoinRefused, nowMs);
  if (found == nullptr) return;
  Room& room = *found;
  int seat = -1;
  for (int s = 0; s < 2; ++s) {
    const Room::Seat& candidate = room.seats[static_cast<std::size_t>(s)];
    if (candidate.taken && candidate.token == rejoin.token) seat = s;
  }
  if (seat < 0) {
    Refuse(peer, net::Refusal::RejoinRefused, Name(room) + QStringLiteral(": not its token"));
    return;
  }
  if (!SameBuild(peer, room, rejoin.version, rejoin.fingerprint)) return;
  Room::Seat& place = room.seats[static_cast<std::size_t>(seat)];
  if (room.phase == MatchPhase::Agreeing) {
    // The seed's secrets were lost with the connection: the agreement cannot be finished.
    Refuse(peer, net::Refusal::RejoinRefused,
           Name(room) + QStringLiteral(": match still being agreed"));
    CloseRoom(room, net::LeaveReason::NotBack, seat,
              QStringLiteral("player came back while the match was being agreed"));
    return;
  }
  if (Peer* old = Find(place.peer)) {
    // The program was started again before the server saw its old connection go: the new one
    // takes the place, and the old one is closed without a word to anyone.
    old->room = nullptr;
    Close(*old, false);
  }
  place.peer = peer.id;
  place.droppedAt = 0;
  peer.room = &room;
  peer.seat = seat;

  net::Resume resume;
  resume.host = seat == 0;
  resume.speed = room.speed;
  resume.match = room.match;
  resume.phase = room.phase;
  resume.seed = room.seed;
  resume.p1Pick = room.picks[0];
  resume.p2Pick = room.picks[1];
  resume.p1Ready = room.ready[0];
  resume.p2Ready = room.ready[1];
  resume.p1Count = static_cast<std::uint32_t>(room.held[0].size());
  resume.p2Count = static_cast<std::uint32_t>(room.held[1].size());
  Send(peer, resume);
  for (std::uint8_t side = 1; side <= 2; ++side) {
    const std::vector<Held>& held = room.held[side - 1u];
    net::History history;
    history.side = side;
    for (std::size_t first = 0; first < held.size(); first += net::kMaxHistoryPerMessage) {
      history.first = static_cast<std::uint32_t>(first);
      history.count =
          static_cast<std::uint16_t>(std::min(net::kMaxHistoryPerMessage, held.size() - first));
      std::copy_n(held.begin() + static_cast<std::ptrdiff_t>(first), history.count,
                  history.held.begin());
      Send(peer, history);
    }
  }
  Peer* other = Other(room, seat);
  // The other's wish for a rematch was said to the connection that was lost.
  if (room.seats[static_cast<std::size_t>(1 - seat)].rematch) Send(peer, net::Rematch{room.match});
  if (other != nullptr) Send(*other, net::PeerReturned{});
  log_(Name(room) + QStringLiteral(": player %1 came back from %2 (match %3, %4 and %5 held sets)")
                        .arg(PlayerOf(seat, room.match) + 1)
                        .arg(peer.address)
                        .arg(room.match)
                        .arg(resume.p1Count)
                        .arg(resume.p2Count));
}

// ---- play ----

void Lobby::Play(Peer& peer, Room& room, std::span<const std::uint8_t> bytes,
                 const net::Message& message, std::int64_t nowMs) {
  const net::MessageType type = net::TypeOf(message);
  if (const auto* leave = std::get_if<net::Leave>(&message)) {
    // Passed on as it came: the player left, or stops over what the other sent it.
    CloseRoom(room, leave->reason, peer.seat,
              QStringLiteral("player %1 left%2")
                  .arg(PlayerOf(peer.seat, room.match) + 1)
                  .arg(leave->reason == net::LeaveReason::ProtocolBroken
                           ? QStringLiteral(", finding the other's messages broken")
                           : QString()));
    return;
  }
  if (net::DirectionOf(type) != net::Direction::BetweenPlayers) {
    Broke(peer, Text(net::MessageName(type)) + QStringLiteral(" after the door"));
    return;
  }
  if (!room.paired()) {
    // A host waiting alone may measure nothing yet; anything else has no one to go to.
    if (type == net::MessageType::Ping || type == net::MessageType::Pong) return;
    Broke(peer, Text(net::MessageName(type)) + QStringLiteral(" before the other player came"));
    return;
  }
  const char* why = nullptr;
  if (!Keep(room, peer.seat, message, nowMs, why)) {
    Broke(peer, Text(net::MessageName(type)) + QStringLiteral(": ") + QString::fromLatin1(why));
    return;
  }
  if (Peer* other = Other(room, peer.seat)) other->link->Send(bytes);
  if (room.compareDue) Compare(room);
}

bool Lobby::Keep(Room& room, int seat, const net::Message& message, std::int64_t nowMs,
                 const char*& why) {
  const int player = PlayerOf(seat, room.match);
  Room::Seat& self = room.seats[static_cast<std::size_t>(seat)];
  if (const std::optional<std::uint16_t> match = MatchOf(message)) {
    const Era era = EraOf(*match, room.match);
    if (era == Era::Future) {
      why = "for a match that has not begun";
      return false;
    }
    if (era == Era::Stale) return true;
  }

  return std::visit(
      [&](const auto& m) -> bool {
        using T = std::decay_t<decltype(m)>;
        if constexpr (std::is_same_v<T, net::Hello>) {
          if (m.protocol != net::kProtocolVersion || m.fingerprint != room.fingerprint ||
              !(m.version == room.version) || m.speed != room.speed || m.host != (seat == 0)) {
            why = "not what was said at the door";
            return false;
          }
        } else if constexpr (std::is_same_v<T, net::Commit>) {
          if (room.phase != MatchPhase::Agreeing || self.commit) {
            why = "not while the seed is chosen";
            return false;
          }
          self.commit = m.digest;
        } else if constexpr (std::is_same_v<T, net::Reveal>) {
          if (room.phase != MatchPhase::Agreeing || self.nonce || !room.seats[0].commit ||
              !room.seats[1].commit) {
            why = "not after both commitments";
            return false;
          }
          if (net::CommitmentOf(m.nonce) != *self.commit) {
            why = "does not match its commitment";
            return false;
          }
          self.nonce = m.nonce;
          if (room.seats[0].nonce && room.seats[1].nonce) {
            room.seed = net::SeedOf(*room.seats[0].nonce, *room.seats[1].nonce);
            room.phase = MatchPhase::Picking;
            room.picks = {};
            room.ready = {};
          }
        } else if constexpr (std::is_same_v<T, net::Pick>) {
          // One that crossed the Start comes too late and changes nothing.
          if (room.phase == MatchPhase::Picking) {
            room.picks[static_cast<std::size_t>(player)] = m.pick;
            room.ready[static_cast<std::size_t>(player)] = false;
          }
        } else if constexpr (std::is_same_v<T, net::Ready>) {
          if (room.phase == MatchPhase::Picking)
            room.ready[static_cast<std::size_t>(player)] = m.ready;
        } else if constexpr (std::is_same_v<T, net::Start>) {
          if (seat != 0 || room.phase != MatchPhase::Picking) {
            why = "only the host's, once, after the agreement";
            return false;
          }
          room.agreement = net::Agreement{room.seed, room.speed, m.p1Pick, m.p2Pick};
          room.picks = {m.p1Pick, m.p2Pick};
          room.ready = {true, true};
          room.phase = MatchPhase::Playing;
          room.playStartMs = nowMs;
          log_(Name(room) + QStringLiteral(": match %1 began (seed %2, players %3 and %4)")
                                .arg(room.match)
                                .arg(room.seed)
                                .arg(m.p1Pick)
                                .arg(m.p2Pick));
        } else if constexpr (std::is_same_v<T, net::Inputs>) {
          return KeepInputs(room, seat, m, nowMs, why);
        } else if constexpr (std::is_same_v<T, net::Check>) {
          return KeepCheck(room, seat, m, why);
        } else if constexpr (std::is_same_v<T, net::Desync>) {
          if (!room.stopped) {
            room.stopped = true;
            log_(Name(room) + QStringLiteral(": player %1 finds match %2 apart from tick %3")
                                  .arg(player + 1)
                                  .arg(room.match)
                                  .arg(m.tick));
          }
        } else if constexpr (std::is_same_v<T, net::Rematch>) {
          if (room.phase != MatchPhase::Playing && room.phase != MatchPhase::Ended) {
            why = "before the match was played";
            return false;
          }
          self.rematch = true;
          if (room.seats[0].rematch && room.seats[1].rematch) {
            const std::uint16_t next = static_cast<std::uint16_t>(room.match + 1);
            room.match = next;
            room.phase = MatchPhase::Agreeing;
            room.seed = 0;
            room.picks = {};
            room.ready = {};
            room.agreement = {};
            room.held = {};
            room.checks = {};
            room.lastAgreed.reset();
            room.stopped = false;
            for (Room::Seat& s : room.seats) {
              s.rematch = false;
              s.commit.reset();
              s.nonce.reset();
            }
            log_(Name(room) + QStringLiteral(": rematch, match %1").arg(next));
          }
        }
        return true;
      },
      message);
}

bool Lobby::KeepInputs(Room& room, int seat, const net::Inputs& inputs, std::int64_t nowMs,
                       const char*& why) {
  if (room.phase != MatchPhase::Playing && room.phase != MatchPhase::Ended) {
    why = "before the match began";
    return false;
  }
  std::vector<Held>& held = room.held[static_cast<std::size_t>(PlayerOf(seat, room.match))];
  if (inputs.first > held.size()) {
    why = "leaves a gap after the held sets sent before";
    return false;
  }
  for (std::size_t i = 0; i < inputs.count; ++i) {
    const std::size_t tick = inputs.first + i;
    if (tick < held.size()) {
      if (held[tick] != inputs.held[i]) {
        why = "changes a held set sent before";
        return false;
      }
    } else {
      held.push_back(inputs.held[i]);
    }
  }
  const double ticksPerMs = static_cast<double>(RateOf(room.speed).numerator) /
                            static_cast<double>(RateOf(room.speed).denominator) / 1000.0;
  const double allowed =
      (static_cast<double>(nowMs - room.playStartMs) * kClockSlack + kClockSlackSeconds * kMs) *
      ticksPerMs;
  if (static_cast<double>(held.size()) > allowed) {
    why = "runs ahead of the clock";
    return false;
  }
  return true;
}

bool Lobby::KeepCheck(Room& room, int seat, const net::Check& check, const char*& why) {
  if (room.phase != MatchPhase::Playing && room.phase != MatchPhase::Ended) {
    why = "before the match began";
    return false;
  }
  // After a desync nothing more is compared; a check already compared comes again from a
  // player who came back and ran the match anew.
  if (room.stopped || (room.lastAgreed && check.tick <= *room.lastAgreed)) return true;
  auto& mine = room.checks[static_cast<std::size_t>(PlayerOf(seat, room.match))];
  if (mine.contains(check.tick)) return true;
  if (mine.size() >= kMaxPendingChecks) {
    why = "too many checks the other side has not reached";
    return false;
  }
  mine.emplace(check.tick, check);
  room.compareDue = true;
  return true;
}

void Lobby::Compare(Room& room) {
  room.compareDue = false;
  auto& p1 = room.checks[0];
  auto& p2 = room.checks[1];
  for (auto one = p1.begin(); one != p1.end() && !room.stopped;) {
    const auto two = p2.find(one->first);
    if (two == p2.end()) {
      ++one;
      continue;
    }
    const net::Check a = one->second;
    const net::Check b = two->second;
    // Another kind is a mismatch too: one side showed a message the other did not.
    if (a.kind != b.kind || a.hash != b.hash || a.draws != b.draws) {
      Desynced(room, a, b);
      return;
    }
    room.lastAgreed = a.tick;
    // What is older than an agreed check will never be compared: a tick only one side checks.
    p1.erase(p1.begin(), p1.upper_bound(one->first));
    p2.erase(p2.begin(), p2.upper_bound(two->first));
    one = p1.begin();
    if (a.kind == net::CheckKind::End) MatchEnded(room, a);
  }
}

// ---- the end of a match ----

void Lobby::MatchEnded(Room& room, const net::Check& end) {
  if (room.phase == MatchPhase::Ended) return;
  room.phase = MatchPhase::Ended;
  const std::string text = net::BuildReplay(room.agreement, room.held[0], room.held[1]);
  Replay replay;
  std::string error;
  const QString match = Name(room) + QStringLiteral(": match %1").arg(room.match);
  if (!ReadReplay(text, replay, error) || replay.end.hash != end.hash) {
    // The players' build plays otherwise than this server's: its replay would not be theirs.
    log_(match + QStringLiteral(" won at tick %1; no replay: this server's game ends elsewhere")
                     .arg(end.tick));
    return;
  }
  const QString name =
      QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
      QStringLiteral("_%1_m%2.tandemhoop-replay")
          .arg(Text(net::CodeText(room.code)))
          .arg(room.match);
  if (WriteFile(QStringLiteral("replays"), name, text)) ++counts_.replays;
  log_(match + QStringLiteral(" won %1-%2 at tick %3%4")
                   .arg(replay.end.p1Score)
                   .arg(replay.end.p2Score)
                   .arg(end.tick)
                   .arg(options_.dataDir.isEmpty() ? QString()
                                                   : QStringLiteral("; replay replays/") + name));
}

void Lobby::Desynced(Room& room, const net::Check& p1, const net::Check& p2) {
  room.stopped = true;
  room.checks = {};
  ++counts_.desyncs;
  const net::Desync desync{room.match, p1.tick};
  for (const Room::Seat& seat : room.seats) {
    if (Peer* player = Find(seat.peer)) Send(*player, desync);
  }

  // The server's own core, run on the same held sets, says which side went its own way.
  HeadlessPlatform headless;
  net::Match replayed(headless);
  EventLog log;
  replayed.Begin(room.agreement, log);
  net::StepEvents step;
  for (std::uint32_t t = 0; t <= p1.tick && t < room.held[0].size() && t < room.held[1].size();
       ++t) {
    replayed.platform().BeginTick({}, false);
    replayed.Step(room.held[0][t], room.held[1][t], step);
  }
  const std::uint64_t hash = StateHash(replayed.game().state);
  const std::uint64_t draws = replayed.random().Draws();

  std::string report;
  const auto line = [&report](const QString& text) { report += text.toStdString() + '\n'; };
  line(QStringLiteral("tandemhoop-desync 1"));
  line(QStringLiteral("room %1").arg(Text(net::CodeText(room.code))));
  line(QStringLiteral("version %1").arg(Text(room.version.view())));
  line(QStringLiteral("fingerprint %1").arg(Hex(room.fingerprint)));
  line(QStringLiteral("match %1").arg(room.match));
  line(QStringLiteral("speed %1").arg(SpeedName(room.speed)));
  line(QStringLiteral("seed %1").arg(room.agreement.seed));
  line(QStringLiteral("picks %1 %2").arg(room.agreement.p1Pick).arg(room.agreement.p2Pick));
  line(QStringLiteral("first-differing-check %1").arg(p1.tick));
  line(room.lastAgreed ? QStringLiteral("last-agreed-check %1").arg(*room.lastAgreed)
                       : QStringLiteral("last-agreed-check none"));
  line(QStringLiteral("player1 kind %1 hash %2 draws %3")
           .arg(static_cast<int>(p1.kind))
           .arg(Hex(p1.hash))
           .arg(p1.draws));
  line(QStringLiteral("player2 kind %1 hash %2 draws %3")
           .arg(static_cast<int>(p2.kind))
           .arg(Hex(p2.hash))
           .arg(p2.draws));
  line(QStringLiteral("server hash %1 draws %2").arg(Hex(hash)).arg(draws));
  // Both input logs, as held sets in hexadecimal, 64 ticks a line.
  for (int side = 0; side < 2; ++side) {
    const std::vector<Held>& held = room.held[static_cast<std::size_t>(side)];
    line(QStringLiteral("held%1 %2").arg(side + 1).arg(held.size()));
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t first = 0; first < held.size(); first += 64) {
      std::string row;
      for (std::size_t t = first; t < std::min(held.size(), first + 64); ++t) {
        row += kDigits[held[t] >> 4];
        row += kDigits[held[t] & 15];
      }
      report += row + '\n';
    }
  }
  const QString name =
      QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
      QStringLiteral("_%1_m%2.txt").arg(Text(net::CodeText(room.code))).arg(room.match);
  WriteFile(QStringLiteral("desyncs"), name, report);
  const QString agreeing = hash == p1.hash && draws == p1.draws   ? QStringLiteral("player 1's")
                           : hash == p2.hash && draws == p2.draws ? QStringLiteral("player 2's")
                                                                  : QStringLiteral("neither");
  log_(Name(room) + QStringLiteral(": DESYNC in match %1 at tick %2 (the server agrees with %3)%4")
                        .arg(room.match)
                        .arg(p1.tick)
                        .arg(agreeing, options_.dataDir.isEmpty()
                                           ? QString()
                                           : QStringLiteral("; report desyncs/") + name));
}

bool Lobby::WriteFile(const QString& folder, const QString& name, const std::string& text) {
  if (options_.dataDir.isEmpty()) return false;
  const QString dir = options_.dataDir + QLatin1Char('/') + folder;
  QSaveFile file(dir + QLatin1Char('/') + name);
  if (!QDir().mkpath(dir) || !file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) !=
          static_cast<qint64>(text.size()) ||
      !file.commit()) {
    log_(QStringLiteral("could not write %1/%2: %3").arg(dir, name, file.errorString()));
    return false;
  }
  return true;
}

// ---- leaving ----

void Lobby::Send(Peer& peer, const net::Message& message) {
  net::Frame frame;
  if (net::Encode(message, frame)) peer.link->Send(frame.view());
}

void Lobby::Close(Peer& peer, bool brokeProtocol) {
  const auto found = peers_.find(peer.id);
  if (found == peers_.end()) return;
  graveyard_.push_back(std::move(found->second));
  peers_.erase(found);
  graveyard_.back()->link->Close(brokeProtocol);
}

void Lobby::Refuse(Peer& peer, net::Refusal reason, const QString& why) {
  Send(peer, net::Refused{reason});
  if (!why.isEmpty()) log_(QStringLiteral("refused %1: %2").arg(peer.address, why));
  Close(peer, reason == net::Refusal::ProtocolBroken);
}

void Lobby::Broke(Peer& peer, const QString& why) {
  Room* room = peer.room;
  const int seat = peer.seat;
  Send(peer, net::Refused{net::Refusal::ProtocolBroken});
  log_(QStringLiteral("dropped %1%2: broke the protocol: %3")
           .arg(peer.address,
                room != nullptr ? QStringLiteral(" (%1)").arg(Name(*room)) : QString(), why));
  peer.room = nullptr;
  Close(peer, true);
  if (room != nullptr) {
    room->seats[static_cast<std::size_t>(seat)].peer = 0;
    CloseRoom(*room, net::LeaveReason::ProtocolBroken, seat,
              QStringLiteral("a player broke the protocol"));
  }
}

void Lobby::Dropped(Peer& peer, std::int64_t nowMs) {
  Room* room = peer.room;
  const int seat = peer.seat;
  peer.room = nullptr;
  Close(peer, false);
  if (room == nullptr) return;
  Room::Seat& place = room->seats[static_cast<std::size_t>(seat)];
  place.peer = 0;
  place.droppedAt = nowMs;
  place.rematch = false;
  if (!room->paired()) {
    CloseRoom(*room, std::nullopt, seat, QStringLiteral("its host went before a guest came"));
  } else if (room->phase == MatchPhase::Agreeing) {
    // Coming back is refused while the seed is agreed: the other need not wait for it.
    CloseRoom(*room, net::LeaveReason::NotBack, seat,
              QStringLiteral("a player's connection was lost while the match was being agreed"));
  } else {
    if (Peer* other = Other(*room, seat)) Send(*other, net::PeerDropped{});
    log_(Name(*room) + QStringLiteral(": player %1's connection was lost; waiting %2 s for it")
                           .arg(PlayerOf(seat, room->match) + 1)
                           .arg(options_.rejoinSeconds));
  }
}

void Lobby::CloseRoom(Room& room, std::optional<net::LeaveReason> tellOther, int leavingSeat,
                      const QString& why) {
  for (int s = 0; s < 2; ++s) {
    Peer* player = Find(room.seats[static_cast<std::size_t>(s)].peer);
    if (player == nullptr) continue;
    if (s != leavingSeat && tellOther) Send(*player, net::Leave{*tellOther});
    player->room = nullptr;
    Close(*player, false);
  }
  log_(Name(room) + QStringLiteral(" closed: ") + why);
  const auto found = rooms_.find(room.code);
  if (found != rooms_.end()) {
    roomGraveyard_.push_back(std::move(found->second));
    rooms_.erase(found);
  }
}

// ---- time ----

void Lobby::Sweep(std::int64_t nowMs) {
  const Entry entry(*this);
  std::vector<PeerId> ids;
  ids.reserve(peers_.size());
  for (const auto& [id, peer] : peers_)
    ids.push_back(id);
  for (const PeerId id : ids) {
    Peer* peer = Find(id);
    if (peer == nullptr) continue;
    const std::int64_t quiet = nowMs - peer->lastHeard;
    if (peer->room == nullptr && nowMs - peer->connectedAt >= options_.greetingSeconds * kMs) {
      Refuse(*peer, net::Refusal::Idle, QStringLiteral("said nothing"));
    } else if (quiet >= options_.limits.idleSeconds * kMs) {
      Send(*peer, net::Refused{net::Refusal::Idle});
      log_(QStringLiteral("%1: silent for %2 s").arg(peer->address).arg(quiet / kMs));
      Dropped(*peer, nowMs);
    } else if (peer->link->Backlog() > options_.maxBacklogBytes) {
      log_(QStringLiteral("%1: reads nothing of what it is sent").arg(peer->address));
      Dropped(*peer, nowMs);
    } else if (quiet >= kPingAfterMs && nowMs - peer->lastPinged >= kPingAfterMs) {
      peer->lastPinged = nowMs;
      peer->link->Ping();
    }
  }

  std::vector<Room*> rooms;
  for (const auto& [code, room] : rooms_)
    rooms.push_back(room.get());
  for (Room* room : rooms) {
    if (!room->paired()) {
      if (nowMs - room->createdAt >= options_.limits.waitForGuestMinutes * 60 * kMs) {
        if (Peer* host = Find(room->seats[0].peer)) {
          Send(*host, net::Refused{net::Refusal::Idle});
        }
        CloseRoom(*room, std::nullopt, -1, QStringLiteral("nobody joined"));
      }
      continue;
    }
    for (int s = 0; s < 2; ++s) {
      const Room::Seat& seat = room->seats[static_cast<std::size_t>(s)];
      if (seat.peer == 0 && nowMs - seat.droppedAt >= options_.rejoinSeconds * kMs) {
        CloseRoom(*room, net::LeaveReason::NotBack, s,
                  QStringLiteral("player %1 did not come back").arg(PlayerOf(s, room->match) + 1));
        break;
      }
    }
  }

  for (auto it = attempts_.begin(); it != attempts_.end();) {
    if (nowMs - it.value().windowStart >= 60 * kMs) {
      it = attempts_.erase(it);
    } else {
      ++it;
    }
  }
}

void Lobby::Shutdown() {
  const Entry entry(*this);
  std::vector<PeerId> ids;
  for (const auto& [id, peer] : peers_)
    ids.push_back(id);
  for (const PeerId id : ids) {
    if (Peer* peer = Find(id)) {
      peer->room = nullptr;
      Send(*peer, net::Refused{net::Refusal::ShuttingDown});
      Close(*peer, false);
    }
  }
  if (!rooms_.empty()) log_(QStringLiteral("%1 rooms closed: the server stops").arg(rooms_.size()));
  rooms_.clear();
}

}  // namespace tandemhoop::server
