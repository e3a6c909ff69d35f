#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "tests/support/random_player.h"

namespace tandemhoop::testing {

// What the network between two machines does to their messages, over TCP: a one-way delay with
// jitter, now and then a lost segment whose retransmission holds it and everything behind it
// (order is always kept), and an outage during which nothing gets through.
struct LinkProfile {
  double oneWayMs = 0;
  double jitterMs = 0;          // each message's delay varies this much either way
  double stallChance = 0;       // per message: a lost segment, held 200 to 400 ms
  double outageAtSeconds = -1;  // -1: none
  double outageSeconds = 0;
};

// Both directions of one connection on a virtual clock in nanoseconds. Seeded: the same
// messages at the same times arrive at the same times.
class SimulatedLink {
 public:
  SimulatedLink(const LinkProfile& profile, std::uint64_t seed);

  // `from` (0 or 1) sends at true time `now`.
  void Send(int from, std::span<const std::uint8_t> message, std::int64_t now);
  // The earliest arrival for side `to`, or -1 when nothing is on its way.
  std::int64_t NextArrival(int to) const;
  // Takes the next message due at `to` by `now`; false when none is.
  bool Take(int to, std::int64_t now, std::vector<std::uint8_t>& message);

  // Everything on its way to `to` is lost (its program was killed).
  void Lose(int to) { directions_[to].queue.clear(); }

  long long stalls() const { return stalls_; }

 private:
  struct InFlight {
    std::int64_t arrival;
    std::vector<std::uint8_t> bytes;
  };
  struct Direction {
    std::deque<InFlight> queue;
    std::int64_t lastArrival = 0;
  };

  LinkProfile profile_;
  SplitMix64 random_;
  Direction directions_[2];  // index: the receiving side
  long long stalls_ = 0;
};

}  // namespace tandemhoop::testing
