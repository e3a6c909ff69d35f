#pragma once

#include <QFont>

namespace tandemhoop {

// The faces bundled with the game, so the printed lines and the selection screen look the same
// on every desktop. Loads them from the resources the first time; falls back to the desktop's
// own serif or sans face when a resource is missing.
QFont CourtFont();            // the three printed lines: serif semibold, 16 px
QFont ScreenFont(bool bold);  // the selection screen's default face, 11 px
QFont ScreenTitleFont();      // the selection screen's title line, 16 px bold

}  // namespace tandemhoop
