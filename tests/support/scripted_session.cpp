#include "tests/support/scripted_session.h"

#include "game/keys.h"

namespace tandemhoop::testing {

namespace {

constexpr int kEsc = 27;
constexpr int kEnter = 13;

// Picks changed before play: a pick, its badge clearing it, two more picks, a click on a full
// screen that changes nothing, then the mode.
constexpr SelectionClick kClicks[] = {
    SelectionClick::Label3, SelectionClick::Picture1,  SelectionClick::Picture26,
    SelectionClick::Label4, SelectionClick::Picture50, SelectionClick::Picture2,
    SelectionClick::Label3,
};

constexpr int kPlayer1Keys[] = {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kKeyM};
constexpr int kPlayer2Keys[] = {keys::kKeyF, keys::kKeyT, keys::kKeyH, keys::kKeyV, keys::kKeyA};

// The character a key types, 0 for none.
int Character(int code) {
  return code >= 'A' && code <= 'Z' ? code - 'A' + 'a' : 0;
}

}  // namespace

ScriptedSession::ScriptedSession(RasterPlatform& platform, std::uint64_t seed, bool twoPlayers)
    : platform(platform),
      recorder(platform),
      game(recorder, random),
      selection(game.state, view),
      script_(seed),
      twoPlayers_(twoPlayers) {
  platform.observer = this;
  recorder.Attach(game, selection);
}

ScriptedSession::~ScriptedSession() {
  platform.observer = nullptr;
}

void ScriptedSession::OnShowSelection() {
  if (selectionLoaded_) return;
  selectionLoaded_ = true;
  selection.Form_Load();
}

void ScriptedSession::ReleaseOneHeld() {
  for (std::size_t code = 0; code < releaseAt_.size(); ++code) {
    if (releaseAt_[code] != 0) {
      ++boxedReleases;
      Release(static_cast<int>(code));
      return;
    }
  }
}

void ScriptedSession::OnMessage(std::string_view /*text*/) {
  ++messages;
  ReleaseOneHeld();
}

bool ScriptedSession::OnAsk(std::string_view /*text*/) {
  ++questions;
  ReleaseOneHeld();
  return false;
}

void ScriptedSession::Press(int code) {
  recorder.KeyDown(code, 0);
  if (const int character = Character(code)) recorder.KeyPress(character);
}

void ScriptedSession::Release(int code) {
  releaseAt_[static_cast<std::size_t>(code)] = 0;
  recorder.KeyUp(code, 0);
}

bool ScriptedSession::Step() {
  ++step_;
  if (!loaded_) {
    loaded_ = true;
    recorder.Load();
  }
  if (game.Ended()) return false;

  if (!recorder.TimerEnabled()) {
    // The title, or the game left frozen by No: any character key goes on.
    recorder.KeyDown(kEnter, 0);
    recorder.KeyPress(kEnter);
  } else if (game.state.playClock == 0) {
    if (selectionLoaded_ && script_.OneIn(3)) {
      ++clicks;
      if (nextClick_ < static_cast<int>(std::size(kClicks))) {
        recorder.Click(kClicks[nextClick_++]);
      } else {
        recorder.Click(twoPlayers_ ? SelectionClick::Command4 : SelectionClick::Command3);
      }
    }
  } else {
    for (std::size_t code = 0; code < releaseAt_.size(); ++code) {
      if (releaseAt_[code] == 0) continue;
      if (releaseAt_[code] <= step_) {
        Release(static_cast<int>(code));
      } else if (step_ % 2 == 0) {
        ++repeats;  // a held key repeats
        Press(static_cast<int>(code));
      }
    }
    if (script_.OneIn(4)) {
      const bool player2 = twoPlayers_ && script_.OneIn(2);
      const int code = player2 ? kPlayer2Keys[script_.Below(5)] : kPlayer1Keys[script_.Below(5)];
      if (releaseAt_[static_cast<std::size_t>(code)] == 0) {
        releaseAt_[static_cast<std::size_t>(code)] = step_ + 1 + script_.Below(25);
        Press(code);
      }
    }
    if (step_ == quitAtStep) {
      recorder.KeyDown(kEsc, 0);
      recorder.KeyPress(kEsc);
    }
  }
  if (game.Ended()) return false;
  if (recorder.TimerEnabled()) {
    stateBeforeLastTick = StateHash(game.state);
    recorder.Tick();
  }
  return !game.Ended();
}

}  // namespace tandemhoop::testing
