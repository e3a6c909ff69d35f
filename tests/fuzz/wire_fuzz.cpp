// libFuzzer target for the online messages: no bytes may crash the decoder, hang it or make it
// read past its input; what it accepts has the one encoding, so encoding it gives back the very
// bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "net/wire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tandemhoop::net;
  const std::span<const std::uint8_t> bytes(data, size);
  Message message;
  if (Decode(bytes, message) != WireError::None) return 0;
  Frame frame;
  if (!Encode(message, frame)) std::abort();
  if (frame.size != size || std::memcmp(frame.bytes.data(), data, size) != 0) std::abort();
  return 0;
}
