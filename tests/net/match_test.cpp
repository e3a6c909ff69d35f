// An online match from held sets: the key events the game gets, their order and repeats, the
// stoppage that stands in for a message box, and the replay the held sets make.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/keys.h"
#include "game/replay.h"
#include "net/match.h"
#include "tests/support/random_player.h"

namespace tandemhoop::net {
namespace {

using namespace keys;

// Events of one tick as "d37 u70 ..." (down, up), for comparing at a glance.
std::string Written(const StepEvents& step) {
  std::string out;
  for (int i = 0; i < step.count; ++i) {
    const ReplayEvent& event = step.events[static_cast<std::size_t>(i)];
    if (!out.empty()) out += ' ';
    out += event.kind == ReplayEventKind::KeyDown ? 'd' : 'u';
    out += std::to_string(event.code);
  }
  return out;
}

struct Played {
  explicit Played(Speed speed = Speed::Classic, std::uint32_t seed = 7) {
    match.Begin(Agreement{seed, speed, 1, 2}, log);
  }
  std::string Step(Held p1, Held p2) {
    match.Step(p1, p2, step);
    return Written(step);
  }
  HeadlessPlatform headless;
  Match match{headless};
  EventLog log;
  StepEvents step;
};

TEST(MatchTest, HeldSetsBecomeKeysInOneOrderAndOnlyTheLastPressedKeyRepeats) {
  for (const Speed speed : {Speed::Classic, Speed::Fast}) {
    const KeyRepeat repeat = RepeatOf(speed);
    Played played(speed);
    // Both sides press two keys each; the last of each side's (in left, up, right, down,
    // action order) is the one that repeats.
    EXPECT_EQ(played.Step(kHoldLeft | kHoldUp, kHoldLeft | kHoldAction), "d37 d38 d70 d65");
    // Ups of both sides come before any down: here Player 2's up before Player 1's down.
    EXPECT_EQ(played.Step(kHoldUp | kHoldAction, kHoldAction), "u37 u70 d77");
    // Player 2's A repeats after the delay from its press, then at the rate; Player 1's M
    // (pressed a tick later) likewise; his Up, held all along, never does.
    std::vector<int> p2Repeats, p1Repeats;
    for (int tick = 2; p1Repeats.size() < 3; ++tick) {
      const std::string events = played.Step(kHoldUp | kHoldAction, kHoldAction);
      if (events.find("d65") != std::string::npos) p2Repeats.push_back(tick);
      if (events.find("d77") != std::string::npos) p1Repeats.push_back(tick);
      EXPECT_EQ(events.find("d38"), std::string::npos);
    }
    const int d = repeat.delayTicks;
    const int i = repeat.intervalTicks;
    p2Repeats.resize(3);
    EXPECT_EQ(p2Repeats, (std::vector<int>{d, d + i, d + 2 * i}));
    EXPECT_EQ(p1Repeats, (std::vector<int>{1 + d, 1 + d + i, 1 + d + 2 * i}));
    // Letting go of the repeating key stops the repeats: the Up still held does not take over.
    EXPECT_EQ(played.Step(kHoldUp, kHoldAction).substr(0, 3), "u77");
    for (int tick = 0; tick < 2 * d; ++tick) {
      const std::string events = played.Step(kHoldUp, kHoldAction);
      EXPECT_EQ(events.find("d38"), std::string::npos);
      EXPECT_EQ(events.find("d77"), std::string::npos);
    }
  }
}

TEST(MatchTest, AHeldShootingKeyStartsTheShotOnTheRepeatAfterTheShotClock) {
  Played played;
  const GameState& s = played.match.game().state;
  ASSERT_EQ(s.p1HasBall, kTrue);
  // M held from the first tick of play: the shot clock (play clock above 10) lets the first
  // press do nothing; the repeat that comes after it starts the shot.
  int shotAt = -1;
  for (int tick = 0; tick < 30 && shotAt < 0; ++tick) {
    played.Step(kHoldAction, 0);
    if (s.p1Shooting == kTrue) shotAt = tick;
  }
  EXPECT_EQ(shotAt, RepeatOf(Speed::Classic).delayTicks);
  // Held on, the shot goes up; let go, it is released.
  bool inFlight = false;
  for (int tick = 0; tick < 20 && !inFlight; ++tick) {
    played.Step(kHoldAction, 0);
    inFlight = s.p1ShotInFlight == kTrue;
  }
  EXPECT_TRUE(inFlight);
}

TEST(MatchTest, AFoulStopsPlayLettingReleasesThroughAndHeldKeysComeBackByTheirRepeats) {
  Played played;
  const GameState& s = played.match.game().state;
  // Both walk up and to the left: Player 1 carries the ball into Player 2, an offensive foul.
  const Held upLeft = kHoldUp | kHoldLeft;
  for (int tick = 0; tick < 200 && !played.step.stoppageBegan; ++tick)
    played.Step(upLeft, upLeft);
  ASSERT_TRUE(played.step.stoppageBegan);
  EXPECT_EQ(played.match.stoppageText(), "Player 1 - Offensive Foul");
  EXPECT_EQ(s.p1KeyUp, kFalse);  // the foul cleared the flags
  const std::uint32_t foulTick = played.match.state().gameTicks;

  // During the stoppage the game's timer does not run; Player 2's press of H and Player 1's
  // of M go nowhere, but Player 1's release of M reaches the game at once.
  const Held upLeftRight = upLeft | kHoldRight;
  EXPECT_EQ(played.Step(upLeft, upLeftRight), "");
  EXPECT_EQ(played.Step(upLeft | kHoldAction, upLeftRight), "");
  EXPECT_EQ(played.Step(upLeft, upLeftRight), "u77");
  EXPECT_EQ(played.step.events[0].tick, foulTick);  // noted after the foul's tick
  for (int i = 3; i < StoppageTicks(Speed::Classic); ++i) {
    EXPECT_EQ(played.Step(upLeft, upLeftRight), "");
    EXPECT_FALSE(played.step.gameTick);
  }
  EXPECT_EQ(played.match.state().gameTicks, foulTick);
  EXPECT_TRUE(played.match.stoppageText().empty());

  // Afterwards Player 2's H, pressed in the stoppage and held, comes back at its next repeat.
  // Player 1's last press was M, let go since: none of his keys repeats, so his Up stays
  // cleared until he presses it again.
  EXPECT_EQ(played.Step(upLeft, upLeftRight), "d72");
  EXPECT_TRUE(played.step.gameTick);
  EXPECT_EQ(s.p2KeyRight, kTrue);
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(played.Step(upLeft, upLeftRight).find("d38"), std::string::npos);
  EXPECT_EQ(s.p1KeyUp, kFalse);
  EXPECT_EQ(played.Step(kHoldLeft, upLeftRight), "u38 d72");  // H goes on repeating
  EXPECT_EQ(played.Step(upLeft, upLeftRight), "d38 d72");
  EXPECT_EQ(s.p1KeyUp, kTrue);
}

TEST(MatchTest, ATickRunAgainDrawsNothingAndIsHeardOnlyForWhatItsFirstRunDidNotCue) {
  class Counting final : public HeadlessPlatform {
   public:
    std::int32_t BitBlt(int, int, int, int, PictureRef, RasterOp) override {
      ++copies;
      return 1;
    }
    void PlaySound(Sound sound) override { ++heard[static_cast<std::size_t>(sound)]; }
    int copies = 0;
    std::array<int, kSoundCount> heard{};
  } front;
  GameState state;
  testing::FixedSelectionView view;
  PlayerSelection selection(state, view);
  MatchPlatform platform(front, selection);
  const auto cue = [&](Sound sound, int times) {
    for (int i = 0; i < times; ++i)
      platform.PlaySound(sound);
  };
  // First run: drawn, and every cue heard, twice the same one too.
  platform.SetDrawing(true);
  platform.BeginTick({}, true);
  platform.BitBlt(0, 0, 1, 1, PictureRef{Holder::Form3, 1}, RasterOp::SrcCopy);
  cue(Sound::Bounce, 2);
  cue(Sound::Rim, 1);
  const MatchPlatform::Cues heard = platform.heard();
  // Run again with the other side's real keys: nothing drawn; the same cues are not heard
  // again, but a third bounce and a whistle the first run did not make are, once.
  platform.SetDrawing(false);
  platform.BeginTick(heard, true);
  EXPECT_EQ(platform.BitBlt(0, 0, 1, 1, PictureRef{Holder::Form3, 1}, RasterOp::SrcCopy), 1);
  cue(Sound::Bounce, 3);
  cue(Sound::Whistle, 1);
  platform.BeginTick(platform.heard(), true);
  cue(Sound::Bounce, 3);
  cue(Sound::Whistle, 1);
  EXPECT_EQ(front.copies, 1);
  EXPECT_EQ(front.heard[static_cast<std::size_t>(Sound::Bounce)], 3);
  EXPECT_EQ(front.heard[static_cast<std::size_t>(Sound::Rim)], 1);
  EXPECT_EQ(front.heard[static_cast<std::size_t>(Sound::Whistle)], 1);
}

// Held sets of two people mashing keys, the same for the same seed.
std::vector<Held> RandomHeld(std::uint64_t seed, int ticks) {
  testing::SplitMix64 random(seed);
  std::vector<Held> held;
  Held now = 0;
  for (int t = 0; t < ticks; ++t) {
    if (random.OneIn(4)) now = static_cast<Held>(now ^ (1u << random.Below(5)));
    held.push_back(now);
  }
  return held;
}

TEST(MatchTest, HeldSetsMakeAnOrdinaryReplayThatVerifies) {
  for (const Speed speed : {Speed::Classic, Speed::Fast}) {
    const Agreement agreement{41234, speed, 3, 1};
    const std::vector<Held> p1 = RandomHeld(1, 6000);
    const std::vector<Held> p2 = RandomHeld(2, 5000);
    const std::string text = BuildReplay(agreement, p1, p2);
    Replay replay;
    std::string error;
    ASSERT_TRUE(ReadReplay(text, replay, error)) << error;
    EXPECT_EQ(replay.header.seed, 41234u);
    EXPECT_EQ(replay.header.speed, speed);
    EXPECT_NE(text.find("\n1 click Label4\n1 click Label6\n1 click Command4\n"), std::string::npos);
    const VerifyResult verified = VerifyReplay(replay);
    EXPECT_TRUE(verified.matches) << verified.mismatch;
    EXPECT_TRUE(verified.twoPlayers);
    // The shorter side's held sets decide how far the match is known.
    EXPECT_TRUE(text == BuildReplay(agreement, std::span(p1).first(5000), p2));
    EXPECT_FALSE(text == BuildReplay(agreement, p1, std::span(p2).first(1000)));
  }
}

}  // namespace
}  // namespace tandemhoop::net
