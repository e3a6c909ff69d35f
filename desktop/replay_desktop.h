#pragma once

#include <QString>
#include <string>

#include "game/replay.h"

namespace tandemhoop {

class CourtWindow;

// Where finished games are kept: the game's data folder, replays/.
QString ReplayFolder();

// Writes a replay; on failure `error` says why, in one line.
bool WriteReplayFile(const QString& path, const std::string& text, QString* error);

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
