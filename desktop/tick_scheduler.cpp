#include "desktop/tick_scheduler.h"

#include <utility>

namespace tandemhoop {

TickScheduler::TickScheduler(Clock now, std::function<void()> tick)
    : now_(std::move(now)), tick_(std::move(tick)) {}

void TickScheduler::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    start_ = now_();
    nextDeadline_ = start_ + period_;
  }
}

void TickScheduler::SetPeriod(Duration period) {
  if (period <= Duration::zero() || period == period_) return;
  period_ = period;
  if (enabled_) {
    start_ = now_();
    nextDeadline_ = start_ + period_;
  }
}

bool TickScheduler::Service() {
  if (!enabled_ || Held()) return false;
  const Duration now = now_();
  if (now < nextDeadline_) return false;
  // Whatever number of deadlines has passed, this is the one tick for them; the next falls on
  // the grid after now. Set before the tick runs, so a box opened inside it can restart the
  // schedule from its own closing.
  const auto passed = (now - start_) / period_;
  nextDeadline_ = start_ + (passed + 1) * period_;
  inTick_ = true;
  tick_();
  inTick_ = false;
  return true;
}

std::optional<TickScheduler::Duration> TickScheduler::TimeToNextTick() const {
  if (!enabled_ || Held()) return std::nullopt;
  const Duration wait = nextDeadline_ - now_();
  return wait > Duration::zero() ? wait : Duration::zero();
}

void TickScheduler::BeginModal() {
  ++modalDepth_;
}

void TickScheduler::EndModal() {
  if (modalDepth_ == 0) return;
  if (--modalDepth_ > 0 || !enabled_) return;
  start_ = now_();
  nextDeadline_ = start_ + period_;
}

TickScheduler::Duration SteadyNow() {
  return std::chrono::duration_cast<TickScheduler::Duration>(
      std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace tandemhoop
