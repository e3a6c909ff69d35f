// The desktop's software frame, for checking the browser against: plays a replay through the
// core with the desktop's pictures (decoded by Qt, as the desktop game does) and the core's
// raster, and prints the frame's hash after chosen ticks and the state's hash at the end. It can
// also record a scripted game as a replay, to have one to check with.
//
//   tandemhoop_frame_hashes ASSETS play REPLAY [TICK...]
//   tandemhoop_frame_hashes ASSETS record OUT SEED STEPS [two]
#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include "desktop/picture_holders.h"
#include "game/game.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "screens/pictures.h"
#include "screens/raster.h"
#include "screens/selection.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_session.h"

namespace {

using namespace tandemhoop;
using testing::PictureSet;
using testing::RasterPlatform;

bool LoadArt(const QString& root, PictureSet& set) {
  PictureHolders holders(root);
  for (const PictureEntry& entry : Pictures()) {
    const Surface* picture = holders.Find(entry.ref);
    Surface* slot = set.Find(entry.ref);
    if (picture == nullptr || picture->width == 0 || slot == nullptr) {
      std::fprintf(stderr, "missing art: %s\n", AssetPath(entry.ref).c_str());
      return false;
    }
    *slot = *picture;
  }
  return true;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

// Loads the selection rules the first time the screen is shown, as the real screen does.
class LoadSelectionOnShow : public testing::PlatformObserver {
 public:
  explicit LoadSelectionOnShow(PlayerSelection& selection) : selection_(selection) {}
  void OnShowSelection() override {
    if (loaded_) return;
    loaded_ = true;
    selection_.Form_Load();
  }

 private:
  PlayerSelection& selection_;
  bool loaded_ = false;
};

int Play(const PictureSet& art, const char* path, const std::set<long>& ticks) {
  Replay replay;
  std::string error;
  if (!LoadReplayFile(path, replay, error)) {
    std::fprintf(stderr, "%s: %s\n", path, error.c_str());
    return 2;
  }
  RasterPlatform platform(art);
  Player player(platform, replay);
  MtRandom random;
  Game game(player, random);
  testing::FakeSelectionView view;
  PlayerSelection selection(game.state, view);
  LoadSelectionOnShow loader(selection);
  platform.observer = &loader;
  player.Attach(game, selection);
  player.Load();
  player.DeliverDue();
  if (ticks.count(0) != 0)
    std::printf("tick 0 frame %s\n", Hex(FrameHash(platform.frame())).c_str());
  // The time of the ticks alone, for comparing with the browser's.
  std::chrono::steady_clock::duration ticking{};
  while (player.TickDue()) {
    const auto started = std::chrono::steady_clock::now();
    player.Tick();
    ticking += std::chrono::steady_clock::now() - started;
    if (ticks.count(static_cast<long>(player.ticks())) != 0)
      std::printf("tick %u frame %s\n", player.ticks(), Hex(FrameHash(platform.frame())).c_str());
  }
  std::printf("time %lld ns for the ticks\n",
              static_cast<long long>(std::chrono::nanoseconds(ticking).count()));
  std::printf("end %u state %s matches %d\n", player.ticks(), Hex(StateHash(game.state)).c_str(),
              player.Matches() ? 1 : 0);
  return player.Matches() ? 0 : 1;
}

int Record(const PictureSet& art, const char* path, std::uint64_t seed, long steps, bool two) {
  RasterPlatform platform(art);
  platform.secondsSinceMidnight = static_cast<std::uint32_t>(seed % 86400);
  testing::ScriptedSession session(platform, seed, two);
  for (long step = 0; step < steps && session.Step();)
    ++step;
  std::ofstream out(path, std::ios::binary);
  out << session.recorder.Text();
  return out ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: %s ASSETS play REPLAY [TICK...]\n"
                 "       %s ASSETS record OUT SEED STEPS [two]\n",
                 argv[0], argv[0]);
    return 2;
  }
  static PictureSet art;
  if (!LoadArt(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/"), art)) return 2;
  const std::string mode = argv[2];
  if (mode == "play") {
    std::set<long> ticks;
    for (int i = 4; i < argc; ++i)
      ticks.insert(std::strtol(argv[i], nullptr, 10));
    return Play(art, argv[3], ticks);
  }
  if (mode == "record" && argc >= 6) {
    return Record(art, argv[3], std::strtoull(argv[4], nullptr, 10),
                  std::strtol(argv[5], nullptr, 10), argc > 6 && std::string(argv[6]) == "two");
  }
  std::fprintf(stderr, "unknown mode %s\n", argv[2]);
  return 2;
}
