#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace tandemhoop {

// The ten things a player does with a key: each side's left, up, right, down and action key.
enum class Action : std::uint8_t {
  Player1Left,
  Player1Up,
  Player1Right,
  Player1Down,
  Player1Action,
  Player2Left,
  Player2Up,
  Player2Right,
  Player2Down,
  Player2Action,
};
inline constexpr int kActionCount = 10;

// The virtual-key code the game's key handlers know the action by: the original key's.
int GameCode(Action action);
// The row of the Controls dialog an action is on: "Left" ... "Shoot, block, steal".
QString RowName(Action action);
// The action named as the dialog shows it, its row under its player: "Player 1's Left key",
// "Player 2's Shoot, block, steal key", for its messages and refusals.
QString ActionName(Action action);

// A key as the player chose it: the Qt key, except that a letter or a digit is its upper-case
// ASCII whatever the keyboard layout types on it, so a choice does not depend on the layout.
int KeyIdentity(int qtKey, int virtualKeyCode);
// What the dialog shows for a key.
QString KeyName(int key);

// Which key does each action. The court window asks it to translate every key before the game
// sees it, so the game only ever sees the original codes and its rules do not change: a chosen
// key gives its action's original code, and an original key that no longer does an action
// gives nothing. With the defaults every key translates to itself.
class KeyBindings {
 public:
  KeyBindings();  // the original keys

  int Key(Action action) const { return keys_[static_cast<int>(action)]; }

  // Puts `key` on `action`; an empty result means done, otherwise it is the word why not (a key
  // the game or its window needs, or one another action already uses).
  QString Choose(Action action, int key);
  void RestoreDefaults();
  bool IsDefault() const;

  // The code the game's key handlers get for a key: see the class comment.
  int Translate(int keyIdentity, int virtualKeyCode) const;

  // The player's choice, kept under controls/ in the settings. A stored map that is not a valid
  // choice as a whole (a refused key, a key on two actions) counts as the defaults.
  void Load();
  void Save() const;

  // The keys the court window translates with.
  static KeyBindings& Current();

 private:
  std::array<int, kActionCount> keys_{};
};

// The court window's hook: the code its key handlers get for a key it saw.
int TranslateKey(int qtKey, int virtualKeyCode);

}  // namespace tandemhoop
