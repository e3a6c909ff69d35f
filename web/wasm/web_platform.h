#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "game/platform.h"
#include "screens/frame_changes.h"
#include "screens/picture_set.h"
#include "screens/raster.h"
#include "screens/selection.h"
#include "sound/mixer.h"

namespace tandemhoop::web {

// The window system of the page, seen from the core: the court's surface and every picture live
// here in the module's memory, so every copy is made by the same raster as on the desktop; what
// only the page can do (text, the timer, the selection screen) is asked of it through the
// imported functions. The message boxes are not asked here: the deferred boxes in front keep them
// waiting for the page's answer.
class WebPlatform final : public Platform, public SelectionView {
 public:
  static constexpr int kWidth = 727;
  static constexpr int kHeight = 542;

  WebPlatform();

  // The selection rules, which need the game's state; set once the game exists.
  void Attach(PlayerSelection& selection) { selection_ = &selection; }
  // As a fresh page has it, for another game: the window white, the selection screen not yet
  // loaded, the timer stopped. The pictures and the sounds stay.
  void Reset();

  // Platform
  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  int DrawingWidth() const override { return kWidth; }
  int DrawingHeight() const override { return kHeight; }
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override;
  bool TimerEnabled() const override { return timerEnabled_; }
  void CentreCourtWindow() override {}  // the page keeps the court where the page puts it
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view /*text*/) override {}
  bool AskYesNo(std::string_view /*text*/) override { return false; }
  void EndProgram() override;
  std::uint32_t SecondsSinceMidnight() const override;
  void PlaySound(Sound sound) override { mixer_.Play(sound); }

  // SelectionView
  void SetText1(std::string_view text) override;
  void SetText2(std::string_view text) override;
  void HideScreen() override;

  // The pictures, in catalogue order; the page decodes each PNG into its storage.
  static std::size_t PictureCount();
  static PictureRef PictureAt(std::size_t i);
  Surface* PictureStorage(std::size_t i);
  // The storage holds the decoded bytes, R, G, B, A (or B, G, R, A when `blueFirst`); turns
  // them into the raster's 0x00RRGGBB.
  void PictureDecoded(std::size_t i, bool blueFirst);

  // The sounds: the page puts each WAV file's bytes into the storage, then announces it; false
  // when the file is not one of the game's sounds.
  std::uint8_t* SoundFileStorage(int sound, std::size_t size);
  bool SoundFileLoaded(int sound);
  // The next `count` samples of the mix (mono, 48 kHz), at most kMaxRender at a time.
  static constexpr std::size_t kMaxRender = 16384;
  const std::int16_t* RenderSound(std::size_t count);
  Mixer& mixer() { return mixer_; }

  const Surface& surface() const { return surface_; }
  // The surface as RGBA bytes for the canvas; only the areas changed since the last call are
  // converted again, and FrameChanged tells which of them came out different: their number, then
  // x, y, width, height of each.
  const std::uint8_t* FrameRgba();
  const std::int32_t* FrameChanged() const { return changed_.data(); }

 private:
  Surface surface_;
  PictureSet pictures_;
  std::vector<std::uint32_t> rgba_;
  FrameChanges changes_{kWidth, kHeight};
  std::array<std::int32_t, 1 + 4 * ChangedAreas::kMax> changed_{};
  Mixer mixer_;
  std::vector<std::uint8_t> soundFiles_[kSoundCount];
  std::vector<std::int16_t> sounds_[kSoundCount];
  std::vector<std::int16_t> rendered_;
  PlayerSelection* selection_ = nullptr;
  bool selectionLoaded_ = false;
  bool timerEnabled_ = false;
  int textX_ = 0;
  int textY_ = 0;
};

}  // namespace tandemhoop::web
