// libFuzzer target for the replay reader: no input may crash it, hang it or make it use memory
// without bound; what it accepts is written back to the same text and reads again; and a short
// accepted replay plays back (with no window) without fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tandemhoop::Replay replay;
  std::string error;
  if (!tandemhoop::ReadReplay(text, replay, error)) {
    // A refusal is one line that names the line at fault.
    if (error.empty() || error.find('\n') != std::string::npos) std::abort();
    return 0;
  }
  const std::string written = tandemhoop::WriteReplay(replay.header, replay.events, replay.end);
  tandemhoop::Replay again;
  if (!tandemhoop::ReadReplay(written, again, error)) std::abort();
  if (tandemhoop::WriteReplay(again.header, again.events, again.end) != written) std::abort();
  if (replay.end.tick <= 3000) (void)tandemhoop::VerifyReplay(replay);
  return 0;
}
