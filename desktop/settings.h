#pragma once

#include <QString>
#include <QVariant>

namespace tandemhoop {

// The player's remembered choices (scaling, full screen, window size, speed, and what later
// additions keep), in one QSettings store under the game's own organisation and application
// names. A store that cannot be read or parsed counts as empty, so every choice falls back to
// its default and the game always starts.
class Settings {
 public:
  static QVariant Value(const QString& key, const QVariant& fallback = {});
  static void SetValue(const QString& key, const QVariant& value);
  // Where the choices are kept.
  static QString FileName();

  // Tests point the store at a file of their own; an empty path goes back to the user's.
  static void UseFileForTesting(const QString& path);
};

}  // namespace tandemhoop
