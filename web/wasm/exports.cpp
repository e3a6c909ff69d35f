// The module's face to the page: the court window's and the selection screen's handlers, and
// what the page needs to show the court. The page calls _initialize first, then starts either a
// game (recorded as it is played, so it can be kept as a replay), the playback of a replay, or
// an online game (the session runs the game; the page moves its messages); starting again puts
// everything back as a fresh page has it.
//
// Every input goes through the deferred boxes: the page cannot wait inside a call for its box to
// be answered, so a call that opens one returns with the box waiting (box_open) and runs again
// when the page hands in the answer (answer_box).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "game/deferred_boxes.h"
#include "game/game.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "game/speed.h"
#include "net/online_text.h"
#include "net/room.h"
#include "net/session.h"
#include "screens/pictures.h"
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
  std::unique_ptr<net::Session> session;  // or an online game
  std::string text;                       // strings handed to and from the page
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

// The game whose court the page shows: the local one, or the online session's.
const Game* Shown(const Program& p) {
  if (p.session) return &p.session->game();
  return p.game.get();
}

// Whatever game or replay ran before, gone: the next starts as on a fresh page.
void Forget(Program& p) {
  p.session.reset();
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
  if (p.session) return static_cast<std::uint32_t>(p.session->stats().ticks);
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
  const Game* game = Shown(program());
  return game ? StateHash(game->state) : 0;
}
// The game's record, for the page's tests.
TANDEMHOOP_EXPORT("game_state") const GameState* State() {
  const Game* game = Shown(program());
  return game ? &game->state : nullptr;
}
// What the page says at the end and starts the next game with: the picks, the mode and the score.
TANDEMHOOP_EXPORT("p1_pick") int P1Pick() {
  const Game* game = Shown(program());
  return game ? game->state.p1Pick : 0;
}
TANDEMHOOP_EXPORT("p2_pick") int P2Pick() {
  const Game* game = Shown(program());
  return game ? game->state.p2Pick : 0;
}
TANDEMHOOP_EXPORT("two_players") int TwoPlayers() {
  const Game* game = Shown(program());
  return game && game->state.twoPlayerMode == kTrue ? 1 : 0;
}
TANDEMHOOP_EXPORT("p1_score") int P1Score() {
  const Game* game = Shown(program());
  return game ? game->state.p1Score : 0;
}
TANDEMHOOP_EXPORT("p2_score") int P2Score() {
  const Game* game = Shown(program());
  return game ? game->state.p2Score : 0;
}

// Online. The page opens a WebSocket to the room server for a session, hands in every message
// that arrives and the time (a monotonic clock in milliseconds), sends what the session gives,
// and calls online_update when it asked to be called. The court is drawn through the same
// platform as a local game's: only the newest tick.

namespace {

// What the page fills in before online_start: 32 unpredictable bytes (crypto.getRandomValues),
// and for a guest or a player coming back the room's code and its token.
struct OnlineSetUp {
  std::array<std::uint8_t, 32> secret{};
  net::RoomCode code{};
  net::Token token{};
};
OnlineSetUp& setUp() {
  static OnlineSetUp instance;
  return instance;
}

// One message handed in by the page, at most one byte over the limit: anything longer is refused
// all the same, and the module never holds more of it.
std::array<std::uint8_t, net::kMaxMessageBytes + 1>& incoming() {
  static std::array<std::uint8_t, net::kMaxMessageBytes + 1> bytes{};
  return bytes;
}

std::span<const std::uint8_t>& outgoing() {
  static std::span<const std::uint8_t> message;
  return message;
}

std::int64_t Nanoseconds(double ms) {
  return static_cast<std::int64_t>(std::llround(ms * 1e6));
}

// Where the session stands, as numbers in a fixed order the page reads in one go.
std::array<std::int32_t, 16>& statusNumbers() {
  static std::array<std::int32_t, 16> numbers{};
  return numbers;
}
std::array<double, 16 + 65>& statsNumbers() {
  static std::array<double, 16 + 65> numbers{};
  return numbers;
}

}  // namespace

TANDEMHOOP_EXPORT("online_secret") std::uint8_t* OnlineSecret() {
  return setUp().secret.data();
}
TANDEMHOOP_EXPORT("online_code") char* OnlineCode() {
  return setUp().code.data();
}
TANDEMHOOP_EXPORT("online_token") std::uint8_t* OnlineToken() {
  return setUp().token.data();
}
// A host's own code for its room, from 64 random bits: into online_code.
TANDEMHOOP_EXPORT("online_make_code") void OnlineMakeCode(std::uint32_t low, std::uint32_t high) {
  setUp().code = net::MakeRoomCode(static_cast<std::uint64_t>(high) << 32 | low);
}
// What a player typed (in the text): 1 and the code in online_code when it is a room's code.
TANDEMHOOP_EXPORT("online_parse_code") int OnlineParseCode() {
  return net::ParseRoomCode(program().text, setUp().code) ? 1 : 0;
}

// The empty court, as it stands behind the selection screen.
TANDEMHOOP_EXPORT("online_backdrop") void OnlineBackdrop() {
  Program& p = program();
  p.platform.BitBlt(0, 0, WebPlatform::kWidth, WebPlatform::kHeight,
                    PictureRef{Holder::Form3, form3::Picture1}, RasterOp::SrcCopy);
}

// `role` 0 host, 1 guest; `speed` the host's (0 Classic, 1 Fast); `rejoin` 1 to come back to the
// room of online_code with online_token. Whatever ran before is gone; the court is drawn empty
// behind the page's screens until play begins.
TANDEMHOOP_EXPORT("online_start") void OnlineStart(int role, int speed, int rejoin) {
  Program& p = program();
  Forget(p);
  net::SessionOptions options;
  options.role = role == 1 ? net::Role::Guest : net::Role::Host;
  options.speed = SpeedOf(speed);
  options.secret = setUp().secret;
  options.rejoin = rejoin != 0;
  // A host's code is its room's only once the server has made the room.
  if (options.rejoin || options.role == net::Role::Guest) options.code = setUp().code;
  options.token = setUp().token;
  p.session = std::make_unique<net::Session>(p.platform, options);
  setUp().secret = {};
  outgoing() = {};
  OnlineBackdrop();
}

TANDEMHOOP_EXPORT("online_open") void OnlineOpen(double nowMs) {
  if (auto& session = program().session) session->Open(Nanoseconds(nowMs));
}
TANDEMHOOP_EXPORT("online_message_buffer") std::uint8_t* OnlineMessageBuffer() {
  return incoming().data();
}
// The page copies at most online_message_buffer's size of a message (kMaxMessageBytes + 1) and
// gives its whole length: a longer one reaches the session as over the limit.
TANDEMHOOP_EXPORT("online_receive") void OnlineReceive(int length, double nowMs) {
  auto& session = program().session;
  if (!session || length < 0) return;
  const std::size_t size = std::min(static_cast<std::size_t>(length), incoming().size());
  session->Receive({incoming().data(), size}, Nanoseconds(nowMs));
}
// `held`: the local side's actions, bit 0 left, 1 up, 2 right, 3 down, 4 action. Returns when to
// be called next, in the same milliseconds.
TANDEMHOOP_EXPORT("online_update") double OnlineUpdate(double nowMs, int held) {
  auto& session = program().session;
  if (!session) return nowMs + 1000;
  const std::int64_t next =
      session->Update(Nanoseconds(nowMs), static_cast<net::Held>(held & net::kHeldMask));
  return static_cast<double>(next) / 1e6;
}
// The next message to send: its length (its bytes at online_outgoing_pointer), or -1 for none.
TANDEMHOOP_EXPORT("online_next_outgoing") int OnlineNextOutgoing() {
  auto& session = program().session;
  if (!session || !session->TakeOutgoing(outgoing())) return -1;
  return static_cast<int>(outgoing().size());
}
TANDEMHOOP_EXPORT("online_outgoing_pointer") const std::uint8_t* OnlineOutgoingPointer() {
  return outgoing().data();
}
TANDEMHOOP_EXPORT("online_connection_lost") void OnlineConnectionLost() {
  if (auto& session = program().session) session->ConnectionLost();
}
TANDEMHOOP_EXPORT("online_pick") int OnlinePick(int pick) {
  auto& session = program().session;
  return session && session->PickPlayer(pick) ? 1 : 0;
}
TANDEMHOOP_EXPORT("online_ready") void OnlineReady(int ready) {
  if (auto& session = program().session) session->SetReady(ready != 0);
}
TANDEMHOOP_EXPORT("online_rematch") void OnlineRematch() {
  if (auto& session = program().session) session->RequestRematch();
}
TANDEMHOOP_EXPORT("online_leave") void OnlineLeave() {
  if (auto& session = program().session) session->LeaveGame();
}

// Where the session stands: phase, match, local side (1 or 2), speed (0 Classic, 1 Fast), Player
// 1's pick, Player 2's, Player 1 ready, Player 2 ready, winner, desync tick, refusal, the other
// player's leave reason, whether the other player asked for a rematch, and the stoppage text's
// length (the text itself in the text). The room's code and token go to online_code and
// online_token. -1 when no online game runs.
TANDEMHOOP_EXPORT("online_status") const std::int32_t* OnlineStatus() {
  Program& p = program();
  auto& numbers = statusNumbers();
  numbers.fill(-1);
  if (!p.session) return numbers.data();
  const net::Status status = p.session->status();
  p.text.assign(status.stoppageText);
  setUp().code = status.code;
  setUp().token = status.token;
  numbers = {static_cast<std::int32_t>(status.phase),
             status.match,
             status.localSide,
             static_cast<std::int32_t>(status.speed),
             status.p1Pick,
             status.p2Pick,
             status.p1Ready ? 1 : 0,
             status.p2Ready ? 1 : 0,
             status.winner,
             static_cast<std::int32_t>(status.desyncTick),
             static_cast<std::int32_t>(status.refusal),
             static_cast<std::int32_t>(status.leaveReason),
             status.peerWantsRematch ? 1 : 0,
             static_cast<std::int32_t>(p.text.size()),
             0,
             0};
  return numbers.data();
}

// The session's statistics: round trip (ms), input delay, prediction window, ticks, ticks run
// again, rollbacks, the last rollback's depth, the deepest, waits, ticks waited, slowdown, bytes
// sent, bytes received, messages sent, messages received, then how many rollbacks went back
// 0..63 and 64 or more ticks.
TANDEMHOOP_EXPORT("online_stats") const double* OnlineStats() {
  auto& numbers = statsNumbers();
  numbers.fill(0);
  const auto& session = program().session;
  if (!session) return numbers.data();
  const net::Stats& s = session->stats();
  const double values[] = {s.roundTripMs,
                           static_cast<double>(s.inputDelayTicks),
                           static_cast<double>(s.predictionTicks),
                           static_cast<double>(s.ticks),
                           static_cast<double>(s.rerunTicks),
                           static_cast<double>(s.rollbacks),
                           static_cast<double>(s.lastRollbackDepth),
                           static_cast<double>(s.maxRollbackDepth),
                           static_cast<double>(s.waits),
                           static_cast<double>(s.ticksWaited),
                           s.slowdown,
                           static_cast<double>(s.bytesSent),
                           static_cast<double>(s.bytesReceived),
                           static_cast<double>(s.messagesSent),
                           static_cast<double>(s.messagesReceived)};
  std::copy(std::begin(values), std::end(values), numbers.begin());
  for (std::size_t i = 0; i < s.rollbackDepths.size(); ++i)
    numbers[16 + i] = static_cast<double>(s.rollbackDepths[i]);
  return numbers.data();
}

namespace {

// A text for the page: into the text, its length returned.
int GiveText(std::string text) {
  program().text = std::move(text);
  return static_cast<int>(program().text.size());
}

}  // namespace

// What the desktop says of the same moment, in the text (UTF-8), and its length: the line beside
// the court, the phase (with the seconds a lost player has left, and whether this side asked for
// a rematch), the selection screen's line, Esc's question, and the figures of the connection.
TANDEMHOOP_EXPORT("online_connection_line") int OnlineConnectionLine() {
  const auto& session = program().session;
  return GiveText(session ? net::ConnectionLine(session->status(), session->stats()) : "");
}
TANDEMHOOP_EXPORT("online_poor") int OnlinePoor() {
  const auto& session = program().session;
  return session && net::PoorConnection(session->status(), session->stats()) ? 1 : 0;
}
// `phase` -1 for the session's own, else the phase to word (a connection lost while coming back
// is said as lost).
TANDEMHOOP_EXPORT("online_phase_text")
int OnlinePhaseText(int phase, int secondsLeft, int askedRematch) {
  const auto& session = program().session;
  if (!session) return 0;
  net::Status status = session->status();
  if (phase >= 0 && phase <= static_cast<int>(net::Phase::Left))
    status.phase = static_cast<net::Phase>(phase);
  return GiveText(net::PhaseText(status, secondsLeft, askedRematch != 0));
}
TANDEMHOOP_EXPORT("online_picking_text") int OnlinePickingText() {
  const auto& session = program().session;
  return GiveText(session ? net::PickingText(session->status()) : "");
}
TANDEMHOOP_EXPORT("online_leave_question") int OnlineLeaveQuestion() {
  return GiveText(std::string(net::kLeaveQuestion));
}
TANDEMHOOP_EXPORT("online_stats_line") int OnlineStatsLine() {
  const auto& session = program().session;
  return GiveText(session ? net::StatsLine(session->stats()) : "");
}

// The online match so far as a replay file, in the text; 0 before play.
TANDEMHOOP_EXPORT("online_replay_text") int OnlineReplayText() {
  Program& p = program();
  if (!p.session) return 0;
  p.text = p.session->ReplayText();
  return p.text.empty() ? 0 : 1;
}
