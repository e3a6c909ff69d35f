#include "desktop/level_menu.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "desktop/picture_holders.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "tests/desktop/desktop_test_support.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

class LevelMenu : public ::testing::Test {
 protected:
  LevelMenu() { Settings::UseFileForTesting(path()); }
  ~LevelMenu() override { Settings::UseFileForTesting({}); }
  QString path() const { return dir.path() + QStringLiteral("/settings.ini"); }

  // The entries as the context menu shows them: the submenu's actions, by their text.
  QAction* Entry(QMenu& menu, const QString& text) {
    for (QAction* top : menu.actions()) {
      if (top->menu() == nullptr) continue;
      for (QAction* action : top->menu()->actions())
        if (action->text().remove(QLatin1Char('&')) == text) return action;
    }
    return nullptr;
  }

  QTemporaryDir dir;
  testing::FakePlatform platform;
  testing::RepeatingRandom random{0.5};
  Game game{platform, random};
};

TEST_F(LevelMenu, ALevelChosenInTheMenuIsPlayedAtOnceAndRememberedForTheNextStart) {
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Original) << "nothing stored yet";
  QMenu menu;
  AddComputerLevelEntries(menu, game);
  QAction* original = Entry(menu, QStringLiteral("Original"));
  QAction* easy = Entry(menu, QStringLiteral("Easy"));
  ASSERT_NE(original, nullptr);
  ASSERT_NE(easy, nullptr);
  ASSERT_NE(Entry(menu, QStringLiteral("Medium")), nullptr);
  EXPECT_TRUE(original->isChecked());
  EXPECT_FALSE(easy->isChecked());

  easy->trigger();
  EXPECT_EQ(game.computerLevel(), ComputerLevel::Easy);
  EXPECT_TRUE(easy->isChecked());
  EXPECT_FALSE(original->isChecked()) << "one level at a time";

  // The next start: a new game gets the remembered level, and the menu shows it.
  testing::FakePlatform nextPlatform;
  Game next{nextPlatform, random};
  CourtWindow court;
  InstallComputerLevelMenu(court, next);
  EXPECT_EQ(next.computerLevel(), ComputerLevel::Easy);
  QMenu nextMenu;
  AddComputerLevelEntries(nextMenu, next);
  EXPECT_TRUE(Entry(nextMenu, QStringLiteral("Easy"))->isChecked());

  StoreComputerLevel(ComputerLevel::Medium);
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Medium);
}

TEST_F(LevelMenu, AnUnknownOrUnreadableStoredLevelIsTheOriginalComputer) {
  Settings::SetValue(QStringLiteral("computer/level"), QStringLiteral("impossible"));
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Original);
  Settings::SetValue(QStringLiteral("computer/level"), QStringLiteral(" Easy "));
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Easy) << "as a person may write it by hand";

  QFile file(path());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("[computer\nlevel=easy\n\xff\xfe");
  file.close();
  game.SetComputerLevel(ComputerLevel::Medium);
  CourtWindow court;
  InstallComputerLevelMenu(court, game);
  EXPECT_EQ(game.computerLevel(), ComputerLevel::Original);
}

// Beaten by the computer, a person finds the easier level in the winner's box; the box says
// what it always said, and nothing is kept unless he takes the offer.
TEST_F(LevelMenu, TheComputersWinOffersAnEasierComputerForTheNextGame) {
  CourtWindow court;
  PictureHolders pictures;
  DesktopPlatform desktop(court, pictures);
  OfferEasierLevelAfterALoss(desktop, game);
  game.state.twoPlayerMode = kFalse;
  game.state.p1Score = 2;
  game.state.p2Score = 4;

  const auto show = [&](std::string_view text, bool take) {
    QString offer;
    testing::BoxAnswerer answer(QMessageBox::Ok, [&](QMessageBox& box) {
      if (box.checkBox() == nullptr) return;
      offer = box.checkBox()->text();
      EXPECT_FALSE(box.checkBox()->isChecked()) << "an offer, not a choice made for him";
      box.checkBox()->setChecked(take);
    });
    desktop.ShowMessage(text);
    EXPECT_TRUE(answer.opened);
    EXPECT_EQ(answer.text, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return offer;
  };
  EXPECT_TRUE(show("FOUL: Player 2", true).isEmpty()) << "a foul in the tick of the last basket";
  EXPECT_EQ(show("Computer Wins", false), "Play the next game against the computer at Medium");
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Original);
  game.state.p1Score = 0;  // beaten hands down: two levels easier
  EXPECT_EQ(show("Computer Wins", true), "Play the next game against the computer at Easy");
  EXPECT_EQ(StoredComputerLevel(), ComputerLevel::Easy);
  game.SetComputerLevel(kEasiestLevel);
  EXPECT_TRUE(show("Computer Wins", true).isEmpty()) << "nothing easier to offer";
}

}  // namespace
}  // namespace tandemhoop
