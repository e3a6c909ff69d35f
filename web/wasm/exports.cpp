// The module's face to the page: the court window's and the selection screen's handlers, and
// what the page needs to show the court. The page calls _initialize first, then starts either a
// game (recorded as it is played, so it can be kept as a replay) or the playback of a replay;
// starting again puts everything back as a fresh page has it.
//
// Every input goes through the deferred boxes: the page cannot wait inside a call for its box to
// be answered, so a call that opens one returns with the box waiting (box_open) and runs again
// when the page hands in the answer (answer_box).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "game/deferred_boxes.h"
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
  DeferredBoxes boxes{platform, platform};
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

// A click on the page's screen: a game's input (a replay feeds in its own).
void Click(SelectionClick click) {
  Program& p = program();
  if (p.recorder) p.boxes.Click(click);
}

// Whatever game or replay ran before, gone: the next starts as on a fresh page.
void Forget(Program& p) {
  p.selection.reset();
  p.game.reset();
  p.player.reset();
  p.recorder.reset();
  p.platform.Reset();
}

}  // namespace

// Starting: one of these before Form_Load (again for another game or replay).
TANDEMHOOP_EXPORT("start_game") void StartGame(int speed, int level) {
  Program& p = program();
  Forget(p);
  p.recorder = std::make_unique<Recorder>(p.boxes);
  p.recorder->SetSpeed(SpeedOf(speed));
  p.game = std::make_unique<Game>(*p.recorder, p.random);
  if (level >= 0 && level < static_cast<int>(kLevelCount))
    p.game->SetComputerLevel(static_cast<ComputerLevel>(level));
  p.selection = std::make_unique<PlayerSelection>(p.game->state, p.boxes);
  p.platform.Attach(*p.selection);
  p.recorder->Attach(*p.game, *p.selection);
  p.boxes.Attach(*p.game, *p.recorder);
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
// Whatever ran before is kept when the file is refused.
TANDEMHOOP_EXPORT("start_replay") int StartReplay() {
  Program& p = program();
  Replay replay;
  std::string error;
  if (!ReadReplay(p.text, replay, error)) {
    p.text = error;
    return 0;
  }
  Forget(p);
  p.replay = std::move(replay);
  p.player = std::make_unique<Player>(p.boxes, p.replay);
  p.player->SetShowBoxes(true);
  p.game = std::make_unique<Game>(*p.player, p.random);
  p.selection = std::make_unique<PlayerSelection>(p.game->state, p.boxes);
  p.platform.Attach(*p.selection);
  p.player->Attach(*p.game, *p.selection);
  p.boxes.Attach(*p.game, *p.player);
  return p.replay.header.speed == Speed::Fast ? 2 : 1;
}

// The recorded game so far, as a replay file, in the text.
TANDEMHOOP_EXPORT("replay_text") int ReplayText() {
  Program& p = program();
  if (!p.recorder) return 0;
  p.text = p.recorder->Text();
  return 1;
}
// Whether the game played here has left the selection screen: before, a replay shows nothing
// worth keeping and nothing is lost by leaving.
TANDEMHOOP_EXPORT("play_started") int PlayStarted() {
  const Program& p = program();
  return p.recorder && p.recorder->PlayStarted() ? 1 : 0;
}

// Playback: whether another tick is due, and once finished whether it ended as recorded (the
// reason in the text when not).
TANDEMHOOP_EXPORT("replay_tick_due") int ReplayTickDue() {
  return program().player && program().player->TickDue() ? 1 : 0;
}
// The speed the next tick of the replay comes at, as the player saw it: 1 Classic, 2 Fast.
TANDEMHOOP_EXPORT("replay_speed") int ReplaySpeed() {
  const Program& p = program();
  return p.player && p.player->speed() == Speed::Fast ? 2 : 1;
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

// Court window. A replay takes Form_Load and the ticks only: the player feeds in the rest.
TANDEMHOOP_EXPORT("Form_Load") void FormLoad() {
  program().boxes.Load();
}
TANDEMHOOP_EXPORT("Timer1_Timer") void Timer1Timer() {
  program().boxes.Tick();
}
TANDEMHOOP_EXPORT("Form_KeyPress") void FormKeyPress(int keyAscii) {
  Program& p = program();
  if (p.recorder) p.boxes.KeyPress(keyAscii);
}
TANDEMHOOP_EXPORT("Form_KeyDown") void FormKeyDown(int keyCode, int shift) {
  Program& p = program();
  if (p.recorder) p.boxes.KeyDown(keyCode, shift);
}
// While a box waits, a release waits inside it.
TANDEMHOOP_EXPORT("Form_KeyUp") void FormKeyUp(int keyCode, int shift) {
  Program& p = program();
  if (p.recorder) p.boxes.KeyUp(keyCode, shift);
}

// The box that waits for its answer: whether one does, whether it asks Yes or No (rather than
// showing OK), its text (into the text), and the answer, after which the call that opened it
// has run again (and may have opened the next).
TANDEMHOOP_EXPORT("box_open") int BoxOpen() {
  return program().boxes.BoxOpen() ? 1 : 0;
}
TANDEMHOOP_EXPORT("box_asks") int BoxAsks() {
  return program().boxes.BoxAsks() ? 1 : 0;
}
TANDEMHOOP_EXPORT("box_text") int BoxText() {
  Program& p = program();
  p.text.assign(p.boxes.BoxText());
  return static_cast<int>(p.text.size());
}
TANDEMHOOP_EXPORT("answer_box") void AnswerBox(int yes) {
  program().boxes.Answer(yes != 0);
}
TANDEMHOOP_EXPORT("Ended") int Ended() {
  const Program& p = program();
  return p.game && p.game->Ended() ? 1 : 0;
}
// A change in the middle of a game is noted before the first tick it rules, like the level's.
TANDEMHOOP_EXPORT("set_speed") void SetSpeed(int speed) {
  Program& p = program();
  if (p.recorder) p.boxes.SetSpeed(SpeedOf(speed));
}
TANDEMHOOP_EXPORT("set_computer_level") void SetComputerLevel(int level) {
  Program& p = program();
  if (!p.recorder || level < 0 || level >= static_cast<int>(kLevelCount)) return;
  p.boxes.SetComputerLevel(static_cast<ComputerLevel>(level));
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
// What the page says at the end and starts the next game with: the picks, the mode and the score.
TANDEMHOOP_EXPORT("p1_pick") int P1Pick() {
  const Program& p = program();
  return p.game ? p.game->state.p1Pick : 0;
}
TANDEMHOOP_EXPORT("p2_pick") int P2Pick() {
  const Program& p = program();
  return p.game ? p.game->state.p2Pick : 0;
}
TANDEMHOOP_EXPORT("two_players") int TwoPlayers() {
  const Program& p = program();
  return p.game && p.game->state.twoPlayerMode == kTrue ? 1 : 0;
}
TANDEMHOOP_EXPORT("p1_score") int P1Score() {
  const Program& p = program();
  return p.game ? p.game->state.p1Score : 0;
}
TANDEMHOOP_EXPORT("p2_score") int P2Score() {
  const Program& p = program();
  return p.game ? p.game->state.p2Score : 0;
}
