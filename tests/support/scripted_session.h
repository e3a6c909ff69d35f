#pragma once

#include <array>
#include <cstdint>

#include "game/game.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "screens/selection.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"

namespace tandemhoop::testing {

// A game played through a recorder, as the desktop feeds one: Enter on the title, picks changed
// on the selection screen, then held keys with auto-repeat, Esc answered No and play resumed by
// a key, and a held key let go while each box is open (a window that loses the keyboard
// releases what was held). The choices come from a seeded generator: the same seed, the same
// game. Nothing here allocates once it is built, but for the recorder's log growing.
class ScriptedSession : public PlatformObserver {
 public:
  ScriptedSession(RasterPlatform& platform, std::uint64_t seed, bool twoPlayers);
  ~ScriptedSession() override;

  // The inputs of one step, then a tick if the timer runs; false once the game has ended.
  bool Step();
  // Whether the next Step will start with a tick (the timer runs).
  bool TimerRunning() const { return recorder.TimerEnabled(); }

  void OnShowSelection() override;
  void OnMessage(std::string_view text) override;
  bool OnAsk(std::string_view text) override;

  RasterPlatform& platform;
  Recorder recorder;
  MtRandom random;
  Game game;
  FixedSelectionView view;
  PlayerSelection selection;

  long long messages = 0;
  long long questions = 0;
  long long boxedReleases = 0;
  long long repeats = 0;
  long long clicks = 0;
  long long quitAtStep = 300;             // Esc is pressed once at this step and answered No
  std::uint64_t stateBeforeLastTick = 0;  // StateHash just before the last tick began

 private:
  void Press(int code);
  void Release(int code);
  void ReleaseOneHeld();

  SplitMix64 script_;
  bool twoPlayers_;
  bool loaded_ = false;
  bool selectionLoaded_ = false;
  long long step_ = 0;
  int nextClick_ = 0;
  std::array<long long, 128> releaseAt_{};  // step at which a held key goes up; 0: not held
};

}  // namespace tandemhoop::testing
