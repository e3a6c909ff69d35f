#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "net/wire.h"

namespace tandemhoop::net {

// SHA-256 (FIPS 180-4), for the seed's commitment: the one hash here a side cannot work
// backwards from to choose a nonce after seeing the other's.
class Sha256 {
 public:
  Sha256();
  void Add(std::span<const std::uint8_t> bytes);
  Digest Finish();  // the digest; the object is spent afterwards

 private:
  void Block(const std::uint8_t* block);

  std::uint32_t h_[8];
  std::uint8_t buffer_[64];
  std::size_t buffered_ = 0;
  std::uint64_t length_ = 0;  // bytes added
};

Digest Sha256Of(std::span<const std::uint8_t> bytes);

}  // namespace tandemhoop::net
