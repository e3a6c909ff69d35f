#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "game/platform.h"
#include "game/speed.h"
#include "game/state.h"
#include "screens/selection.h"

namespace tandemhoop {

// A replay is the seed the game started from and every input it received, each with the tick it
// came before; the core is deterministic, so that is the whole game. The file is text:
//
//   tandemhoop-replay 1
//   seed 41234
//   version 1.0
//   speed classic
//   computer original
//   0 down 13 0
//   0 press 13
//   1 click Label6
//   57 box 1 up 39 0        (came while the first message box of tick 57 was open)
//   88 press 27
//   88 box 1 answer no      (the quit question's answer)
//   90 level easy           (the computer's level changed from here on)
//   95 speed fast           (the ticks came at the other speed from here on)
//   ...
//   end 1234 score 4 2 hash 0123456789abcdef
//
// An event's number is the number of ticks started before it: events between ticks carry the
// number of ticks run so far, events inside a box opened by a tick carry that tick's number.
// Boxes are counted from 1 from each tick on, so that events are put back in the same box.

// The game's version, from the build.
std::string_view GameVersion();

// The twelve click handlers of the selection screen.
enum class SelectionClick : std::uint8_t {
  Label6,
  Picture26,
  Label3,
  Picture34,
  Label4,
  Picture42,
  Label5,
  Picture50,
  Picture1,
  Picture2,
  Command3,
  Command4,
};
inline constexpr int kSelectionClickCount = 12;
std::string_view ClickName(SelectionClick click);
void DispatchClick(PlayerSelection& selection, SelectionClick click);

// Level: the computer's level changed (from the menu, in the middle of a game). Speed: the
// front end's tick rate changed; the game itself never sees it, but a replay is watched at the
// speed it was played.
enum class ReplayEventKind : std::uint8_t { KeyDown, KeyUp, KeyPress, Click, Answer, Level, Speed };

struct ReplayEvent {
  std::uint32_t tick = 0;
  ReplayEventKind kind = ReplayEventKind::KeyDown;
  std::uint16_t box = 0;    // 0: between handlers; n: inside the n-th box since the tick began
  std::uint16_t code = 0;   // key code, character, SelectionClick, 1 Yes / 0 No, ComputerLevel,
                            // Speed
  std::uint16_t shift = 0;  // key-down and key-up: 1 Shift, 2 Ctrl, 4 Alt
};

// The events in order, kept in fixed-size chunks: appending allocates only when a chunk is full,
// never per event.
class EventLog {
 public:
  static constexpr std::size_t kChunkEvents = 4096;

  EventLog();
  EventLog(EventLog&&) noexcept = default;
  EventLog& operator=(EventLog&&) noexcept = default;

  void Append(const ReplayEvent& event);
  void Clear();
  // Forgets the events after the first `size` (keeping their room).
  void Truncate(std::size_t size);
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::size_t chunkCount() const { return chunks_.size(); }
  const ReplayEvent& operator[](std::size_t i) const {
    return (*chunks_[i / kChunkEvents])[i % kChunkEvents];
  }

 private:
  using Chunk = std::array<ReplayEvent, kChunkEvents>;
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::size_t size_ = 0;
};

struct ReplayHeader {
  std::uint32_t seed = 0;
  std::string version;
  Speed speed = Speed::Classic;
  ComputerLevel level = ComputerLevel::Original;
};

struct ReplayEnd {
  std::uint32_t tick = 0;
  std::int16_t p1Score = 0;
  std::int16_t p2Score = 0;
  std::uint64_t hash = 0;
};

struct Replay {
  ReplayHeader header;
  EventLog events;
  ReplayEnd end;
};

// What a reader accepts, so that no file makes it use memory or time without bound.
inline constexpr std::size_t kMaxReplayBytes = 8u << 20;
inline constexpr std::uint32_t kMaxReplayTicks = 20'000'000;  // over three days at 64 a second

std::string WriteReplay(const ReplayHeader& header, const EventLog& events, const ReplayEnd& end);

// Reads a whole replay. On failure returns false and says, in one line, which line is wrong and
// how ("line 7: ..."); a file without its end line is never taken for a whole replay.
bool ReadReplay(std::string_view text, Replay& replay, std::string& error);
// The same from a file, refusing one larger than kMaxReplayBytes once that much is read (a
// larger file is never held whole).
bool LoadReplayFile(const std::string& path, Replay& replay, std::string& error);

// A platform that passes everything on to another: the recorder and the player stand between
// the game and the real platform this way and override only what they listen to.
class PassingPlatform : public Platform {
 public:
  explicit PassingPlatform(Platform& inner) : inner_(inner) {}

  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source,
                      RasterOp op) override {
    return inner_.BitBlt(x, y, width, height, source, op);
  }
  int DrawingWidth() const override { return inner_.DrawingWidth(); }
  int DrawingHeight() const override { return inner_.DrawingHeight(); }
  void SetTextPosition(int x, int y) override { inner_.SetTextPosition(x, y); }
  void Print(std::string_view line) override { inner_.Print(line); }
  void SetTimerEnabled(bool enabled) override { inner_.SetTimerEnabled(enabled); }
  bool TimerEnabled() const override { return inner_.TimerEnabled(); }
  void CentreCourtWindow() override { inner_.CentreCourtWindow(); }
  void ShowSelectionScreen() override { inner_.ShowSelectionScreen(); }
  void ShowMessage(std::string_view text) override { inner_.ShowMessage(text); }
  bool AskYesNo(std::string_view text) override { return inner_.AskYesNo(text); }
  void EndProgram() override { inner_.EndProgram(); }
  std::uint32_t SecondsSinceMidnight() const override { return inner_.SecondsSinceMidnight(); }
  void PlaySound(Sound sound) override { inner_.PlaySound(sound); }

 protected:
  Platform& inner_;
};

// Stands between the game and the real platform and keeps the replay of what the desktop feeds
// in: the front end calls these input functions instead of the game's and the selection
// screen's handlers. Everything the platform is asked is passed on; the seed and the answers to
// the quit question are noted on the way.
class Recorder final : public PassingPlatform {
 public:
  explicit Recorder(Platform& inner);

  // The game and the selection rules the inputs go to. The game must have been built on this
  // recorder as its platform.
  void Attach(Game& game, PlayerSelection& selection);
  // The speed the ticks come at: before Load it is the header's; a change after that is noted
  // before the first tick it rules, like a change of the computer's level.
  void SetSpeed(Speed speed);

  // The inputs, in place of the handlers of the same names.
  void Load();  // Form_Load
  void Tick();  // Timer1_Timer
  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);
  void KeyPress(int keyAscii);
  void Click(SelectionClick click);

  // Called once, when the game ends (a win, or Yes to the quit question), after the input that
  // ended it has returned.
  void SetEndHandler(std::function<void()> onEnd) { onEnd_ = std::move(onEnd); }
  // Whether play itself began (the selection screen was left), i.e. whether the replay shows a
  // game and not only the title and the selection screen.
  bool PlayStarted() const { return playStarted_; }
  std::uint32_t ticks() const { return ticks_; }
  const EventLog& events() const { return events_; }
  const ReplayHeader& header() const { return header_; }
  // The replay up to now, ending with the game as it stands.
  std::string Text() const;

  // Where the recording stands, and back to it: a front end that cannot wait inside a call for
  // its message box runs the call again once the box is answered, and first takes back what the
  // earlier run noted. Everything a call can change is here.
  struct Mark {
    std::size_t events = 0;
    std::uint32_t ticks = 0;
    std::uint16_t boxesThisTick = 0;
    ComputerLevel level = ComputerLevel::Original;
    Speed notedSpeed = Speed::Classic;
    bool loaded = false;
    bool playStarted = false;
    bool endReported = false;
  };
  Mark Position() const;
  void Rewind(const Mark& mark);

  // Platform
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::uint32_t SecondsSinceMidnight() const override;

 private:
  bool Accepting() const;
  void Note(ReplayEventKind kind, int code, int shift);
  void AfterInput();

  Game* game_ = nullptr;
  PlayerSelection* selection_ = nullptr;
  mutable ReplayHeader header_;  // the seed is noted when the game asks for it
  EventLog events_;
  std::uint32_t ticks_ = 0;
  std::uint16_t boxesThisTick_ = 0;
  std::uint16_t openBox_ = 0;  // the box the platform is showing now, 0 for none
  ComputerLevel level_ = ComputerLevel::Original;
  Speed speed_ = Speed::Classic;
  Speed notedSpeed_ = Speed::Classic;
  bool loaded_ = false;
  int depth_ = 0;  // handlers running, one inside another's box
  bool playStarted_ = false;
  bool endReported_ = false;
  std::function<void()> onEnd_;
};

// Plays a replay back: stands between the game and a platform like the recorder, feeds the
// recorded inputs through the same handlers at the same ticks, answers the quit question from
// the replay and gives the game the recorded seed. It notes the first place where the game
// takes another course than the recording did (a box that does not open, a tick while the
// game's timer is off).
class Player final : public PassingPlatform {
 public:
  Player(Platform& inner, const Replay& replay);

  // The game must have been built on this player as its platform. Sets the recorded computer
  // level.
  void Attach(Game& game, PlayerSelection& selection);

  void Load();  // Form_Load
  // The inputs due before the next tick (those that came after the ticks run so far).
  void DeliverDue();
  // Whether inputs are waiting to be fed in before the next tick.
  bool EventsDue() const;
  // Whether another tick of the recording is to run.
  bool TickDue() const;
  // One tick, then the inputs that came after it.
  void Tick();
  // Plays to the end, as fast as it can.
  void RunToEnd();
  // Whether the recording has been played out (or the game ended).
  bool Finished() const;

  std::uint32_t ticks() const { return ticks_; }
  // The speed the next tick is to come at: the header's, then each recorded change from its
  // tick on. A front end that shows the replay ticks at this speed.
  Speed speed() const { return speed_; }
  // Empty while the game has followed the recording.
  const std::string& divergence() const { return divergence_; }
  // Whether the playback ended where the recording did: same ticks, same state.
  bool Matches() const;
  // One line on the outcome: where and how the playback went another way, or nothing.
  std::string Mismatch() const;
  // Open boxes: whether ShowMessage and AskYesNo are passed on to the platform (a window that
  // shows the replay) or kept from it (no window).
  void SetShowBoxes(bool show) { showBoxes_ = show; }

  // Where the playback stands, and back to it, as the recorder's Mark.
  struct Mark {
    std::size_t next = 0;
    std::uint32_t ticks = 0;
    std::uint16_t boxesThisTick = 0;
    Speed speed = Speed::Classic;
    bool diverged = false;
  };
  Mark Position() const;
  void Rewind(const Mark& mark);

  // Platform
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::uint32_t SecondsSinceMidnight() const override { return replay_.header.seed; }

 private:
  void Deliver(const ReplayEvent& event);
  void DeliverBox(std::uint16_t box);
  void Diverged(const char* what);

  const Replay& replay_;
  Game* game_ = nullptr;
  PlayerSelection* selection_ = nullptr;
  std::size_t next_ = 0;
  std::uint32_t ticks_ = 0;
  std::uint16_t boxesThisTick_ = 0;
  Speed speed_ = Speed::Classic;
  bool showBoxes_ = false;
  std::string divergence_;
};

// A platform with no window: the copies succeed and draw nothing, boxes close at once. Enough
// for the state, which is all a verification compares; the simulated player builds on it.
class HeadlessPlatform : public Platform {
 public:
  std::int32_t BitBlt(int, int, int, int, PictureRef, RasterOp) override { return 1; }
  int DrawingWidth() const override { return 727; }
  int DrawingHeight() const override { return 542; }
  void SetTextPosition(int, int) override {}
  void Print(std::string_view) override {}
  void SetTimerEnabled(bool enabled) override { timerEnabled_ = enabled; }
  bool TimerEnabled() const override { return timerEnabled_; }
  void CentreCourtWindow() override {}
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  void EndProgram() override {}

  // The selection rules to load the first time the screen is shown, as the real screen does.
  void SetSelection(PlayerSelection* selection) { selection_ = selection; }

 private:
  PlayerSelection* selection_ = nullptr;
  bool selectionLoaded_ = false;
  bool timerEnabled_ = false;
};

// Plays a replay with no window, as fast as it can.
struct VerifyResult {
  bool matches = false;
  std::uint32_t ticks = 0;
  std::int16_t p1Score = 0;
  std::int16_t p2Score = 0;
  bool twoPlayers = false;
  std::uint64_t hash = 0;
  std::string mismatch;  // one line, empty when it matches
};
VerifyResult VerifyReplay(const Replay& replay);

}  // namespace tandemhoop
