// Boxes answered after the call that opened them has returned (as a page in a browser answers
// them) give exactly the game a box that holds the program gives: the same recording, the same
// pictures after every tick and under every box, each sound heard once; and so does a replay
// played back that way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game/deferred_boxes.h"
#include "game/keys.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_session.h"

namespace tandemhoop::testing {
namespace {

// What a game looked and sounded like: the frame after each tick, the frame under each box as
// it opened, and every sound cue.
struct Seen {
  std::vector<std::uint64_t> ticks;
  std::vector<std::uint64_t> boxes;
  std::vector<Sound> cues;
};

class WatchedPlatform final : public RasterPlatform {
 public:
  explicit WatchedPlatform(Seen& seen) : RasterPlatform(SyntheticPictures()), seen_(seen) {}
  void ShowMessage(std::string_view text) override {
    seen_.boxes.push_back(FrameHash(frame()));
    RasterPlatform::ShowMessage(text);
  }
  bool AskYesNo(std::string_view text) override {
    seen_.boxes.push_back(FrameHash(frame()));
    return RasterPlatform::AskYesNo(text);
  }
  void PlaySound(Sound sound) override { seen_.cues.push_back(sound); }

 private:
  Seen& seen_;
};

constexpr std::uint32_t kSeed = 41000;

// The game as the desktop plays it: every box holds the program and is answered inside the call.
// The game of this seed, against the computer, has fouls, the quit question and keys let go
// inside boxes, and is won.
std::string RecordHolding(Seen& seen) {
  WatchedPlatform platform(seen);
  platform.secondsSinceMidnight = kSeed;
  ScriptedSession session(platform, 1, false);
  for (;;) {
    const std::uint32_t before = session.recorder.ticks();
    const bool going = session.Step();
    if (session.recorder.ticks() != before) seen.ticks.push_back(FrameHash(platform.frame()));
    if (!going) break;
  }
  return session.recorder.Text();
}

// The pieces of a game or a playback behind deferred boxes, as the page builds them.
struct Deferred {
  explicit Deferred(Seen& seen) : platform(seen), boxes(platform, view) {
    platform.secondsSinceMidnight = kSeed;
  }
  WatchedPlatform platform;
  FixedSelectionView view;
  DeferredBoxes boxes;
  MtRandom random;
};

TEST(DeferredBoxes, AnsweredLaterTheyGiveTheGameAHoldingBoxGives) {
  Seen holding;
  const std::string text = RecordHolding(holding);
  Replay replay;
  std::string error;
  ASSERT_TRUE(ReadReplay(text, replay, error)) << error;
  ASSERT_GT(holding.boxes.size(), 4u);
  ASSERT_NE(text.find(" box 1 up "), std::string::npos);

  // The same inputs, as the page gets them: a box opened by a call is answered after it
  // returned, with the releases recorded inside it arriving while it waits.
  Seen seen;
  Deferred page(seen);
  Recorder recorder(page.boxes);
  Game game(recorder, page.random);
  PlayerSelection selection(game.state, page.boxes);
  SelectionLoader loader(selection);
  page.platform.observer = &loader;
  recorder.Attach(game, selection);
  page.boxes.Attach(game, recorder);

  const EventLog& events = replay.events;
  std::size_t next = 0;
  std::uint16_t boxesThisTick = 0;
  int waited = 0;
  const auto settle = [&] {
    while (page.boxes.BoxOpen()) {
      ++waited;
      const std::uint16_t box = ++boxesThisTick;
      seen.boxes.push_back(FrameHash(page.platform.frame()));
      // While it waits nothing moves and nothing is noted.
      const std::uint64_t waiting = StateHash(game.state);
      page.boxes.Tick();
      page.boxes.KeyPress('m');
      EXPECT_EQ(StateHash(game.state), waiting);
      bool yes = false;
      while (next < events.size() && events[next].box == box) {
        const ReplayEvent& event = events[next++];
        if (event.kind == ReplayEventKind::Answer) {
          yes = event.code != 0;
          break;
        }
        ASSERT_EQ(event.kind, ReplayEventKind::KeyUp);
        page.boxes.KeyUp(event.code, event.shift);
      }
      page.boxes.Answer(yes);
    }
  };
  page.boxes.Load();
  settle();
  for (;;) {
    while (next < events.size() && events[next].tick == recorder.ticks() && events[next].box == 0 &&
           !game.Ended()) {
      const ReplayEvent& event = events[next++];
      switch (event.kind) {
        case ReplayEventKind::KeyDown:
          page.boxes.KeyDown(event.code, event.shift);
          break;
        case ReplayEventKind::KeyUp:
          page.boxes.KeyUp(event.code, event.shift);
          break;
        case ReplayEventKind::KeyPress:
          page.boxes.KeyPress(event.code);
          break;
        case ReplayEventKind::Click:
          page.boxes.Click(static_cast<SelectionClick>(event.code));
          break;
        case ReplayEventKind::Level:
          page.boxes.SetComputerLevel(static_cast<ComputerLevel>(event.code));
          break;
        case ReplayEventKind::Speed:
          page.boxes.SetSpeed(event.code != 0 ? Speed::Fast : Speed::Classic);
          break;
        case ReplayEventKind::Answer:
          FAIL() << "an answer outside a box";
      }
      settle();
    }
    if (recorder.ticks() >= replay.end.tick || game.Ended()) break;
    boxesThisTick = 0;
    page.boxes.Tick();
    settle();
    seen.ticks.push_back(FrameHash(page.platform.frame()));
  }
  page.platform.observer = nullptr;

  EXPECT_EQ(waited, static_cast<int>(holding.boxes.size()));
  EXPECT_EQ(recorder.Text(), text);
  EXPECT_EQ(seen.ticks, holding.ticks);
  EXPECT_EQ(seen.boxes, holding.boxes);
  EXPECT_EQ(seen.cues, holding.cues);

  // Played back with the same boxes in between, the replay ends as recorded, looking and
  // sounding the same on the way.
  Seen played;
  Deferred back(played);
  Player player(back.boxes, replay);
  player.SetShowBoxes(true);
  Game playedGame(player, back.random);
  PlayerSelection playedSelection(playedGame.state, back.boxes);
  SelectionLoader playedLoader(playedSelection);
  back.platform.observer = &playedLoader;
  player.Attach(playedGame, playedSelection);
  back.boxes.Attach(playedGame, player);
  const auto answer = [&] {
    while (back.boxes.BoxOpen()) {
      played.boxes.push_back(FrameHash(back.platform.frame()));
      back.boxes.Answer(true);  // the recording's answer stands whatever the viewer says
    }
  };
  back.boxes.Load();
  answer();
  while (player.TickDue()) {
    back.boxes.Tick();
    answer();
    played.ticks.push_back(FrameHash(back.platform.frame()));
  }
  back.platform.observer = nullptr;
  EXPECT_TRUE(player.Matches()) << player.Mismatch();
  EXPECT_EQ(played.ticks, holding.ticks);
  EXPECT_EQ(played.boxes, holding.boxes);
  EXPECT_EQ(played.cues, holding.cues);
}

// Two players start; Player 1 goes left of Player 2 and runs up into him with the ball, on a
// score of four, the speed just changed: the tick of the charge shows the offensive foul and then
// the win. `Inputs` is the recorder itself (boxes that hold) or the deferred boxes before one.
template <class Inputs, class Settle>
void ChargeOnTheWinningScore(Inputs& inputs, Game& game, Settle settle) {
  inputs.Load();
  inputs.KeyPress(13);
  inputs.Tick();
  for (SelectionClick click :
       {SelectionClick::Label6, SelectionClick::Label3, SelectionClick::Command4})
    inputs.Click(click);
  inputs.KeyDown(keys::kLeft, 0);
  while (game.state.p1X > 280)
    inputs.Tick();
  inputs.KeyUp(keys::kLeft, 0);
  inputs.KeyDown(keys::kUp, 0);
  while (game.state.p1Y > 310)
    inputs.Tick();
  game.state.p1Score = 4;
  inputs.SetSpeed(Speed::Fast);  // noted before the tick, which runs more than once on the page
  inputs.Tick();
  settle();
}

TEST(DeferredBoxes, TwoBoxesOfOneTickWaitInTurn) {
  // Held: the key goes up inside the first box.
  FakePlatform held;
  Recorder holding(held);
  MtRandom random;
  Game heldGame(holding, random);
  FakeSelectionView heldView;
  PlayerSelection heldSelection(heldGame.state, heldView);
  held.onShowSelection = [&] {
    if (held.selectionShown == 1) heldSelection.Form_Load();
  };
  held.onMessage = [&](const std::string&) {
    if (held.messages.size() == 1) holding.KeyUp(keys::kUp, 0);
  };
  holding.Attach(heldGame, heldSelection);
  ChargeOnTheWinningScore(holding, heldGame, [] {});
  ASSERT_EQ(held.messages, (std::vector<std::string>{"Player 1 - Offensive Foul", "Player1 Wins"}));
  ASSERT_TRUE(heldGame.Ended());

  // Deferred: the same key goes up while the first box waits.
  FakePlatform page;
  FakeSelectionView pageView;
  DeferredBoxes boxes(page, pageView);
  Recorder recorder(boxes);
  MtRandom pageRandom;
  Game game(recorder, pageRandom);
  PlayerSelection selection(game.state, boxes);
  page.onShowSelection = [&] {
    if (page.selectionShown == 1) selection.Form_Load();
  };
  recorder.Attach(game, selection);
  boxes.Attach(game, recorder);
  std::vector<std::string> shown;
  std::size_t soundsUnderFirstBox = 0;
  ChargeOnTheWinningScore(boxes, game, [&] {
    ASSERT_TRUE(boxes.BoxOpen());
    EXPECT_FALSE(boxes.BoxAsks());
    shown.emplace_back(boxes.BoxText());
    soundsUnderFirstBox = page.sounds.size();
    boxes.KeyUp(keys::kUp, 0);
    // Chosen while the box waits, a level rules once the tick has run.
    boxes.SetComputerLevel(ComputerLevel::Easy);
    boxes.Answer(true);
    ASSERT_TRUE(boxes.BoxOpen());
    EXPECT_FALSE(game.Ended());
    EXPECT_EQ(page.ended, 0);
    shown.emplace_back(boxes.BoxText());
    boxes.Answer(true);
    EXPECT_FALSE(boxes.BoxOpen());
  });
  EXPECT_EQ(shown, held.messages);
  EXPECT_TRUE(game.Ended());
  EXPECT_EQ(page.ended, 1);
  EXPECT_EQ(game.computerLevel(), ComputerLevel::Easy);
  EXPECT_EQ(recorder.Text(), holding.Text());
  EXPECT_NE(recorder.Text().find(" box 1 up 38 0\n"), std::string::npos);
  EXPECT_NE(recorder.Text().find(" speed fast\n"), std::string::npos);
  EXPECT_EQ(page.sounds, held.sounds);
  EXPECT_GT(page.sounds.size(), soundsUnderFirstBox);  // the win is heard as its box shows
  // Each run of the tick draws and prints it again from its start; the last is the one seen.
  ASSERT_GE(page.prints.size(), 3u);
  EXPECT_TRUE(std::equal(page.prints.end() - 3, page.prints.end(), held.prints.end() - 3));
}

}  // namespace
}  // namespace tandemhoop::testing
