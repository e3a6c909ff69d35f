// Replays: a recorded game plays back to the same state and the same pixels at every tick, and
// the reader refuses every broken file with a line that says where and what.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "game/replay.h"
#include "game/state_fields.h"
#include "tests/support/picture_set.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_session.h"

namespace tandemhoop::testing {
namespace {

// What each tick left: the state before the tick, the frame after it.
struct Trace {
  std::vector<std::uint64_t> states;
  std::vector<std::uint64_t> frames;
};

struct Recorded {
  std::string text;
  Trace trace;
  long long messages = 0;
  long long fouls = 0;
  long long questions = 0;
  long long boxedReleases = 0;
  long long repeats = 0;
  long long clicks = 0;
  bool ended = false;
};

Recorded Record(std::uint64_t seed, bool twoPlayers, int maxTicks, bool trace = true,
                ComputerLevel startLevel = ComputerLevel::Original) {
  RasterPlatform platform(SyntheticPictures());
  platform.secondsSinceMidnight = 40000 + static_cast<std::uint32_t>(seed);
  ScriptedSession session(platform, seed, twoPlayers);
  session.game.SetComputerLevel(startLevel);
  Recorded out;
  while (session.recorder.ticks() < static_cast<std::uint32_t>(maxTicks)) {
    const std::uint32_t before = session.recorder.ticks();
    const bool going = session.Step();
    if (trace && session.recorder.ticks() != before) {
      out.trace.states.push_back(session.stateBeforeLastTick);
      out.trace.frames.push_back(FrameHash(platform.frame()));
    }
    if (!going) break;
  }
  out.text = session.recorder.Text();
  out.messages = session.messages;
  out.fouls = session.fouls;
  out.questions = session.questions;
  out.boxedReleases = session.boxedReleases;
  out.repeats = session.repeats;
  out.clicks = session.clicks;
  out.ended = session.game.Ended();
  return out;
}

// Plays a replay back on a platform that really draws.
struct Playback {
  explicit Playback(const Replay& replay)
      : platform(SyntheticPictures()), player(platform, replay), game(player, random) {
    platform.observer = &loader;
    loader.selection.emplace(game.state, view);
    player.Attach(game, *loader.selection);
    player.SetShowBoxes(true);
  }
  ~Playback() { platform.observer = nullptr; }

  Trace Run() {
    Trace trace;
    player.Load();
    player.DeliverDue();
    while (player.TickDue()) {
      trace.states.push_back(StateHash(game.state));
      player.Tick();
      trace.frames.push_back(FrameHash(platform.frame()));
    }
    return trace;
  }

  struct Loader : PlatformObserver {
    void OnShowSelection() override {
      if (!loaded) selection->Form_Load();
      loaded = true;
    }
    void OnMessage(std::string_view) override { ++messages; }
    std::optional<PlayerSelection> selection;
    bool loaded = false;
    int messages = 0;
  };

  RasterPlatform platform;
  Player player;
  MtRandom random;
  Game game;
  FixedSelectionView view;
  Loader loader;
};

Replay Read(const std::string& text) {
  Replay replay;
  std::string error;
  EXPECT_TRUE(ReadReplay(text, replay, error)) << error;
  return replay;
}

TEST(Replay, AScriptedGamePlaysBackToTheSameStateAndPixelsAtEveryTick) {
  long long fouls = 0;
  int finished = 0;
  for (const bool twoPlayers : {false, true}) {
    // Against the computer the game starts at another level than the original one: the
    // replay must start there too.
    const Recorded recorded = Record(twoPlayers ? 11 : 5, twoPlayers, 1200, true,
                                     twoPlayers ? ComputerLevel::Original : ComputerLevel::Medium);
    // The script went through what a replay has to carry.
    EXPECT_GT(recorded.clicks, 7);
    EXPECT_GT(recorded.repeats, 50);
    EXPECT_EQ(recorded.questions, 1);  // Esc, answered No, and play went on
    EXPECT_GT(recorded.messages, 0);   // foul boxes, the winner's
    fouls += recorded.fouls;
    finished += recorded.ended ? 1 : 0;
    EXPECT_GT(recorded.boxedReleases, 0);
    EXPECT_GT(recorded.trace.frames.size(), 400u);
    EXPECT_NE(recorded.text.find(" level easy\n"), std::string::npos);
    EXPECT_NE(recorded.text.find(twoPlayers ? "computer original\n" : "computer medium\n"),
              std::string::npos);

    const Replay replay = Read(recorded.text);
    EXPECT_EQ(replay.header.version, GameVersion());
    EXPECT_EQ(replay.header.seed, 40000u + (twoPlayers ? 11 : 5));
    Playback playback(replay);
    const Trace played = playback.Run();
    EXPECT_TRUE(playback.player.Matches()) << playback.player.Mismatch();
    EXPECT_EQ(playback.loader.messages, recorded.messages);
    ASSERT_EQ(played.frames.size(), recorded.trace.frames.size());
    for (std::size_t tick = 0; tick < played.frames.size(); ++tick) {
      ASSERT_EQ(played.states[tick], recorded.trace.states[tick]) << "before tick " << tick + 1;
      ASSERT_EQ(played.frames[tick], recorded.trace.frames[tick]) << "after tick " << tick + 1;
    }
    // Written again, the replay is the same file.
    EXPECT_EQ(WriteReplay(replay.header, replay.events, replay.end), recorded.text);

    const VerifyResult verified = VerifyReplay(replay);
    EXPECT_TRUE(verified.matches) << verified.mismatch;
    EXPECT_EQ(verified.ticks, replay.end.tick);
    EXPECT_EQ(verified.p1Score, replay.end.p1Score);
    EXPECT_EQ(verified.twoPlayers, twoPlayers);
  }
  EXPECT_GT(fouls, 0);
  EXPECT_EQ(finished, 1);  // one game won, one saved while it went on
}

TEST(Replay, AChangedReplaySaysWhereItWentAnotherWay) {
  const Recorded recorded = Record(5, false, 1500, false);
  const std::size_t firstPress = recorded.text.find(" press 13\n");
  ASSERT_NE(firstPress, std::string::npos);

  // Another seed: the same keys make another game.
  std::string reseeded = recorded.text;
  reseeded.replace(reseeded.find("seed 40005"), 10, "seed 40006");
  VerifyResult result = VerifyReplay(Read(reseeded));
  EXPECT_FALSE(result.matches);
  EXPECT_FALSE(result.mismatch.empty());

  // The answer to the quit question turned to Yes: the game ends early.
  std::string quits = recorded.text;
  quits.replace(quits.find("answer no"), 9, "answer yes");
  result = VerifyReplay(Read(quits));
  EXPECT_FALSE(result.matches);
  EXPECT_NE(result.mismatch.find("ended at tick"), std::string::npos) << result.mismatch;

  // The end line's score or tick changed, its hash left alone.
  const std::size_t endLine = recorded.text.rfind("end ");
  const std::size_t score = recorded.text.find(" score ", endLine) + 7;
  std::string rescored = recorded.text;
  rescored.replace(score, recorded.text.find(" hash", score) - score, "4 0");
  ASSERT_NE(rescored, recorded.text);
  result = VerifyReplay(Read(rescored));
  EXPECT_FALSE(result.matches);
  EXPECT_NE(result.mismatch.find(", the recording says 4 0"), std::string::npos) << result.mismatch;
  std::string retimed = recorded.text;
  retimed.insert(endLine + 4, "1");
  EXPECT_FALSE(VerifyReplay(Read(retimed)).matches);

  // A wrong hash alone.
  std::string wrongHash = recorded.text;
  const std::size_t hash = wrongHash.rfind("hash ") + 5;
  wrongHash[hash] = wrongHash[hash] == '0' ? '1' : '0';
  result = VerifyReplay(Read(wrongHash));
  EXPECT_FALSE(result.matches);
  EXPECT_NE(result.mismatch.find("is not the recorded one"), std::string::npos);
}

// The window closed from the desktop while a box is open: the desktop answers the quit path for
// the player, inside the box, as Esc and Yes.
class ClosedBehindABox : public ScriptedSession {
 public:
  ClosedBehindABox(RasterPlatform& platform, bool atQuestion)
      : ScriptedSession(platform, 5, false), atQuestion_(atQuestion) {
    recorder.SetEndHandler([this] { kept = recorder.Text(); });
  }
  void OnMessage(std::string_view text) override {
    if (atQuestion_ || closing_ || text.find("Wins") != std::string_view::npos) {
      ScriptedSession::OnMessage(text);
      return;
    }
    Close();
  }
  bool OnAsk(std::string_view text) override {
    if (closing_) return true;
    if (!atQuestion_) return ScriptedSession::OnAsk(text);
    Close();
    return false;  // the question's own box was closed under it
  }
  std::string kept;

 private:
  void Close() {
    closing_ = true;
    recorder.KeyPress(27);
    closing_ = false;
  }
  bool atQuestion_;
  bool closing_ = false;
};

TEST(Replay, AGameClosedBehindABoxKeepsAReplayThatVerifies) {
  for (const bool atQuestion : {false, true}) {
    RasterPlatform platform(SyntheticPictures());
    ClosedBehindABox session(platform, atQuestion);
    while (session.Step() && session.recorder.ticks() < 5000) {
    }
    ASSERT_TRUE(session.game.Ended()) << atQuestion;
    ASSERT_FALSE(session.kept.empty());
    EXPECT_EQ(session.kept, session.recorder.Text()) << "nothing is noted after the end";
    const VerifyResult result = VerifyReplay(Read(session.kept));
    EXPECT_TRUE(result.matches) << (atQuestion ? "at the question: " : "behind a foul: ")
                                << result.mismatch;
  }
}

// A game on a platform with no window, recorded.
struct HeadlessSession {
  HeadlessSession() : recorder(platform), game(recorder, random), selection(game.state, view) {
    platform.SetSelection(&selection);
    recorder.Attach(game, selection);
  }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i)
      recorder.Tick();
  }
  HeadlessPlatform platform;
  Recorder recorder;
  MtRandom random;
  Game game;
  FixedSelectionView view;
  PlayerSelection selection;
};

TEST(Replay, ASpeedChangeIsPlayedBackFromTheTickItCameBefore) {
  HeadlessSession session;
  session.recorder.SetSpeed(Speed::Classic);
  session.recorder.Load();
  session.recorder.KeyPress(13);
  session.Ticks(3);
  // Changes between two ticks count as the last of them.
  session.recorder.SetSpeed(Speed::Fast);
  session.recorder.SetSpeed(Speed::Classic);
  session.recorder.SetSpeed(Speed::Fast);
  session.Ticks(2);
  session.recorder.SetSpeed(Speed::Classic);
  session.Ticks(1);
  const std::string text = session.recorder.Text();
  EXPECT_NE(text.find("\nspeed classic\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n3 speed fast\n5 speed classic\nend 6 "), std::string::npos) << text;

  const Replay replay = Read(text);
  HeadlessPlatform platform;
  Player player(platform, replay);
  MtRandom random;
  Game game(player, random);
  FixedSelectionView view;
  PlayerSelection selection(game.state, view);
  platform.SetSelection(&selection);
  player.Attach(game, selection);
  player.Load();
  player.DeliverDue();
  std::string speeds;
  while (player.TickDue()) {
    speeds += player.speed() == Speed::Fast ? 'F' : 'C';
    player.Tick();
  }
  EXPECT_EQ(speeds, "CCCFFC");
  EXPECT_TRUE(player.Matches()) << player.Mismatch();
}

TEST(Replay, StateHashCoversEveryFieldButTheCopyResult) {
  GameState state;
  const std::uint64_t zero = StateHash(state);
  std::uint64_t zeros = 0xcbf29ce484222325ull;  // FNV-1a 64 of two zero bytes per field
  for (std::size_t i = 0; i < 2 * kStateFields.size(); ++i)
    zeros *= 0x100000001b3ull;
  EXPECT_EQ(zero, zeros);
  state.lastBlitResult = 1;
  EXPECT_EQ(StateHash(state), zero);
  for (const StateField& f : kStateFields) {
    GameState changed;
    changed.*f.field = 256;  // the high byte counts too
    EXPECT_NE(StateHash(changed), zero) << f.name;
  }
  // Where a value stands counts, not only what it is.
  GameState first, last;
  first.p1X = 1;
  last.shotChance = 1;
  EXPECT_NE(StateHash(first), StateHash(last));

  Surface surface{2, 1, {0x00010203u, 0x00FFFFFFu}};
  // FNV-1a 64 of the bytes 03 02 01 00 ff ff ff 00.
  std::uint64_t expected = 0xcbf29ce484222325ull;
  for (const unsigned byte : {0x03u, 0x02u, 0x01u, 0x00u, 0xFFu, 0xFFu, 0xFFu, 0x00u}) {
    expected = (expected ^ byte) * 0x100000001b3ull;
  }
  EXPECT_EQ(FrameHash(surface), expected);
}

std::string Header() {
  return "tandemhoop-replay 1\nseed 7\nversion 1.0\nspeed classic\ncomputer original\n";
}

TEST(ReplayReader, NamesTheLineAndWhatIsWrong) {
  const std::string end = "end 3 score 0 0 hash 0123456789abcdef\n";
  struct Case {
    std::string text;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"", "line 1: the file is empty"},
      {"tandemhoop-replay 2\n", "line 1: replay format 2 is newer"},
      {"hello\n", "line 1: not a tandemhoop replay"},
      {"tandemhoop-replay 1\nseed -1\n", "line 2: expected \"seed N\""},
      {"tandemhoop-replay 1\nseed 4294967296\n", "line 2:"},
      {"tandemhoop-replay 1\nseed 07\n", "line 2:"},
      {"tandemhoop-replay 1\nseed 7\nversion\n", "line 3: expected \"version V\""},
      {"tandemhoop-replay 1\nseed 7\nversion 1.0\nspeed turbo\n", "line 4: expected \"speed"},
      {"tandemhoop-replay 1\nseed 7\nversion 1.0\nspeed fast\ncomputer hard\n", "line 5:"},
      {"tandemhoop-replay 1\nseed 7\n", "line 3: the header stops here"},
      {Header(), "line 6: the replay stops without its end line"},
      {Header() + "0 down 37 0\n1 up 37", "line 7: the last line is not finished"},
      {Header() + "0 down 37 0\n" + end.substr(0, 20), "line 7: the last line is not finished"},
      {Header() + "0 jump 37 0\n" + end, "line 6: unknown event \"jump\""},
      {Header() + "0 down 37\n" + end, "line 6: down takes a key code and a shift state"},
      {Header() + "0 down 65536 0\n" + end, "line 6: a key code must be"},
      {Header() + "0 up 37 8\n" + end, "line 6: a shift state must be"},
      {Header() + "0 press\n" + end, "line 6: press takes one character code"},
      {Header() + "0 click Label9\n" + end, "line 6: unknown control \"Label9\""},
      {Header() + "0 answer no\n" + end, "line 6: an answer outside a box"},
      {Header() + "0 box 1 answer maybe\n" + end, "line 6: answer takes yes or no"},
      {Header() + "0 level hard\n" + end, "line 6: level takes original, medium, easy or beginner"},
      {Header() + "0 speed turbo\n" + end, "line 6: speed takes classic or fast"},
      {Header() + "0 box 0 up 37 0\n" + end, "line 6: a box number must be"},
      {Header() + "0 box 2 up 37 0\n0 box 1 up 37 0\n" + end, "line 7: box 1 comes after box 2"},
      {Header() + "0 box 1 answer no\n0 box 1 up 37 0\n" + end, "line 7: an event in box 1 after"},
      {Header() + "2 down 37 0\n1 up 37 0\n" + end, "line 7: tick 1 comes before"},
      {Header() + "0 down  37 0\n" + end, "line 6: fields must be separated by single spaces"},
      {Header() + "0 down 37 0 \n" + end, "line 6: fields must be separated"},
      {Header() + "0 down 37 0\tx\n" + end, "line 6: holds a character that is not printable"},
      {Header() + "0 down 1 2 3 4 5 6 7 8 9\n" + end, "line 6: more fields"},
      {Header() + std::string(300, '1') + "\n" + end, "line 6: longer than any replay line"},
      {Header() + "20000001 press 1\n" + end, "line 6: expected an event"},
      {Header() + "5 press 1\n" + end, "line 7: the end tick 3 comes before the last event's (5)"},
      {Header() + "end 3 score 0 0 hash 0123456789ABCDEF\n", "line 6: the hash must be 16"},
      {Header() + "end 3 score 0 x hash 0123456789abcdef\n", "line 6: a score must be"},
      {Header() + "end 3 score 0 0\n", "line 6: expected \"end TICK score P1 P2 hash HASH\""},
      {Header() + end + "4 press 1\n", "line 7: comes after the end line"},
  };
  for (const Case& c : cases) {
    Replay replay;
    std::string error;
    EXPECT_FALSE(ReadReplay(c.text, replay, error)) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << "got: " << error << "\nfor: " << c.text;
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }

  Replay replay;
  std::string error;
  EXPECT_FALSE(ReadReplay(std::string(kMaxReplayBytes + 1, 'x'), replay, error));
  EXPECT_NE(error.find("larger than any replay"), std::string::npos);

  // What the writer writes, and CR LF line ends, are read.
  ASSERT_TRUE(ReadReplay(Header() + "0 box 1 up 37 4\n0 box 1 answer yes\n" + end, replay, error))
      << error;
  ASSERT_EQ(replay.events.size(), 2u);
  EXPECT_EQ(replay.events[0].box, 1);
  EXPECT_EQ(replay.events[0].shift, 4);
  EXPECT_EQ(replay.events[1].kind, ReplayEventKind::Answer);
  EXPECT_EQ(replay.events[1].code, 1);
  EXPECT_EQ(replay.end.hash, 0x0123456789abcdefull);
  EXPECT_TRUE(
      ReadReplay("tandemhoop-replay 1\r\nseed 7\r\nversion 1.0\r\nspeed fast\r\n"
                 "computer easy\r\nend 0 score -1 4 hash 0000000000000000\r\n",
                 replay, error))
      << error;
  EXPECT_EQ(replay.header.speed, Speed::Fast);
  EXPECT_EQ(replay.header.level, ComputerLevel::Easy);
  EXPECT_EQ(replay.end.p1Score, -1);
}

}  // namespace
}  // namespace tandemhoop::testing
