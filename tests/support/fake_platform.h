#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "game/platform.h"

namespace tandemhoop::testing {

// A platform that records everything the game asks of it. Copies succeed (return 1) unless the
// picture is listed in `missing`.
class FakePlatform : public Platform {
 public:
  struct Copy {
    int x, y, width, height;
    PictureRef source;
    RasterOp op;
    bool operator==(const Copy& other) const {
      return x == other.x && y == other.y && width == other.width && height == other.height &&
             source.form == other.source.form && source.index == other.source.index &&
             op == other.op;
    }
  };
  // Everything in the order it happened, as text, for tests of ordering:
  // "blit 2:12 and 10,20", "print ...", "message ...", "ask ...", "timer on", "select", "end" ...
  std::vector<std::string> events;
  std::vector<Copy> copies;
  std::vector<std::string> prints;
  std::vector<std::string> messages;   // ShowMessage texts
  std::vector<std::string> questions;  // AskYesNo texts
  std::vector<Sound> sounds;           // PlaySound cues, kept apart from events
  std::deque<bool> answers;            // answers to AskYesNo, front first; empty answers No
  std::vector<PictureRef> missing;
  bool timerEnabled = false;
  int textX = -1, textY = -1;
  int centred = 0;
  int selectionShown = 0;
  int ended = 0;
  std::uint32_t secondsSinceMidnight = 12345;
  // Called inside ShowMessage / ShowSelectionScreen, e.g. to check the state a box sees.
  std::function<void(const std::string&)> onMessage;
  std::function<void()> onShowSelection;

  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  int DrawingWidth() const override { return 727; }
  int DrawingHeight() const override { return 542; }
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override;
  bool TimerEnabled() const override { return timerEnabled; }
  void CentreCourtWindow() override;
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void EndProgram() override;
  std::uint32_t SecondsSinceMidnight() const override { return secondsSinceMidnight; }
  void PlaySound(Sound sound) override { sounds.push_back(sound); }

  // The sprite-sheet copies only (Form2), in order.
  std::vector<Copy> SpriteCopies() const;
  void Clear();  // forget what was recorded, keep the settings
};

// Shorthand for expected copies in tests.
inline FakePlatform::Copy SpriteCopy(int picture, int x, int y, int width, int height,
                                     RasterOp op) {
  return {x, y, width, height, PictureRef{Holder::Form2, static_cast<std::int16_t>(picture)}, op};
}

}  // namespace tandemhoop::testing
