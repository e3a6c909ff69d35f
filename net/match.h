#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/mt_random.h"
#include "game/platform.h"
#include "game/replay.h"
#include "game/speed.h"
#include "net/wire.h"
#include "screens/selection.h"

// One online match as both machines (and the server) play it from the same agreement and the
// same held sets: the game, the key events made from the held sets, and the stoppages that
// stand in for the message boxes. Deterministic; no clock, no network.
namespace tandemhoop::net {

// All a match depends on besides the inputs.
struct Agreement {
  std::uint32_t seed = 0;
  Speed speed = Speed::Classic;
  std::uint8_t p1Pick = 1;  // 1..4, different
  std::uint8_t p2Pick = 2;
};

// The seed commitment: SHA-256 of a fixed label and the nonce.
Digest CommitmentOf(const Nonce& nonce);
// The seed from both nonces, the host's first: neither side alone can choose it.
std::uint32_t SeedOf(const Nonce& host, const Nonce& guest);

// Auto-repeat of a held key online, in ticks, the same on both machines: a desktop's half a
// second before the first repeat, then as often as the speed allows up to about 30 a second.
struct KeyRepeat {
  int delayTicks;
  int intervalTicks;
};
constexpr KeyRepeat RepeatOf(Speed speed) {
  return speed == Speed::Classic ? KeyRepeat{9, 1} : KeyRepeat{32, 2};
}
// How long a foul or a win message stops play online: about a second and a half.
constexpr int StoppageTicks(Speed speed) {
  return speed == Speed::Classic ? 27 : 96;
}

// What the game asks of the window system during an online match, between the game and the
// front end's platform: the seed is the agreed one, the selection rules load when the screen is
// first shown (the front end shows a screen of its own), a message box becomes a note of its
// text, the program never ends and the timer is the match's. Drawing and sound go on to the
// front end only when the match says so: a tick run again draws nothing, and of its sound cues
// only those its first run did not make are heard.
class MatchPlatform final : public PassingPlatform {
 public:
  // How many times each sound was cued in one tick.
  using Cues = std::array<std::uint8_t, kSoundCount>;

  MatchPlatform(Platform& inner, PlayerSelection& selection)
      : PassingPlatform(inner), selection_(selection) {}

  void SetSeed(std::uint32_t seed) { seed_ = seed; }
  void SetDrawing(bool drawing) { drawing_ = drawing; }
  // Before a tick: the cues already heard of it (none on its first run), and whether any may be
  // heard at all.
  void BeginTick(const Cues& heard, bool sound);
  const Cues& heard() const { return heard_; }
  // The last message shown since ForgetMessage, empty when none.
  std::string_view message() const { return {message_.data(), messageLength_}; }
  void ForgetMessage() { messageLength_ = 0; }

  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override { timerEnabled_ = enabled; }
  bool TimerEnabled() const override { return timerEnabled_; }
  void CentreCourtWindow() override {}
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view) override { return false; }
  void EndProgram() override {}
  std::uint32_t SecondsSinceMidnight() const override { return seed_; }
  void PlaySound(Sound sound) override;

 private:
  PlayerSelection& selection_;
  std::uint32_t seed_ = 0;
  bool drawing_ = false;
  bool sound_ = false;
  bool timerEnabled_ = false;
  bool selectionLoaded_ = false;
  Cues heard_{};
  Cues cued_{};
  std::array<char, 32> message_{};
  std::size_t messageLength_ = 0;
};

// Where a match stands besides its game: kept beside the game's snapshot to go back to a tick.
struct MatchState {
  std::uint32_t tick = 0;       // ticks of the match run
  std::uint32_t gameTicks = 0;  // of them (and the preamble's), those the game's timer ran
  std::array<Held, 2> held{};   // each side's held set at the last tick
  // Each side's repeating key (an action's bit number, -1 for none) and the ticks to its next
  // repeat.
  std::array<std::int8_t, 2> repeatKey{-1, -1};
  std::array<std::int16_t, 2> repeatIn{};
  std::int16_t stoppageLeft = 0;  // ticks of the stoppage still to come
  std::array<char, 32> stoppageText{};
  std::uint8_t stoppageTextLength = 0;
  std::uint8_t winner = 0;  // 1 or 2 once the game is won
  bool over = false;        // won, and the win's stoppage has passed
};

// What one tick of a match did.
struct StepEvents {
  static constexpr int kMax = 24;  // ten ups, ten downs, two repeats, and room
  std::array<ReplayEvent, kMax> events{};
  int count = 0;
  bool gameTick = false;       // the game's timer ran (not a stoppage)
  bool stoppageBegan = false;  // a foul or win message was shown
  bool won = false;            // the game was won in this tick
};

// The kind of hash check a tick gets, if any: the winning tick, a tick that showed a message,
// every 32nd.
bool CheckDue(std::uint32_t tick, const StepEvents& step, CheckKind& kind);

// One online match: the game on its own random source and selection rules, behind a
// MatchPlatform, driven tick by tick by both sides' held sets.
class Match {
 public:
  // The game draws its random values from `random` when one is given (it must be able to go
  // back), from its own Mersenne Twister otherwise.
  explicit Match(Platform& frontEnd, RandomSource* random = nullptr);

  // Start-up and the selection screen from the agreement alone; their events go to `log`.
  void Begin(const Agreement& agreement, EventLog& log);
  // One tick of the match with both sides' held sets.
  void Step(Held p1, Held p2, StepEvents& out);

  // Everything a tick depends on, and back to it.
  struct Snapshot {
    GameSnapshot game;
    MatchState match;
  };
  void Save(Snapshot& into) const;
  void Restore(const Snapshot& from);

  const MatchState& state() const { return state_; }
  std::string_view stoppageText() const {
    return {state_.stoppageText.data(), state_.stoppageTextLength};
  }
  const Agreement& agreement() const { return agreement_; }
  Game& game() { return game_; }
  const Game& game() const { return game_; }
  RandomSource& random() { return gameRandom_; }
  MatchPlatform& platform() { return platform_; }

  // The replay of what has been played: its header, and its last line from the game as it
  // stands.
  ReplayHeader Header() const;
  ReplayEnd End() const;

 private:
  class NoView final : public SelectionView {
   public:
    void SetText1(std::string_view) override {}
    void SetText2(std::string_view) override {}
    void HideScreen() override {}
  };
  void Key(bool down, int side, int action, StepEvents& out);

  NoView view_;
  MtRandom random_;
  RandomSource& gameRandom_;
  MatchPlatform platform_;  // holds the selection rules, built after it: only kept, not used
  Game game_;
  PlayerSelection selection_;
  MatchState state_;
  Agreement agreement_;
  KeyRepeat repeat_{};
};

// The replay the server writes of a match: the held sets of both sides, tick by tick from the
// first tick of play, for as many ticks as both sides' are known (or until the game is won).
std::string BuildReplay(const Agreement& agreement, std::span<const Held> p1,
                        std::span<const Held> p2);

}  // namespace tandemhoop::net
