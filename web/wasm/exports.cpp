// The module's face to the page: the court window's and the selection screen's handlers, and
// what the page needs to show the court. The page calls _initialize first, then starts either a
// game (recorded as it is played, so it can be kept as a replay) or the playback of a replay.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/game.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "game/speed.h"
#include "screens/raster.h"
#include "screens/selection.h"
#include "web/wasm/web_platform.h"

#define TANDEMHOOP_EXPORT(name) extern "C" __attribute__((export_name(name)))

namespace {

using namespace tandemhoop;
using tandemhoop::web::WebPlatform;

struct Program {
  WebPlatform platform;
  MtRandom random;
  Replay replay;                       // the one being played back
  std::unique_ptr<Recorder> recorder;  // a game played here
  std::unique_ptr<Player> player;      // or a replay played back
  std::unique_ptr<Game> game;
  std::unique_ptr<PlayerSelection> selection;
  std::string text;  // strings handed to and from the page
};

Program& program() {
  static Program instance;
  return instance;
}

Speed SpeedOf(int speed) {
  return speed == 1 ? Speed::Fast : Speed::Classic;
}

// A click, from the page's screen or from the recording: through the recorder when recording.
void Click(SelectionClick click) {
  Program& p = program();
  if (p.recorder) p.recorder->Click(click);
}

}  // namespace

// Starting: one of these, once, before Form_Load.
TANDEMHOOP_EXPORT("start_game") void StartGame(int speed, int level) {
  Program& p = program();
  if (p.game) return;
  p.recorder = std::make_unique<Recorder>(p.platform);
  p.recorder->SetSpeed(SpeedOf(speed));
  p.game = std::make_unique<Game>(*p.recorder, p.random);
  if (level >= 0 && level < static_cast<int>(kLevelCount))
    p.game->SetComputerLevel(static_cast<ComputerLevel>(level));
  p.selection = std::make_unique<PlayerSelection>(p.game->state, p.platform);
  p.platform.Attach(*p.selection);
  p.recorder->Attach(*p.game, *p.selection);
}

// The page writes a replay file's bytes here, then calls start_replay with their number.
TANDEMHOOP_EXPORT("text_buffer") char* TextBuffer(int size) {
  Program& p = program();
  p.text.assign(static_cast<std::size_t>(size < 0 ? 0 : size), '\0');
  return p.text.data();
}
TANDEMHOOP_EXPORT("text_pointer") const char* TextPointer() {
  return program().text.data();
}
TANDEMHOOP_EXPORT("text_length") int TextLength() {
  return static_cast<int>(program().text.size());
}

// Returns 0 and leaves the reason in the text when the file is not a whole replay; 1 for a
// Classic replay, 2 for a Fast one (the speed the page is to tick at).
TANDEMHOOP_EXPORT("start_replay") int StartReplay() {
  Program& p = program();
  if (p.game) return 0;
  std::string error;
  if (!ReadReplay(p.text, p.replay, error)) {
    p.text = error;
    return 0;
  }
  p.player = std::make_unique<Player>(p.platform, p.replay);
  p.player->SetShowBoxes(true);
  p.game = std::make_unique<Game>(*p.player, p.random);
  p.selection = std::make_unique<PlayerSelection>(p.game->state, p.platform);
  p.platform.Attach(*p.selection);
  p.player->Attach(*p.game, *p.selection);
  return p.replay.header.speed == Speed::Fast ? 2 : 1;
}

// The recorded game so far, as a replay file, in the text.
TANDEMHOOP_EXPORT("replay_text") int ReplayText() {
  Program& p = program();
  if (!p.recorder) return 0;
  p.text = p.recorder->Text();
  return 1;
}

// Playback: whether another tick is due, and once finished whether it ended as recorded (the
// reason in the text when not).
TANDEMHOOP_EXPORT("replay_tick_due") int ReplayTickDue() {
  return program().player && program().player->TickDue() ? 1 : 0;
}
TANDEMHOOP_EXPORT("replay_matches") int ReplayMatches() {
  Program& p = program();
  if (!p.player) return 0;
  p.text = p.player->Mismatch();
  return p.player->Matches() ? 1 : 0;
}
TANDEMHOOP_EXPORT("ticks") std::uint32_t Ticks() {
  Program& p = program();
  if (p.player) return p.player->ticks();
  return p.recorder ? p.recorder->ticks() : 0;
}

// Court window
TANDEMHOOP_EXPORT("Form_Load") void FormLoad() {
  Program& p = program();
  if (p.recorder) p.recorder->Load();
  if (p.player) {
    // The inputs recorded before the first tick (the key that starts the game) follow at once.
    p.player->Load();
    p.player->DeliverDue();
  }
}
TANDEMHOOP_EXPORT("Timer1_Timer") void Timer1Timer() {
  Program& p = program();
  if (p.recorder) p.recorder->Tick();
  if (p.player) p.player->Tick();
}
TANDEMHOOP_EXPORT("Form_KeyPress") void FormKeyPress(int keyAscii) {
  Program& p = program();
  if (p.recorder) p.recorder->KeyPress(keyAscii);
}
TANDEMHOOP_EXPORT("Form_KeyDown") void FormKeyDown(int keyCode, int shift) {
  Program& p = program();
  if (p.recorder) p.recorder->KeyDown(keyCode, shift);
}
TANDEMHOOP_EXPORT("Form_KeyUp") void FormKeyUp(int keyCode, int shift) {
  Program& p = program();
  if (p.recorder) p.recorder->KeyUp(keyCode, shift);
}
TANDEMHOOP_EXPORT("Ended") int Ended() {
  const Program& p = program();
  return p.game && p.game->Ended() ? 1 : 0;
}
TANDEMHOOP_EXPORT("set_speed") void SetSpeed(int speed) {
  Program& p = program();
  if (p.recorder) p.recorder->SetSpeed(SpeedOf(speed));
}
TANDEMHOOP_EXPORT("set_computer_level") void SetComputerLevel(int level) {
  Program& p = program();
  if (!p.recorder || level < 0 || level >= static_cast<int>(kLevelCount)) return;
  p.game->SetComputerLevel(static_cast<ComputerLevel>(level));
}

// Once a game against the computer is lost: the easier level to offer for the next one, or -1.
TANDEMHOOP_EXPORT("offered_level") int OfferedLevel() {
  const Program& p = program();
  if (!p.recorder) return -1;
  const std::optional<ComputerLevel> easier =
      EasierLevelToOffer(p.game->state, p.game->computerLevel());
  return easier ? static_cast<int>(*easier) : -1;
}

// Selection screen
#define TANDEMHOOP_CLICK(name)                            \
  TANDEMHOOP_EXPORT(#name "_Click") void name##_Click() { \
    Click(SelectionClick::name);                          \
  }
TANDEMHOOP_CLICK(Label6)
TANDEMHOOP_CLICK(Picture26)
TANDEMHOOP_CLICK(Label3)
TANDEMHOOP_CLICK(Picture34)
TANDEMHOOP_CLICK(Label4)
TANDEMHOOP_CLICK(Picture42)
TANDEMHOOP_CLICK(Label5)
TANDEMHOOP_CLICK(Picture50)
TANDEMHOOP_CLICK(Picture1)
TANDEMHOOP_CLICK(Picture2)
TANDEMHOOP_CLICK(Command3)
TANDEMHOOP_CLICK(Command4)

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
// `blueFirst`: the storage holds B, G, R, A (or X) rather than R, G, B, A.
TANDEMHOOP_EXPORT("picture_decoded") void PictureDecoded(int i, int blueFirst) {
  program().platform.PictureDecoded(static_cast<std::size_t>(i), blueFirst != 0);
}

// Sound: the page loads the WAV files into the module and pulls the mix as its output needs it,
// while the game runs or not.
TANDEMHOOP_EXPORT("sound_file_buffer") std::uint8_t* SoundFileBuffer(int sound, int size) {
  return program().platform.SoundFileStorage(sound, static_cast<std::size_t>(size < 0 ? 0 : size));
}
TANDEMHOOP_EXPORT("sound_file_loaded") int SoundFileLoaded(int sound) {
  return program().platform.SoundFileLoaded(sound) ? 1 : 0;
}
TANDEMHOOP_EXPORT("render_sound") const std::int16_t* RenderSound(int count) {
  return program().platform.RenderSound(static_cast<std::size_t>(count < 0 ? 0 : count));
}
TANDEMHOOP_EXPORT("set_volume") void SetVolume(int percent) {
  program().platform.mixer().SetVolume(percent);
}
TANDEMHOOP_EXPORT("sound_voices") int SoundVoices() {
  return program().platform.mixer().ActiveVoices();
}

// The court as the canvas wants it: 727 x 542 RGBA bytes, brought up to date.
TANDEMHOOP_EXPORT("frame_rgba") const std::uint8_t* FrameRgba() {
  return program().platform.FrameRgba();
}
// What the last frame_rgba changed: a count, then x, y, width and height of each area.
TANDEMHOOP_EXPORT("frame_changed") const std::int32_t* FrameChanged() {
  return program().platform.FrameChanged();
}

// The identities every front end agrees on.
TANDEMHOOP_EXPORT("frame_hash") std::uint64_t SurfaceHash() {
  return FrameHash(program().platform.surface());
}
TANDEMHOOP_EXPORT("state_hash") std::uint64_t GameStateHash() {
  const Program& p = program();
  return p.game ? StateHash(p.game->state) : 0;
}
// The game's record, for the page's tests.
TANDEMHOOP_EXPORT("game_state") const GameState* State() {
  const Program& p = program();
  return p.game ? &p.game->state : nullptr;
}
