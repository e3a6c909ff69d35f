#pragma once

#include <QString>

#include "game/game.h"

class QMenu;

namespace tandemhoop {

class CourtWindow;
class DesktopPlatform;

// The computer level as the settings keep it, under computer/level: "original", "medium",
// "easy" or "beginner". Anything else, or nothing, is the original computer.
ComputerLevel StoredComputerLevel();
void StoreComputerLevel(ComputerLevel level);

// The levels as radio entries of a "Computer" submenu, the game's level checked; choosing
// one sets it in the game at once and remembers it.
void AddComputerLevelEntries(QMenu& menu, Game& game);

// Gives the game the remembered level and puts the entries into the court window's menu.
void InstallComputerLevelMenu(CourtWindow& court, Game& game);

// Someone beaten by the computer learns there is an easier one: the winner's box gets a check
// box that sets the easier level for the next game (EasierLevelToOffer), below its text.
void OfferEasierLevelAfterALoss(DesktopPlatform& platform, Game& game);

}  // namespace tandemhoop
