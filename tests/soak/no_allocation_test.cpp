// Nothing is allocated per tick: every global operator new of this program is counted while the
// core plays busy games with the real raster, and after the first tick the count must not grow.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "game/mt_random.h"
#include "tests/support/online_pair.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_session.h"

namespace {

std::atomic<long long> allocations{0};

void* Allocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  const auto align = static_cast<std::size_t>(alignment);
  const std::size_t rounded = (size + align - 1) / align * align;
  if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return AllocateAligned(size, alignment);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
  std::free(memory);
}

namespace tandemhoop::testing {
namespace {

TEST(NoAllocation, CountingSeesAnAllocation) {
  const long long before = allocations.load();
  // Called through a volatile pointer, so no compiler can see the pair and take it away, as
  // clang may with a plain new and delete whose result nothing observes.
  void* (*volatile allocate)(std::size_t) = &::operator new;
  void* memory = allocate(sizeof(int));
  EXPECT_EQ(allocations.load(), before + 1);
  ::operator delete(memory);
}

// Busy play in both modes: the random player keeps both sides moving, shooting, fouling and
// scoring, pauses and quits, and games start over on the same platform.
TEST(NoAllocation, TenThousandTicksAllocateNothingAfterTheFirst) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform platform(pictures);
  MtRandom gameRandom;
  RandomPlayer player(platform, gameRandom, 77);
  while (player.stats().ticks < 1)
    player.Step();

  const long long before = allocations.load();
  long long steps = 0;
  while (player.stats().ticks < 10'000 && steps++ < 1'000'000)
    player.Step();
  const long long allocated = allocations.load() - before;

  ASSERT_EQ(player.stats().ticks, 10'000);
  EXPECT_EQ(allocated, 0) << "allocations in " << player.stats().ticks << " ticks";
  EXPECT_EQ(platform.faults, 0) << platform.firstFault();
  // The ticks were busy ones: play ran and the raster drew sprites, not just the court.
  EXPECT_GT(player.stats().keyDowns, 1000);
  EXPECT_GT(platform.copies, 3 * player.stats().ticks);
}

// Recording costs nothing per tick either: the log takes a new chunk when one is full, and that
// is all it allocates.
TEST(NoAllocation, RecordingAllocatesOnlyWhenTheLogTakesANewChunk) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform platform(pictures);
  ScriptedSession session(platform, 3, true);
  while (session.recorder.ticks() < 1)
    session.Step();

  const std::size_t chunks = session.recorder.events().chunkCount();
  const long long before = allocations.load();
  while (session.recorder.ticks() < 4000 && session.Step()) {
  }
  const long long allocated = allocations.load() - before;

  EXPECT_GT(session.recorder.ticks(), 1000u);
  EXPECT_GT(session.recorder.events().size(), 500u);
  EXPECT_EQ(allocated, static_cast<long long>(session.recorder.events().chunkCount() - chunks));
}

long long AllocationsSoFar() {
  return allocations.load();
}

// Online, a tick costs the session no allocation either, rollbacks and messages included: only
// the replay's log takes a new chunk when one is full.
TEST(NoAllocation, AnOnlineSessionAllocatesOnlyWhenItsReplayTakesANewChunk) {
  PairSetup setup;
  setup.speed = Speed::Fast;
  setup.seed = 4;
  setup.link = LinkProfile{75, 10, 0.01, -1, 0};
  setup.allocations = &AllocationsSoFar;
  OnlinePair pair(setup);
  pair.Run();
  ASSERT_EQ(pair.session(0).status().phase, net::Phase::Ended);
  EXPECT_GT(pair.session(0).stats().rollbacks, 100u);
  Replay replay;
  std::string error;
  ASSERT_TRUE(ReadReplay(pair.session(0).ReplayText(), replay, error)) << error;
  EXPECT_LE(pair.sessionAllocations(),
            2 * static_cast<long long>(replay.events.size() / EventLog::kChunkEvents));
}

}  // namespace
}  // namespace tandemhoop::testing
