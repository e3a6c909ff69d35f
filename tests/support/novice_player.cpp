#include "tests/support/novice_player.h"

#include <cmath>
#include <cstdlib>

namespace tandemhoop::testing {

namespace {

constexpr double kReactionSeconds = 0.4;
constexpr double kGlanceSeconds = 0.2;
constexpr double kShotHoldSeconds = 0.6;  // long enough for a jump shot at the classic speed
constexpr double kBarredSeconds = 3;      // barred this long with one ball, it shoots

constexpr int kAimX = 345;  // straight under the basket, as the sprites stand

// The keys that walk from one spot towards another, stopping within `slack`.
void WalkTowards(Fingers::Keys& keys, int fromX, int fromY, int toX, int toY, int slack) {
  if (toX < fromX - slack) keys[Fingers::kLeftKey] = true;
  if (toX > fromX + slack) keys[Fingers::kRightKey] = true;
  if (toY < fromY - slack) keys[Fingers::kUpKey] = true;
  if (toY > fromY + slack) keys[Fingers::kDownKey] = true;
}

int TicksOf(double seconds, double tickMs) {
  return std::max(1, static_cast<int>(std::lround(seconds * 1000 / tickMs)));
}

}  // namespace

NovicePlayer::NovicePlayer(Speed speed, std::uint64_t seed)
    : tickMs_(static_cast<double>(TickNanoseconds(speed)) / 1e6),
      reactionTicks_(TicksOf(kReactionSeconds, tickMs_)),
      glanceTicks_(TicksOf(kGlanceSeconds, tickMs_)),
      shotHoldTicks_(TicksOf(kShotHoldSeconds, tickMs_)),
      random_(seed),
      fingers_(tickMs_) {}

void NovicePlayer::Act(Game& game, long long tick) {
  if (lookAgain_) {
    // After a whistle the box takes the keyboard: every key is up, and the court has changed.
    fingers_.LetGoAll(game);
    want_ = Keys{};
    looked_ = 0;
    shotPressedAt_ = -1;
    barredTicks_ = 0;
    lookAgain_ = false;
  }
  now_ = tick;
  seen_[Slot(tick)] = Sight::Of(game.state);
  ++looked_;
  // A shot ends when its time is up, whatever the glances say.
  if (shotPressedAt_ >= 0 && tick - shotPressedAt_ >= shotHoldTicks_) {
    shotPressedAt_ = -1;
    want_ = Keys{};
  }
  if (looked_ > reactionTicks_ && tick - lastGlance_ >= glanceTicks_ && shotPressedAt_ < 0) {
    lastGlance_ = tick;
    want_ = Decide(seen_[Slot(tick - reactionTicks_)]);
  }
  fingers_.Hold(game, want_, tick);
}

void NovicePlayer::Shoot(Keys& keys) {
  keys = Keys{};
  keys[Fingers::kShootKey] = true;
  shotPressedAt_ = now_;
  barredTicks_ = 0;
}

NovicePlayer::Keys NovicePlayer::Decide(const Sight& seen) {
  Keys keys{};
  if (!seen.p2Shooting) jumped_ = false;
  if (seen.p1HasBall) {
    Offence(keys, seen);
    return keys;
  }
  barredTicks_ = 0;
  if (seen.p2HasBall || seen.p2Shooting) {
    Defence(keys, seen);
  } else if (seen.ballLoose) {
    // Where the ball is going, as the eye follows it: on as it went between two looks.
    const Sight& before = seen_[Slot(now_ - reactionTicks_ - 1)];
    const int ballX =
        seen.ballX + (before.ballLoose ? (seen.ballX - before.ballX) : 0) * reactionTicks_;
    const int ballY =
        seen.ballY + (before.ballLoose ? (seen.ballY - before.ballY) : 0) * reactionTicks_;
    WalkTowards(keys, seen.p1X, seen.p1Y, Clamp(ballX, kLeftEdge, kRightEdge) - 12,
                Clamp(ballY, kTopEdge, kBottomEdge) - 15, 10);
  } else if (seen.shotInFlight) {
    WalkTowards(keys, seen.p1X, seen.p1Y, kAimX, 200, 20);
  }
  return keys;
}

void NovicePlayer::Offence(Keys& keys, const Sight& seen) {
  const int x = seen.p1X;
  const int y = seen.p1Y;
  if (y <= kNearLine && x >= kNearLeft && x <= kNearRight) {
    Shoot(keys);
    return;
  }
  const int dx = x - seen.p2X;
  const int dy = y - seen.p2Y;  // > 0: the defender stands nearer the basket
  // Anywhere ahead of him within two bodies, the defender is in the way: it walks round him
  // rather than up into him.
  const bool barred = dy > -5 && dy < 130 && dx > -85 && dx < 75;
  if (!barred) {
    aside_ = 0;
    WalkTowards(keys, x, y, kAimX, kTopEdge, 15);
    return;
  }
  if (aside_ == 0) {
    // Round the side he leaves open; square in front, either.
    aside_ = dx < -5 ? -1 : dx > 5 ? 1 : (random_.OneIn(2) ? 1 : -1);
  }
  if (x < 40) aside_ = 1;
  if (x > 600) aside_ = -1;
  barredTicks_ += glanceTicks_;
  if (static_cast<double>(barredTicks_) * tickMs_ > kBarredSeconds * 1000) {
    Shoot(keys);
    return;
  }
  keys[aside_ < 0 ? Fingers::kLeftKey : Fingers::kRightKey] = true;
  // Right on top of him: back off, it bumps into nobody.
  if (dy < 45 && dx > -45 && dx < 45) keys[Fingers::kDownKey] = true;
}

void NovicePlayer::Defence(Keys& keys, const Sight& seen) {
  const int x = seen.p1X;
  const int y = seen.p1Y;
  const int cx = seen.p2X;
  const int cy = seen.p2Y;
  if (seen.p2Shooting) {
    // One jump at the shot, when it stands close; a jump is a fresh press of M.
    if (!jumped_ && std::abs(x - cx) < 70 && std::abs(y - cy) < 60) {
      if (fingers_.held()[Fingers::kShootKey]) return;  // up first, down at the next glance
      keys[Fingers::kShootKey] = true;
      jumped_ = true;
    }
    return;
  }
  if (y < cy - 10) {
    // Between him and the basket: stay in front of him.
    WalkTowards(keys, x, y, cx, cy - 25, 12);
  } else {
    // Behind him: back towards the basket, round him rather than up through him.
    WalkTowards(keys, x, y, kAimX, 150, 15);
    if (std::abs(x - cx) < 55 && y - cy < 50) {
      keys[Fingers::kUpKey] = false;
      if (!keys[Fingers::kLeftKey] && !keys[Fingers::kRightKey])
        keys[x < cx ? Fingers::kLeftKey : Fingers::kRightKey] = true;
    }
  }
  keys[Fingers::kShootKey] = std::abs(x - cx) < 50 && std::abs(y - cy) < 50;
}

}  // namespace tandemhoop::testing
