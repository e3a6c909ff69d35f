#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/replay.h"
#include "screens/selection.h"

namespace tandemhoop {

// For a front end that cannot wait inside a call for the player to answer a message box: a page
// in a browser shows nothing until its script returns. It stands between the recorder (or the
// player of a replay) and the real platform, and the front end makes its inputs here.
//
// A call that opens a box goes on to its end with nothing more drawn, printed, heard, shown or
// noted, and is then taken back: the game, its random source, the recording and the timer are
// as they were before the call, and the picture is as it stood when the box opened. The box
// waits. Key releases that come meanwhile wait inside it. Once it is answered the call runs
// again from its start: the same course up to the box, which now takes those releases and gives
// the player's answer, exactly as a box that holds the program would have; a second box in the
// same call waits the same way. The game is deterministic, so what stands in the end (state,
// pictures, sounds heard once, the recording) is what a holding box gives.
class DeferredBoxes final : public PassingPlatform, public SelectionView {
 public:
  // No rule opens more than a few boxes in one call; the releases are those of held keys.
  static constexpr std::size_t kMaxBoxes = 16;
  static constexpr std::size_t kMaxReleases = 128;

  // `view` is the selection screen the rules talk to: its texts, too, wait for the course that
  // stands.
  DeferredBoxes(Platform& inner, SelectionView& view);

  // What the inputs go to: a game played through a recorder, or a replay played back. The game
  // was built on the recorder or the player, and they on this; its random source must be able to
  // go back (without that, a box is passed on to the platform and the call cannot wait for it).
  void Attach(Game& game, Recorder& recorder);
  void Attach(Game& game, Player& player);

  // The inputs, in place of the recorder's; a replay takes Load and Tick only, the player feeds
  // in the rest. While a box waits, a key release waits inside it and everything else is refused.
  void Load();
  void Tick();
  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);
  void KeyPress(int keyAscii);
  void Click(SelectionClick click);
  // Rule from the next tick; chosen while a box waits, once the call it holds has run.
  void SetComputerLevel(ComputerLevel level);
  void SetSpeed(Speed speed);

  // The box that waits for its answer.
  bool BoxOpen() const { return open_; }
  bool BoxAsks() const { return asks_; }  // Yes and No, rather than OK
  std::string_view BoxText() const { return text_; }
  // OK (`yes` is then ignored) or the answer to the question: the call runs again, to its end or
  // to its next box.
  void Answer(bool yes);

  // Platform
  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override;
  void CentreCourtWindow() override;
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void EndProgram() override;
  void PlaySound(Sound sound) override;

  // SelectionView
  void SetText1(std::string_view text) override;
  void SetText2(std::string_view text) override;
  void HideScreen() override;

 private:
  enum class Input : std::uint8_t { Load, Tick, KeyDown, KeyUp, KeyPress, Click };
  struct Call {
    Input input = Input::Tick;
    int code = 0;
    int shift = 0;
  };
  struct Release {
    int code = 0;
    int shift = 0;
  };
  struct Answered {
    bool yes = false;
    std::size_t firstRelease = 0;
    std::size_t releases = 0;
  };

  void Attach(Game& game);
  void Run(const Call& call);
  void Execute();
  void Dispatch();
  bool Box(std::string_view text, bool asks);
  // Whether what the call does now is shown: not on a course that will be taken back.
  bool Standing() const { return !discarding_; }

  SelectionView& view_;
  Game* game_ = nullptr;
  Recorder* recorder_ = nullptr;
  Player* player_ = nullptr;

  // The call in hand and where everything stood before it.
  Call call_;
  bool saved_ = false;
  GameSnapshot snapshot_;
  Recorder::Mark recorderMark_;
  Player::Mark playerMark_;
  bool timerEnabled_ = false;

  // The boxes of the call answered so far, the releases that came inside them, and the one open.
  std::array<Answered, kMaxBoxes> answered_{};
  std::size_t answeredCount_ = 0;
  std::array<Release, kMaxReleases> releases_{};
  std::size_t releaseCount_ = 0;
  bool open_ = false;
  bool asks_ = false;
  std::string text_;

  // The run in progress: the boxes and sound cues met so far, and whether it is past a box that
  // waits. Cues are counted across runs so that each is heard once.
  std::size_t boxesRun_ = 0;
  std::size_t cuesRun_ = 0;
  std::size_t cuesHeard_ = 0;
  bool discarding_ = false;

  bool levelPending_ = false;
  ComputerLevel pendingLevel_ = ComputerLevel::Original;
  bool speedPending_ = false;
  Speed pendingSpeed_ = Speed::Classic;
};

}  // namespace tandemhoop
