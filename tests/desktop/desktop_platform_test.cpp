#include "desktop/desktop_platform.h"

#include <gtest/gtest.h>

#include <QtTest/qtestspontaneevent.h>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <random>

#include "desktop/court_window.h"
#include "desktop/desktop_fonts.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "tests/desktop/desktop_test_support.h"
#include "tests/support/scripted_random.h"

namespace tandemhoop {
namespace {

using std::chrono::nanoseconds;
constexpr nanoseconds kPeriod = TickScheduler::kTickPeriod;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

std::uint32_t PixelAt(const Surface& surface, int x, int y) {
  return surface.pixels[static_cast<std::size_t>(y) * surface.width + x];
}

// Runs the application's event loop until the program leaves it, or fails after a while.
bool EventLoopLeftWithin(int milliseconds, const std::function<void()>& inside) {
  bool timedOut = false;
  QTimer::singleShot(0, inside);
  QTimer::singleShot(milliseconds, [&] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  const int code = QCoreApplication::exec();
  return !timedOut && code == 0;
}

// The desktop as the game's main() wires it, on made-up art and a made-up clock.
class Desktop : public ::testing::Test {
 protected:
  Desktop() {
    art.Write({Holder::Form5, form5::Picture1}, qRgb(0x20, 0x40, 0x60));
    QImage court(821, 662, QImage::Format_RGB32);
    court.fill(qRgb(0x30, 0x80, 0x30));
    // The parts of the court picture that must never be seen.
    for (int y = 0; y < 662; ++y) {
      for (int x = 727; x < 821; ++x)
        court.setPixel(x, y, qRgb(255, 0, 0));
    }
    for (int y = 542; y < 662; ++y) {
      for (int x = 0; x < 821; ++x)
        court.setPixel(x, y, qRgb(255, 0, 0));
    }
    art.Save({Holder::Form3, form3::Picture1}, court);
  }

  // Wires everything up after the art is in place.
  void Build() {
    pictures = std::make_unique<PictureHolders>(art.root());
    court = std::make_unique<CourtWindow>();
    platform = std::make_unique<DesktopPlatform>(*court, *pictures, [this] { return now; });
    game = std::make_unique<Game>(*platform, random);
    selection = std::make_unique<SelectionScreen>(game->state, *pictures, court.get());
    platform->SetSelectionScreen(selection.get());
    platform->SetTickHandler([this] {
      ++ticks;
      game->Timer1_Timer();
    });
    court->SetGame(game.get());
    court->SetFrontWindow(selection.get());
    selection->SetStillHeldCheck([this](const QKeyEvent& key) { return court->StillHeld(key); });
    court->SetCloseHandler([this] { platform->QuitFromDesktop(*game); });
    court->SetHeldRunner([this](const std::function<void()>& body) { platform->RunHeld(body); });
  }
  void Start() {
    Build();
    game->Form_Load();
    court->show();
    court->activateWindow();
    QApplication::processEvents();
  }
  // Time moves on by `periods` ticks' worth, and the timer wakes up once.
  void Wait(int periods = 1) {
    now += periods * kPeriod;
    platform->ServiceTimer();
  }
  void Key(int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(court.get(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(court.get(), &release);
  }
  void Click(const char* name) {
    QTest::mouseClick(selection->findChild<QWidget*>(QString::fromLatin1(name)), Qt::LeftButton);
  }

  testing::TestArt art;
  nanoseconds now{5'000'000'000};
  int ticks = 0;
  testing::RepeatingRandom random{0.5};
  std::unique_ptr<PictureHolders> pictures;
  std::unique_ptr<CourtWindow> court;
  std::unique_ptr<DesktopPlatform> platform;
  std::unique_ptr<Game> game;
  std::unique_ptr<SelectionScreen> selection;
};

TEST_F(Desktop, PicturesLoadByHolderOnFirstUseAndWrongOrMissingArtFailsTheCopy) {
  art.Write({Holder::Form2, form2::Picture1}, qRgb(1, 2, 3));
  art.Write({Holder::Form2, form2::Picture2}, qRgb(9, 9, 9), QSize(40, 39));  // one column wide
  Build();
  EXPECT_FALSE(pictures->Loaded(Holder::Form2));
  EXPECT_FALSE(pictures->Loaded(Holder::Form3));

  EXPECT_EQ(platform->BitBlt(10, 20, 39, 39, {Holder::Form2, form2::Picture1}, RasterOp::SrcCopy),
            1);
  EXPECT_TRUE(pictures->Loaded(Holder::Form2));
  EXPECT_FALSE(pictures->Loaded(Holder::Form3));
  EXPECT_EQ(PixelAt(court->surface(), 10, 20), 0x00010203u);  // plain 0x00RRGGBB
  EXPECT_EQ(PixelAt(court->surface(), 48, 58), 0x00010203u);
  EXPECT_EQ(PixelAt(court->surface(), 49, 59), kWhite);

  // Art of the wrong size, and art that is not there: the copy reports failure, draws nothing.
  const std::vector<std::uint32_t> before = court->surface().pixels;
  EXPECT_EQ(platform->BitBlt(100, 100, 39, 39, {Holder::Form2, form2::Picture2}, RasterOp::SrcCopy),
            0);
  EXPECT_EQ(platform->BitBlt(100, 100, 87, 201, {Holder::Form2, form2::Picture5}, RasterOp::SrcAnd),
            0);
  EXPECT_EQ(platform->BitBlt(0, 0, 10, 10, {Holder::Form2, 79}, RasterOp::SrcCopy), 0);
  EXPECT_EQ(platform->BitBlt(0, 0, 10, 10, {Holder::Form4, 3}, RasterOp::SrcCopy), 0);
  EXPECT_EQ(court->surface().pixels, before);

  // A holder let go loads again when one of its pictures is wanted.
  pictures->Release(Holder::Form2);
  EXPECT_FALSE(pictures->Loaded(Holder::Form2));
  EXPECT_EQ(platform->BitBlt(0, 0, 39, 39, {Holder::Form2, form2::Picture1}, RasterOp::SrcCopy), 1);
  EXPECT_EQ(PixelAt(court->surface(), 0, 0), 0x00010203u);
}

TEST(PictureHolders, TheCompiledInArtIsAllThereAtItsCatalogueSize) {
  if (!QFile::exists(QStringLiteral(":/form3/Picture1.png"))) {
    GTEST_SKIP() << "this build has no art compiled in";
  }
  PictureHolders pictures;
  for (const PictureEntry& entry : Pictures()) {
    const Surface* surface = pictures.Find(entry.ref);
    ASSERT_NE(surface, nullptr) << AssetPath(entry.ref);
    EXPECT_EQ(surface->width, entry.size.width) << AssetPath(entry.ref);
    EXPECT_EQ(surface->height, entry.size.height) << AssetPath(entry.ref);
  }
  EXPECT_FALSE(QIcon(QStringLiteral(":/icon.png")).isNull());
}

TEST_F(Desktop, StartsCentredWithTheTitleArtInItsWhiteMarginsAndNoTick) {
  Start();
  EXPECT_FALSE(platform->TimerEnabled());
  const QRect screen = court->screen()->geometry();
  // Centred by the size known before the window is first shown: a window frame, which only
  // the shown window has, may shift it by its own width.
  const QRect outer = court->frameGeometry();
  const int margin = outer.width() - court->width();
  EXPECT_NEAR(outer.x(), screen.x() + (screen.width() - outer.width()) / 2, margin);
  EXPECT_NEAR(outer.y(), screen.y() + (screen.height() - outer.height()) / 2,
              outer.height() - court->height());
  EXPECT_NEAR(court->geometry().center().x(), screen.center().x(), margin + 1);

  const Surface& shown = court->surface();
  const std::uint32_t title = 0x00204060;
  EXPECT_EQ(PixelAt(shown, 80, 50), title);
  EXPECT_EQ(PixelAt(shown, 719, 539), title);
  EXPECT_EQ(PixelAt(shown, 79, 300), kWhite);   // 80 pixels on the left
  EXPECT_EQ(PixelAt(shown, 720, 300), kWhite);  // 7 on the right
  EXPECT_EQ(PixelAt(shown, 726, 541), kWhite);
  EXPECT_EQ(PixelAt(shown, 400, 49), kWhite);   // 50 at the top
  EXPECT_EQ(PixelAt(shown, 400, 540), kWhite);  // 2 at the bottom

  // However long one waits, nothing moves before the first character key.
  Wait(100);
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(selection->isVisible());
  EXPECT_EQ(PixelAt(court->surface(), 80, 50), title);
}

TEST_F(Desktop, EnterBringsTheSelectionScreenOverTheCourtAndTwoPlayersStartsPlay) {
  Start();
  Key(Qt::Key_Return, "\r");
  EXPECT_TRUE(platform->TimerEnabled());
  Wait();
  ASSERT_EQ(ticks, 1);
  EXPECT_TRUE(selection->isVisible());
  EXPECT_TRUE(selection->LoadedOnce());
  // The court replaced the title, only its top-left 727 x 542 pixels, with the lines over it.
  EXPECT_EQ(PixelAt(court->surface(), 726, 541), 0x00308030u);
  EXPECT_EQ(PixelAt(court->surface(), 700, 300), 0x00308030u);
  EXPECT_EQ(PixelAt(court->surface(), 400, 500), 0x00308030u);
  int dark = 0;
  for (int y = 0; y < platform->TextY(); ++y) {
    for (int x = 0; x < 727; ++x)
      dark += PixelAt(court->surface(), x, y) == 0 ? 1 : 0;
  }
  EXPECT_GT(dark, 100) << "no printed lines over the court";

  Wait();
  Wait();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(game->state.playClock, 0);
  Click("Label6");
  Click("Picture42");
  Click("Command4");
  EXPECT_FALSE(selection->isVisible());
  EXPECT_EQ(game->state.playClock, 2);
  QApplication::processEvents();
  // Without a click the keys go to the court again.
  EXPECT_EQ(QApplication::activeWindow(), court.get());
  EXPECT_TRUE(court->hasFocus());

  Wait();
  EXPECT_EQ(game->state.playClock, 3);
  EXPECT_FALSE(selection->isVisible());
}

TEST_F(Desktop, EnterHeldOnTheTitlePressesNothingOnTheSelectionScreenUntilLetGo) {
  Start();
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(court.get(), &down);
  Wait();
  ASSERT_TRUE(selection->isVisible());
  QWidget* focused = selection->focusWidget();
  ASSERT_NE(focused, nullptr);
  // X11 does not always mark the first repeat that reaches the new window as a repeat.
  for (const bool repeat : {false, true}) {
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
    QCoreApplication::sendEvent(focused, &again);
  }
  EXPECT_EQ(game->state.p1Pick, 0);
  QKeyEvent up(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(focused, &up);
  QKeyEvent fresh(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QCoreApplication::sendEvent(focused, &fresh);
  EXPECT_EQ(game->state.p1Pick, 2) << "Tobin Hask, whose portrait has the focus";
}

TEST_F(Desktop, TheSelectionScreenKeepsTheKeyboardAfterF11AndAfterADialog) {
  Start();
  Key(Qt::Key_Return, "\r");
  Wait();
  ASSERT_TRUE(selection->isVisible());
  QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), selection.get());
  QTest::keyClick(selection->focusWidget(), Qt::Key_F11);
  QApplication::processEvents();
  EXPECT_TRUE(court->isFullScreen());
  EXPECT_EQ(QApplication::activeWindow(), selection.get());
  court->RunHeld([this] {
    QDialog dialog(court.get());
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    dialog.exec();
  });
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), selection.get());
}

TEST_F(Desktop, StartedFullScreenOneF11LeavesItForTheMaximisedWindowItWas) {
  QTemporaryDir dir;
  Settings::UseFileForTesting(dir.filePath(QStringLiteral("settings.ini")));
  Settings::SetValue(QStringLiteral("display/fullScreen"), true);
  Settings::SetValue(QStringLiteral("display/maximised"), true);
  Build();
  court->RestoreSettings();
  court->winId();  // the window exists before the game centres it, as at start-up
  game->Form_Load();
  court->show();
  QApplication::processEvents();
  EXPECT_TRUE(court->isFullScreen());
  QMenu menu;
  court->FillDisplayMenu(menu);
  EXPECT_TRUE(menu.actions().front()->isChecked()) << "Full screen ticked";
  QTest::keyClick(court.get(), Qt::Key_F11);
  EXPECT_EQ(court->windowState(), Qt::WindowMaximized);
  QTest::keyClick(court.get(), Qt::Key_F11);
  EXPECT_TRUE(court->isFullScreen());
  Settings::UseFileForTesting({});
}

TEST_F(Desktop, EscAsksAndNoFreezesThePictureUntilTheNextCharacterKey) {
  Start();
  Key(Qt::Key_Return, "\r");
  Wait();
  testing::BoxAnswerer seen(QMessageBox::No, [](QMessageBox& box) {
    // Esc on the question is no answer: the box stays until a button is pressed.
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_TRUE(box.isVisible());
  });
  Key(Qt::Key_Escape, "\x1b");
  ASSERT_TRUE(seen.opened);
  EXPECT_EQ(seen.title, "Tandemhoop");
  EXPECT_EQ(seen.text, "     Ayawan Na?");
  EXPECT_EQ(seen.parent, court.get());
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_FALSE(game->Ended());
  EXPECT_FALSE(platform->TimerEnabled());

  const std::vector<std::uint32_t> frozen = court->surface().pixels;
  Wait(50);
  Key(Qt::Key_Left, {});  // an arrow types no character: still frozen
  Wait(50);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(court->surface().pixels, frozen);
  court->hide();
  court->show();
  EXPECT_EQ(court->surface().pixels, frozen);

  Key(Qt::Key_M, "m");
  Wait();
  EXPECT_EQ(ticks, 2);
}

TEST_F(Desktop, AFrozenGameSaysSoOutsideThePictureUntilAKeyResumesIt) {
  Start();
  {
    testing::BoxAnswerer no(QMessageBox::No);
    Key(Qt::Key_Escape, "\x1b");  // on the title nothing is paused
  }
  EXPECT_EQ(court->windowTitle(), "Tandemhoop");
  Key(Qt::Key_Return, "\r");
  Wait();
  {
    testing::BoxAnswerer no(QMessageBox::No);
    Key(Qt::Key_Escape, "\x1b");
  }
  EXPECT_EQ(court->windowTitle(), "Tandemhoop (paused — any letter key resumes)");
  // Wider than the picture: the border beside it says it too, the picture is left alone.
  court->resize(1200, 600);
  const auto lightInBorder = [this] {
    const QImage shown = court->grab().toImage();
    int light = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = shown.width() - 190; x < shown.width(); ++x)
        light += qGray(shown.pixel(x, y)) > 150 ? 1 : 0;
    }
    return light;
  };
  EXPECT_GT(lightInBorder(), 50);
  Key(Qt::Key_M, "m");
  Wait();
  EXPECT_EQ(court->windowTitle(), "Tandemhoop");
  EXPECT_EQ(lightInBorder(), 0);
}

TEST_F(Desktop, YesToTheQuitQuestionEndsTheProgram) {
  Start();
  testing::BoxAnswerer seen(QMessageBox::Yes);
  ASSERT_TRUE(EventLoopLeftWithin(5000, [&] {
    Key(Qt::Key_Escape, "\x1b");  // Esc on the title screen is honoured too
  }));
  EXPECT_TRUE(seen.opened);
  EXPECT_TRUE(game->Ended());
  EXPECT_TRUE(platform->Ended());
  EXPECT_FALSE(platform->TimerEnabled());
  EXPECT_FALSE(court->isVisible());
}

TEST_F(Desktop, ClosingTheCourtWindowEndsTheProgramAtOnceWithoutAsking) {
  Start();
  Key(Qt::Key_Return, "\r");
  Wait();
  ASSERT_TRUE(selection->isVisible());
  testing::BoxAnswerer seen(QMessageBox::No);  // would answer a question, were one asked
  ASSERT_TRUE(EventLoopLeftWithin(5000, [&] {
    QCloseEvent fromDesktop;
    QSpontaneKeyEvent::setSpontaneous(&fromDesktop);
    QCoreApplication::instance()->notify(court.get(), &fromDesktop);
  }));
  EXPECT_FALSE(seen.opened);
  EXPECT_TRUE(game->Ended());
  EXPECT_FALSE(platform->TimerEnabled());
  // The hidden selection screen keeps nothing alive.
  EXPECT_FALSE(selection->isVisible());
  EXPECT_FALSE(court->isVisible());
  Wait(10);
  EXPECT_EQ(ticks, 1);
}

TEST_F(Desktop, AWinShowsItsBoxOverTheFinishedFrameAndNothingTicksAfterIt) {
  Start();
  Key(Qt::Key_Return, "\r");
  Wait();
  Click("Picture26");
  Click("Picture34");
  Click("Command3");
  game->state.p2Score = 4;  // a fourth basket in this frame
  int ticksWhileOpen = -1;
  testing::BoxAnswerer seen(QMessageBox::Ok, [&](QMessageBox&) {
    Wait(20);
    QTest::qWait(40);  // Qt's own timer wakes the schedule inside the box as well
    ticksWhileOpen = ticks;
  });
  ASSERT_TRUE(EventLoopLeftWithin(5000, [&] { Wait(); }));
  EXPECT_EQ(seen.text, "Computer Wins");
  EXPECT_EQ(seen.title, "Tandemhoop");
  EXPECT_EQ(seen.parent, court.get());
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_EQ(ticksWhileOpen, 2);
  EXPECT_TRUE(game->Ended());
  Wait(10);
  EXPECT_EQ(ticks, 2);
}

TEST_F(Desktop, ABoxInsideATickHoldsTheScheduleAndItRestartsWhenTheBoxCloses) {
  Build();
  int seen = 0;
  platform->SetTickHandler([&] {
    if (++seen == 2) platform->ShowMessage("Foul");  // a foul called in the second tick
  });
  platform->SetTimerEnabled(true);
  Wait();
  int ticksWhileOpen = -1;
  testing::BoxAnswerer box(QMessageBox::Ok, [&](QMessageBox&) {
    for (int i = 0; i < 64; ++i)
      Wait();  // a second goes by with the box open
    ticksWhileOpen = seen;
  });
  Wait();
  ASSERT_TRUE(box.opened);
  EXPECT_EQ(box.text, "Foul");
  EXPECT_EQ(ticksWhileOpen, 2);
  // No burst for the second the box was open: the next tick is one period after it closed.
  EXPECT_EQ(seen, 2);
  platform->ServiceTimer();
  EXPECT_EQ(seen, 2);
  now += kPeriod - nanoseconds(1);
  platform->ServiceTimer();
  EXPECT_EQ(seen, 2);
  now += nanoseconds(1);
  platform->ServiceTimer();
  EXPECT_EQ(seen, 3);
}

TEST_F(Desktop, TheContextMenuHoldsTheGameLikeABoxWithNoBurstAfter) {
  Build();
  int seen = 0;
  platform->SetTickHandler([&] { ++seen; });
  platform->SetTimerEnabled(true);
  Wait();
  ASSERT_EQ(seen, 1);
  court->RunHeld([&] {
    for (int i = 0; i < 64; ++i)
      Wait();  // a second with the menu open
  });
  EXPECT_EQ(seen, 1);
  now += kPeriod - nanoseconds(1);
  platform->ServiceTimer();
  EXPECT_EQ(seen, 1);
  now += nanoseconds(1);
  platform->ServiceTimer();
  EXPECT_EQ(seen, 2);
}

TEST_F(Desktop, PrintedLinesUseTheBundledFaceInBlackOverTheCourtAndMoveDownALine) {
  Build();
#ifndef TANDEMHOOP_SYSTEM_FONT_DIR
  // Compiled in, not merely installed on this machine.
  EXPECT_TRUE(QFile::exists(QStringLiteral(":/fonts/texgyrebonum-bold.otf")));
  EXPECT_TRUE(QFile::exists(QStringLiteral(":/fonts/texgyreheros-regular.otf")));
#endif
  EXPECT_EQ(QFontInfo(CourtFont()).family(), "TeX Gyre Bonum");
  EXPECT_EQ(QFontInfo(CourtFont()).pixelSize(), 16);
  EXPECT_TRUE(CourtFont().bold());

  const std::uint32_t green = 0x00308030;
  std::fill(court->surface().pixels.begin(), court->surface().pixels.end(), green);
  platform->SetTextPosition(0, 0);
  platform->Print("                     PLAYER 1 -  3");
  const int second = platform->TextY();
  EXPECT_GE(second, 16);
  EXPECT_LE(second, 30);
  platform->Print("                     PLAYER 2 -  0");
  EXPECT_EQ(platform->TextY(), 2 * second);

  const Surface& shown = court->surface();
  int black = 0;
  int firstInk = 727;
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      const std::uint32_t pixel = PixelAt(shown, x, y);
      ASSERT_EQ(pixel & 0xFF000000u, 0u) << x << "," << y;
      if (pixel != green) {
        ASSERT_LT(y, 2 * second + 4) << "ink below the two lines";
        firstInk = std::min(firstInk, x);
      }
      black += pixel == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(black, 50);
  // The leading spaces push the text right; the court shows through them.
  EXPECT_GT(firstInk, 60);
  EXPECT_EQ(PixelAt(shown, 30, 8), green);
}

int DifferingPixels(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  int differing = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    differing += a[i] != b[i] ? 1 : 0;
  return differing +
         static_cast<int>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// The court copy that starts each tick copies only where something was drawn over the court
// since the last one: the window must hold exactly what copying the whole court would leave,
// whatever was drawn, printed or copied in between.
TEST_F(Desktop, EachCourtCopyLeavesTheWholeCourtThoughOnlyWhatWasDrawnOverIsCopied) {
  QImage courtArt(821, 662, QImage::Format_RGB32);
  for (int y = 0; y < 662; ++y) {
    for (int x = 0; x < 821; ++x)
      courtArt.setPixel(x, y, qRgb(x % 256, y % 256, (x * 3 + y) % 256));
  }
  art.Save({Holder::Form3, form3::Picture1}, courtArt);
  const PictureRef sprites[] = {{Holder::Form2, form2::Picture1},
                                {Holder::Form2, form2::Picture5},
                                {Holder::Form2, form2::Picture22}};
  for (std::size_t i = 0; i < std::size(sprites); ++i)
    art.Write(sprites[i], qRgb(200, 40 * static_cast<int>(i), 90));
  Build();
  const Surface& window = court->surface();
  const PictureRef courtRef{Holder::Form3, form3::Picture1};
  std::mt19937 chance(25);
  const auto below = [](int bound, std::mt19937& source) {
    return static_cast<int>(source() % static_cast<unsigned>(bound));
  };
  for (int frame = 0; frame < 60; ++frame) {
    // What the window would hold after copying the whole court, and the sprites over it. Now
    // and then the court lands shifted, and is not the court underneath for the next copy.
    const int courtX = frame % 17 == 5 ? -3 : 0;
    Surface truth{727, 542, window.pixels};
    tandemhoop::BitBlt(truth, courtX, 0, 727, 542, *pictures->Find(courtRef), 0, 0,
                       RasterOp::SrcCopy);
    platform->BitBlt(courtX, 0, 727, 542, courtRef, RasterOp::SrcCopy);
    for (int i = below(4, chance); i > 0; --i) {
      const PictureRef sprite = sprites[below(3, chance)];
      const PictureSize size = SizeOf(sprite);
      const int x = below(800, chance) - 60;
      const int y = below(620, chance) - 60;
      const RasterOp op = i % 2 == 0 ? RasterOp::SrcAnd : RasterOp::SrcCopy;
      platform->BitBlt(x, y, size.width, size.height, sprite, op);
      tandemhoop::BitBlt(truth, x, y, size.width, size.height, *pictures->Find(sprite), 0, 0, op);
    }
    ASSERT_EQ(DifferingPixels(window.pixels, truth.pixels), 0) << "frame " << frame;
    // Lines that change from frame to frame, or stay, or are left out; the next court copy
    // must take every one of them away.
    platform->SetTextPosition(0, 0);
    if (frame % 3 != 0) platform->Print("                  tandemhoop.net ");
    platform->Print(frame % 4 == 0 ? "  PLAYER 1 -  1" : "                     PLAYER 1 -  0");
  }
}

// Lines are laid out once and kept; what a kept line draws must be exactly the text drawn
// afresh, wherever it is printed and however many other lines came between.
TEST_F(Desktop, AKeptLineDrawsExactlyLikeTheTextDrawnAfresh) {
  Build();
  const std::uint32_t green = 0x00308030;
  const auto printAt = [&](int x, int y, std::string_view line) {
    std::fill(court->surface().pixels.begin(), court->surface().pixels.end(), green);
    platform->SetTextPosition(x, y);
    platform->Print(line);
    return court->surface().pixels;
  };
  const auto drawnAt = [&](int x, int y, std::string_view line) {
    // Over pixels held as the court window holds them.
    std::vector<std::uint32_t> pixels(727 * 542, green);
    QImage image(reinterpret_cast<uchar*>(pixels.data()), 727, 542, 727 * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(CourtFont());
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(QPoint(x, y + QFontMetrics(CourtFont()).ascent()),
                     QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    painter.end();
    for (std::uint32_t& pixel : pixels)
      pixel &= 0x00FFFFFFu;
    return pixels;
  };

  const std::string_view score = "                     PLAYER 1 -  3";
  const std::vector<std::uint32_t> first = printAt(0, 0, score);
  EXPECT_GT(std::count(first.begin(), first.end(), 0u), 50) << "no black ink";
  EXPECT_EQ(DifferingPixels(first, drawnAt(0, 0, score)), 0);
  // More other lines than are kept, then the first again, at the same place and elsewhere.
  for (std::string_view other :
       {"                     PLAYER 2 -  0", "Player1 Wins", "                     PLAYER 1 -  4",
        "     Ayawan Na?", "Computer Wins"}) {
    EXPECT_EQ(DifferingPixels(printAt(3, 40, other), drawnAt(3, 40, other)), 0) << other;
  }
  EXPECT_EQ(DifferingPixels(printAt(0, 0, score), first), 0);
  EXPECT_EQ(DifferingPixels(printAt(11, 300, score), drawnAt(11, 300, score)), 0);
}

// What the court window has sent to the screen, kept by watching its paint events: each part
// painted takes the image's pixels as they are at that moment.
class ScreenCopy : public QObject {
 public:
  explicit ScreenCopy(const CourtWindow& window)
      : pixels(727 * 542, 0xDEADBEEFu), window_(window) {}

  std::vector<std::uint32_t> pixels;
  long long paintedPixels = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const Surface& frame = window_.surface();
      for (const QRect& part : static_cast<QPaintEvent*>(event)->region()) {
        const QRect area = part & QRect(0, 0, frame.width, frame.height);
        for (int y = area.top(); y <= area.bottom(); ++y) {
          const std::size_t row = static_cast<std::size_t>(y) * frame.width;
          std::copy_n(frame.pixels.begin() + static_cast<std::ptrdiff_t>(row + area.left()),
                      area.width(),
                      pixels.begin() + static_cast<std::ptrdiff_t>(row + area.left()));
        }
        paintedPixels += static_cast<long long>(area.width()) * area.height();
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const CourtWindow& window_;
};

// Only what changed from one frame to the next is painted; the screen must still show the
// whole frame after every tick, while both players walk and the score lines are printed.
TEST_F(Desktop, TheScreenShowsEachWholeFrameThoughOnlyWhatChangedIsPainted) {
  for (const PictureEntry& entry : Pictures()) {
    if (entry.ref.form != Holder::Form2) continue;
    const int shade = 40 + 2 * entry.ref.index;
    art.Write(entry.ref,
              entry.kind == PictureKind::Mask ? qRgb(0, 0, 0) : qRgb(shade, 255 - shade, 90));
  }
  Build();
  ScreenCopy screen(*court);
  court->installEventFilter(&screen);
  game->Form_Load();
  court->show();
  QApplication::processEvents();
  ASSERT_EQ(DifferingPixels(screen.pixels, court->surface().pixels), 0) << "the title";

  Key(Qt::Key_Return, "\r");
  Wait();
  QApplication::processEvents();
  EXPECT_EQ(DifferingPixels(screen.pixels, court->surface().pixels), 0) << "the first court";
  Click("Label6");
  Click("Picture42");
  Click("Command4");
  QApplication::processEvents();

  // Each side walks to and fro on its own half, so that nobody runs into anybody.
  const struct {
    int key;
    const char* text;
  } walks[] = {{Qt::Key_Left, ""}, {Qt::Key_Up, ""}, {Qt::Key_Right, ""}, {Qt::Key_Down, ""},
               {Qt::Key_H, "h"},   {Qt::Key_T, "t"}, {Qt::Key_F, "f"},    {Qt::Key_V, "v"}};
  const long long paintedBefore = screen.paintedPixels;
  int frames = 0;
  for (int step = 0; step < 16; ++step) {
    const auto& walk = walks[step % 8];
    QKeyEvent press(QEvent::KeyPress, walk.key, Qt::NoModifier, QString::fromLatin1(walk.text));
    QCoreApplication::sendEvent(court.get(), &press);
    for (int tick = 0; tick < 12; ++tick) {
      testing::BoxAnswerer answer(QMessageBox::Ok);
      Wait();
      QApplication::processEvents();
      ++frames;
      ASSERT_EQ(DifferingPixels(screen.pixels, court->surface().pixels), 0)
          << "frame " << frames << " was not shown whole";
    }
    QKeyEvent release(QEvent::KeyRelease, walk.key, Qt::NoModifier, QString::fromLatin1(walk.text));
    QCoreApplication::sendEvent(court.get(), &release);
  }
  EXPECT_GT(game->state.playClock, 100) << "play did not run";
  // Two players and the ball, frame by frame: far less than the window. The score lines, the
  // same from frame to frame, are not painted again (with them it was 16 %).
  const double share = static_cast<double>(screen.paintedPixels - paintedBefore) /
                       (static_cast<double>(frames) * 727 * 542);
  EXPECT_LT(share, 0.13);
  EXPECT_GT(share, 0.01);
}

}  // namespace
}  // namespace tandemhoop
