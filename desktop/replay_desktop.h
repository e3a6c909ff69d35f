#pragma once

#include <QString>
#include <QTimer>
#include <string>

#include "game/replay.h"

namespace tandemhoop {

class CourtWindow;
class DesktopPlatform;

// Plays a replay on the real court window: the desktop's schedule runs the recorded ticks while
// the game's timer is on, at the speed the recording had at each tick; what came while the
// timer was off (the title, a pause) is fed in after a short wait, so it can be seen.
class ReplayDriver {
 public:
  // How long a replay lingers on the title, and on the game frozen after a pause, before the
  // next recorded key.
  static constexpr int kPauseMilliseconds = 1000;

  ReplayDriver(Player& player, DesktopPlatform& platform,
               int pauseMilliseconds = kPauseMilliseconds);
  void Start();
  // What the platform's schedule runs for a tick.
  void Tick();
  bool finished() const { return finished_; }

 private:
  void Pump();
  void FollowSpeed();
  void Continue();

  Player& player_;
  DesktopPlatform& platform_;
  int pauseMilliseconds_;
  QTimer pump_;
  bool finished_ = false;
};

// The recorder starts at the platform's speed and notes every change (from the menu).
void RecordSpeedChanges(DesktopPlatform& platform, Recorder& recorder);

// Where finished games are kept: the game's data folder, replays/.
QString ReplayFolder();

// Writes a replay; on failure `error` says why, in one line.
bool WriteReplayFile(const QString& path, const std::string& text, QString* error);
// Whether a replay can be written to `path` (asked before a game, so that --record to a place
// that cannot take it is refused at once rather than after the game); `error` says why not.
bool CanWriteReplayTo(const QString& path, QString* error);

// Keeps a finished game in the replay folder under the date and time, and only the newest
// kReplaysKept of the replays kept there. Returns the file written, or an empty string.
inline constexpr int kReplaysKept = 50;
QString KeepReplay(const std::string& text, QString* error);

// "Save replay as…" and "Open replay…" in the court window's context menu. A replay opened
// there plays in a window of its own, and the game waits, held, until that window closes.
void AddReplayMenu(CourtWindow& court, const Recorder& recorder);

// Shows a replay in the court window at the speed it was played, with its message boxes closing
// themselves; Esc or closing the window stops it. Runs the event loop; returns the exit code.
int ShowReplay(const Replay& replay);

}  // namespace tandemhoop
