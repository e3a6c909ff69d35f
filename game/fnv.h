#pragma once

#include <cstdint>

namespace tandemhoop {

// FNV-1a, 64 bits: the identity of a state, a frame or a stream of samples, the same on every
// machine and in every front end.
class Fnv1a64 {
 public:
  void Add(std::uint8_t byte) {
    hash_ ^= byte;
    hash_ *= 0x100000001b3ull;
  }
  // The value's bytes, lowest first.
  template <typename Unsigned>
  void AddLittleEndian(Unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      Add(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace tandemhoop
