// How people fare against each computer level: two simulated people, a practised one and a
// novice, play whole games against the computer at every level and both speeds; the table says
// how often each wins, the mean score and how long a game lasts in game time.
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
using tandemhoop::Speed;
using tandemhoop::testing::Person;

struct Cell {
  int won = 0;
  int capped = 0;
  long long p1Points = 0;
  long long p2Points = 0;
  long long ticks = 0;
};

Cell Play(ComputerLevel level, Speed speed, Person person, int games, unsigned long long seed,
          double capSeconds) {
  Cell cell;
  for (int game = 0; game < games; ++game) {
    const auto result = tandemhoop::testing::PlaySimulatedGame(
        level, speed, seed * 1'000'003ull + static_cast<unsigned long long>(game), capSeconds,
        person);
    cell.won += result.won ? 1 : 0;
    cell.capped += result.capped ? 1 : 0;
    cell.p1Points += result.p1Score;
    cell.p2Points += result.p2Score;
    cell.ticks += result.ticks;
  }
  return cell;
}

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
      "levels: %d games per level, speed and person; a game not won in %.0f minutes counts as "
      "lost\n",
      games, kCapSeconds / 60);
  std::printf("levels: %-8s %-7s %-9s %7s %11s %11s %6s\n", "level", "speed", "person", "won",
              "mean score", "mean length", "capped");
  for (const Speed speed : {Speed::Classic, Speed::Fast}) {
    const double tickSeconds = static_cast<double>(tandemhoop::TickNanoseconds(speed)) / 1e9;
    for (std::size_t level = 0; level < tandemhoop::kLevelCount; ++level) {
      for (const Person person : {Person::Practised, Person::Novice}) {
        const Cell cell =
            Play(static_cast<ComputerLevel>(level), speed, person, games, seed, kCapSeconds);
        char score[24];
        std::snprintf(score, sizeof score, "%.2f-%.2f", static_cast<double>(cell.p1Points) / games,
                      static_cast<double>(cell.p2Points) / games);
        std::printf("levels: %-8s %-7s %-9s %6.1f%% %11s %9.1f s %6d\n",
                    std::string(tandemhoop::kLevelNames[level]).c_str(),
                    speed == Speed::Classic ? "Classic" : "Fast",
                    std::string(tandemhoop::testing::kPersonNames[static_cast<std::size_t>(person)])
                        .c_str(),
                    100.0 * cell.won / games, score,
                    static_cast<double>(cell.ticks) * tickSeconds / games, cell.capped);
        std::fflush(stdout);
      }
    }
  }
  return 0;
}
