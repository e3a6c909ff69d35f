// libFuzzer target for the online messages: no bytes may crash the decoder, hang it or make it
// read past its input; what it accepts has the one encoding, so encoding it gives back the very
// bytes it was read from. Then the same bytes, cut into messages, go to a session (a host, a
// guest or one coming back into a match, which the server's Resume and History take straight
// into play) between ticks of its clock: nothing it is sent may crash it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "game/replay.h"
#include "net/session.h"
#include "net/wire.h"

namespace {

using namespace tandemhoop;
using namespace tandemhoop::net;

void CheckOneMessage(std::span<const std::uint8_t> bytes) {
  Message message;
  if (Decode(bytes, message) != WireError::None) return;
  Frame frame;
  if (!Encode(message, frame)) std::abort();
  if (frame.size != bytes.size() || std::memcmp(frame.bytes.data(), bytes.data(), bytes.size())) {
    std::abort();
  }
}

// The input after its first byte as messages, each a length byte and that many bytes.
void FeedSession(std::span<const std::uint8_t> bytes) {
  HeadlessPlatform platform;
  SessionOptions options;
  options.role = (bytes[0] & 1) != 0 ? Role::Host : Role::Guest;
  options.speed = (bytes[0] & 2) != 0 ? Speed::Fast : Speed::Classic;
  options.rejoin = (bytes[0] & 4) != 0;
  options.direct = !options.rejoin && (bytes[0] & 8) != 0;
  options.code = {'C', 'F', 'H', 'J', 'K', 'M'};
  Session session(platform, options);
  std::int64_t now = 0;
  session.Open(now);
  std::size_t at = 1;
  while (at < bytes.size()) {
    const std::size_t length = bytes[at++];
    const std::size_t take = length < bytes.size() - at ? length : bytes.size() - at;
    session.Receive(bytes.subspan(at, take), now);
    at += take;
    // A few ticks of the clock between messages, with keys held that change.
    for (int i = 0; i < 3; ++i)
      now = session.Update(now, static_cast<Held>(at & kHeldMask));
    std::span<const std::uint8_t> out;
    while (session.TakeOutgoing(out)) {
      Message sent;
      if (Decode(out, sent) != WireError::None) std::abort();  // it only says what decodes
    }
  }
  (void)session.ReplayText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckOneMessage(bytes);
  if (size > 0) FeedSession(bytes);
  return 0;
}
