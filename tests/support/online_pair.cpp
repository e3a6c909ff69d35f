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

}  // namespace

std::int64_t OnlinePair::Clock() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

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
    for (auto& byte : secrets_[s])
      byte = static_cast<std::uint8_t>(seeds.Next());
    sessions_[s] = std::make_unique<Session>(*platforms_[s], Options(side));
    player1_[s] = std::make_unique<Player1Hands>(setup.speed, seeds.Next());
    player2_[s] = std::make_unique<OnlinePlayer2>(setup.speed, seeds.Next());
  }
  cap_ = static_cast<std::int64_t>(setup.capSeconds * 1e9);
  for (int side = 0; side < 2; ++side) {
    session(side).Open(Local(side, 0));
    Drain(side);
  }
}

SessionOptions OnlinePair::Options(int side) const {
  const auto s = static_cast<std::size_t>(side);
  SessionOptions options;
  options.role = side == 0 ? Role::Host : Role::Guest;
  options.speed = setup_.speed;
  options.direct = true;
  options.random = setup_.random[s];
  options.secret = secrets_[s];
  return options;
}

void OnlinePair::Deliver(int side, const Message& message) {
  Frame frame;
  if (Encode(message, frame)) session(side).Receive(frame.view(), Local(side, now_));
}

void OnlinePair::Kill(int side) {
  const auto s = static_cast<std::size_t>(side);
  before_[s] = HeldSent(side);
  sent_[s].clear();
  dead_[s] = true;
  link_.Lose(side);
  Deliver(1 - side, PeerDropped{});
  Drain(1 - side);
}

void OnlinePair::Rejoin(int side) {
  const auto s = static_cast<std::size_t>(side);
  SessionOptions options = Options(side);
  options.direct = false;
  options.rejoin = true;
  options.code = {'C', 'F', 'H', 'J', 'K', 'M'};
  sessions_[s] = std::make_unique<Session>(*platforms_[s], options);
  dead_[s] = false;
  decidedFor_[s] = -1;
  session(side).Open(Local(side, now_));
  Drain(side);
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
  std::span<const std::uint8_t> bytes;
  while (session(side).TakeOutgoing(bytes)) {
    Message message;
    if (Decode(bytes, message) != WireError::None || !std::holds_alternative<RejoinRoom>(message)) {
      link_.Send(side, bytes, now_);
      continue;
    }
    // Standing in for the room server: where the match stands, and all it was sent.
    const Status other = session(1 - side).status();
    Replay replay;
    std::string error;
    ReadReplay(session(1 - side).ReplayText(), replay, error);
    Resume resume;
    resume.host = side == 0;
    resume.speed = other.speed;
    resume.match = other.match;
    resume.phase = MatchPhase::Playing;
    resume.seed = replay.header.seed;
    resume.p1Pick = other.p1Pick;
    resume.p2Pick = other.p2Pick;
    const int p1Side = other.localSide == 1 ? 1 - side : side;
    const std::vector<Held> held[2] = {HeldSent(p1Side), HeldSent(1 - p1Side)};
    resume.p1Count = static_cast<std::uint32_t>(held[0].size());
    resume.p2Count = static_cast<std::uint32_t>(held[1].size());
    Deliver(side, resume);
    for (std::uint8_t p = 1; p <= 2; ++p) {
      const std::vector<Held>& all = held[p - 1];
      for (std::size_t first = 0; first < all.size(); first += kMaxHistoryPerMessage) {
        History history;
        history.side = p;
        history.first = static_cast<std::uint32_t>(first);
        history.count = static_cast<std::uint16_t>(
            std::min<std::size_t>(kMaxHistoryPerMessage, all.size() - first));
        std::copy_n(all.begin() + static_cast<std::ptrdiff_t>(first), history.count,
                    history.held.begin());
        Deliver(side, history);
      }
    }
    Deliver(1 - side, PeerReturned{});
    Drain(1 - side);
  }
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
    if (dead_[s]) {
      while (link_.Take(side, now_, message_)) {
      }
      nextUpdate_[s] = now_ + 1'000'000;
      continue;
    }
    Session& own = session(side);
    bool received = false;
    while (link_.Take(side, now_, message_)) {
      Measured(side, [&] { own.Receive(message_, Local(side, now_)); });
      received = true;
    }
    if (nextUpdate_[s] > now_ && !received) continue;
    const std::uint64_t ticksBefore = own.stats().ticks;
    const Held held = Hands(side);
    std::int64_t nextLocal = 0;
    Measured(side, [&] { nextLocal = own.Update(Local(side, now_), held); });
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
  // A program that came back carries on from what its killed one had sent, without delay.
  std::vector<Held> held = before_[s];
  held.resize(held.size() + static_cast<std::size_t>(sessions_[s]->stats().inputDelayTicks), 0);
  held.insert(held.end(), sent_[s].begin(), sent_[s].end());
  return held;
}

}  // namespace tandemhoop::testing
