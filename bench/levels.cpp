// How a person fares against each computer level: the simulated player plays whole games
// against the computer at both speeds, and the table says how often it wins, the mean score
// and how long a game lasts in game time.
//   tandemhoop_levels [--games N] [--seed S]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game.h"
#include "game/speed.h"
#include "tests/support/simulated_player.h"

namespace {

using tandemhoop::ComputerLevel;
using tandemhoop::kLevelNames;
using tandemhoop::Speed;

}  // namespace

int main(int argc, char** argv) {
  int games = 500;
  unsigned long long seed = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--games") == 0) {
      games = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: %s [--games N] [--seed S]\n", argv[0]);
      return 2;
    }
  }
  if (games < 1) games = 1;
  constexpr double kCapSeconds = 20 * 60;

  std::printf(
      "levels: %d games per level and speed; a game not won in %.0f minutes counts as "
      "lost\n",
      games, kCapSeconds / 60);
  std::printf("levels: %-8s %-7s %6s %9s %12s %13s %6s %7s\n", "level", "speed", "rhythm", "won",
              "mean score", "mean length", "capped", "fouls");
  for (const Speed speed : {Speed::Classic, Speed::Fast}) {
    const double tickSeconds = static_cast<double>(tandemhoop::TickNanoseconds(speed)) / 1e9;
    for (const ComputerLevel level :
         {ComputerLevel::Original, ComputerLevel::Medium, ComputerLevel::Easy}) {
      int won = 0;
      int capped = 0;
      long long p1Points = 0;
      long long p2Points = 0;
      long long ticks = 0;
      long long fouls = 0;
      for (int game = 0; game < games; ++game) {
        const auto result = tandemhoop::testing::PlaySimulatedGame(
            level, speed, seed * 1'000'003ull + static_cast<unsigned long long>(game), kCapSeconds);
        won += result.won ? 1 : 0;
        capped += result.capped ? 1 : 0;
        p1Points += result.p1Score;
        p2Points += result.p2Score;
        ticks += result.ticks;
        fouls += result.fouls;
      }
      const tandemhoop::ComputerRhythm rhythm = tandemhoop::RhythmOf(level);
      char rhythmText[16];
      std::snprintf(rhythmText, sizeof rhythmText, "%u/%u", rhythm.acts, rhythm.of);
      char score[24];
      std::snprintf(score, sizeof score, "%.2f-%.2f", static_cast<double>(p1Points) / games,
                    static_cast<double>(p2Points) / games);
      std::printf("levels: %-8s %-7s %6s %8.1f%% %12s %11.1f s %6d %7.1f\n",
                  std::string(kLevelNames[static_cast<std::size_t>(level)]).c_str(),
                  speed == Speed::Classic ? "Classic" : "Fast", rhythmText, 100.0 * won / games,
                  score, static_cast<double>(ticks) * tickSeconds / games, capped,
                  static_cast<double>(fouls) / games);
      std::fflush(stdout);
    }
  }
  return 0;
}
