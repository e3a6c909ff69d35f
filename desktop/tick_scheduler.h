#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "game/speed.h"

namespace tandemhoop {

// When Timer1 ticks. The game asks for a 1 ms timer, and a desktop delivers such a timer at its
// system clock tick; every speed in the game is per tick, so that tick is the game's speed. The
// player chooses it: Classic, the PC clock of the game's own time (about 18.2 a second, the
// speed the game was made at, and the default), or Fast, the 64 a second of later desktops.
// Ticks fall on a steady grid (deadline n = start + n x period, no drift), and like those
// desktops' timers a late tick is delivered once, never as a burst of catch-up ticks.
//
// The schedule also keeps ticks from nesting: none starts while another runs or while a modal
// box is open (Qt keeps delivering timer events inside a dialog's own event loop). When the last
// box closes, the schedule starts again from that moment.
//
// The clock is passed in, so tests can run the schedule on made-up time.
class TickScheduler {
 public:
  using Duration = std::chrono::nanoseconds;
  using Clock = std::function<Duration()>;  // monotonic time now

  static constexpr Duration kClassicPeriod{TickNanoseconds(Speed::Classic)};
  static constexpr Duration kFastPeriod{TickNanoseconds(Speed::Fast)};  // 1/64 s, exact
  static constexpr Duration kTickPeriod = kClassicPeriod;               // until one is chosen

  TickScheduler(Clock now, std::function<void()> tick);

  // The time between two ticks. A change while the timer runs starts the grid again from now.
  void SetPeriod(Duration period);
  Duration period() const { return period_; }

  // Timer1.Enabled. Switching it on starts the schedule from now: the first tick is one period
  // later. Switching it on while it runs changes nothing.
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }

  // The host's wake-up: runs the tick if one is due, at most one, and returns whether it did.
  bool Service();

  // How long the host may sleep before calling Service again; none while nothing can tick
  // (stopped, inside a tick, or behind a modal box).
  std::optional<Duration> TimeToNextTick() const;

  // A modal box opens or closes. Boxes may nest; the schedule restarts when the last closes.
  void BeginModal();
  void EndModal();
  bool Held() const { return modalDepth_ > 0 || inTick_; }

 private:
  Clock now_;
  std::function<void()> tick_;
  bool enabled_ = false;
  bool inTick_ = false;
  int modalDepth_ = 0;
  Duration period_ = kTickPeriod;
  Duration start_{0};
  Duration nextDeadline_{0};
};

// The real clock for the game: std::chrono::steady_clock.
TickScheduler::Duration SteadyNow();

}  // namespace tandemhoop
