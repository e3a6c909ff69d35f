#include "desktop/level_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <array>

#include "desktop/court_window.h"
#include "desktop/settings.h"

namespace tandemhoop {

namespace {

const QString kKey = QStringLiteral("computer/level");

// The menu's captions, in the order of the levels.
constexpr const char* kCaptions[] = {"&Original", "&Medium", "&Easy"};

QString Stored(ComputerLevel level) {
  const std::string_view name = kLevelNames[static_cast<std::size_t>(level)];
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

constexpr ComputerLevel kLevels[] = {ComputerLevel::Original, ComputerLevel::Medium,
                                     ComputerLevel::Easy};

}  // namespace

ComputerLevel StoredComputerLevel() {
  const QString stored = Settings::Value(kKey).toString().trimmed().toLower();
  for (const ComputerLevel level : kLevels)
    if (stored == Stored(level)) return level;
  return ComputerLevel::Original;
}

void StoreComputerLevel(ComputerLevel level) {
  Settings::SetValue(kKey, Stored(level));
}

void AddComputerLevelEntries(QMenu& menu, Game& game) {
  QMenu* levels = menu.addMenu(QObject::tr("&Computer"));
  auto* group = new QActionGroup(levels);
  group->setExclusive(true);
  for (const ComputerLevel level : kLevels) {
    QAction* action = levels->addAction(QObject::tr(kCaptions[static_cast<std::size_t>(level)]));
    action->setCheckable(true);
    action->setChecked(game.computerLevel() == level);
    action->setData(Stored(level));
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, levels, [&game, level] {
      game.SetComputerLevel(level);
      StoreComputerLevel(level);
    });
  }
}

void InstallComputerLevelMenu(CourtWindow& court, Game& game) {
  game.SetComputerLevel(StoredComputerLevel());
  court.AddMenuEntries([&game](QMenu& menu) { AddComputerLevelEntries(menu, game); });
}

}  // namespace tandemhoop
