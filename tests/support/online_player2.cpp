#include "tests/support/online_player2.h"

#include <algorithm>
#include <cmath>

namespace tandemhoop::testing {

namespace {

using namespace net;

constexpr double kReactionSeconds = 0.25;
// Where Player 2 lays up or dunks from: above this line, between these two.
constexpr int kNearLine = 150;
constexpr int kNearLeft = 255;
constexpr int kNearRight = 430;
constexpr int kStep = 15;  // a held key walks Player 2 this far a tick

std::size_t Slot(long long tick) {
  return static_cast<std::size_t>((tick % 64 + 64) % 64);
}

}  // namespace

OnlinePlayer2::OnlinePlayer2(Speed speed, std::uint64_t seed)
    : tickMs_(static_cast<double>(TickNanoseconds(speed)) / 1e6),
      reactionTicks_(std::max(1, static_cast<int>(std::lround(kReactionSeconds * 1000 / tickMs_)))),
      random_(seed) {}

Held OnlinePlayer2::Walk(int fromX, int fromY, int toX, int toY, int slack) const {
  Held keys = 0;
  if (toX < fromX - slack) keys |= kHoldLeft;
  if (toX > fromX + slack) keys |= kHoldRight;
  if (toY < fromY - slack) keys |= kHoldUp;
  if (toY > fromY + slack) keys |= kHoldDown;
  return keys;
}

Held OnlinePlayer2::Act(const GameState& state, long long tick) {
  if (lookAgain_) {
    held_ = 0;
    looked_ = 0;
    shootingSince_ = -1;
    stuckSince_ = -1;
    lookAgain_ = false;
  }
  seen_[Slot(tick)] = Sight::Of(state);
  ++looked_;
  heldAt_[Slot(tick)] = held_;
  if (looked_ <= reactionTicks_) return held_;
  // Now and then a person does not change what his fingers do for a moment.
  if (random_.Uniform() < 1.5 * tickMs_ / 1000) return held_;
  // Where the keys held since that glance have taken him, as far as he can tell.
  const Sight& seen = seen_[Slot(tick - reactionTicks_)];
  int x = seen.p2X;
  int y = seen.p2Y;
  for (long long t = tick - reactionTicks_ + 1; t <= tick; ++t) {
    const Held keys = heldAt_[Slot(t)];
    if ((keys & kHoldLeft) != 0) x -= kStep;
    if ((keys & kHoldRight) != 0) x += kStep;
    if ((keys & kHoldUp) != 0) y -= kStep;
    if ((keys & kHoldDown) != 0) y += kStep;
    x = std::clamp(x, 0, 655);
    y = std::clamp(y, 130, 450);
  }
  Held want = Decide(seen, x, y, tick);
  // A press needs the key up first: an action held on gets no fresh press.
  if ((want & kHoldAction) != 0 && (held_ & kHoldAction) != 0 && shootingSince_ == tick) {
    want = static_cast<Held>(want & ~kHoldAction);
    shootingSince_ = tick + 1;
  }
  held_ = want;
  return held_;
}

Held OnlinePlayer2::Decide(const Sight& seen, int x, int y, long long tick) {
  if (shootingSince_ >= 0) {
    // Hold A until the ball is seen to leave the hands, or the shot is seen to be over.
    const bool late = tick - shootingSince_ > reactionTicks_ + 2;
    if (seen.shotInFlight || (late && !seen.p2Shooting)) {
      shootingSince_ = -1;
      return 0;
    }
    return kHoldAction;
  }
  if (seen.p2HasBall) {
    const auto shoot = [&] {
      shootingSince_ = tick;
      stuckSince_ = -1;
      return kHoldAction;
    };
    if (y < kNearLine && x > kNearLeft && x < kNearRight) return shoot();
    // The defender stands in the way when he is above him and across both bodies.
    const int dx = seen.p1X - x;
    const int dy = y - seen.p1Y;
    const bool blocked = dy > -10 && dy < 90 && std::abs(dx) < 60;
    if (!blocked) {
      stuckSince_ = -1;
      return Walk(x, y, 340, 130, 10);
    }
    if (stuckSince_ < 0) {
      stuckSince_ = tick;
      aroundSide_ = dx > 0 ? -1 : 1;
      if (random_.OneIn(4)) aroundSide_ = -aroundSide_;
    }
    if (x < 40) aroundSide_ = 1;
    if (x > 600) aroundSide_ = -1;
    if (static_cast<double>(tick - stuckSince_) * tickMs_ > 2000 && random_.OneIn(8)) {
      return shoot();
    }
    // Round him: sideways, and down a little when right under him (walking up into him is a
    // charge).
    Held keys = aroundSide_ < 0 ? kHoldLeft : kHoldRight;
    if (dy < 40) keys |= kHoldDown;
    return keys;
  }
  stuckSince_ = -1;
  if (seen.p1HasBall || seen.p1Shooting) {
    if (seen.p1Shooting && std::abs(seen.p1X - x) < 80 && tick >= nextJumpAt_) {
      // A jump is a fresh press of A: up now if it is down, down on the next tick.
      if ((held_ & kHoldAction) != 0) return 0;
      nextJumpAt_ = tick + static_cast<long long>(1200 / tickMs_);
      return kHoldAction;
    }
    // In front of the carrier, between him and the basket; never down into him.
    Held keys = Walk(x, y, seen.p1X + 5, seen.p1Y - 45, 10);
    if (y + 60 > seen.p1Y && std::abs(seen.p1X - x) < 50) keys &= static_cast<Held>(~kHoldDown);
    return keys;
  }
  if (seen.ballLoose) {
    Held keys = Walk(x, y, seen.ballX - 10, seen.ballY - 20, 8);
    // Without the ball he cannot walk up through Player 1 standing just above: round him.
    const bool underHim =
        !(x > seen.p1X + 50 || x + 50 < seen.p1X + 25 || y > seen.p1Y + 15 || y < seen.p1Y);
    if ((keys & kHoldUp) != 0 && underHim) {
      // Out past his nearer side, unless the wall is there.
      const bool left = seen.p1X - 26 >= 0 && x - (seen.p1X - 26) < seen.p1X + 51 - x;
      keys = static_cast<Held>((keys & ~(kHoldUp | kHoldLeft | kHoldRight)) |
                               (left ? kHoldLeft : kHoldRight));
    }
    return keys;
  }
  return Walk(x, y, 340, 220, 20);
}

}  // namespace tandemhoop::testing
