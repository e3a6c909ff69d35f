#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/mt_random.h"
#include "game/replay.h"
#include "net/session.h"
#include "tests/support/online_player2.h"
#include "tests/support/simulated_link.h"
#include "tests/support/simulated_player.h"

namespace tandemhoop::testing {

// The simulated player of Player 1 as online play sees it: what it would hold, not key events.
// It plays on a copy of the court it is shown, so the game it looks at is left alone.
class Player1Hands {
 public:
  Player1Hands(Speed speed, std::uint64_t seed);
  net::Held Act(const GameState& state, long long tick);
  void MessageShown() { player_.MessageShown(); }

 private:
  SimulatedPlayer player_;
  HeadlessPlatform platform_;
  MtRandom random_;
  Game copy_;
};

// A front end with no window that counts the ticks it was shown.
class CountingPlatform final : public HeadlessPlatform {
 public:
  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source,
                      RasterOp op) override {
    if (source.form == Holder::Form3 && op == RasterOp::SrcCopy) ++courtCopies;
    return HeadlessPlatform::BitBlt(x, y, width, height, source, op);
  }
  long long courtCopies = 0;
};

struct PairSetup {
  Speed speed = Speed::Classic;
  LinkProfile link;
  std::uint64_t seed = 1;                   // the players, the link and the secrets
  std::array<double, 2> clockPpm = {0, 0};  // each machine's clock, fast (+) or slow (-)
  double capSeconds = 900;                  // of game time, then the pair stops
  bool timeCalls = false;                   // measure the time spent in the sessions per tick
  // The host's and the guest's picks for Player 1 and Player 2.
  int p1Pick = 1;
  int p2Pick = 2;
  std::array<RandomSource*, 2> random = {nullptr, nullptr};
  bool autoPick = true;  // each side picks and is ready as soon as the selection screen shows
  // A count of the program's allocations so far, read around every session call once play has
  // begun (a test that counts them supplies it).
  long long (*allocations)() = nullptr;
};

// Two sessions, host and guest, each with a simulated player at its machine, joined straight
// (no room server) by a simulated link on a virtual clock.
class OnlinePair {
 public:
  explicit OnlinePair(const PairSetup& setup);

  // Runs until both sides' matches are over (won, or stopped for good), or the cap.
  void Run();
  // Runs until `done` says so (checked after every step), or the cap.
  template <typename Done>
  void RunUntil(Done done) {
    while (now_ < cap_ && !done())
      Step();
  }

  net::Session& session(int side) { return *sessions_[static_cast<std::size_t>(side)]; }
  // The program of side `side` is killed: what was on its way to it is lost, the other side is
  // told it dropped, and nothing reaches it until it comes back.
  void Kill(int side);
  // ... and started again: a new session rejoins the room, and the pair (standing in for the
  // room server) gives it where the match stands and every held set of both sides.
  void Rejoin(int side);
  // The held sets side `side` (0 host, 1 guest) sent, tick by tick from the first.
  std::vector<net::Held> HeldSent(int side) const;
  std::int64_t now() const { return now_; }
  // Game seconds the match ran.
  double Seconds() const { return static_cast<double>(now_) / 1e9; }
  bool Over() const;
  // Nanoseconds spent in each side's session between one tick and the next, per tick run.
  const std::vector<std::int64_t>& TickCosts(int side) const {
    return costs_[static_cast<std::size_t>(side)];
  }
  int stoppagesSeen(int side) const { return stoppages_[static_cast<std::size_t>(side)]; }
  // Allocations made inside the sessions' calls since their first tick (with setup.allocations).
  long long sessionAllocations() const { return sessionAllocations_; }
  // Court pictures each side's front end was given: one for every tick drawn.
  long long courtCopies(int side) const {
    return platforms_[static_cast<std::size_t>(side)]->courtCopies;
  }
  const SimulatedLink& link() const { return link_; }
  // The monotonic clock in nanoseconds the tick costs are measured by.
  static std::int64_t Clock();

 private:
  void Step();
  // A call into side `side`'s session, timed and its allocations counted as the setup asks.
  template <typename Call>
  void Measured(int side, Call call) {
    const bool playing = sessions_[static_cast<std::size_t>(side)]->stats().ticks > 0;
    const long long allocatedBefore = setup_.allocations != nullptr ? setup_.allocations() : 0;
    const std::int64_t start = setup_.timeCalls ? Clock() : 0;
    call();
    if (setup_.timeCalls) cost_[static_cast<std::size_t>(side)] += Clock() - start;
    if (setup_.allocations != nullptr && playing) {
      sessionAllocations_ += setup_.allocations() - allocatedBefore;
    }
  }
  std::int64_t Local(int side, std::int64_t trueNs) const;
  std::int64_t True(int side, std::int64_t localNs) const;
  void Drain(int side);
  void Deliver(int side, const net::Message& message);
  net::SessionOptions Options(int side) const;
  net::Held Hands(int side);

  PairSetup setup_;
  SimulatedLink link_;
  std::array<std::unique_ptr<CountingPlatform>, 2> platforms_;
  std::array<std::unique_ptr<net::Session>, 2> sessions_;
  std::array<std::unique_ptr<Player1Hands>, 2> player1_;
  std::array<std::unique_ptr<OnlinePlayer2>, 2> player2_;
  std::array<std::int64_t, 2> nextUpdate_{};
  std::array<std::vector<net::Held>, 2> sent_;
  std::array<std::vector<net::Held>, 2> before_;  // held sets of a killed program
  std::array<bool, 2> dead_{};
  std::array<std::array<std::uint8_t, 32>, 2> secrets_{};
  std::array<std::vector<std::int64_t>, 2> costs_;
  std::array<std::int64_t, 2> cost_{};
  std::array<bool, 2> inStoppage_{};
  std::array<int, 2> stoppages_{};
  std::array<int, 2> lastX_{};
  std::array<int, 2> lastY_{};
  std::array<int, 2> standingX_{};
  std::array<int, 2> standingY_{};
  std::array<long long, 2> decidedFor_{-1, -1};
  std::array<net::Held, 2> decided_{};
  long long sessionAllocations_ = 0;
  std::int64_t now_ = 0;
  std::int64_t cap_ = 0;
  std::vector<std::uint8_t> message_;
};

}  // namespace tandemhoop::testing
