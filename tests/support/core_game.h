#pragma once

#include "game/game.h"
#include "screens/selection.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fake_selection_view.h"

namespace tandemhoop::testing {

// A whole game on the fakes, wired the way the desktop wires the real windows: the selection
// screen loads the first time the frame loop shows it. Pass the random source to use.
struct CoreGame {
  explicit CoreGame(RandomSource& random) : game(platform, random), selection(game.state, view) {
    platform.onShowSelection = [this] {
      if (!selectionLoaded) {
        selectionLoaded = true;
        selection.Form_Load();
      }
    };
  }
  // Start-up, the first key, one tick to show the selection screen, two picks and a mode.
  void StartPlay(std::int16_t pick1, std::int16_t pick2, bool twoPlayers) {
    game.Form_Load();
    game.Form_KeyPress(13);
    game.Timer1_Timer();
    selection.PickPlayer(pick1, kPlayerNames[pick1 - 1].pickText);
    selection.PickPlayer(pick2, kPlayerNames[pick2 - 1].pickText);
    if (twoPlayers) {
      selection.Command4_Click();
    } else {
      selection.Command3_Click();
    }
  }
  void Ticks(int count) {
    for (int i = 0; i < count && !game.Ended(); ++i)
      game.Timer1_Timer();
  }
  void Press(int keyCode) { game.Form_KeyDown(keyCode, 0); }
  void Release(int keyCode) { game.Form_KeyUp(keyCode, 0); }

  FakePlatform platform;
  FakeSelectionView view;
  Game game;
  PlayerSelection selection;
  bool selectionLoaded = false;
};

}  // namespace tandemhoop::testing
