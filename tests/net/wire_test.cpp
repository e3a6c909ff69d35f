// The online messages on the wire: each one survives the trip with every field, is exactly as
// long as docs/online.md says, and the decoder refuses whatever is not a message.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "net/room.h"
#include "net/sha256.h"
#include "net/wire.h"

namespace tandemhoop::net {
namespace {

RoomCode Code(std::string_view text) {
  RoomCode code{};
  text.copy(code.data(), code.size());
  return code;
}

// One of every message, every field away from its default, with the length the document gives.
struct Sample {
  Message message;
  std::size_t bytes;
};

std::vector<Sample> Samples() {
  Token token{};
  for (std::size_t i = 0; i < token.size(); ++i)
    token[i] = static_cast<std::uint8_t>(200 + i);
  Digest digest{};
  digest[0] = 1;
  digest[31] = 255;
  History history{2, 70'000, 960, {}};
  for (std::size_t i = 0; i < 960; ++i)
    history.held[i] = static_cast<Held>(i % 32);
  Inputs inputs{7, 123'456, 654'321, -300, 99'999, 128, {}};
  for (std::size_t i = 0; i < 128; ++i)
    inputs.held[i] = static_cast<Held>((i * 7) % 32);
  const VersionText version("1.0.3-rc1");
  return {
      {CreateRoom{1, 0x1122334455667788ull, Speed::Fast, version}, 13 + 9},
      {JoinRoom{1, 42, Code("CFHJKM"), VersionText(std::string(32, 'v'))}, 50},
      {RejoinRoom{2, 43, Code("3479XY"), token, VersionText("1")}, 35},
      {RoomCreated{Code("NPRTWX"), token}, 23},
      {RoomJoined{Code("NPRTWX"), token, Speed::Fast}, 24},
      {PeerJoined{}, 1},
      {PeerDropped{}, 1},
      {PeerReturned{}, 1},
      {Refused{Refusal::Idle}, 2},
      {Resume{false, Speed::Fast, 3, MatchPhase::Playing, 0xDEADBEEF, 4, 1, true, false, 5000,
              4998},
       22},
      {history, 968},
      {Hello{1, 77, Speed::Fast, false, version}, 14 + 9},
      {Commit{2, digest}, 35},
      {Reveal{2, digest}, 35},
      {Pick{9, 4}, 4},
      {Ready{9, true}, 4},
      {Start{9, 3, 1}, 5},
      {inputs, 146},
      {Check{65535, CheckKind::End, 20'000'000, 0xFEDCBA9876543210ull, 1234567}, 24},
      {Desync{5, 31}, 7},
      {Rematch{1}, 3},
      {Leave{LeaveReason::ProtocolBroken}, 2},
      {Ping{0x0102030405060708ull}, 9},
      {Pong{0x0807060504030201ull}, 9},
  };
}

std::vector<std::uint8_t> Bytes(const Message& message) {
  Frame frame;
  EXPECT_TRUE(Encode(message, frame)) << MessageName(TypeOf(message));
  return {frame.bytes.begin(), frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.size)};
}

WireError DecodeBytes(const std::vector<std::uint8_t>& bytes) {
  Message message;
  return Decode(bytes, message);
}

TEST(WireTest, EveryMessageGoesAndComesBackWholeAtItsDocumentedLength) {
  const std::vector<Sample> samples = Samples();
  ASSERT_EQ(samples.size(), std::variant_size_v<Message>);
  for (const Sample& sample : samples) {
    const std::string name(MessageName(TypeOf(sample.message)));
    const std::vector<std::uint8_t> bytes = Bytes(sample.message);
    EXPECT_EQ(bytes.size(), sample.bytes) << name;
    EXPECT_EQ(bytes[0], static_cast<std::uint8_t>(TypeOf(sample.message))) << name;
    Message decoded;
    ASSERT_EQ(Decode(bytes, decoded), WireError::None) << name;
    EXPECT_TRUE(decoded == sample.message) << name;
  }
  // Integers are little-endian: the ping's stamp goes lowest byte first.
  EXPECT_EQ(Bytes(Ping{0x0102030405060708ull}),
            (std::vector<std::uint8_t>{0x2B, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(WireTest, EveryCutAndEveryAddedByteIsRefused) {
  for (const Sample& sample : Samples()) {
    const std::string name(MessageName(TypeOf(sample.message)));
    std::vector<std::uint8_t> bytes = Bytes(sample.message);
    for (std::size_t length = 1; length < bytes.size(); ++length) {
      const std::vector<std::uint8_t> cut(bytes.begin(),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(length));
      EXPECT_EQ(DecodeBytes(cut), WireError::Truncated) << name << " cut to " << length;
    }
    bytes.push_back(0);
    EXPECT_EQ(DecodeBytes(bytes),
              bytes.size() > kMaxMessageBytes ? WireError::TooLong : WireError::TrailingBytes)
        << name;
  }
  EXPECT_EQ(DecodeBytes({}), WireError::Empty);
  for (const std::uint8_t type : {0x00, 0x04, 0x0F, 0x18, 0x1F, 0x2D, 0xFF})
    EXPECT_EQ(DecodeBytes({type}), WireError::UnknownType) << int{type};
  EXPECT_EQ(DecodeBytes(std::vector<std::uint8_t>(kMaxMessageBytes + 1, 0x2B)), WireError::TooLong);
}

// Each case: a valid message, one byte at `at` replaced by `value`.
struct Spoilt {
  Message message;
  std::size_t at;
  std::uint8_t value;
  const char* what;
};

TEST(WireTest, FieldsOutOfTheirRangeAreRefused) {
  Inputs inputs{1, 0, 0, 0, 0, 3, {1, 2, 3}};
  History history{1, 0, 2, {1, 2}};
  const Spoilt cases[] = {
      {CreateRoom{1, 0, Speed::Classic, VersionText("1.0")}, 11, 2, "a third speed"},
      {CreateRoom{1, 0, Speed::Classic, VersionText("1.0")}, 12, 0, "an empty version"},
      {CreateRoom{1, 0, Speed::Classic, VersionText("1.0")}, 12, 33, "a version over 32"},
      {CreateRoom{1, 0, Speed::Classic, VersionText("1.0")}, 14, ' ', "a space in the version"},
      {JoinRoom{1, 0, Code("CFHJKM"), VersionText("1")}, 11, 'O', "a look-alike in a code"},
      {JoinRoom{1, 0, Code("CFHJKM"), VersionText("1")}, 12, 'f', "a lower-case code"},
      {Refused{Refusal::Version}, 1, 0, "refusal 0"},
      {Refused{Refusal::Version}, 1, 11, "refusal 11"},
      {Leave{}, 1, 3, "leave reason 3"},
      {Hello{1, 0, Speed::Classic, true, VersionText("1")}, 12, 2, "a flag of 2"},
      {Ready{1, true}, 3, 0xFF, "a flag of 255"},
      {Pick{1, 0}, 1, 0, "match 0"},
      {Pick{1, 0}, 3, 5, "a fifth player"},
      {Start{1, 1, 2}, 4, 1, "one player in both boxes"},
      {Start{1, 1, 2}, 3, 0, "no pick for Player 1"},
      {inputs, 18, 32, "a held set with bit 5"},
      {inputs, 16, 129, "129 held sets, more than one message holds"},
      {inputs, 16, 0xFF, "a first tick past a match's length"},
      {Check{1, CheckKind::Periodic, 0, 0, 0}, 3, 3, "check kind 3"},
      {history, 1, 3, "a third side"},
      {history, 7, 4, "more held sets than one message holds"},
      {Resume{}, 5, 4, "phase 4"},
  };
  for (const Spoilt& spoilt : cases) {
    std::vector<std::uint8_t> bytes = Bytes(spoilt.message);
    ASSERT_LT(spoilt.at, bytes.size()) << spoilt.what;
    bytes[spoilt.at] = spoilt.value;
    EXPECT_EQ(DecodeBytes(bytes), WireError::OutOfRange) << spoilt.what;
  }
  // A count within its limit that runs past the end is a message cut short.
  std::vector<std::uint8_t> bytes = Bytes(inputs);
  bytes[17] = 100;
  EXPECT_EQ(DecodeBytes(bytes), WireError::Truncated);
  // The encoder sends nothing the other side would refuse.
  Frame frame;
  EXPECT_FALSE(Encode(Start{1, 2, 2}, frame));
  EXPECT_FALSE(Encode(Hello{1, 0, Speed::Classic, true, VersionText("")}, frame));
  inputs.held[0] = 0x20;
  EXPECT_FALSE(Encode(inputs, frame));
  EXPECT_EQ(frame.size, 0u);
}

TEST(RoomCodeTest, CodesAreMadeAndReadFromTheAlphabetOnly) {
  std::set<std::string> seen;
  for (std::uint64_t bits = 0; bits < 2000; ++bits) {
    const RoomCode code = MakeRoomCode(bits * 0x9E3779B97F4A7C15ull);
    EXPECT_TRUE(IsRoomCode(code));
    seen.insert(std::string(CodeText(code)));
  }
  EXPECT_EQ(seen.size(), 2000u);

  RoomCode code{};
  EXPECT_TRUE(ParseRoomCode(" mnp-rtw\n", code));
  EXPECT_EQ(CodeText(code), "MNPRTW");
  for (const char* typed : {"MNPRT", "MNPRTWX", "MNPRT0", "MNPRTO", "MNPRTI", "MNPRT1", "MNP RT!",
                            "", "MNPRTWMNPRTWMNPRTWMNPRTWMNPRTWMNPRTW"}) {
    code = Code("CCCCCC");
    EXPECT_FALSE(ParseRoomCode(typed, code)) << typed;
    EXPECT_EQ(CodeText(code), "CCCCCC") << typed;
  }
}

std::string Hex(const Digest& digest) {
  std::string out;
  for (const std::uint8_t byte : digest) {
    out += "0123456789abcdef"[byte >> 4];
    out += "0123456789abcdef"[byte & 15];
  }
  return out;
}

std::span<const std::uint8_t> Ascii(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Sha256Test, KnownDigests) {
  EXPECT_EQ(Hex(Sha256Of({})), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Hex(Sha256Of(Ascii("abc"))),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // Two blocks, and the padding falling just past the first.
  EXPECT_EQ(Hex(Sha256Of(Ascii("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"))),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  Sha256 pieces;
  pieces.Add(Ascii("abcdbcdecdefdefgefghfghighijhijk"));
  pieces.Add(Ascii("ijkljklmklmnlmnomnopnopq"));
  EXPECT_EQ(Hex(pieces.Finish()),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

}  // namespace
}  // namespace tandemhoop::net
