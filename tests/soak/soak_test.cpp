// Long random games on the core with the real raster: the random player presses and holds keys,
// pauses and quits, and clicks through the selection screen, while every tick is checked for a
// state the game should never reach.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "game/mt_random.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"
#include "tests/support/state_diff.h"

namespace tandemhoop::testing {
namespace {

// The fields that hold a flag: -1 or 0 and nothing else, whatever happens.
bool IsFlag(std::string_view name) {
  static constexpr std::string_view kFlags[] = {
      "p1ShotInFlight", "p1Shooting", "p1KeyLeft",     "p1KeyUp",        "p1KeyRight",
      "p1KeyDown",      "p2KeyLeft",  "p2KeyUp",       "p2KeyRight",     "p2KeyDown",
      "twoPlayerMode",  "p1HasBall",  "looseBallLeft", "looseBallRight", "p2Dribbling",
      "p1Dribbling",    "p2HasBall",  "p2Shooting",    "p2ShotInFlight", "p1Stealing",
      "lastShooterP1",  "p1Jumping",  "ballHidden",    "basketMade",     "p2Jumping",
      "dribblePickedUp"};
  for (std::string_view flag : kFlags) {
    if (flag == name) return true;
  }
  return false;
}

std::string Describe(const GameState& s) {
  std::ostringstream out;
  for (const StateField& f : StateFields())
    out << f.name << "=" << s.*f.field << " ";
  return out.str();
}

// Everything the game must keep true between two ticks, or "" when it does.
std::string Violation(const GameState& s) {
  std::ostringstream out;
  for (const StateField& f : StateFields()) {
    const std::int16_t value = s.*f.field;
    if (IsFlag(f.name) && value != kTrue && value != kFalse) {
      out << f.name << " holds " << value << "; ";
    }
  }
  auto range = [&](const char* name, int value, int low, int high) {
    if (value < low || value > high)
      out << name << " = " << value << " outside " << low << ".." << high << "; ";
  };
  range("p1Pick", s.p1Pick, 0, 4);
  range("p2Pick", s.p2Pick, 0, 4);
  range("p1Score", s.p1Score, 0, 4);
  range("p2Score", s.p2Score, 0, 4);
  for (auto [name, value] : {std::pair{"p1X", s.p1X},
                             {"p1Y", s.p1Y},
                             {"p2X", s.p2X},
                             {"p2Y", s.p2Y},
                             {"ballX", s.ballX},
                             {"ballY", s.ballY}}) {
    range(name, value, -300, 1000);
  }
  if (s.p1HasBall == kTrue && s.p2HasBall == kTrue) out << "both sides hold the ball; ";
  if (s.basketX != 385 || s.basketY != 15 || s.netX != 405 || s.netY != 50) {
    out << "the basket moved; ";
  }
  return out.str();
}

long long FromEnvironment(const char* name, long long fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  return std::strtoll(text, nullptr, 10);
}

int Holder(const GameState& s) {
  if (s.p1HasBall == kTrue) return 1;
  if (s.p2HasBall == kTrue) return 2;
  return 0;
}

// The soak leans on the platform's own checks, so they must see what they are there to see.
TEST(SoakPlatform, FlagsCopiesTheGameCouldNotMake) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform platform(pictures);
  platform.verifyEvery = 1;
  // Clipped on every side and checked pixel by pixel: no fault.
  platform.BitBlt(-33, 400, 150, 201, PictureRef{Holder::Form2, 8}, RasterOp::SrcAnd);
  platform.BitBlt(690, -20, 150, 201, PictureRef{Holder::Form2, 9}, RasterOp::SrcPaint);
  platform.BitBlt(0, 0, 727, 542, PictureRef{Holder::Form3, 1}, RasterOp::SrcCopy);
  EXPECT_EQ(platform.faults, 0) << platform.firstFault();
  EXPECT_EQ(platform.verifiedCopies, 3);

  platform.BitBlt(10, 10, 40, 40, PictureRef{Holder::Form2, 1}, RasterOp::SrcAnd);
  EXPECT_EQ(platform.faults, 1);
  EXPECT_NE(std::string(platform.firstFault()).find("40x40"), std::string::npos)
      << platform.firstFault();
  EXPECT_EQ(platform.BitBlt(0, 0, 39, 39, PictureRef{Holder::Form2, 79}, RasterOp::SrcAnd), 0);
  EXPECT_EQ(platform.faults, 2);
}

TEST(Soak, RandomGamesKeepTheStateSound) {
  const long long ticks = FromEnvironment("TANDEMHOOP_SOAK_TICKS", 200'000);
  const auto seed = static_cast<std::uint64_t>(FromEnvironment("TANDEMHOOP_SOAK_SEED", 20240607));

  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform platform(pictures);
  platform.verifyEvery = 997;
  MtRandom gameRandom;
  RandomPlayer player(platform, gameRandom, seed);

  // The longest run of play ticks in which nobody scored, no foul was called and the ball did
  // not change sides: how long the game can stall under random hands.
  long long stretch = 0;
  long long longestStretch = 0;
  long long longestAtRun = 0;
  long long runOfStretch = -1;
  int lastHolder = 0;
  long long fouls = 0;
  long long baskets = 0;

  // The states before the last few ticks, shown with a violation to tell how it came about.
  constexpr std::size_t kHistory = 8;
  std::array<GameState, kHistory> history{};
  long long steps = 0;
  const long long maxSteps = ticks * 4 + 100'000;
  while (player.stats().ticks < ticks && steps++ < maxSteps) {
    if (!player.Events()) continue;
    const GameState before = player.game().state;
    history[static_cast<std::size_t>(player.stats().ticks) % kHistory] = before;
    const long long run = player.stats().runs;
    player.Tick();
    const GameState& after = player.game().state;

    const std::string violation = Violation(after);
    if (!violation.empty() || platform.faults != 0) {
      std::string earlier;
      for (std::size_t back = kHistory; back > 1; --back) {
        const long long tick = player.stats().ticks - static_cast<long long>(back);
        if (tick < 0) continue;
        earlier += "tick " + std::to_string(tick + 1) +
                   " began: " + Describe(history[static_cast<std::size_t>(tick) % kHistory]) + "\n";
      }
      FAIL() << "tick " << player.stats().ticks << " (run " << run << ", seed " << seed
             << "): " << violation << platform.firstFault() << "\n"
             << earlier << "before: " << Describe(before) << "\nafter:  " << Describe(after);
    }

    if (run != runOfStretch) {
      runOfStretch = run;
      stretch = 0;
      lastHolder = 0;
    }
    if (before.playClock <= 0) continue;
    const int holder = Holder(after);
    const bool changed = holder != 0 && lastHolder != 0 && holder != lastHolder;
    if (holder != 0) lastHolder = holder;
    const bool event =
        changed || player.stats().fouls != fouls || player.stats().baskets != baskets;
    fouls = player.stats().fouls;
    baskets = player.stats().baskets;
    stretch = event ? 0 : stretch + 1;
    if (stretch > longestStretch) {
      longestStretch = stretch;
      longestAtRun = run;
    }
  }

  const PlayStats& stats = player.stats();
  ASSERT_EQ(stats.ticks, ticks) << "the player could not keep the timer running";
  std::printf(
      "soak: %lld ticks in %lld runs (seed %llu): %lld games finished (Player 1 %lld, Player 2 "
      "%lld, computer %lld), %lld quit; %lld baskets, %lld fouls; longest stretch without a "
      "basket, a foul or a change of possession %lld ticks (run %lld); %lld copies, %lld "
      "verified pixel by pixel\n",
      stats.ticks, stats.runs, static_cast<unsigned long long>(seed), stats.gamesFinished(),
      stats.player1Wins, stats.player2Wins, stats.computerWins, stats.quits, stats.baskets,
      stats.fouls, longestStretch, longestAtRun, platform.copies, platform.verifiedCopies);

  // Play must go on, not merely survive: over a long run both sides get through whole games.
  if (ticks >= 100'000) {
    EXPECT_GT(stats.baskets, 0);
    EXPECT_GT(stats.fouls, 0);
    EXPECT_GT(stats.gamesFinished(), 0);
    EXPECT_GT(stats.quits, 0);
  }
  EXPECT_GT(platform.verifiedCopies, 0);
}

// Against the computer, a player who stands still with the ball is never robbed: nothing
// restarts play, and its clock runs past the largest count it can hold. Play must go on then.
TEST(Soak, AStandStillPastTheTopOfThePlayClockThenPlayGoesOn) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform platform(pictures);
  platform.verifyEvery = 4999;
  MtRandom gameRandom;
  RandomPlayer player(platform, gameRandom, 77);
  const GameState& s = player.game().state;

  // Random play until Player 1 holds the ball against the computer.
  long long steps = 0;
  while (!(s.playClock > 0 && s.twoPlayerMode == kFalse && s.p1HasBall == kTrue &&
           s.p1Shooting == kFalse && s.p1Jumping == kFalse)) {
    ASSERT_LT(++steps, 5'000'000) << "no game against the computer came about";
    player.Step();
  }
  player.StepAway();
  platform.draw = false;  // the copies are still checked; only the long wait is quicker
  const long long runBefore = player.stats().runs;
  for (int tick = 0; tick < 33'000; ++tick) {
    ASSERT_TRUE(player.Step());
    ASSERT_EQ(Violation(s), "");
  }
  ASSERT_EQ(player.stats().runs, runBefore);
  ASSERT_EQ(s.playClock, 32767) << "play was restarted while he stood still";
  platform.draw = true;
  const long long copies = platform.copies;
  ASSERT_TRUE(player.Step());
  EXPECT_GT(platform.copies - copies, 4) << "the players are no longer drawn";

  // Back at the keyboard: the game goes on to baskets and fouls.
  player.ComeBack();
  const PlayStats before = player.stats();
  for (int tick = 0; tick < 40'000; ++tick) {
    if (!player.Step()) continue;
    ASSERT_EQ(Violation(player.game().state), "");
  }
  EXPECT_GT(player.stats().baskets + player.stats().fouls, before.baskets + before.fouls);
  EXPECT_EQ(platform.faults, 0) << platform.firstFault();
}

}  // namespace
}  // namespace tandemhoop::testing
