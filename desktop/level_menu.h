#pragma once

#include <QString>

#include "game/game.h"

class QMenu;

namespace tandemhoop {

class CourtWindow;

// The computer level as the settings keep it, under computer/level: "original", "medium" or
// "easy". Anything else, or nothing, is the original computer.
ComputerLevel StoredComputerLevel();
void StoreComputerLevel(ComputerLevel level);

// The three levels as radio entries of a "Computer" submenu, the game's level checked; choosing
// one sets it in the game at once and remembers it.
void AddComputerLevelEntries(QMenu& menu, Game& game);

// Gives the game the remembered level and puts the entries into the court window's menu.
void InstallComputerLevelMenu(CourtWindow& court, Game& game);

}  // namespace tandemhoop
