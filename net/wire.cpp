#include "net/wire.h"

#include <algorithm>
#include <type_traits>

#include "net/room.h"

namespace tandemhoop::net {

namespace {

// Writes little-endian fields into a frame; stops writing (and says so) at the frame's end.
class Writer {
 public:
  explicit Writer(Frame& frame) : frame_(frame) { frame_.size = 0; }

  void U8(std::uint8_t value) {
    if (frame_.size >= frame_.bytes.size()) {
      overflow_ = true;
      return;
    }
    frame_.bytes[frame_.size++] = value;
  }
  template <typename Unsigned>
  void Le(Unsigned value) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
      U8(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void U16(std::uint16_t value) { Le(value); }
  void U32(std::uint32_t value) { Le(value); }
  void U64(std::uint64_t value) { Le(value); }
  void I16(std::int16_t value) { Le(static_cast<std::uint16_t>(value)); }
  void Bytes(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes)
      U8(byte);
  }
  void Chars(std::span<const char> chars) {
    for (const char c : chars)
      U8(static_cast<std::uint8_t>(c));
  }
  void Text(const VersionText& text) {
    U8(static_cast<std::uint8_t>(text.view().size()));
    Chars(text.view());
  }
  bool overflow() const { return overflow_; }

 private:
  Frame& frame_;
  bool overflow_ = false;
};

// Reads little-endian fields; the first field that is not all there marks the whole message
// truncated, and every later read gives zeros.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint8_t U8() {
    if (at_ >= bytes_.size()) {
      truncated_ = true;
      return 0;
    }
    return bytes_[at_++];
  }
  template <typename Unsigned>
  Unsigned Le() {
    if (bytes_.size() - at_ < sizeof(Unsigned)) {
      truncated_ = true;
      at_ = bytes_.size();
      return 0;
    }
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i)
      value = static_cast<Unsigned>(value | static_cast<Unsigned>(bytes_[at_++]) << (8 * i));
    return value;
  }
  std::uint16_t U16() { return Le<std::uint16_t>(); }
  std::uint32_t U32() { return Le<std::uint32_t>(); }
  std::uint64_t U64() { return Le<std::uint64_t>(); }
  std::int16_t I16() { return static_cast<std::int16_t>(Le<std::uint16_t>()); }
  template <std::size_t N>
  void Bytes(std::array<std::uint8_t, N>& out) {
    for (auto& byte : out)
      byte = U8();
  }
  template <std::size_t N>
  void Chars(std::array<char, N>& out) {
    for (auto& c : out)
      c = static_cast<char>(U8());
  }
  bool truncated() const { return truncated_; }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool truncated_ = false;
};

bool PrintableVersion(std::string_view text) {
  if (text.empty() || text.size() > kMaxVersionLength) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

bool ValidSpeed(std::uint8_t value) {
  return value <= static_cast<std::uint8_t>(Speed::Fast);
}

bool ValidHeld(std::span<const Held> held) {
  return std::all_of(held.begin(), held.end(), [](Held h) { return (h & ~kHeldMask) == 0; });
}

bool ValidPick(std::uint8_t pick) {
  return pick <= 4;
}

bool ValidMatch(std::uint16_t match) {
  return match >= 1;
}

bool ValidTick(std::uint64_t tick) {
  return tick <= kMaxMatchTicks;
}

// What a message's fields may hold, for the encoder and the decoder alike.
struct Valid {
  bool operator()(const CreateRoom& m) const {
    return PrintableVersion(m.version.view()) && ValidSpeed(static_cast<std::uint8_t>(m.speed));
  }
  bool operator()(const JoinRoom& m) const {
    return PrintableVersion(m.version.view()) && IsRoomCode(m.code);
  }
  bool operator()(const RejoinRoom& m) const {
    return PrintableVersion(m.version.view()) && IsRoomCode(m.code);
  }
  bool operator()(const RoomCreated& m) const { return IsRoomCode(m.code); }
  bool operator()(const RoomJoined& m) const {
    return IsRoomCode(m.code) && ValidSpeed(static_cast<std::uint8_t>(m.speed));
  }
  bool operator()(const PeerJoined&) const { return true; }
  bool operator()(const PeerDropped&) const { return true; }
  bool operator()(const PeerReturned&) const { return true; }
  bool operator()(const Refused& m) const {
    const auto reason = static_cast<std::uint8_t>(m.reason);
    return reason >= 1 && reason <= kRefusalCount;
  }
  bool operator()(const Resume& m) const {
    return ValidSpeed(static_cast<std::uint8_t>(m.speed)) && ValidMatch(m.match) &&
           static_cast<std::uint8_t>(m.phase) <= static_cast<std::uint8_t>(MatchPhase::Ended) &&
           ValidPick(m.p1Pick) && ValidPick(m.p2Pick) && ValidTick(m.p1Count) &&
           ValidTick(m.p2Count);
  }
  bool operator()(const History& m) const {
    return (m.side == 1 || m.side == 2) && m.count >= 1 && m.count <= kMaxHistoryPerMessage &&
           ValidTick(std::uint64_t{m.first} + m.count) &&
           ValidHeld(std::span<const Held>(m.held.data(), m.count));
  }
  bool operator()(const Hello& m) const {
    return PrintableVersion(m.version.view()) && ValidSpeed(static_cast<std::uint8_t>(m.speed));
  }
  bool operator()(const Commit& m) const { return ValidMatch(m.match); }
  bool operator()(const Reveal& m) const { return ValidMatch(m.match); }
  bool operator()(const Pick& m) const { return ValidMatch(m.match) && ValidPick(m.pick); }
  bool operator()(const Ready& m) const { return ValidMatch(m.match); }
  bool operator()(const Start& m) const {
    return ValidMatch(m.match) && m.p1Pick >= 1 && m.p1Pick <= 4 && m.p2Pick >= 1 &&
           m.p2Pick <= 4 && m.p1Pick != m.p2Pick;
  }
  bool operator()(const Inputs& m) const {
    return ValidMatch(m.match) && ValidTick(m.ack) && ValidTick(m.tick) &&
           m.count <= kMaxInputsPerMessage && ValidTick(std::uint64_t{m.first} + m.count) &&
           ValidHeld(std::span<const Held>(m.held.data(), m.count));
  }
  bool operator()(const Check& m) const {
    return ValidMatch(m.match) && static_cast<std::uint8_t>(m.kind) <= 2 && ValidTick(m.tick);
  }
  bool operator()(const Desync& m) const { return ValidMatch(m.match) && ValidTick(m.tick); }
  bool operator()(const Rematch& m) const { return ValidMatch(m.match); }
  bool operator()(const Leave& m) const {
    return static_cast<std::uint8_t>(m.reason) < kLeaveReasonCount;
  }
  bool operator()(const Ping&) const { return true; }
  bool operator()(const Pong&) const { return true; }
};

struct Write {
  Writer& w;
  void operator()(const CreateRoom& m) const {
    w.U16(m.protocol);
    w.U64(m.fingerprint);
    w.U8(static_cast<std::uint8_t>(m.speed));
    w.Text(m.version);
  }
  void operator()(const JoinRoom& m) const {
    w.U16(m.protocol);
    w.U64(m.fingerprint);
    w.Chars(m.code);
    w.Text(m.version);
  }
  void operator()(const RejoinRoom& m) const {
    w.U16(m.protocol);
    w.U64(m.fingerprint);
    w.Chars(m.code);
    w.Bytes(m.token);
    w.Text(m.version);
  }
  void operator()(const RoomCreated& m) const {
    w.Chars(m.code);
    w.Bytes(m.token);
  }
  void operator()(const RoomJoined& m) const {
    w.Chars(m.code);
    w.Bytes(m.token);
    w.U8(static_cast<std::uint8_t>(m.speed));
  }
  void operator()(const PeerJoined&) const {}
  void operator()(const PeerDropped&) const {}
  void operator()(const PeerReturned&) const {}
  void operator()(const Refused& m) const { w.U8(static_cast<std::uint8_t>(m.reason)); }
  void operator()(const Resume& m) const {
    w.U8(m.host ? 1 : 0);
    w.U8(static_cast<std::uint8_t>(m.speed));
    w.U16(m.match);
    w.U8(static_cast<std::uint8_t>(m.phase));
    w.U32(m.seed);
    w.U8(m.p1Pick);
    w.U8(m.p2Pick);
    w.U8(m.p1Ready ? 1 : 0);
    w.U8(m.p2Ready ? 1 : 0);
    w.U32(m.p1Count);
    w.U32(m.p2Count);
  }
  void operator()(const History& m) const {
    w.U8(m.side);
    w.U32(m.first);
    w.U16(m.count);
    w.Bytes(std::span<const std::uint8_t>(m.held.data(), m.count));
  }
  void operator()(const Hello& m) const {
    w.U16(m.protocol);
    w.U64(m.fingerprint);
    w.U8(static_cast<std::uint8_t>(m.speed));
    w.U8(m.host ? 1 : 0);
    w.Text(m.version);
  }
  void operator()(const Commit& m) const {
    w.U16(m.match);
    w.Bytes(m.digest);
  }
  void operator()(const Reveal& m) const {
    w.U16(m.match);
    w.Bytes(m.nonce);
  }
  void operator()(const Pick& m) const {
    w.U16(m.match);
    w.U8(m.pick);
  }
  void operator()(const Ready& m) const {
    w.U16(m.match);
    w.U8(m.ready ? 1 : 0);
  }
  void operator()(const Start& m) const {
    w.U16(m.match);
    w.U8(m.p1Pick);
    w.U8(m.p2Pick);
  }
  void operator()(const Inputs& m) const {
    w.U16(m.match);
    w.U32(m.ack);
    w.U32(m.tick);
    w.I16(m.advantage);
    w.U32(m.first);
    w.U8(m.count);
    w.Bytes(std::span<const std::uint8_t>(m.held.data(), m.count));
  }
  void operator()(const Check& m) const {
    w.U16(m.match);
    w.U8(static_cast<std::uint8_t>(m.kind));
    w.U32(m.tick);
    w.U64(m.hash);
    w.U64(m.draws);
  }
  void operator()(const Desync& m) const {
    w.U16(m.match);
    w.U32(m.tick);
  }
  void operator()(const Rematch& m) const { w.U16(m.match); }
  void operator()(const Leave& m) const { w.U8(static_cast<std::uint8_t>(m.reason)); }
  void operator()(const Ping& m) const { w.U64(m.stamp); }
  void operator()(const Pong& m) const { w.U64(m.stamp); }
};

// A flag byte: 0 or 1, nothing else.
bool ReadFlag(Reader& r, bool& out) {
  const std::uint8_t value = r.U8();
  out = value == 1;
  return value <= 1;
}

// A one-byte enumeration, checked by the message's own range test afterwards.
template <typename Enum>
Enum ReadEnum(Reader& r) {
  return static_cast<Enum>(r.U8());
}

// The version text: its length is believed only up to the limit, and only as many bytes as
// there are are read.
bool ReadText(Reader& r, VersionText& out) {
  const std::uint8_t length = r.U8();
  if (length == 0 || length > kMaxVersionLength) return false;
  std::array<char, kMaxVersionLength> chars{};
  for (std::size_t i = 0; i < length; ++i)
    chars[i] = static_cast<char>(r.U8());
  out = VersionText(std::string_view(chars.data(), length));
  return true;
}

// A run of held sets: the count is checked against its limit before anything is read.
template <std::size_t N>
bool ReadHeld(Reader& r, std::size_t count, std::array<Held, N>& out) {
  if (count > N) return false;
  for (std::size_t i = 0; i < count; ++i)
    out[i] = r.U8();
  return true;
}

// Reads the fields of one message; false for a field that is malformed on its own (a flag
// that is neither 0 nor 1, a length past its limit). Ranges are checked by Valid afterwards.
struct Read {
  Reader& r;
  bool operator()(CreateRoom& m) const {
    m.protocol = r.U16();
    m.fingerprint = r.U64();
    m.speed = ReadEnum<Speed>(r);
    return ReadText(r, m.version);
  }
  bool operator()(JoinRoom& m) const {
    m.protocol = r.U16();
    m.fingerprint = r.U64();
    r.Chars(m.code);
    return ReadText(r, m.version);
  }
  bool operator()(RejoinRoom& m) const {
    m.protocol = r.U16();
    m.fingerprint = r.U64();
    r.Chars(m.code);
    r.Bytes(m.token);
    return ReadText(r, m.version);
  }
  bool operator()(RoomCreated& m) const {
    r.Chars(m.code);
    r.Bytes(m.token);
    return true;
  }
  bool operator()(RoomJoined& m) const {
    r.Chars(m.code);
    r.Bytes(m.token);
    m.speed = ReadEnum<Speed>(r);
    return true;
  }
  bool operator()(PeerJoined&) const { return true; }
  bool operator()(PeerDropped&) const { return true; }
  bool operator()(PeerReturned&) const { return true; }
  bool operator()(Refused& m) const {
    m.reason = ReadEnum<Refusal>(r);
    return true;
  }
  bool operator()(Resume& m) const {
    bool ok = ReadFlag(r, m.host);
    m.speed = ReadEnum<Speed>(r);
    m.match = r.U16();
    m.phase = ReadEnum<MatchPhase>(r);
    m.seed = r.U32();
    m.p1Pick = r.U8();
    m.p2Pick = r.U8();
    ok = ReadFlag(r, m.p1Ready) && ok;
    ok = ReadFlag(r, m.p2Ready) && ok;
    m.p1Count = r.U32();
    m.p2Count = r.U32();
    return ok;
  }
  bool operator()(History& m) const {
    m.side = r.U8();
    m.first = r.U32();
    m.count = r.U16();
    return ReadHeld(r, m.count, m.held);
  }
  bool operator()(Hello& m) const {
    m.protocol = r.U16();
    m.fingerprint = r.U64();
    m.speed = ReadEnum<Speed>(r);
    const bool ok = ReadFlag(r, m.host);
    return ReadText(r, m.version) && ok;
  }
  bool operator()(Commit& m) const {
    m.match = r.U16();
    r.Bytes(m.digest);
    return true;
  }
  bool operator()(Reveal& m) const {
    m.match = r.U16();
    r.Bytes(m.nonce);
    return true;
  }
  bool operator()(Pick& m) const {
    m.match = r.U16();
    m.pick = r.U8();
    return true;
  }
  bool operator()(Ready& m) const {
    m.match = r.U16();
    return ReadFlag(r, m.ready);
  }
  bool operator()(Start& m) const {
    m.match = r.U16();
    m.p1Pick = r.U8();
    m.p2Pick = r.U8();
    return true;
  }
  bool operator()(Inputs& m) const {
    m.match = r.U16();
    m.ack = r.U32();
    m.tick = r.U32();
    m.advantage = r.I16();
    m.first = r.U32();
    m.count = r.U8();
    return ReadHeld(r, m.count, m.held);
  }
  bool operator()(Check& m) const {
    m.match = r.U16();
    m.kind = ReadEnum<CheckKind>(r);
    m.tick = r.U32();
    m.hash = r.U64();
    m.draws = r.U64();
    return true;
  }
  bool operator()(Desync& m) const {
    m.match = r.U16();
    m.tick = r.U32();
    return true;
  }
  bool operator()(Rematch& m) const {
    m.match = r.U16();
    return true;
  }
  bool operator()(Leave& m) const {
    m.reason = ReadEnum<LeaveReason>(r);
    return true;
  }
  bool operator()(Ping& m) const {
    m.stamp = r.U64();
    return true;
  }
  bool operator()(Pong& m) const {
    m.stamp = r.U64();
    return true;
  }
};

constexpr MessageType kTypes[] = {
    MessageType::CreateRoom,  MessageType::JoinRoom,     MessageType::RejoinRoom,
    MessageType::RoomCreated, MessageType::RoomJoined,   MessageType::PeerJoined,
    MessageType::PeerDropped, MessageType::PeerReturned, MessageType::Refused,
    MessageType::Resume,      MessageType::History,      MessageType::Hello,
    MessageType::Commit,      MessageType::Reveal,       MessageType::Pick,
    MessageType::Ready,       MessageType::Start,        MessageType::Inputs,
    MessageType::Check,       MessageType::Desync,       MessageType::Rematch,
    MessageType::Leave,       MessageType::Ping,         MessageType::Pong,
};
static_assert(std::size(kTypes) == std::variant_size_v<Message>);

constexpr std::string_view kNames[] = {
    "CreateRoom",  "JoinRoom",     "RejoinRoom", "RoomCreated", "RoomJoined", "PeerJoined",
    "PeerDropped", "PeerReturned", "Refused",    "Resume",      "History",    "Hello",
    "Commit",      "Reveal",       "Pick",       "Ready",       "Start",      "Inputs",
    "Check",       "Desync",       "Rematch",    "Leave",       "Ping",       "Pong",
};
static_assert(std::size(kNames) == std::size(kTypes));

// The variant index of a type byte, or -1.
int IndexOf(std::uint8_t type) {
  for (std::size_t i = 0; i < std::size(kTypes); ++i) {
    if (static_cast<std::uint8_t>(kTypes[i]) == type) return static_cast<int>(i);
  }
  return -1;
}

// A default message of the variant's index `index`.
template <std::size_t... I>
Message MakeAt(std::size_t index, std::index_sequence<I...>) {
  Message message;
  ((index == I ? (void)message.emplace<I>() : (void)0), ...);
  return message;
}

}  // namespace

VersionText::VersionText(std::string_view text) {
  length_ = static_cast<std::uint8_t>(text.copy(chars_.data(), chars_.size()));
}

MessageType TypeOf(const Message& message) {
  return kTypes[message.index()];
}

std::string_view MessageName(MessageType type) {
  const int index = IndexOf(static_cast<std::uint8_t>(type));
  return index < 0 ? std::string_view("?") : kNames[index];
}

Direction DirectionOf(MessageType type) {
  const auto value = static_cast<std::uint8_t>(type);
  if (value < 0x10) return Direction::ToServer;
  if (value < 0x20) return Direction::FromServer;
  return Direction::BetweenPlayers;
}

std::string_view WireErrorName(WireError error) {
  switch (error) {
    case WireError::None:
      return "none";
    case WireError::Empty:
      return "an empty message";
    case WireError::TooLong:
      return "a message longer than any message";
    case WireError::UnknownType:
      return "an unknown message type";
    case WireError::Truncated:
      return "a message cut short";
    case WireError::TrailingBytes:
      return "bytes after the message's last field";
    case WireError::OutOfRange:
      return "a field out of its range";
  }
  return "?";
}

bool Encode(const Message& message, Frame& frame) {
  if (!std::visit(Valid{}, message)) {
    frame.size = 0;
    return false;
  }
  Writer writer(frame);
  writer.U8(static_cast<std::uint8_t>(TypeOf(message)));
  std::visit(Write{writer}, message);
  if (writer.overflow()) {
    frame.size = 0;
    return false;
  }
  return true;
}

WireError Decode(std::span<const std::uint8_t> bytes, Message& message) {
  if (bytes.empty()) return WireError::Empty;
  if (bytes.size() > kMaxMessageBytes) return WireError::TooLong;
  const int index = IndexOf(bytes[0]);
  if (index < 0) return WireError::UnknownType;
  Message read = MakeAt(static_cast<std::size_t>(index),
                        std::make_index_sequence<std::variant_size_v<Message>>());
  Reader reader(bytes.subspan(1));
  const bool wellFormed = std::visit(Read{reader}, read);
  // A count within its limit that points past the end is a message cut short.
  if (reader.truncated()) return WireError::Truncated;
  if (!wellFormed) return WireError::OutOfRange;
  if (!reader.atEnd()) return WireError::TrailingBytes;
  if (!std::visit(Valid{}, read)) return WireError::OutOfRange;
  message = read;
  return WireError::None;
}

}  // namespace tandemhoop::net
