#include "desktop/selection_screen.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <utility>

#include "desktop/picture_holders.h"
#include "tests/desktop/desktop_test_support.h"

namespace tandemhoop {
namespace {

class SelectionScreenTest : public ::testing::Test {
 protected:
  SelectionScreenTest() {
    art.Write({Holder::Form2, form2::Picture34}, qRgb(200, 150, 100));
    art.Write({Holder::Form4, form4::Picture1}, qRgb(10, 200, 10));
    screen.ShowScreen();
  }

  QWidget* Control(const char* name) {
    auto* control = screen.findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  void Click(const char* name) { QTest::mouseClick(Control(name), Qt::LeftButton); }
  QString Text1() { return static_cast<QLineEdit*>(Control("Text1"))->text(); }
  QString Text2() { return static_cast<QLineEdit*>(Control("Text2"))->text(); }

  testing::TestArt art;
  GameState state;
  QWidget court;
  PictureHolders pictures{art.root()};
  SelectionScreen screen{state, pictures, &court};
};

TEST_F(SelectionScreenTest, EveryControlStandsWhereTheLayoutPutsIt) {
  EXPECT_EQ(screen.windowTitle(), QString(25, ' ') + "Tandemhoop");
  EXPECT_EQ(screen.size(), QSize(312, 269));
  EXPECT_EQ(screen.minimumSize(), screen.maximumSize());
  EXPECT_EQ(screen.palette().color(QPalette::Window), QColor(0, 0, 0));
  EXPECT_TRUE(screen.isWindow());

  struct Place {
    const char* name;
    QRect at;
  };
  const Place places[] = {
      {"Label8", {72, 40, 177, 25}},     {"Picture1", {24, 72, 32, 32}},
      {"Text1", {56, 80, 89, 25}},       {"Label7", {152, 64, 17, 17}},
      {"Picture2", {168, 72, 32, 32}},   {"Text2", {200, 80, 89, 25}},
      {"Picture34", {16, 120, 35, 41}},  {"Label3", {56, 120, 89, 41}},
      {"Picture26", {160, 120, 31, 41}}, {"Label6", {200, 120, 89, 41}},
      {"Picture42", {16, 160, 35, 41}},  {"Label4", {56, 160, 89, 41}},
      {"Picture50", {160, 160, 31, 41}}, {"Label5", {200, 160, 89, 41}},
      {"Command3", {96, 208, 137, 17}},  {"Command4", {96, 240, 137, 17}},
  };
  for (const Place& place : places) {
    QWidget* control = Control(place.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->geometry(), place.at) << place.name;
    EXPECT_TRUE(control->isVisible()) << place.name;
  }

  const auto text = [&](const char* name) { return static_cast<QLabel*>(Control(name))->text(); };
  EXPECT_EQ(text("Label7"), " vs");
  EXPECT_EQ(text("Label3"), "Tobin Hask");
  EXPECT_EQ(text("Label6"), "Oskel Varrin");
  EXPECT_EQ(text("Label4"), "Pell Ormand");
  EXPECT_EQ(text("Label5"), "Reko Fairlane");
  EXPECT_EQ(static_cast<QPushButton*>(Control("Command3"))->text(), "vs Computer");
  EXPECT_EQ(static_cast<QPushButton*>(Control("Command4"))->text(), "2 Players");

  // Colours: white title on black, red " vs", names black on white, Player 2's box in blue.
  const auto colour = [&](const char* name, QPalette::ColorRole role) {
    return Control(name)->palette().color(role);
  };
  EXPECT_EQ(colour("Label8", QPalette::WindowText), QColor(255, 255, 255));
  EXPECT_EQ(colour("Label8", QPalette::Window), QColor(0, 0, 0));
  EXPECT_EQ(colour("Label7", QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(colour("Label5", QPalette::WindowText), QColor(0, 0, 0));
  EXPECT_EQ(colour("Label5", QPalette::Window), QColor(255, 255, 255));
  EXPECT_EQ(colour("Text1", QPalette::Text), QColor(0, 0, 0));
  EXPECT_EQ(colour("Text2", QPalette::Text), QColor(0, 0, 255));

  // The bundled faces: the default at 11 px, the boxes bold, the title 16 px bold.
  EXPECT_EQ(QFontInfo(Control("Label3")->font()).pixelSize(), 11);
  EXPECT_FALSE(Control("Label3")->font().bold());
  EXPECT_TRUE(Control("Text1")->font().bold());
  EXPECT_TRUE(Control("Text2")->font().bold());
  EXPECT_EQ(QFontInfo(Control("Label8")->font()).pixelSize(), 16);
  EXPECT_TRUE(Control("Label8")->font().bold());
  EXPECT_EQ(QFontInfo(Control("Label3")->font()).family(), "TeX Gyre Heros");
}

TEST_F(SelectionScreenTest, PicturesSitInsideAOnePixelBorderAndMissingArtLeavesTheBoxEmpty) {
  const QImage portrait = Control("Picture34")->grab().toImage();
  EXPECT_EQ(portrait.pixel(1, 1) & 0xFFFFFFu, 0xC89664u);  // the art starts inside the border
  EXPECT_EQ(portrait.pixel(33, 39) & 0xFFFFFFu, 0xC89664u);
  EXPECT_NE(portrait.pixel(0, 0) & 0xFFFFFFu, 0xC89664u);
  EXPECT_NE(portrait.pixel(34, 40) & 0xFFFFFFu, 0xC89664u);
  const QImage badge = Control("Picture1")->grab().toImage();
  EXPECT_EQ(badge.pixel(15, 15) & 0xFFFFFFu, 0x0AC80Au);
  // No art for Reko Fairlane's portrait in this folder: the box is drawn, empty.
  const QImage missing = Control("Picture50")->grab().toImage();
  EXPECT_EQ(missing.size(), QSize(31, 41));
}

TEST_F(SelectionScreenTest, PortraitsAndNamesPickBadgesClear) {
  EXPECT_TRUE(screen.isVisible());
  Click("Picture34");  // Tobin Hask into box 1
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(Text1(), "TOBIN");
  Click("Label3");  // his name: he cannot also go into box 2
  EXPECT_EQ(state.p2Pick, 0);
  EXPECT_EQ(Text2(), "");
  Click("Label6");  // Oskel Varrin into box 2
  EXPECT_EQ(state.p2Pick, 1);
  EXPECT_EQ(Text2(), "OSKEL");
  Click("Picture50");  // both boxes full: nothing changes
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(state.p2Pick, 1);

  Click("Picture1");  // the 1P badge empties box 1
  EXPECT_EQ(state.p1Pick, 0);
  EXPECT_EQ(Text1(), "");
  Click("Picture26");  // Oskel is in box 2 already
  EXPECT_EQ(state.p1Pick, 0);
  Click("Label4");
  EXPECT_EQ(state.p1Pick, 3);
  EXPECT_EQ(Text1(), "PELL");
  Click("Picture2");
  EXPECT_EQ(state.p2Pick, 0);
  EXPECT_EQ(Text2(), "");
  Click("Picture42");  // Pell is in box 1 already
  EXPECT_EQ(state.p2Pick, 0);
  Click("Label5");
  EXPECT_EQ(state.p2Pick, 4);
  EXPECT_EQ(Text2(), "REKO");

  // A press that ends outside the control is no click.
  QTest::mousePress(Control("Picture1"), Qt::LeftButton);
  QTest::mouseRelease(Control("Picture1"), Qt::LeftButton, {}, QPoint(40, 40));
  EXPECT_EQ(state.p1Pick, 3);
}

TEST_F(SelectionScreenTest, ModeButtonsAskWhoIsMissingThenStartPlay) {
  Click("Command3");
  EXPECT_EQ(Text1(), "Sino ito?");
  EXPECT_EQ(Text2(), "Sino ito?");
  EXPECT_TRUE(screen.isVisible());
  EXPECT_EQ(state.playClock, 0);

  Click("Label5");  // a pick replaces the question in its box
  EXPECT_EQ(Text1(), "REKO");
  Click("Command4");
  EXPECT_EQ(Text1(), "REKO");
  EXPECT_EQ(Text2(), "Sino ito?");
  EXPECT_EQ(state.playClock, 0);

  Click("Picture2");  // the badge removes the question too
  EXPECT_EQ(Text2(), "");
  Click("Picture34");
  EXPECT_EQ(Text2(), "TOBIN");
  Click("Command4");
  EXPECT_FALSE(screen.isVisible());
  EXPECT_EQ(state.twoPlayerMode, kTrue);
  EXPECT_EQ(state.playClock, 2);
}

TEST_F(SelectionScreenTest, VsComputerStartsTheOneSidedGame) {
  state.twoPlayerMode = kTrue;
  Click("Picture26");
  Click("Picture42");
  Click("Command3");
  EXPECT_FALSE(screen.isVisible());
  EXPECT_EQ(state.twoPlayerMode, kFalse);
  EXPECT_EQ(state.playClock, 2);
}

TEST_F(SelectionScreenTest, EnterPressesTheFocusedButton) {
  Click("Picture26");
  Click("Picture42");
  Control("Command4")->setFocus();
  QTest::keyClick(&screen, Qt::Key_Return);
  EXPECT_FALSE(screen.isVisible());
  EXPECT_EQ(state.twoPlayerMode, kTrue);
}

TEST_F(SelectionScreenTest, BelongsToTheCourtAndComesBackEveryTick) {
  // A dialog-type window with the court as its parent: transient for the court window.
  EXPECT_EQ(screen.windowType(), Qt::Dialog);
  EXPECT_EQ(screen.parentWidget(), &court);
  screen.showMinimized();
  ASSERT_TRUE(screen.isMinimized());
  screen.ShowScreen();
  EXPECT_FALSE(screen.isMinimized());
  EXPECT_TRUE(screen.isVisible());

  // Shown again on every tick, it is not raised: over the court the window manager keeps it,
  // and over another program the player turned to it must not come.
  struct : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
      raised += event->type() == QEvent::ZOrderChange ? 1 : 0;
      return false;
    }
    int raised = 0;
  } stacking;
  screen.installEventFilter(&stacking);
  for (int tick = 0; tick < 5; ++tick)
    screen.ShowScreen();
  EXPECT_EQ(stacking.raised, 0);
  screen.removeEventFilter(&stacking);
}

TEST_F(SelectionScreenTest, TypingANameIntoAPickBoxPicksNobody) {
  auto* box = static_cast<QLineEdit*>(Control("Text1"));
  QTest::keyClicks(box, "OSKEL");
  EXPECT_EQ(box->text(), "OSKEL");
  EXPECT_EQ(state.p1Pick, 0);
  Click("Picture34");  // box 1 is still empty as far as the picks go
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(Text1(), "TOBIN");

  QTest::keyClicks(static_cast<QLineEdit*>(Control("Text2")), "REKO");
  Click("Command4");
  EXPECT_EQ(Text2(), "Sino ito?");
  EXPECT_EQ(state.p2Pick, 0);
  EXPECT_TRUE(screen.isVisible());
}

TEST_F(SelectionScreenTest, TabArrowsSpaceAndEnterDriveItWithoutAMouse) {
  QApplication::setActiveWindow(&screen);
  const auto focused = [&] { return screen.focusWidget()->objectName(); };
  const auto key = [&](int code) { QTest::keyClick(screen.focusWidget(), Qt::Key(code)); };
  // The focus starts on the first portrait and is drawn around it.
  ASSERT_EQ(focused(), "Picture34");
  EXPECT_EQ(Control("Picture34")->grab().toImage().pixel(1, 1) & 0xFFFFFFu, 0xFF9600u);

  // Tab goes over the badges, portraits, names and buttons in reading order, never into a box.
  QStringList order;
  for (int step = 0; step < 12; ++step) {
    key(Qt::Key_Tab);
    order << focused();
  }
  EXPECT_EQ(order.join(' '),
            "Label3 Picture26 Label6 Picture42 Label4 Picture50 Label5 "
            "Command3 Command4 Picture1 Picture2 Picture34");

  key(Qt::Key_Space);  // Tobin Hask into box 1
  EXPECT_EQ(state.p1Pick, 2);
  key(Qt::Key_Right);
  key(Qt::Key_Right);
  EXPECT_EQ(focused(), "Picture26");
  key(Qt::Key_Return);  // Oskel Varrin into box 2
  EXPECT_EQ(state.p2Pick, 1);
  key(Qt::Key_Up);
  EXPECT_EQ(focused(), "Picture2");
  key(Qt::Key_Enter);  // the 2P badge clears box 2
  EXPECT_EQ(state.p2Pick, 0);
  key(Qt::Key_Down);
  key(Qt::Key_Right);
  EXPECT_EQ(focused(), "Label6");
  key(Qt::Key_Space);
  EXPECT_EQ(state.p2Pick, 1);
  key(Qt::Key_Down);
  EXPECT_EQ(focused(), "Label5");
  key(Qt::Key_Down);
  EXPECT_EQ(focused(), "Command3");
  key(Qt::Key_Down);
  EXPECT_EQ(focused(), "Command4");
  key(Qt::Key_Down);  // nothing further down: the focus stays
  EXPECT_EQ(focused(), "Command4");
  key(Qt::Key_Return);
  EXPECT_FALSE(screen.isVisible());
  EXPECT_EQ(state.twoPlayerMode, kTrue);
  EXPECT_EQ(state.playClock, 2);
}

TEST_F(SelectionScreenTest, EveryControlHasAnAccessibleName) {
  const std::pair<const char*, const char*> names[] = {
      {"Picture1", "1P"},
      {"Picture2", "2P"},
      {"Text1", "Player 1's pick"},
      {"Text2", "Player 2's pick"},
      {"Picture34", "Tobin Hask"},
      {"Label3", "Tobin Hask"},
      {"Picture26", "Oskel Varrin"},
      {"Label6", "Oskel Varrin"},
      {"Picture42", "Pell Ormand"},
      {"Label4", "Pell Ormand"},
      {"Picture50", "Reko Fairlane"},
      {"Label5", "Reko Fairlane"},
      {"Command3", "vs Computer"},
      {"Command4", "2 Players"},
  };
  for (const auto& [control, name] : names)
    EXPECT_EQ(Control(control)->accessibleName(), name) << control;
}

TEST_F(SelectionScreenTest, TheDesktopCannotCloseItButTheProgramCan) {
  // The window system's close, as from a caption button or a window manager; notify() keeps
  // the event spontaneous, as the window system delivers it.
  QCloseEvent fromDesktop;
  QSpontaneKeyEvent::setSpontaneous(&fromDesktop);
  QCoreApplication::instance()->notify(&screen, &fromDesktop);
  EXPECT_FALSE(fromDesktop.isAccepted());
  EXPECT_TRUE(screen.isVisible());
  EXPECT_TRUE(screen.close());
  EXPECT_FALSE(screen.isVisible());
}

TEST(SelectionScreen, LoadsOnceBeforeItIsFirstDisplayedAndNeverOpensASecondWindow) {
  GameState state;
  state.p1Pick = 3;  // whatever was there is cleared by the load handler
  state.p2Pick = 1;
  PictureHolders pictures{QStringLiteral(":/nowhere/")};
  SelectionScreen screen{state, pictures, nullptr};
  screen.SetText1("left over");

  // What the screen holds at the moment it is first displayed.
  struct ShowWatch : QObject {
    GameState* state;
    SelectionScreen* screen;
    int shows = 0;
    std::int16_t pick1 = -1;
    QString text1;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Show) {
        ++shows;
        pick1 = state->p1Pick;
        text1 = screen->findChild<QLineEdit*>("Text1")->text();
      }
      return false;
    }
  } watch;
  watch.state = &state;
  watch.screen = &screen;
  screen.installEventFilter(&watch);

  screen.ShowScreen();
  EXPECT_EQ(watch.shows, 1);
  EXPECT_EQ(watch.pick1, 0);
  EXPECT_EQ(watch.text1, "");
  EXPECT_EQ(state.p2Pick, 0);

  // Every tick shows it again while play has not started: the picks made stay.
  state.p1Pick = 2;
  screen.SetText1("TOBIN");
  for (int tick = 0; tick < 5; ++tick)
    screen.ShowScreen();
  EXPECT_EQ(watch.shows, 1);
  EXPECT_EQ(state.p1Pick, 2);
  EXPECT_EQ(screen.findChild<QLineEdit*>("Text1")->text(), "TOBIN");
  int windows = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowTitle().endsWith("Tandemhoop")) ++windows;
  }
  EXPECT_EQ(windows, 1);
}

}  // namespace
}  // namespace tandemhoop
