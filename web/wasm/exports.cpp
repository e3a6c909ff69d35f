// The module's face to the page: the court window's and the selection screen's handlers, and
// what the page needs to show the court. The page calls _initialize first, which builds these
// objects.
#include <cstdint>

#include "game/game.h"
#include "game/mt_random.h"
#include "screens/selection.h"
#include "web/wasm/web_platform.h"

#define TANDEMHOOP_EXPORT(name) extern "C" __attribute__((export_name(name)))

namespace {

using tandemhoop::ComputerLevel;
using tandemhoop::Game;
using tandemhoop::MtRandom;
using tandemhoop::PlayerSelection;
using tandemhoop::web::WebPlatform;

struct Program {
  WebPlatform platform;
  MtRandom random;
  Game game{platform, random};
  PlayerSelection selection{game.state, platform};
  Program() { platform.Attach(selection); }
};

Program& program() {
  static Program instance;
  return instance;
}

}  // namespace

// Court window
TANDEMHOOP_EXPORT("Form_Load") void FormLoad() {
  program().game.Form_Load();
}
TANDEMHOOP_EXPORT("Form_KeyPress") void FormKeyPress(int keyAscii) {
  program().game.Form_KeyPress(keyAscii);
}
TANDEMHOOP_EXPORT("Form_KeyDown") void FormKeyDown(int keyCode, int shift) {
  program().game.Form_KeyDown(keyCode, shift);
}
TANDEMHOOP_EXPORT("Form_KeyUp") void FormKeyUp(int keyCode, int shift) {
  program().game.Form_KeyUp(keyCode, shift);
}
TANDEMHOOP_EXPORT("Timer1_Timer") void Timer1Timer() {
  program().game.Timer1_Timer();
}
TANDEMHOOP_EXPORT("Ended") int Ended() {
  return program().game.Ended() ? 1 : 0;
}
TANDEMHOOP_EXPORT("set_computer_level") void SetComputerLevel(int level) {
  if (level < 0 || level > static_cast<int>(ComputerLevel::Easy)) return;
  program().game.SetComputerLevel(static_cast<ComputerLevel>(level));
}

// Selection screen
#define TANDEMHOOP_CLICK(name)           \
  TANDEMHOOP_EXPORT(#name) void name() { \
    program().selection.name();          \
  }
TANDEMHOOP_CLICK(Label6_Click)
TANDEMHOOP_CLICK(Picture26_Click)
TANDEMHOOP_CLICK(Label3_Click)
TANDEMHOOP_CLICK(Picture34_Click)
TANDEMHOOP_CLICK(Label4_Click)
TANDEMHOOP_CLICK(Picture42_Click)
TANDEMHOOP_CLICK(Label5_Click)
TANDEMHOOP_CLICK(Picture50_Click)
TANDEMHOOP_CLICK(Picture1_Click)
TANDEMHOOP_CLICK(Picture2_Click)
TANDEMHOOP_CLICK(Command3_Click)
TANDEMHOOP_CLICK(Command4_Click)

// Pictures: for each in catalogue order its holder, number and size, and the storage the page
// decodes its PNG into (RGBA bytes), then announces.
TANDEMHOOP_EXPORT("picture_count") int PictureCount() {
  return static_cast<int>(WebPlatform::PictureCount());
}
TANDEMHOOP_EXPORT("picture_holder") int PictureHolder(int i) {
  return static_cast<int>(WebPlatform::PictureAt(static_cast<std::size_t>(i)).form);
}
TANDEMHOOP_EXPORT("picture_number") int PictureNumber(int i) {
  return WebPlatform::PictureAt(static_cast<std::size_t>(i)).index;
}
TANDEMHOOP_EXPORT("picture_width") int PictureWidth(int i) {
  const auto* storage = program().platform.PictureStorage(static_cast<std::size_t>(i));
  return storage == nullptr ? 0 : storage->width;
}
TANDEMHOOP_EXPORT("picture_height") int PictureHeight(int i) {
  const auto* storage = program().platform.PictureStorage(static_cast<std::size_t>(i));
  return storage == nullptr ? 0 : storage->height;
}
TANDEMHOOP_EXPORT("picture_pixels") std::uint32_t* PicturePixels(int i) {
  auto* storage = program().platform.PictureStorage(static_cast<std::size_t>(i));
  return storage == nullptr ? nullptr : storage->pixels.data();
}
TANDEMHOOP_EXPORT("picture_decoded") void PictureDecoded(int i) {
  program().platform.PictureDecoded(static_cast<std::size_t>(i));
}

// The court as the canvas wants it: 727 x 542 RGBA bytes.
TANDEMHOOP_EXPORT("frame_rgba") const std::uint8_t* FrameRgba() {
  return program().platform.FrameRgba();
}
TANDEMHOOP_EXPORT("frame_width") int FrameWidth() {
  return WebPlatform::kWidth;
}
TANDEMHOOP_EXPORT("frame_height") int FrameHeight() {
  return WebPlatform::kHeight;
}
