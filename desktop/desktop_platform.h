#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "desktop/tick_scheduler.h"
#include "game/platform.h"
#include "game/speed.h"

class QMenu;
class QMessageBox;

namespace tandemhoop {

class CourtWindow;
class Game;
class PictureHolders;
class SelectionScreen;

// The window system as the game sees it, built on Qt: the copies and the printed lines go into
// the court window's persistent image, Timer1 is the steady 64 Hz schedule, messages are modal
// boxes over the court window.
class DesktopPlatform final : public Platform {
 public:
  DesktopPlatform(CourtWindow& court, PictureHolders& pictures,
                  TickScheduler::Clock clock = SteadyNow);
  ~DesktopPlatform() override;

  void SetSelectionScreen(SelectionScreen* screen) { selection_ = screen; }
  // What one tick of Timer1 runs (the game's Timer1_Timer).
  void SetTickHandler(std::function<void()> onTick) { onTick_ = std::move(onTick); }

  // Closing the court window from the desktop is Yes to the quit question: the game's own
  // quit path runs without asking, so the game stops handling anything, exactly as after Esc
  // and Yes.
  // `pressEsc` feeds the Esc key in when the keys go through something else first (a recorder).
  void QuitFromDesktop(Game& game, const std::function<void()>& pressEsc = {});
  // Message boxes close themselves after this long (0: they wait for the player), as while a
  // replay is shown.
  void SetBoxTimeout(int milliseconds) { boxTimeout_ = milliseconds; }
  // Whether the game left frozen by No to the quit question says so, and how it goes on (not
  // while a replay is shown, where no key resumes it).
  void SetPauseMarked(bool marked) { pauseMarked_ = marked; }

  // Something a front end adds to the frame of the message box about to show `text`, never to
  // its text; it returns what to do once the box has closed (or nothing).
  using BoxAddition = std::function<std::function<void()>(QMessageBox& box, std::string_view text)>;
  void SetBoxAddition(BoxAddition addition) { boxAddition_ = std::move(addition); }

  // Runs `body` (a menu, a dialog) with the schedule held as behind a message box: no tick
  // while it runs, and the schedule starts again from the moment it returns.
  void RunHeld(const std::function<void()>& body);

  // Form_Load centres the court window while it is hidden, when its frame is not yet known; once
  // it is shown, this centres it again by its outer size, as soon as the frame is there. It
  // returns at once: the centring happens later, from the event loop.
  void CentreOnceFramed();

  // The game's speed: Classic (the default) or Fast. The choice is remembered; the environment
  // variable TANDEMHOOP_SPEED (classic or fast) overrides it for one run without changing it,
  // for scripts that drive the game by the clock.
  void SetSpeed(Speed speed);
  Speed speed() const { return speed_; }
  // Told of every change of speed (the recorder notes it in the replay).
  void SetSpeedListener(std::function<void(Speed)> onSpeed) { onSpeed_ = std::move(onSpeed); }
  void RestoreSpeed();
  void FillSpeedMenu(QMenu& menu);

  // Something else drew a frame through this platform (an online game, which runs its own
  // ticks): show what is left to show, as at the end of a tick of the timer.
  void FrameDone() { FinishFrame(); }
  // The court window's picture was put back from a copy: the next court is copied whole.
  void ForgetCourt();
  // The game was stopped from outside while it played (for an online game): it says so as after
  // No to the quit question, and the next character key resumes it.
  void MarkPaused();

  // The host's timer woke up: run the tick if one is due, then sleep until the next.
  void ServiceTimer();
  TickScheduler& scheduler() { return scheduler_; }
  bool Ended() const { return ended_; }
  int TextX() const { return textX_; }
  int TextY() const { return textY_; }

  // Platform
  std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source, RasterOp op) override;
  int DrawingWidth() const override;
  int DrawingHeight() const override;
  void SetTextPosition(int x, int y) override;
  void Print(std::string_view line) override;
  void SetTimerEnabled(bool enabled) override;
  bool TimerEnabled() const override;
  void CentreCourtWindow() override;
  void ShowSelectionScreen() override;
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void EndProgram() override;
  std::uint32_t SecondsSinceMidnight() const override;
  void PlaySound(Sound sound) override {
    if (onSound_) onSound_(sound);
  }
  // Where the game's sound cues go (the desktop's sound output).
  void SetSoundHandler(std::function<void(Sound)> onSound) { onSound_ = std::move(onSound); }

 private:
  // Runs a box modally while the schedule holds every tick.
  int RunModal(QMessageBox& box);
  void Rearm();
  void CentreIfFramed();
  // The tick has drawn its frame: show what is left to show.
  void FinishFrame();
  // Something was drawn over the court in `area`: show it, and remember it for the next court.
  void Changed(const QRect& area);
  // The court was copied over the whole window: what follows is drawn over it.
  void StartOverCourt();

  CourtWindow& court_;
  PictureHolders& pictures_;
  SelectionScreen* selection_ = nullptr;
  std::function<void()> onTick_;
  std::function<void(Sound)> onSound_;
  BoxAddition boxAddition_;
  std::function<void(Speed)> onSpeed_;
  TickScheduler scheduler_;
  QTimer wake_;
  QFont font_;
  struct Line {
    QString text;
    QList<QGlyphRun> glyphs;
    int width = 0;
  };
  // The laid-out form of a printed line, from the few kept or made now.
  const Line& PreparedLine(std::string_view line);
  std::array<Line, 4> lines_;
  std::size_t nextLine_ = 0;
  int lineSpacing_ = 0;
  // Whether the window holds the court (Form3's picture `courtIndex_` at (0, 0)) with only
  // `drawnOverCourt_` and `printed_` drawn over it since.
  bool courtUnderneath_ = false;
  std::int16_t courtIndex_ = 0;
  QRegion drawnOverCourt_;
  struct PrintedLine {
    QString text;
    QPoint at;
    QRect area;  // empty once the same line is printed there again
  };
  // The lines printed over the court in this frame, and in the frame before (its court copy
  // started this frame); kept in vectors that stop growing after the first frames.
  std::vector<PrintedLine> printed_;
  std::vector<PrintedLine> printedBefore_;
  int textX_ = 0;
  int textY_ = 0;
  bool centreWhenFramed_ = false;
  QTimer framing_;  // looks for the court window's frame after it is shown
  QElapsedTimer framingSince_;
  std::optional<qint64> exposedAt_;  // ms after the window was shown
  Speed speed_ = Speed::Classic;
  int boxTimeout_ = 0;
  bool pauseMarked_ = true;
  bool ticked_ = false;    // a tick has run: the game has left the title
  bool quitting_ = false;  // the court window is being closed: the quit question answers Yes
  bool ended_ = false;
};

}  // namespace tandemhoop
