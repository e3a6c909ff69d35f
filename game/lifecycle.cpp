#include <array>
#include <charconv>
#include <string_view>

#include "game/game.h"
#include "screens/pictures.h"

namespace tandemhoop {

namespace {

constexpr std::string_view kBanner = "                  www.tandemhoop.net ";
constexpr std::string_view kPlayer1Line = "                     PLAYER 1 - ";
constexpr std::string_view kPlayer2Line = "                     PLAYER 2 - ";
constexpr std::string_view kQuitQuestion = "     Ayawan Na?";
constexpr int kEsc = 27;
constexpr int kTitleX = 80;
constexpr int kTitleY = 50;
constexpr std::int16_t kWinningScore = 4;
constexpr std::int16_t kPlayClockMax = 32767;
// Below this line a dunker is drawn over an opponent standing higher up the court.
constexpr std::int16_t kNearBasketLine = 145;

// A score line: the label, then the number as the game has always printed it, with a sign
// position in front (a space for a score that is not negative). Built in a fixed buffer: the
// tick path does not allocate.
class ScoreLine {
 public:
  ScoreLine(std::string_view label, std::int16_t score) {
    std::size_t length = label.copy(buffer_.data(), label.size());
    buffer_[length++] = score < 0 ? '-' : ' ';
    const int magnitude = score < 0 ? -static_cast<int>(score) : score;
    const auto result =
        std::to_chars(buffer_.data() + length, buffer_.data() + buffer_.size(), magnitude);
    length_ = static_cast<std::size_t>(result.ptr - buffer_.data());
  }
  std::string_view text() const { return {buffer_.data(), length_}; }

 private:
  std::array<char, 48> buffer_{};
  std::size_t length_ = 0;
};

}  // namespace

Game::Game(Platform& platform, RandomSource& random) : platform_(platform), random_(random) {}

bool Game::Ended() const {
  return ended_;
}

bool Game::Save(GameSnapshot& into) const {
  if (!random_.Save(into.random)) return false;
  into.state = state;
  into.computerTurns = computerTurns_;
  into.computerMemory = computerMemory_;
  into.computerLevel = computerLevel_;
  into.ended = ended_;
  return true;
}

bool Game::Restore(const GameSnapshot& from) {
  if (!random_.Restore(from.random)) return false;
  state = from.state;
  computerTurns_ = from.computerTurns;
  computerMemory_ = from.computerMemory;
  computerLevel_ = from.computerLevel;
  ended_ = from.ended;
  return true;
}

void Game::EndProgram() {
  ended_ = true;
  platform_.SetTimerEnabled(false);
  platform_.EndProgram();
}

void Game::NewGame() {
  state.p1ShotStyle = kJumpShot;
  state.p2ShotStyle = kJumpShot;
  state.p1Y = 400;
  state.ballY = 400;
  state.p1X = 300;
  state.ballX = 300;
  state.p1HasBall = kTrue;
  SetCourtPositions();
  state.p1Score = 0;
  state.p1Shooting = kFalse;
  state.ballHidden = kFalse;
  state.shotChance = 55;
}

void Game::SetCourtPositions() {
  state.basketX = 385;
  state.basketY = 15;
  state.netX = 405;
  state.netY = 50;
  state.p2X = 250;
  state.p2Y = 300;
}

void Game::Form_Load() {
  if (ended_) return;
  platform_.SetTimerEnabled(false);
  random_.Seed(platform_.SecondsSinceMidnight());
  computerTurns_ = 0;
  computerMemory_ = {};
  NewGame();
  const PictureRef title{Holder::Form5, form5::Picture1};
  const PictureSize size = SizeOf(title);
  state.lastBlitResult =
      platform_.BitBlt(kTitleX, kTitleY, size.width, size.height, title, RasterOp::SrcCopy);
  platform_.CentreCourtWindow();
}

void Game::Form_KeyPress(int keyAscii) {
  if (ended_) return;
  if (!platform_.TimerEnabled()) platform_.SetTimerEnabled(true);
  if (keyAscii == kEsc) {
    platform_.SetTimerEnabled(false);
    // No leaves the game frozen: the next character key starts the timer again above.
    if (platform_.AskYesNo(kQuitQuestion)) EndProgram();
  }
}

void Game::Timer1_Timer() {
  if (ended_) return;
  if (state.playClock == 0) platform_.ShowSelectionScreen();
  // The count only ever meets small thresholds; it stops at its largest value rather than wrap
  // to a negative one, which would stop play for good after nine minutes without a restart.
  if (state.playClock > 0 && state.playClock < kPlayClockMax) {
    state.playClock = static_cast<std::int16_t>(state.playClock + 1);
  }

  state.lastBlitResult =
      platform_.BitBlt(0, 0, platform_.DrawingWidth(), platform_.DrawingHeight(),
                       PictureRef{Holder::Form3, form3::Picture1}, RasterOp::SrcCopy);
  RunFrame();
  if (ended_) return;  // the window was closed while a foul message was open

  platform_.SetTextPosition(0, 0);
  platform_.Print(kBanner);
  platform_.Print(ScoreLine(kPlayer1Line, state.p1Score).text());
  platform_.Print(ScoreLine(kPlayer2Line, state.p2Score).text());

  if (state.p1Score == kWinningScore || state.p2Score == kWinningScore)
    platform_.PlaySound(Sound::Win);
  if (state.p1Score == kWinningScore) {
    platform_.ShowMessage("Player1 Wins");
    EndProgram();
    return;
  }
  if (state.p2Score == kWinningScore) {
    if (state.twoPlayerMode == kFalse) {
      platform_.ShowMessage("Computer Wins");
    } else if (state.twoPlayerMode == kTrue) {
      platform_.ShowMessage("Player2 Wins");
    }
    EndProgram();
  }
}

void Game::RunFrame() {
  if (state.playClock <= 0) return;
  UpdateBallFlight();

  // The player lower on the court is drawn last, so the order is decided from the positions
  // before either controller moves.
  bool player1First;
  if (state.p2HasBall == kTrue || state.p2Shooting == kTrue) {
    player1First =
        state.p1Y <= state.p2Y || (state.p2ShotStyle == kDunk && state.p1Y < kNearBasketLine);
  } else {
    player1First =
        !(state.p2Y <= state.p1Y || (state.p1ShotStyle == kDunk && state.p2Y < kNearBasketLine));
  }
  if (player1First) {
    UpdatePlayer1();
    UpdatePlayer2();
  } else {
    UpdatePlayer2();
    UpdatePlayer1();
  }
  DrawLooseBall();
}

void Game::DrawMaskedSprite(int mask, int image, int x, int y) {
  const PictureSize maskSize = SpriteSize(mask);
  state.lastBlitResult = platform_.BitBlt(
      x, y, maskSize.width, maskSize.height,
      PictureRef{Holder::Form2, static_cast<std::int16_t>(mask)}, RasterOp::SrcAnd);
  const PictureSize imageSize = SpriteSize(image);
  state.lastBlitResult = platform_.BitBlt(
      x, y, imageSize.width, imageSize.height,
      PictureRef{Holder::Form2, static_cast<std::int16_t>(image)}, RasterOp::SrcPaint);
}

void Game::DrawOpaquePicture(int picture, int x, int y) {
  const PictureSize size = SpriteSize(picture);
  state.lastBlitResult = platform_.BitBlt(
      x, y, size.width, size.height, PictureRef{Holder::Form2, static_cast<std::int16_t>(picture)},
      RasterOp::SrcCopy);
}

}  // namespace tandemhoop
