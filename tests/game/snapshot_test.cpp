// Going back to a saved tick: a game that left its course for a while and was put back plays on
// exactly as if it had never left, state, random draws and pictures alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game.h"
#include "game/keys.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/picture_set.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using testing::RasterPlatform;

// Between the game and the replay's player. Away on a detour, what the game asks of the window
// system goes no further: a box or an end off the recorded course is not the recording's.
class Detour final : public PassingPlatform {
 public:
  using PassingPlatform::PassingPlatform;
  bool away = false;
  void ShowSelectionScreen() override {
    if (!away) inner_.ShowSelectionScreen();
  }
  void ShowMessage(std::string_view text) override {
    if (!away) inner_.ShowMessage(text);
  }
  bool AskYesNo(std::string_view text) override { return !away && inner_.AskYesNo(text); }
  void SetTimerEnabled(bool enabled) override {
    if (!away) inner_.SetTimerEnabled(enabled);
  }
  void EndProgram() override {
    if (!away) inner_.EndProgram();
  }
};

struct TickTrace {
  std::uint64_t state;
  std::uint64_t frame;
  std::uint64_t draws;
  bool operator==(const TickTrace&) const = default;
};

struct Course {
  std::vector<TickTrace> ticks;
  int detours = 0;
  int detoursThatMoved = 0;  // ones that left the state elsewhere before it was put back
  bool matches = false;
};

// Plays the replay, and after every `every`-th tick (0: never) saves, runs `length` ticks of its
// own with keys held that the recording never pressed, and puts the game back.
Course Play(const Replay& replay, int every, int length) {
  RasterPlatform raster(testing::SyntheticPictures());
  Player player(raster, replay);
  Detour detour(player);
  MtRandom random;
  Game game(detour, random);
  testing::FakeSelectionView view;
  PlayerSelection selection(game.state, view);
  testing::SelectionLoader loader(selection);
  raster.observer = &loader;
  player.Attach(game, selection);
  player.Load();
  player.DeliverDue();

  Course run;
  GameSnapshot saved;
  while (player.TickDue()) {
    player.Tick();
    // The picture of the tick after each return is the one a faulty return would spoil.
    const bool lookAtPicture = player.ticks() % 7 == 1;
    run.ticks.push_back(
        {StateHash(game.state), lookAtPicture ? FrameHash(raster.frame()) : 0, random.Draws()});
    if (every == 0 || player.ticks() % static_cast<std::uint32_t>(every) != 0) continue;
    EXPECT_TRUE(game.Save(saved));
    detour.away = true;
    game.Form_KeyDown(keys::kLeft, 0);
    game.Form_KeyDown(keys::kUp, 0);
    game.Form_KeyDown(keys::kKeyM, 0);
    game.Form_KeyDown(keys::kKeyH, 0);
    for (int i = 0; i < length; ++i)
      game.Timer1_Timer();
    ++run.detours;
    if (StateHash(game.state) != run.ticks.back().state || random.Draws() != saved.random.draws)
      ++run.detoursThatMoved;
    EXPECT_TRUE(game.Restore(saved));
    detour.away = false;
  }
  run.matches = player.Matches();
  return run;
}

TEST(Snapshot, PuttingTheGameBackLeavesEveryRecordedGameAsItWas) {
  struct Case {
    const char* name;
    bool easier;  // played back against the easiest computer, who sees the court late
  };
  for (const Case& c :
       {Case{"won_two_players", false}, Case{"played_by_keys_vs_computer", false},
        Case{"played_by_keys_vs_computer", true}, Case{"paused_and_resumed", false}}) {
    SCOPED_TRACE(std::string(c.name) + (c.easier ? " at Beginner" : ""));
    Replay replay;
    std::string error;
    ASSERT_TRUE(LoadReplayFile(std::string(TANDEMHOOP_SOURCE_DIR) + "/tests/replay_corpus/" +
                                   c.name + ".tandemhoop-replay",
                               replay, error))
        << error;
    if (c.easier) replay.header.level = ComputerLevel::Beginner;
    const Course straight = Play(replay, 0, 0);
    ASSERT_TRUE(straight.matches || c.easier);
    const Course wandering = Play(replay, 7, 12);
    EXPECT_EQ(wandering.matches, straight.matches);
    EXPECT_EQ(wandering.ticks, straight.ticks);
    // Detours that changed nothing would prove nothing.
    EXPECT_GT(wandering.detoursThatMoved, wandering.detours / 2);
  }
}

TEST(Snapshot, ASourceThatCannotGoBackLeavesTheGameAlone) {
  testing::FakeSelectionView view;
  RasterPlatform raster(testing::SyntheticPictures());
  testing::ScriptedRandom scripted;
  Game game(raster, scripted);
  GameSnapshot saved;
  EXPECT_FALSE(game.Save(saved));
  game.state.p1X = 123;
  EXPECT_FALSE(game.Restore(saved));
  EXPECT_EQ(game.state.p1X, 123);
}

}  // namespace
}  // namespace tandemhoop
