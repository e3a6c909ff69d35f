#include "desktop/level_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <array>

#include "desktop/court_window.h"
#include "desktop/settings.h"

namespace tandemhoop {

namespace {

const QString kKey = QStringLiteral("computer/level");

struct LevelName {
  ComputerLevel level;
  const char* stored;
  const char* shown;
};

constexpr std::array<LevelName, 3> kLevels{{
    {ComputerLevel::Original, "original", "&Original"},
    {ComputerLevel::Medium, "medium", "&Medium"},
    {ComputerLevel::Easy, "easy", "&Easy"},
}};

}  // namespace

ComputerLevel StoredComputerLevel() {
  const QString stored = Settings::Value(kKey).toString().trimmed().toLower();
  for (const LevelName& name : kLevels)
    if (stored == QLatin1String(name.stored)) return name.level;
  return ComputerLevel::Original;
}

void StoreComputerLevel(ComputerLevel level) {
  for (const LevelName& name : kLevels)
    if (name.level == level) Settings::SetValue(kKey, QString::fromLatin1(name.stored));
}

void AddComputerLevelEntries(QMenu& menu, Game& game) {
  QMenu* levels = menu.addMenu(QObject::tr("&Computer"));
  auto* group = new QActionGroup(levels);
  group->setExclusive(true);
  for (const LevelName& name : kLevels) {
    QAction* action = levels->addAction(QObject::tr(name.shown));
    action->setCheckable(true);
    action->setChecked(game.computerLevel() == name.level);
    action->setData(QString::fromLatin1(name.stored));
    group->addAction(action);
    const ComputerLevel level = name.level;
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
