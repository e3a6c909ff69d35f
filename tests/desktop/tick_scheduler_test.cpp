#include "desktop/tick_scheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace tandemhoop {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
constexpr nanoseconds kPeriod = TickScheduler::kTickPeriod;

// A schedule on made-up time that records when each tick ran.
struct FakeTimeline {
  nanoseconds now{1'000'000'000};
  std::vector<nanoseconds> ticks;
  std::function<void()> inTick;
  TickScheduler scheduler{[this] { return now; },
                          [this] {
                            ticks.push_back(now);
                            if (inTick) inTick();
                          }};
  bool ServiceAt(nanoseconds at) {
    now = at;
    return scheduler.Service();
  }
};

TEST(TickScheduler, TheTwoSpeedsAndTheirPeriods) {
  // Classic is the PC clock tick, 65,536 / 1,193,182 s; Fast is exactly 64 a second.
  EXPECT_EQ(TickScheduler::kClassicPeriod, nanoseconds(54'925'401));
  EXPECT_EQ(TickScheduler::kFastPeriod * 64, std::chrono::seconds(1));
  EXPECT_EQ(kPeriod, TickScheduler::kClassicPeriod);  // the default

  // A change of speed while running starts the grid again from that moment.
  FakeTimeline t;
  const nanoseconds start = t.now;
  t.scheduler.SetEnabled(true);
  ASSERT_TRUE(t.ServiceAt(start + kPeriod));
  const nanoseconds changed = start + kPeriod + milliseconds(20);
  t.now = changed;
  t.scheduler.SetPeriod(TickScheduler::kFastPeriod);
  EXPECT_EQ(t.scheduler.TimeToNextTick(), TickScheduler::kFastPeriod);
  EXPECT_FALSE(t.ServiceAt(changed + TickScheduler::kFastPeriod - nanoseconds(1)));
  EXPECT_TRUE(t.ServiceAt(changed + TickScheduler::kFastPeriod));
}

TEST(TickScheduler, TicksOnASteadyGridWithoutDrift) {
  FakeTimeline t;
  const nanoseconds start = t.now;
  t.scheduler.SetEnabled(true);
  EXPECT_EQ(t.scheduler.TimeToNextTick(), kPeriod);
  // Not before the first deadline.
  EXPECT_FALSE(t.ServiceAt(start + kPeriod - nanoseconds(1)));
  // Every wake-up comes 3 ms late; the deadlines stay where they were.
  for (int n = 1; n <= 640; ++n) {
    EXPECT_TRUE(t.ServiceAt(start + n * kPeriod + milliseconds(3))) << "tick " << n;
    EXPECT_EQ(t.scheduler.TimeToNextTick(), kPeriod - milliseconds(3)) << "tick " << n;
    EXPECT_FALSE(t.scheduler.Service()) << "a second tick for the same deadline, tick " << n;
  }
  EXPECT_EQ(t.ticks.size(), 640u);
  EXPECT_EQ(t.ticks.back(), start + 640 * kPeriod + milliseconds(3));
}

TEST(TickScheduler, ALateTickIsDeliveredOnceAndTheGridCarriesOn) {
  FakeTimeline t;
  const nanoseconds start = t.now;
  t.scheduler.SetEnabled(true);
  ASSERT_TRUE(t.ServiceAt(start + kPeriod));
  // The program stalls for ten periods and a bit: one tick, no catch-up burst.
  const nanoseconds late = start + 11 * kPeriod + milliseconds(5);
  EXPECT_TRUE(t.ServiceAt(late));
  EXPECT_FALSE(t.ServiceAt(late));
  EXPECT_FALSE(t.ServiceAt(start + 12 * kPeriod - nanoseconds(1)));
  // The next deadline is the next point of the original grid.
  EXPECT_EQ(t.scheduler.TimeToNextTick(), nanoseconds(1));
  EXPECT_TRUE(t.ServiceAt(start + 12 * kPeriod));
  EXPECT_EQ(t.ticks.size(), 3u);
}

TEST(TickScheduler, StoppedTimerNeverTicksAndStartingAgainBeginsAFreshSchedule) {
  FakeTimeline t;
  EXPECT_FALSE(t.ServiceAt(t.now + std::chrono::seconds(5)));
  EXPECT_EQ(t.scheduler.TimeToNextTick(), std::nullopt);

  t.scheduler.SetEnabled(true);
  const nanoseconds started = t.now;
  ASSERT_TRUE(t.ServiceAt(started + kPeriod));
  t.scheduler.SetEnabled(false);  // Esc: the game freezes
  EXPECT_FALSE(t.ServiceAt(started + 50 * kPeriod));
  EXPECT_EQ(t.scheduler.TimeToNextTick(), std::nullopt);

  // A key resumes it a while later: the first tick is one period after the key, not at once.
  const nanoseconds resumed = started + 50 * kPeriod + milliseconds(7);
  t.now = resumed;
  t.scheduler.SetEnabled(true);
  EXPECT_FALSE(t.ServiceAt(resumed + kPeriod - nanoseconds(1)));
  EXPECT_TRUE(t.ServiceAt(resumed + kPeriod));

  // Switching on a running timer does not move its deadlines.
  t.now = resumed + kPeriod + milliseconds(10);
  t.scheduler.SetEnabled(true);
  EXPECT_TRUE(t.ServiceAt(resumed + 2 * kPeriod));
}

TEST(TickScheduler, NoTickWhileABoxIsOpenAndTheScheduleRestartsWhenItCloses) {
  FakeTimeline t;
  const nanoseconds start = t.now;
  t.scheduler.SetEnabled(true);
  // A message box opened inside the second tick, kept open for a second; Qt's timer keeps
  // waking the schedule inside the box's event loop all the while.
  bool insideTheBoxTicked = false;
  t.inTick = [&] {
    if (t.ticks.size() != 2) return;
    t.scheduler.BeginModal();
    EXPECT_EQ(t.scheduler.TimeToNextTick(), std::nullopt);
    for (int i = 1; i <= 64; ++i)
      insideTheBoxTicked |= t.ServiceAt(t.now + kPeriod);
    t.scheduler.EndModal();
  };
  ASSERT_TRUE(t.ServiceAt(start + kPeriod));
  ASSERT_TRUE(t.ServiceAt(start + 2 * kPeriod));
  EXPECT_FALSE(insideTheBoxTicked);
  EXPECT_EQ(t.ticks.size(), 2u);

  // The box closed at `closed`: no burst for the second it was open, and the next tick comes one
  // period after the close rather than on the old grid.
  const nanoseconds closed = start + 66 * kPeriod;
  EXPECT_EQ(t.now, closed);
  EXPECT_EQ(t.scheduler.TimeToNextTick(), kPeriod);
  EXPECT_FALSE(t.ServiceAt(closed + kPeriod - nanoseconds(1)));
  EXPECT_TRUE(t.ServiceAt(closed + kPeriod));
  EXPECT_TRUE(t.ServiceAt(closed + 2 * kPeriod));
  EXPECT_EQ(t.ticks.size(), 4u);
}

TEST(TickScheduler, NestedBoxesHoldUntilTheLastClosesAndAStoppedTimerStaysStopped) {
  FakeTimeline t;
  t.scheduler.SetEnabled(true);
  t.scheduler.BeginModal();
  t.scheduler.BeginModal();
  t.scheduler.EndModal();
  EXPECT_FALSE(t.ServiceAt(t.now + 10 * kPeriod));
  t.scheduler.EndModal();
  EXPECT_TRUE(t.ServiceAt(t.now + kPeriod));

  // The quit question: the timer was stopped before the box opened, and No leaves it stopped.
  t.scheduler.SetEnabled(false);
  t.scheduler.BeginModal();
  t.scheduler.EndModal();
  EXPECT_FALSE(t.scheduler.Enabled());
  EXPECT_FALSE(t.ServiceAt(t.now + 10 * kPeriod));
  // A close without an open is ignored rather than unbalancing later boxes.
  t.scheduler.EndModal();
  t.scheduler.SetEnabled(true);
  t.scheduler.BeginModal();
  EXPECT_FALSE(t.ServiceAt(t.now + 10 * kPeriod));
}

TEST(TickScheduler, ATickNeverStartsInsideAnotherTick) {
  FakeTimeline t;
  t.scheduler.SetEnabled(true);
  int nested = 0;
  t.inTick = [&] {
    if (t.ServiceAt(t.now + 5 * kPeriod)) ++nested;
    EXPECT_EQ(t.scheduler.TimeToNextTick(), std::nullopt);
  };
  ASSERT_TRUE(t.ServiceAt(t.now + kPeriod));
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(t.ticks.size(), 1u);
}

TEST(TickScheduler, ATickThatStopsTheTimerIsTheLast) {
  FakeTimeline t;
  t.scheduler.SetEnabled(true);
  t.inTick = [&] { t.scheduler.SetEnabled(false); };  // a win ends the program
  ASSERT_TRUE(t.ServiceAt(t.now + kPeriod));
  EXPECT_FALSE(t.ServiceAt(t.now + 3 * kPeriod));
  EXPECT_EQ(t.ticks.size(), 1u);
}

}  // namespace
}  // namespace tandemhoop
