#include "net/match.h"

#include <algorithm>

#include "game/keys.h"
#include "net/sha256.h"

namespace tandemhoop::net {

namespace {

// Each side's keys in the order of the held set's bits: left, up, right, down, action.
constexpr int kKeys[2][5] = {
    {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kKeyM},
    {keys::kKeyF, keys::kKeyT, keys::kKeyH, keys::kKeyV, keys::kKeyA},
};
constexpr int kActions = 5;
constexpr int kCheckEvery = 32;
// The key that starts the game's timer from the title: Enter.
constexpr int kStartKey = 13;

// The name label of each pick on the selection screen.
constexpr SelectionClick kNameOf[4] = {SelectionClick::Label6, SelectionClick::Label3,
                                       SelectionClick::Label4, SelectionClick::Label5};

std::span<const std::uint8_t> Label(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void Note(EventLog& log, std::uint32_t tick, ReplayEventKind kind, int code) {
  ReplayEvent event;
  event.tick = tick;
  event.kind = kind;
  event.code = static_cast<std::uint16_t>(code);
  log.Append(event);
}

}  // namespace

Digest CommitmentOf(const Nonce& nonce) {
  Sha256 sha;
  sha.Add(Label("tandemhoop commit"));
  sha.Add(nonce);
  return sha.Finish();
}

std::uint32_t SeedOf(const Nonce& host, const Nonce& guest) {
  Sha256 sha;
  sha.Add(Label("tandemhoop seed"));
  sha.Add(host);
  sha.Add(guest);
  const Digest digest = sha.Finish();
  return static_cast<std::uint32_t>(digest[0]) | static_cast<std::uint32_t>(digest[1]) << 8 |
         static_cast<std::uint32_t>(digest[2]) << 16 | static_cast<std::uint32_t>(digest[3]) << 24;
}

// ---- the platform ----

void MatchPlatform::BeginTick(const Cues& heard, bool sound) {
  heard_ = heard;
  cued_ = {};
  sound_ = sound;
}

std::int32_t MatchPlatform::BitBlt(int x, int y, int width, int height, PictureRef source,
                                   RasterOp op) {
  return drawing_ ? inner_.BitBlt(x, y, width, height, source, op) : 1;
}

void MatchPlatform::SetTextPosition(int x, int y) {
  if (drawing_) inner_.SetTextPosition(x, y);
}

void MatchPlatform::Print(std::string_view line) {
  if (drawing_) inner_.Print(line);
}

void MatchPlatform::ShowSelectionScreen() {
  if (selectionLoaded_) return;
  selectionLoaded_ = true;
  selection_.Form_Load();
}

void MatchPlatform::ShowMessage(std::string_view text) {
  messageLength_ = text.copy(message_.data(), message_.size());
}

void MatchPlatform::PlaySound(Sound sound) {
  const auto index = static_cast<std::size_t>(sound);
  if (index >= cued_.size()) return;
  // The n-th cue of a sound in a tick is heard if the tick's earlier runs made fewer than n.
  ++cued_[index];
  if (cued_[index] > heard_[index]) {
    heard_[index] = cued_[index];
    if (sound_) inner_.PlaySound(sound);
  }
}

// ---- the match ----

bool CheckDue(std::uint32_t tick, const StepEvents& step, CheckKind& kind) {
  if (step.won) {
    kind = CheckKind::End;
  } else if (step.stoppageBegan) {
    kind = CheckKind::Stoppage;
  } else if ((tick + 1) % kCheckEvery == 0) {
    kind = CheckKind::Periodic;
  } else {
    return false;
  }
  return true;
}

Match::Match(Platform& frontEnd, RandomSource* random)
    : gameRandom_(random != nullptr ? *random : random_),
      platform_(frontEnd, selection_),
      game_(platform_, gameRandom_),
      selection_(game_.state, view_) {}

void Match::Begin(const Agreement& agreement, EventLog& log) {
  agreement_ = agreement;
  repeat_ = RepeatOf(agreement.speed);
  state_ = MatchState{};
  platform_.SetSeed(agreement.seed);
  platform_.SetDrawing(false);
  platform_.BeginTick({}, false);
  game_.Form_Load();
  Note(log, 0, ReplayEventKind::KeyPress, kStartKey);
  game_.Form_KeyPress(kStartKey);
  game_.Timer1_Timer();
  state_.gameTicks = 1;
  // The first free box takes each name clicked: Player 1's pick, then Player 2's.
  for (const SelectionClick click :
       {kNameOf[(agreement.p1Pick - 1) & 3], kNameOf[(agreement.p2Pick - 1) & 3],
        SelectionClick::Command4}) {
    Note(log, state_.gameTicks, ReplayEventKind::Click, static_cast<int>(click));
    DispatchClick(selection_, click);
  }
}

void Match::Key(bool down, int side, int action, StepEvents& out) {
  if (game_.Ended()) return;
  const int code = kKeys[side][action];
  if (down) {
    game_.Form_KeyDown(code, 0);
  } else {
    game_.Form_KeyUp(code, 0);
  }
  if (out.count == StepEvents::kMax) return;
  ReplayEvent& event = out.events[static_cast<std::size_t>(out.count++)];
  event = ReplayEvent{};
  event.tick = state_.gameTicks;
  event.kind = down ? ReplayEventKind::KeyDown : ReplayEventKind::KeyUp;
  event.code = static_cast<std::uint16_t>(code);
}

void Match::Step(Held p1, Held p2, StepEvents& out) {
  out.count = 0;
  out.gameTick = false;
  out.stoppageBegan = false;
  out.won = false;
  if (state_.over) return;
  const std::array<Held, 2> now{static_cast<Held>(p1 & kHeldMask),
                                static_cast<Held>(p2 & kHeldMask)};
  const bool stopped = state_.stoppageLeft > 0;

  // Every release first, then the presses and repeats, Player 1's before Player 2's.
  for (int side = 0; side < 2; ++side) {
    const auto s = static_cast<std::size_t>(side);
    const Held released = static_cast<Held>(state_.held[s] & ~now[s]);
    for (int action = 0; action < kActions; ++action) {
      if ((released >> action & 1) == 0) continue;
      Key(false, side, action, out);
      if (state_.repeatKey[s] == action) state_.repeatKey[s] = -1;
    }
  }
  for (int side = 0; side < 2; ++side) {
    const auto s = static_cast<std::size_t>(side);
    const Held pressed = static_cast<Held>(now[s] & ~state_.held[s]);
    if (pressed != 0) {
      // Under a stoppage the press goes nowhere, but the keyboard repeats it all the same.
      for (int action = 0; action < kActions; ++action) {
        if ((pressed >> action & 1) == 0) continue;
        if (!stopped) Key(true, side, action, out);
        state_.repeatKey[s] = static_cast<std::int8_t>(action);
      }
      state_.repeatIn[s] = static_cast<std::int16_t>(repeat_.delayTicks);
    } else if (state_.repeatKey[s] >= 0 && --state_.repeatIn[s] == 0) {
      if (!stopped) Key(true, side, state_.repeatKey[s], out);
      state_.repeatIn[s] = static_cast<std::int16_t>(repeat_.intervalTicks);
    }
    state_.held[s] = now[s];
  }

  ++state_.tick;
  if (stopped) {
    if (--state_.stoppageLeft == 0) {
      state_.stoppageTextLength = 0;
      if (state_.winner != 0) state_.over = true;
    }
    return;
  }
  const bool endedBefore = game_.Ended();
  platform_.ForgetMessage();
  game_.Timer1_Timer();
  ++state_.gameTicks;
  out.gameTick = true;
  const std::string_view message = platform_.message();
  if (!message.empty()) {
    out.stoppageBegan = true;
    state_.stoppageLeft = static_cast<std::int16_t>(StoppageTicks(agreement_.speed));
    state_.stoppageTextLength =
        static_cast<std::uint8_t>(message.copy(state_.stoppageText.data(), 32));
  }
  if (!endedBefore && game_.Ended()) {
    out.won = true;
    state_.winner = game_.state.p1Score > game_.state.p2Score ? 1 : 2;
  }
}

void Match::Save(Snapshot& into) const {
  game_.Save(into.game);
  into.match = state_;
}

void Match::Restore(const Snapshot& from) {
  game_.Restore(from.game);
  state_ = from.match;
}

ReplayHeader Match::Header() const {
  ReplayHeader header;
  header.seed = agreement_.seed;
  header.version = std::string(GameVersion());
  header.speed = agreement_.speed;
  header.level = ComputerLevel::Original;
  return header;
}

ReplayEnd Match::End() const {
  ReplayEnd end;
  end.tick = state_.gameTicks;
  end.p1Score = game_.state.p1Score;
  end.p2Score = game_.state.p2Score;
  end.hash = StateHash(game_.state);
  return end;
}

std::string BuildReplay(const Agreement& agreement, std::span<const Held> p1,
                        std::span<const Held> p2) {
  HeadlessPlatform headless;
  Match match(headless);
  EventLog log;
  match.Begin(agreement, log);
  const std::size_t ticks = std::min(p1.size(), p2.size());
  StepEvents step;
  for (std::size_t t = 0; t < ticks && !match.game().Ended(); ++t) {
    match.platform().BeginTick({}, false);
    match.Step(p1[t], p2[t], step);
    for (int i = 0; i < step.count; ++i)
      log.Append(step.events[static_cast<std::size_t>(i)]);
  }
  return WriteReplay(match.Header(), log, match.End());
}

}  // namespace tandemhoop::net
