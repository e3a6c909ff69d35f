#include "screens/selection.h"

namespace tandemhoop {

namespace {
constexpr std::string_view kWhoIsThis = "Sino ito?";
}

PlayerSelection::PlayerSelection(GameState& state, SelectionView& view)
    : state_(state), view_(view) {}

void PlayerSelection::Form_Load() {
  view_.SetText1("");
  view_.SetText2("");
  state_.p1Pick = 0;
  state_.p2Pick = 0;
}

// A click fills the first empty box, Player 1's before Player 2's; a player can never stand in
// both boxes, and a filled box changes only after its badge has cleared it.
void PlayerSelection::PickPlayer(std::int16_t pick, std::string_view text) {
  if (state_.p1Pick == 0 && state_.p2Pick != pick) {
    state_.p1Pick = pick;
    view_.SetText1(text);
  } else if (state_.p2Pick == 0 && state_.p1Pick != pick) {
    state_.p2Pick = pick;
    view_.SetText2(text);
  }
}

void PlayerSelection::ClearPick1() {
  state_.p1Pick = 0;
  view_.SetText1("");
}

void PlayerSelection::ClearPick2() {
  state_.p2Pick = 0;
  view_.SetText2("");
}

void PlayerSelection::StartPlay(std::int16_t mode) {
  if (state_.p1Pick < 1 || state_.p2Pick < 1) {
    if (state_.p1Pick == 0) view_.SetText1(kWhoIsThis);
    if (state_.p2Pick == 0) view_.SetText2(kWhoIsThis);
    return;
  }
  view_.HideScreen();
  state_.twoPlayerMode = mode;
  state_.playClock = 2;
}

void PlayerSelection::Label6_Click() {
  PickPlayer(1, kPlayerNames[0].pickText);
}
void PlayerSelection::Picture26_Click() {
  PickPlayer(1, kPlayerNames[0].pickText);
}
void PlayerSelection::Label3_Click() {
  PickPlayer(2, kPlayerNames[1].pickText);
}
void PlayerSelection::Picture34_Click() {
  PickPlayer(2, kPlayerNames[1].pickText);
}
void PlayerSelection::Label4_Click() {
  PickPlayer(3, kPlayerNames[2].pickText);
}
void PlayerSelection::Picture42_Click() {
  PickPlayer(3, kPlayerNames[2].pickText);
}
void PlayerSelection::Label5_Click() {
  PickPlayer(4, kPlayerNames[3].pickText);
}
void PlayerSelection::Picture50_Click() {
  PickPlayer(4, kPlayerNames[3].pickText);
}
void PlayerSelection::Picture1_Click() {
  ClearPick1();
}
void PlayerSelection::Picture2_Click() {
  ClearPick2();
}
void PlayerSelection::Command3_Click() {
  StartPlay(kFalse);
}
void PlayerSelection::Command4_Click() {
  StartPlay(kTrue);
}

}  // namespace tandemhoop
