#include "desktop/level_menu.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QMenu>
#include <QMessageBox>
#include <array>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/settings.h"

namespace tandemhoop {

namespace {

const QString kKey = QStringLiteral("computer/level");

// The menu's captions, in the order of the levels.
constexpr const char* kCaptions[] = {"&Original", "&Medium", "&Easy", "&Beginner"};

QString Stored(ComputerLevel level) {
  const std::string_view name = kLevelNames[static_cast<std::size_t>(level)];
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

constexpr ComputerLevel kLevels[] = {ComputerLevel::Original, ComputerLevel::Medium,
                                     ComputerLevel::Easy, ComputerLevel::Beginner};

QString Caption(ComputerLevel level) {
  return QObject::tr(kCaptions[static_cast<std::size_t>(level)]).remove(QLatin1Char('&'));
}

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

void OfferEasierLevelAfterALoss(DesktopPlatform& platform, Game& game) {
  platform.SetBoxAddition([&game](QMessageBox& box,
                                  std::string_view text) -> std::function<void()> {
    // Only the winner's box: a foul called in the tick of the fourth basket has its own.
    if (text != "Computer Wins") return {};
    const std::optional<ComputerLevel> easier =
        EasierLevelToOffer(game.state, game.computerLevel());
    if (!easier) return {};
    auto* offer = new QCheckBox(
        QObject::tr("Play the next game against the computer at %1").arg(Caption(*easier)), &box);
    box.setCheckBox(offer);
    return [offer, level = *easier] {
      if (offer->isChecked()) StoreComputerLevel(level);
    };
  });
}

}  // namespace tandemhoop
