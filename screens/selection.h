#pragma once

#include <cstdint>
#include <string_view>

#include "game/state.h"

namespace tandemhoop {

class SelectionView {  // the selection screen's boxes, as the rules see them
 public:
  virtual ~SelectionView() = default;
  virtual void SetText1(std::string_view text) = 0;
  virtual void SetText2(std::string_view text) = 0;
  virtual void HideScreen() = 0;
};

class PlayerSelection {  // the rules of the selection screen
 public:
  PlayerSelection(GameState& state, SelectionView& view);
  void Form_Load();
  void PickPlayer(std::int16_t pick, std::string_view text);
  void ClearPick1();
  void ClearPick2();
  void StartPlay(std::int16_t mode);
  void Label6_Click();
  void Picture26_Click();
  void Label3_Click();
  void Picture34_Click();
  void Label4_Click();
  void Picture42_Click();
  void Label5_Click();
  void Picture50_Click();
  void Picture1_Click();
  void Picture2_Click();
  void Command3_Click();
  void Command4_Click();

 private:
  GameState& state_;
  SelectionView& view_;
};

// The four players in pick order: the name on the screen and the text of the pick box.
struct PlayerName {
  std::string_view caption;
  std::string_view pickText;
};
inline constexpr PlayerName kPlayerNames[4] = {
    {"Oskel Varrin", "OSKEL"},
    {"Tobin Hask", "TOBIN"},
    {"Pell Ormand", "PELL"},
    {"Reko Fairlane", "REKO"},
};

}  // namespace tandemhoop
