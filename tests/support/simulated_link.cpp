#include "tests/support/simulated_link.h"

#include <algorithm>

namespace tandemhoop::testing {

namespace {
constexpr double kNsPerMs = 1e6;
}

SimulatedLink::SimulatedLink(const LinkProfile& profile, std::uint64_t seed)
    : profile_(profile), random_(seed) {}

void SimulatedLink::Send(int from, std::span<const std::uint8_t> message, std::int64_t now) {
  Direction& direction = directions_[1 - from];
  double delayMs = profile_.oneWayMs + (random_.Uniform() * 2 - 1) * profile_.jitterMs;
  if (profile_.stallChance > 0 && random_.Uniform() < profile_.stallChance) {
    delayMs += 200 + 200 * random_.Uniform();
    ++stalls_;
  }
  auto arrival = now + static_cast<std::int64_t>(std::max(0.0, delayMs) * kNsPerMs);
  // An outage holds what is sent during it until the line is back.
  if (profile_.outageAtSeconds >= 0) {
    const auto start = static_cast<std::int64_t>(profile_.outageAtSeconds * 1e9);
    const auto end = start + static_cast<std::int64_t>(profile_.outageSeconds * 1e9);
    if (arrival >= start && now < end) {
      arrival = std::max(arrival, end + static_cast<std::int64_t>(profile_.oneWayMs * kNsPerMs));
    }
  }
  // TCP keeps the order: nothing overtakes what was sent before it.
  arrival = std::max(arrival, direction.lastArrival);
  direction.lastArrival = arrival;
  direction.queue.push_back({arrival, {message.begin(), message.end()}});
}

std::int64_t SimulatedLink::NextArrival(int to) const {
  const Direction& direction = directions_[to];
  return direction.queue.empty() ? -1 : direction.queue.front().arrival;
}

bool SimulatedLink::Take(int to, std::int64_t now, std::vector<std::uint8_t>& message) {
  Direction& direction = directions_[to];
  if (direction.queue.empty() || direction.queue.front().arrival > now) return false;
  message = std::move(direction.queue.front().bytes);
  direction.queue.pop_front();
  return true;
}

}  // namespace tandemhoop::testing
