// When Timer1 ticks: the desktop's schedule. Ticks fall on a steady grid (deadline n = start +
// n x period, no drift); a late tick is delivered once, never as a burst of catch-up ticks; no
// tick starts inside another or while something holds the game (a message box, a hidden tab),
// and when the hold ends the grid starts again from that moment.

// Milliseconds a tick: Classic is the PC's clock tick, 65,536 / 1,193,182 s; Fast is 1/64 s.
export const kPeriods = {classic: 65536000 / 1193182, fast: 1000 / 64};

export class TickSchedule {
  constructor(now, tick) {
    this.now = now;
    this.tick = tick;
    this.period = kPeriods.classic;
    this.enabled = false;
    this.inTick = false;
    this.holds = 0;
    this.start = 0;
    this.nextDeadline = 0;
  }

  restart() {
    this.start = this.now();
    this.nextDeadline = this.start + this.period;
  }

  setPeriod(period) {
    if (period === this.period) return;
    this.period = period;
    if (this.enabled) this.restart();
  }

  // Timer1.Enabled: switching it on starts the grid from now; on again changes nothing.
  setEnabled(enabled) {
    if (enabled === this.enabled) return;
    this.enabled = enabled;
    if (enabled) this.restart();
  }

  held() {
    return this.holds > 0 || this.inTick;
  }

  // Runs the tick if one is due, at most one; returns whether it did.
  service() {
    if (!this.enabled || this.held()) return false;
    const now = this.now();
    if (now < this.nextDeadline) return false;
    const passed = Math.floor((now - this.start) / this.period);
    this.nextDeadline = this.start + (passed + 1) * this.period;
    this.inTick = true;
    try {
      this.tick();
    } finally {
      this.inTick = false;
    }
    return true;
  }

  // Milliseconds until the next tick is due, or null while none can come.
  timeToNextTick() {
    if (!this.enabled || this.held()) return null;
    return Math.max(0, this.nextDeadline - this.now());
  }

  hold() {
    ++this.holds;
  }

  release() {
    if (this.holds === 0) return;
    if (--this.holds > 0 || !this.enabled) return;
    this.restart();
  }
}
