#include "web/wasm/web_platform.h"

#include <algorithm>
#include <utility>

#include "screens/pictures.h"
#include "sound/wav.h"

// What the page provides. Strings are passed as a pointer and a length into this module's
// memory, Latin-1 like every text of the game.
#define TANDEMHOOP_IMPORT(name) __attribute__((import_module("tandemhoop"), import_name(name)))
extern "C" {
TANDEMHOOP_IMPORT("print") int PagePrint(int x, int y, const char* text, int length);
TANDEMHOOP_IMPORT("set_timer_enabled") void PageSetTimerEnabled(int enabled);
TANDEMHOOP_IMPORT("show_selection_screen") void PageShowSelectionScreen();
TANDEMHOOP_IMPORT("hide_selection_screen") void PageHideSelectionScreen();
TANDEMHOOP_IMPORT("set_text") void PageSetText(int box, const char* text, int length);
TANDEMHOOP_IMPORT("end_program") void PageEndProgram();
TANDEMHOOP_IMPORT("seconds_since_midnight") std::uint32_t PageSecondsSinceMidnight();
}

namespace tandemhoop::web {

namespace {

// The window background of the standard colour scheme: all that shows around the title art.
constexpr std::uint32_t kWindowBackground = 0x00FFFFFF;

// 0x00RRGGBB to the bytes R, G, B, 255, which read as one little-endian word are 0xFFBBGGRR.
// Returns whether any of them differs from what stood there.
bool ToRgba(const std::uint32_t* __restrict from, std::uint32_t* __restrict to, std::size_t count) {
  std::uint32_t differs = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t pixel = from[i];
    const std::uint32_t rgba =
        0xFF000000u | ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
    differs |= to[i] ^ rgba;
    to[i] = rgba;
  }
  return differs != 0;
}

int Length(std::string_view text) {
  return static_cast<int>(text.size());
}

}  // namespace

WebPlatform::WebPlatform()
    : surface_{kWidth, kHeight,
               std::vector<std::uint32_t>(std::size_t{kWidth} * kHeight, kWindowBackground)},
      rgba_(std::size_t{kWidth} * kHeight, 0),
      rendered_(kMaxRender, 0) {
  for (const PictureEntry& entry : Pictures()) {
    const PictureSize size = entry.size;
    *pictures_.Find(entry.ref) =
        Surface{size.width, size.height,
                std::vector<std::uint32_t>(static_cast<std::size_t>(size.width) * size.height, 0)};
  }
}

void WebPlatform::Reset() {
  std::fill(surface_.pixels.begin(), surface_.pixels.end(), kWindowBackground);
  changes_ = FrameChanges{kWidth, kHeight};
  selection_ = nullptr;
  selectionLoaded_ = false;
  timerEnabled_ = false;
  textX_ = 0;
  textY_ = 0;
}

std::size_t WebPlatform::PictureCount() {
  return Pictures().size();
}

PictureRef WebPlatform::PictureAt(std::size_t i) {
  return Pictures()[i].ref;
}

Surface* WebPlatform::PictureStorage(std::size_t i) {
  return i < Pictures().size() ? pictures_.Find(Pictures()[i].ref) : nullptr;
}

void WebPlatform::PictureDecoded(std::size_t i, bool blueFirst) {
  Surface* picture = PictureStorage(i);
  if (picture == nullptr) return;
  changes_.Forget();
  // The bytes R, G, B, A read as one little-endian word are 0xAABBGGRR; B, G, R, A are
  // 0xAARRGGBB, the raster's order once the top byte is cleared.
  for (std::uint32_t& pixel : picture->pixels) {
    pixel = blueFirst ? pixel & 0xFFFFFFu
                      : ((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) | ((pixel >> 16) & 0xFFu);
  }
}

std::int32_t WebPlatform::BitBlt(int x, int y, int width, int height, PictureRef source,
                                 RasterOp op) {
  const Surface* picture = pictures_.Find(source);
  if (picture == nullptr) return 0;
  const std::int32_t result = tandemhoop::BitBlt(surface_, x, y, width, height, *picture, 0, 0, op);
  if (result != 0)
    changes_.Copied(source, x, y, ClippedCopyArea(surface_, x, y, width, height, *picture, 0, 0),
                    op);
  return result;
}

const std::uint8_t* WebPlatform::FrameRgba() {
  const ChangedAreas& areas = changes_.Take();
  int kept = 0;
  for (int i = 0; i < areas.count(); ++i) {
    // A copy: the pixels written below are 32-bit integers too, and the compiler would have to
    // read the area again after each one, which keeps the row from being vectorised.
    const CopyArea area = areas[i];
    const std::size_t width = static_cast<std::size_t>(area.width);
    bool differs = false;
    for (int row = area.y; row < area.y + area.height; ++row) {
      const std::size_t first =
          static_cast<std::size_t>(row) * kWidth + static_cast<std::size_t>(area.x);
      differs |= ToRgba(surface_.pixels.data() + first, rgba_.data() + first, width);
    }
    // Drawn again the same (a tick where nothing moves): the page has nothing to show anew.
    if (!differs) continue;
    const std::size_t at = 1 + 4 * static_cast<std::size_t>(kept++);
    changed_[at] = area.x;
    changed_[at + 1] = area.y;
    changed_[at + 2] = area.width;
    changed_[at + 3] = area.height;
  }
  changed_[0] = kept;
  return reinterpret_cast<const std::uint8_t*>(rgba_.data());
}

std::uint8_t* WebPlatform::SoundFileStorage(int sound, std::size_t size) {
  if (sound < 0 || sound >= kSoundCount) return nullptr;
  auto& file = soundFiles_[sound];
  file.assign(size, 0);
  return file.data();
}

bool WebPlatform::SoundFileLoaded(int sound) {
  if (sound < 0 || sound >= kSoundCount) return false;
  auto samples = DecodeWav(soundFiles_[sound]);
  soundFiles_[sound].clear();
  if (!samples) return false;
  // The mixer only points at the samples: they stay here for good.
  sounds_[sound] = std::move(*samples);
  mixer_.SetSamples(static_cast<Sound>(sound), sounds_[sound]);
  return true;
}

const std::int16_t* WebPlatform::RenderSound(std::size_t count) {
  mixer_.Render(rendered_.data(), std::min(count, kMaxRender));
  return rendered_.data();
}

void WebPlatform::SetTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
}

void WebPlatform::Print(std::string_view line) {
  textY_ += PagePrint(textX_, textY_, line.data(), Length(line));
}

void WebPlatform::SetTimerEnabled(bool enabled) {
  timerEnabled_ = enabled;
  PageSetTimerEnabled(enabled ? 1 : 0);
}

void WebPlatform::ShowSelectionScreen() {
  // Like the desktop's window, the screen's load handler runs before it is first seen.
  if (!selectionLoaded_ && selection_ != nullptr) {
    selectionLoaded_ = true;
    selection_->Form_Load();
  }
  PageShowSelectionScreen();
}

void WebPlatform::EndProgram() {
  timerEnabled_ = false;
  PageEndProgram();
}

std::uint32_t WebPlatform::SecondsSinceMidnight() const {
  return PageSecondsSinceMidnight();
}

void WebPlatform::SetText1(std::string_view text) {
  PageSetText(1, text.data(), Length(text));
}

void WebPlatform::SetText2(std::string_view text) {
  PageSetText(2, text.data(), Length(text));
}

void WebPlatform::HideScreen() {
  PageHideSelectionScreen();
}

}  // namespace tandemhoop::web
