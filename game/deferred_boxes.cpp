#include "game/deferred_boxes.h"

namespace tandemhoop {

namespace {
// The longest text a box of the game shows, with room to spare: kept without allocating.
constexpr std::size_t kTextRoom = 64;
}  // namespace

DeferredBoxes::DeferredBoxes(Platform& inner, SelectionView& view)
    : PassingPlatform(inner), view_(view) {
  text_.reserve(kTextRoom);
}

void DeferredBoxes::Attach(Game& game) {
  game_ = &game;
  open_ = false;
  discarding_ = false;
  levelPending_ = false;
  speedPending_ = false;
}

void DeferredBoxes::Attach(Game& game, Recorder& recorder) {
  Attach(game);
  recorder_ = &recorder;
  player_ = nullptr;
}

void DeferredBoxes::Attach(Game& game, Player& player) {
  Attach(game);
  player_ = &player;
  recorder_ = nullptr;
}

void DeferredBoxes::Load() {
  Run({Input::Load, 0, 0});
}

void DeferredBoxes::Tick() {
  Run({Input::Tick, 0, 0});
}

void DeferredBoxes::KeyDown(int keyCode, int shift) {
  Run({Input::KeyDown, keyCode, shift});
}

void DeferredBoxes::KeyUp(int keyCode, int shift) {
  if (!open_) {
    Run({Input::KeyUp, keyCode, shift});
  } else if (releaseCount_ < kMaxReleases) {
    releases_[releaseCount_++] = Release{keyCode, shift};
  }
}

void DeferredBoxes::KeyPress(int keyAscii) {
  Run({Input::KeyPress, keyAscii, 0});
}

void DeferredBoxes::Click(SelectionClick click) {
  Run({Input::Click, static_cast<int>(click), 0});
}

void DeferredBoxes::SetComputerLevel(ComputerLevel level) {
  if (game_ == nullptr) return;
  if (open_) {
    // Put now, it would be taken back with the rest of the call.
    levelPending_ = true;
    pendingLevel_ = level;
    return;
  }
  game_->SetComputerLevel(level);
}

void DeferredBoxes::SetSpeed(Speed speed) {
  if (recorder_ == nullptr) return;
  if (open_) {
    speedPending_ = true;
    pendingSpeed_ = speed;
    return;
  }
  recorder_->SetSpeed(speed);
}

void DeferredBoxes::Run(const Call& call) {
  if (game_ == nullptr || open_) return;
  call_ = call;
  answeredCount_ = 0;
  releaseCount_ = 0;
  cuesHeard_ = 0;
  saved_ = game_->Save(snapshot_);
  if (recorder_ != nullptr) recorderMark_ = recorder_->Position();
  if (player_ != nullptr) playerMark_ = player_->Position();
  timerEnabled_ = inner_.TimerEnabled();
  Execute();
}

void DeferredBoxes::Execute() {
  open_ = false;
  boxesRun_ = 0;
  cuesRun_ = 0;
  discarding_ = false;
  Dispatch();
  if (!discarding_) {
    if (levelPending_) {
      levelPending_ = false;
      game_->SetComputerLevel(pendingLevel_);
    }
    if (speedPending_) {
      speedPending_ = false;
      recorder_->SetSpeed(pendingSpeed_);
    }
    return;
  }
  // A box waits: the course the call took past it is taken back.
  discarding_ = false;
  game_->Restore(snapshot_);
  if (recorder_ != nullptr) recorder_->Rewind(recorderMark_);
  if (player_ != nullptr) player_->Rewind(playerMark_);
  if (inner_.TimerEnabled() != timerEnabled_) inner_.SetTimerEnabled(timerEnabled_);
}

void DeferredBoxes::Dispatch() {
  const int code = call_.code;
  const int shift = call_.shift;
  if (player_ != nullptr) {
    if (call_.input == Input::Load) {
      // The inputs recorded before the first tick (the key that starts the game) follow at once.
      player_->Load();
      player_->DeliverDue();
    } else if (call_.input == Input::Tick) {
      player_->Tick();
    }
    return;
  }
  if (recorder_ == nullptr) return;
  switch (call_.input) {
    case Input::Load:
      recorder_->Load();
      break;
    case Input::Tick:
      recorder_->Tick();
      break;
    case Input::KeyDown:
      recorder_->KeyDown(code, shift);
      break;
    case Input::KeyUp:
      recorder_->KeyUp(code, shift);
      break;
    case Input::KeyPress:
      recorder_->KeyPress(code);
      break;
    case Input::Click:
      recorder_->Click(static_cast<SelectionClick>(code));
      break;
  }
}

void DeferredBoxes::Answer(bool yes) {
  if (!open_) return;
  Answered& box = answered_[answeredCount_++];
  box.yes = yes && asks_;
  box.releases = releaseCount_ - box.firstRelease;
  Execute();
}

bool DeferredBoxes::Box(std::string_view text, bool asks) {
  if (!saved_) {
    // Nothing to go back to: the platform answers as it can, at once.
    if (asks) return inner_.AskYesNo(text);
    inner_.ShowMessage(text);
    return false;
  }
  if (discarding_) return false;
  if (boxesRun_ < answeredCount_) {
    // Answered in an earlier run: what came while it was open comes again, inside it.
    const Answered& box = answered_[boxesRun_++];
    for (std::size_t i = box.firstRelease; i < box.firstRelease + box.releases; ++i) {
      if (recorder_ != nullptr) recorder_->KeyUp(releases_[i].code, releases_[i].shift);
    }
    return box.yes;
  }
  if (answeredCount_ == kMaxBoxes) return false;  // beyond any rule: answered OK or No at once
  ++boxesRun_;
  open_ = true;
  asks_ = asks;
  text_.assign(text.substr(0, text_.capacity()));
  answered_[answeredCount_] = Answered{false, releaseCount_, 0};
  discarding_ = true;
  return false;
}

void DeferredBoxes::ShowMessage(std::string_view text) {
  Box(text, false);
}

bool DeferredBoxes::AskYesNo(std::string_view text) {
  return Box(text, true);
}

std::int32_t DeferredBoxes::BitBlt(int x, int y, int width, int height, PictureRef source,
                                   RasterOp op) {
  // The result goes into the record, which is put back with the rest.
  return Standing() ? inner_.BitBlt(x, y, width, height, source, op) : 1;
}

void DeferredBoxes::SetTextPosition(int x, int y) {
  if (Standing()) inner_.SetTextPosition(x, y);
}

void DeferredBoxes::Print(std::string_view line) {
  if (Standing()) inner_.Print(line);
}

void DeferredBoxes::SetTimerEnabled(bool enabled) {
  if (Standing()) inner_.SetTimerEnabled(enabled);
}

void DeferredBoxes::CentreCourtWindow() {
  if (Standing()) inner_.CentreCourtWindow();
}

void DeferredBoxes::ShowSelectionScreen() {
  if (Standing()) inner_.ShowSelectionScreen();
}

void DeferredBoxes::EndProgram() {
  if (Standing()) inner_.EndProgram();
}

void DeferredBoxes::PlaySound(Sound sound) {
  // A cue heard in an earlier run of the call is not heard again.
  if (cuesRun_++ < cuesHeard_ || !Standing()) return;
  ++cuesHeard_;
  inner_.PlaySound(sound);
}

void DeferredBoxes::SetText1(std::string_view text) {
  if (Standing()) view_.SetText1(text);
}

void DeferredBoxes::SetText2(std::string_view text) {
  if (Standing()) view_.SetText2(text);
}

void DeferredBoxes::HideScreen() {
  if (Standing()) view_.HideScreen();
}

}  // namespace tandemhoop
