#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/replay.h"
#include "game/speed.h"
#include "net/wire.h"

// One online match as both machines (and the server) play it from the same agreement and the
// same held sets: the game, the key events made from the held sets, and the stoppages that
// stand in for the message boxes. Deterministic; no clock, no network.
namespace tandemhoop::net {

// All a match depends on besides the inputs.
struct Agreement {
  std::uint32_t seed = 0;
  Speed speed = Speed::Classic;
  std::uint8_t p1Pick = 1;  // 1..4, different
  std::uint8_t p2Pick = 2;
};

// The seed commitment: SHA-256 of a fixed label and the nonce.
Digest CommitmentOf(const Nonce& nonce);
// The seed from both nonces, the host's first: neither side alone can choose it.
std::uint32_t SeedOf(const Nonce& host, const Nonce& guest);

// Auto-repeat of a held key online, in ticks, the same on both machines: a desktop's half a
// second before the first repeat, then as often as the speed allows up to about 30 a second.
struct KeyRepeat {
  int delayTicks;
  int intervalTicks;
};
constexpr KeyRepeat RepeatOf(Speed speed) {
  return speed == Speed::Classic ? KeyRepeat{9, 1} : KeyRepeat{32, 2};
}
// How long a foul or a win message stops play online: about a second and a half.
constexpr int StoppageTicks(Speed speed) {
  return speed == Speed::Classic ? 27 : 96;
}

// The replay the server writes of a match: the held sets of both sides, tick by tick from the
// first tick of play, for as many ticks as both sides' are known (or until the game is won).
std::string BuildReplay(const Agreement& agreement, std::span<const Held> p1,
                        std::span<const Held> p2);

}  // namespace tandemhoop::net
