#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/game.h"
#include "screens/pictures.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/state_diff.h"

namespace tandemhoop {
namespace {

using testing::FakePlatform;

class SeedSpy : public RandomSource {
 public:
  double Next() override {
    ++draws;
    return 0.5;
  }
  void Seed(std::uint32_t value) override { seeds.push_back(value); }
  std::vector<std::uint32_t> seeds;
  int draws = 0;
};

class Lifecycle : public ::testing::Test {
 protected:
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(platform.events.begin(), platform.events.end(), event));
  }
  FakePlatform platform;
  SeedSpy random;
  Game game{platform, random};
};

TEST_F(Lifecycle, LoadSetsUpTheNewGameRecordAndNothingElse) {
  game.Form_Load();
  GameState expected;
  expected.lastBlitResult = 1;  // the title copy
  expected.p1ShotStyle = 3;
  expected.p2ShotStyle = 3;
  expected.p1Y = 400;
  expected.ballY = 400;
  expected.p1X = 300;
  expected.ballX = 300;
  expected.p1HasBall = kTrue;
  expected.basketX = 385;
  expected.basketY = 15;
  expected.netX = 405;
  expected.netY = 50;
  expected.p2X = 250;
  expected.p2Y = 300;
  expected.shotChance = 55;
  EXPECT_EQ(testing::StateDiff(expected, game.state), std::vector<std::string>{});
  EXPECT_EQ(game.state.lastBlitResult, 1);
}

TEST_F(Lifecycle, NewGameKeepsWhatItDoesNotList) {
  game.state.p2Score = 3;
  game.state.p1Score = 2;
  game.state.twoPlayerMode = kTrue;
  game.state.p1Pick = 4;
  game.state.playClock = 7;
  game.NewGame();
  EXPECT_EQ(game.state.p1Score, 0);
  EXPECT_EQ(game.state.p2Score, 3);
  EXPECT_EQ(game.state.twoPlayerMode, kTrue);
  EXPECT_EQ(game.state.p1Pick, 4);
  EXPECT_EQ(game.state.playClock, 7);
}

TEST_F(Lifecycle, LoadStopsTheTimerSeedsShowsTheTitleAndCentres) {
  platform.timerEnabled = true;
  platform.secondsSinceMidnight = 4242;
  game.Form_Load();
  EXPECT_FALSE(platform.timerEnabled);
  EXPECT_EQ(random.seeds, std::vector<std::uint32_t>{4242});
  ASSERT_EQ(platform.copies.size(), 1u);
  EXPECT_EQ(platform.copies[0], (FakePlatform::Copy{80, 50, 640, 490, PictureRef{Holder::Form5, 1},
                                                    RasterOp::SrcCopy}));
  EXPECT_EQ(platform.centred, 1);
  EXPECT_EQ(platform.events.back(), "centre");
  EXPECT_EQ(random.draws, 0);
}

TEST_F(Lifecycle, ArrowKeysDoNotStartTheGameButACharacterKeyDoes) {
  game.Form_Load();
  game.Form_KeyDown(38, 0);
  game.Form_KeyUp(38, 0);
  EXPECT_FALSE(platform.timerEnabled);
  game.Form_KeyPress('x');
  EXPECT_TRUE(platform.timerEnabled);
  EXPECT_TRUE(platform.questions.empty());
}

TEST_F(Lifecycle, SelectionTicksDrawTheCourtAndTheLinesButNoSprites) {
  game.Form_Load();
  game.Form_KeyPress(13);
  platform.Clear();
  game.Timer1_Timer();
  game.Timer1_Timer();
  EXPECT_EQ(platform.selectionShown, 2);
  EXPECT_EQ(game.state.playClock, 0);
  EXPECT_TRUE(platform.SpriteCopies().empty());
  ASSERT_EQ(platform.copies.size(), 2u);
  EXPECT_EQ(platform.copies[0],
            (FakePlatform::Copy{0, 0, 727, 542, PictureRef{Holder::Form3, 1}, RasterOp::SrcCopy}));
  const std::vector<std::string> lines = {
      "                  www.tandemhoop.net ",
      "                     PLAYER 1 -  0",
      "                     PLAYER 2 -  0",
  };
  EXPECT_EQ(platform.prints,
            (std::vector<std::string>{lines[0], lines[1], lines[2], lines[0], lines[1], lines[2]}));
  // Each tick: the selection screen, the court, then the text from the top-left corner.
  const std::vector<std::string> tick = {
      "select",           "blit 3:1 copy 0,0", "text 0,0", "print " + lines[0], "print " + lines[1],
      "print " + lines[2]};
  EXPECT_EQ(std::vector<std::string>(platform.events.begin(), platform.events.begin() + 6), tick);
}

TEST_F(Lifecycle, PlayClockCountsOncePlayHasStarted) {
  game.Form_Load();
  game.state.playClock = 2;
  game.Timer1_Timer();
  game.Timer1_Timer();
  EXPECT_EQ(game.state.playClock, 4);
  EXPECT_EQ(platform.selectionShown, 0);
}

TEST_F(Lifecycle, PlayClockStopsAtItsTopAndPlayGoesOn) {
  game.Form_Load();
  GameState& s = game.state;
  s.twoPlayerMode = kTrue;
  s.p1Pick = 1;
  s.p2Pick = 2;
  s.playClock = 32767;
  game.Timer1_Timer();
  EXPECT_EQ(s.playClock, 32767);
  // Both players are still drawn, each with his head, and M still starts a shot.
  const auto heads = [&] {
    int count = 0;
    for (const auto& copy : platform.SpriteCopies())
      count += copy.op == RasterOp::SrcAnd ? 1 : 0;
    return count;
  };
  EXPECT_GE(heads(), 5);  // the ball, and the body and head of each player
  game.Form_KeyDown(77, 0);
  EXPECT_EQ(s.p1Shooting, kTrue);
  platform.Clear();
  game.Timer1_Timer();
  EXPECT_EQ(s.p1ShotTicks, 1);
  EXPECT_EQ(s.playClock, 32767);
}

TEST_F(Lifecycle, ScoresPrintWithASignPosition) {
  game.Form_Load();
  game.state.playClock = 2;
  game.state.p1Score = 3;
  game.state.p2Score = 2;
  game.Timer1_Timer();
  ASSERT_EQ(platform.prints.size(), 3u);
  EXPECT_EQ(platform.prints[1], "                     PLAYER 1 -  3");
  EXPECT_EQ(platform.prints[2], "                     PLAYER 2 -  2");
}

TEST_F(Lifecycle, EscAnsweredNoFreezesUntilTheNextCharacterKey) {
  game.Form_Load();
  game.Form_KeyPress(13);
  platform.answers = {false};
  game.Form_KeyPress(27);
  EXPECT_EQ(platform.questions, std::vector<std::string>{"     Ayawan Na?"});
  EXPECT_FALSE(platform.timerEnabled);
  EXPECT_FALSE(game.Ended());
  // Arrow keys still set their flags while frozen, but do not resume.
  game.Form_KeyDown(39, 0);
  EXPECT_EQ(game.state.p1KeyRight, kTrue);
  EXPECT_FALSE(platform.timerEnabled);
  game.Form_KeyPress('m');
  EXPECT_TRUE(platform.timerEnabled);
}

TEST_F(Lifecycle, EscWhileFrozenAsksAgainWithoutATickBetween) {
  game.Form_Load();
  platform.answers = {false, false};
  game.Form_KeyPress(27);  // Esc on the title: starts, stops, asks
  platform.events.clear();
  game.Form_KeyPress(27);
  EXPECT_EQ(platform.events,
            (std::vector<std::string>{"timer on", "timer off", "ask      Ayawan Na?"}));
  EXPECT_FALSE(platform.timerEnabled);
}

TEST_F(Lifecycle, EscAnsweredYesEndsTheProgramForGood) {
  game.Form_Load();
  game.Form_KeyPress(13);
  game.state.playClock = 2;
  platform.answers = {true};
  game.Form_KeyPress(27);
  EXPECT_TRUE(game.Ended());
  EXPECT_EQ(platform.ended, 1);
  EXPECT_FALSE(platform.timerEnabled);

  const GameState before = game.state;
  platform.Clear();
  game.Timer1_Timer();
  game.Form_KeyDown(37, 0);
  game.Form_KeyUp(77, 0);
  game.Form_KeyPress(13);
  game.Form_Load();
  EXPECT_TRUE(platform.events.empty());
  EXPECT_EQ(testing::StateDiff(before, game.state), std::vector<std::string>{});
}

struct WinCase {
  std::int16_t p1Score, p2Score, mode;
  const char* message;
};

class Winning : public Lifecycle, public ::testing::WithParamInterface<WinCase> {};

TEST_P(Winning, TheFourthBasketIsPrintedThenNamesTheWinnerAndEnds) {
  const WinCase& c = GetParam();
  game.Form_Load();
  game.state.playClock = 20;
  game.state.twoPlayerMode = c.mode;
  game.state.p1Score = c.p1Score;
  game.state.p2Score = c.p2Score;
  platform.Clear();
  game.Timer1_Timer();
  EXPECT_EQ(platform.messages, std::vector<std::string>{c.message});
  const auto message = std::find(platform.events.begin(), platform.events.end(),
                                 std::string("message ") + c.message);
  ASSERT_NE(message, platform.events.end());
  // The score line behind the box already reads 4.
  EXPECT_NE(std::find(platform.events.begin(), message,
                      c.p1Score == 4 ? "print                      PLAYER 1 -  4"
                                     : "print                      PLAYER 2 -  4"),
            message);
  EXPECT_EQ(platform.events.back(), "end");
  EXPECT_TRUE(game.Ended());
  platform.Clear();
  game.Timer1_Timer();
  EXPECT_TRUE(platform.events.empty());
}

INSTANTIATE_TEST_SUITE_P(AllWinners, Winning,
                         ::testing::Values(WinCase{4, 0, kFalse, "Player1 Wins"},
                                           WinCase{4, 4, kTrue, "Player1 Wins"},
                                           WinCase{1, 4, kFalse, "Computer Wins"},
                                           WinCase{3, 4, kTrue, "Player2 Wins"}));

TEST_F(Lifecycle, NoWinnerBelowFour) {
  game.Form_Load();
  game.state.playClock = 20;
  game.state.p1Score = 3;
  game.state.p2Score = 3;
  game.Timer1_Timer();
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_FALSE(game.Ended());
}

TEST_F(Lifecycle, AMissingPictureLeavesItsResultAndTheFrameGoesOn) {
  platform.missing = {PictureRef{Holder::Form3, 1}};
  game.Form_Load();
  game.state.playClock = 2;
  game.Timer1_Timer();
  EXPECT_EQ(platform.prints.size(), 3u);
  game.DrawOpaquePicture(form2::Picture71, 10, 20);
  EXPECT_EQ(game.state.lastBlitResult, 1);
  platform.missing = {PictureRef{Holder::Form2, 72}};
  game.DrawOpaquePicture(form2::Picture72, 10, 20);
  EXPECT_EQ(game.state.lastBlitResult, 0);
}

TEST_F(Lifecycle, MaskedSpritesAreMaskThenImageAtTheirOwnSize) {
  game.DrawMaskedSprite(form2::Picture8, form2::Picture10, -33, 450);
  game.DrawOpaquePicture(form2::Picture75, 25, 50);
  using testing::SpriteCopy;
  EXPECT_EQ(platform.copies,
            (std::vector<FakePlatform::Copy>{SpriteCopy(8, -33, 450, 150, 201, RasterOp::SrcAnd),
                                             SpriteCopy(10, -33, 450, 150, 201, RasterOp::SrcPaint),
                                             SpriteCopy(75, 25, 50, 37, 30, RasterOp::SrcCopy)}));
}

}  // namespace
}  // namespace tandemhoop
