#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "game/platform.h"
#include "screens/raster.h"
#include "screens/selection.h"
#include "tests/support/picture_set.h"

namespace tandemhoop::testing {

// Told about what the game asks of the window system, at the moment it asks. Message boxes
// are answered at once: OnAsk's result is the answer to the quit question.
class PlatformObserver {
 public:
  virtual ~PlatformObserver() = default;
  virtual void OnShowSelection() {}
  virtual void OnMessage(std::string_view /*text*/) {}
  virtual bool OnAsk(std::string_view /*text*/) { return false; }
  virtual void OnEndProgram() {}
};

// Loads the selection rules the first time the screen is shown, as the real screen does.
class SelectionLoader final : public PlatformObserver {
 public:
  explicit SelectionLoader(PlayerSelection& selection) : selection_(selection) {}
  void OnShowSelection() override {
    if (!loaded_) selection_.Form_Load();
    loaded_ = true;
  }

 private:
  PlayerSelection& selection_;
  bool loaded_ = false;
};

// A platform that really draws: every copy goes through the game's raster into a frame of the
// drawing area's size, from a set of pictures. It allocates nothing after construction, so it
// can stand in for the window system where allocations are counted, and it checks each copy:
// the picture must exist and be copied at its own size (the court at the drawing area's), and,
// every `verifyEvery` copies, the frame must have changed exactly inside the clipped rectangle
// and exactly as the raster operation says.
class RasterPlatform : public Platform {
 public:
  static constexpr int kWidth = 727;
  static constexpr int kHeight = 542;

  explicit RasterPlatform(const PictureSet& pictures);

  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  int DrawingWidth() const override { return kWidth; }
  int DrawingHeight() const override { return kHeight; }
  void SetTextPosition(int /*x*/, int /*y*/) override {}
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override { timerEnabled_ = enabled; }
  bool TimerEnabled() const override { return timerEnabled_; }
  void CentreCourtWindow() override {}
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void EndProgram() override;
  std::uint32_t SecondsSinceMidnight() const override { return secondsSinceMidnight; }

  const Surface& frame() const { return frame_; }

  // A fresh run of the program: the timer stopped, the window white.
  void Reset();

  PlatformObserver* observer = nullptr;
  std::uint32_t secondsSinceMidnight = 0;
  int verifyEvery = 0;  // 0: never compare pixels
  bool draw = true;     // false: check and record the copies but leave the frame alone

  // The copies since the last ClearTickCopies(), for looking at what one tick drew.
  struct Copy {
    PictureRef source;
    RasterOp op;
    int x;
    int y;
  };
  static constexpr int kMaxTickCopies = 64;
  void ClearTickCopies() { tickCopyCount_ = 0; }
  int tickCopyCount() const { return tickCopyCount_; }
  const Copy& tickCopy(int i) const { return tickCopies_[static_cast<std::size_t>(i)]; }

  long long copies = 0;
  long long verifiedCopies = 0;
  long long prints = 0;
  long long messages = 0;

  // The first fault seen, described; faults counts all of them.
  long long faults = 0;
  const char* firstFault() const { return faults == 0 ? "" : firstFault_.data(); }

 private:
  void Fault(const char* format, ...);
  void Verify(int x, int y, int width, int height, const Surface& source, RasterOp op);

  const PictureSet& pictures_;
  Surface frame_;
  Surface before_;  // the frame before a verified copy
  bool timerEnabled_ = false;
  std::array<Copy, kMaxTickCopies> tickCopies_{};
  int tickCopyCount_ = 0;
  std::array<char, 240> firstFault_{};
};

}  // namespace tandemhoop::testing
