#include "tests/support/online_pair.h"

#include <algorithm>
#include <chrono>

namespace tandemhoop::testing {

namespace {

using namespace net;

// Ticks a person stands still holding a way before he presses again: his glance and a little.
constexpr int kStandStill = 12;

bool Final(Phase phase) {
  return phase == Phase::Ended || phase == Phase::Desync || phase == Phase::Refused ||
         phase == Phase::PeerLeft || phase == Phase::Disconnected || phase == Phase::Left;
}

std::int64_t Clock() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Player1Hands::Player1Hands(Speed speed, std::uint64_t seed)
    : player_(speed, seed), copy_(platform_, random_) {}

Held Player1Hands::Act(const GameState& state, long long tick) {
  copy_.state = state;
  player_.Act(copy_, tick);
  Held held = 0;
  for (int key = 0; key < 5; ++key) {
    if (player_.held()[static_cast<std::size_t>(key)]) held = static_cast<Held>(held | 1 << key);
  }
  return held;
}

OnlinePair::OnlinePair(const PairSetup& setup) : setup_(setup), link_(setup.link, setup.seed) {
  SplitMix64 seeds(setup.seed * 0x9E3779B97F4A7C15ull + 1);
  for (int side = 0; side < 2; ++side) {
    const auto s = static_cast<std::size_t>(side);
    platforms_[s] = std::make_unique<CountingPlatform>();
    SessionOptions options;
    options.role = side == 0 ? Role::Host : Role::Guest;
    options.speed = setup.speed;
    options.direct = true;
    options.random = setup.random[s];
    for (auto& byte : options.secret)
      byte = static_cast<std::uint8_t>(seeds.Next());
    sessions_[s] = std::make_unique<Session>(*platforms_[s], options);
    player1_[s] = std::make_unique<Player1Hands>(setup.speed, seeds.Next());
    player2_[s] = std::make_unique<OnlinePlayer2>(setup.speed, seeds.Next());
  }
  cap_ = static_cast<std::int64_t>(setup.capSeconds * 1e9);
  for (int side = 0; side < 2; ++side) {
    session(side).Open(Local(side, 0));
    Drain(side);
  }
}

std::int64_t OnlinePair::Local(int side, std::int64_t trueNs) const {
  const double ppm = setup_.clockPpm[static_cast<std::size_t>(side)];
  return trueNs + static_cast<std::int64_t>(static_cast<double>(trueNs) * ppm * 1e-6);
}

std::int64_t OnlinePair::True(int side, std::int64_t localNs) const {
  const double ppm = setup_.clockPpm[static_cast<std::size_t>(side)];
  return static_cast<std::int64_t>(static_cast<double>(localNs) / (1 + ppm * 1e-6));
}

void OnlinePair::Drain(int side) {
  std::span<const std::uint8_t> message;
  while (session(side).TakeOutgoing(message))
    link_.Send(side, message, now_);
}

Held OnlinePair::Hands(int side) {
  const auto s = static_cast<std::size_t>(side);
  Session& own = session(side);
  const Status status = own.status();
  // A stoppage's message is seen: the person lets go and looks again.
  const bool stopped = status.phase == Phase::Stoppage;
  if (stopped && !inStoppage_[s]) {
    ++stoppages_[s];
    player1_[s]->MessageShown();
    player2_[s]->MessageShown();
  }
  inStoppage_[s] = stopped;
  // The person decides once a tick, for the next one.
  const auto tick = static_cast<long long>(own.stats().ticks);
  if (tick == decidedFor_[s]) return decided_[s];
  decidedFor_[s] = tick;
  const GameState& state = own.game().state;
  Held held = status.localSide == 1 ? player1_[s]->Act(state, tick) : player2_[s]->Act(state, tick);
  // Only the key pressed last repeats: a walking key whose flag a foul or a shot cleared while
  // another key was pressed later does nothing until it is pressed again. A person who holds a
  // way and sees himself not go that way lets go and presses again.
  const int x = status.localSide == 1 ? state.p1X : state.p2X;
  const int y = status.localSide == 1 ? state.p1Y : state.p2Y;
  const Held across = held & (kHoldLeft | kHoldRight);
  const Held along = held & (kHoldUp | kHoldDown);
  standingX_[s] = across == 0 || x != lastX_[s] ? 0 : standingX_[s] + 1;
  standingY_[s] = along == 0 || y != lastY_[s] ? 0 : standingY_[s] + 1;
  lastX_[s] = x;
  lastY_[s] = y;
  if (standingX_[s] > kStandStill) {
    standingX_[s] = 0;
    held = static_cast<Held>(held & ~across);
  }
  if (standingY_[s] > kStandStill) {
    standingY_[s] = 0;
    held = static_cast<Held>(held & ~along);
  }
  decided_[s] = held;
  return held;
}

bool OnlinePair::Over() const {
  return Final(sessions_[0]->status().phase) && Final(sessions_[1]->status().phase);
}

void OnlinePair::Step() {
  std::int64_t next = std::min(nextUpdate_[0], nextUpdate_[1]);
  for (int side = 0; side < 2; ++side) {
    const std::int64_t arrival = link_.NextArrival(side);
    if (arrival >= 0) next = std::min(next, arrival);
  }
  now_ = std::max(now_, next);
  for (int side = 0; side < 2; ++side) {
    const auto s = static_cast<std::size_t>(side);
    Session& own = session(side);
    bool received = false;
    while (link_.Take(side, now_, message_)) {
      const std::int64_t start = setup_.timeCalls ? Clock() : 0;
      own.Receive(message_, Local(side, now_));
      if (setup_.timeCalls) cost_[s] += Clock() - start;
      received = true;
    }
    if (nextUpdate_[s] > now_ && !received) continue;
    const std::uint64_t ticksBefore = own.stats().ticks;
    const Held held = Hands(side);
    const std::int64_t start = setup_.timeCalls ? Clock() : 0;
    const std::int64_t nextLocal = own.Update(Local(side, now_), held);
    if (setup_.timeCalls) cost_[s] += Clock() - start;
    if (own.stats().ticks != ticksBefore) {
      sent_[s].push_back(held);
      if (setup_.timeCalls) {
        costs_[s].push_back(cost_[s]);
        cost_[s] = 0;
      }
    }
    nextUpdate_[s] = std::max(now_ + 1, True(side, nextLocal));
    // The selection screen: each side picks its own player and is ready at once.
    const Status status = own.status();
    if (setup_.autoPick && status.phase == Phase::Picking) {
      const int pick = status.localSide == 1 ? setup_.p1Pick : setup_.p2Pick;
      const std::uint8_t current = status.localSide == 1 ? status.p1Pick : status.p2Pick;
      if (current == 0) own.PickPlayer(pick);
      own.SetReady(true);
    }
    Drain(side);
  }
}

void OnlinePair::Run() {
  while (!Over() && now_ < cap_)
    Step();
}

std::vector<Held> OnlinePair::HeldSent(int side) const {
  const auto s = static_cast<std::size_t>(side);
  std::vector<Held> held(static_cast<std::size_t>(sessions_[s]->stats().inputDelayTicks), 0);
  held.insert(held.end(), sent_[s].begin(), sent_[s].end());
  return held;
}

}  // namespace tandemhoop::testing
