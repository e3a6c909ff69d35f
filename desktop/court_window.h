#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "desktop/presentation.h"
#include "screens/raster.h"

class QKeyEvent;
class QMenu;
class QPainter;
class QRegion;

namespace tandemhoop {

class Game;
class Recorder;

// Where the court window's keys go instead of the game while something else has the court (an
// online game): the codes the game's handlers would get, after the player's chosen keys.
class KeySink {
 public:
  virtual ~KeySink() = default;
  virtual void KeyDown(int code) = 0;
  virtual void KeyUp(int code) = 0;
  virtual void KeyPress(int character) = 0;
};

// The virtual-key code the game's key handlers expect for a Qt key; 0 for a key the game has no
// code for (such a key still reaches the character handler if it types a character).
int VirtualKeyCode(int qtKey);

// The code for a key event, as the game's home desktop gives it: a letter key keeps its letter's
// code under every keyboard layout. Where the active layout puts a letter of another script on
// it (Cyrillic, Greek, ...), the key is known by its place on the keyboard instead.
int VirtualKeyCode(const QKeyEvent& event);

// Whether a key's text is a character the character handler hears: printable text, Backspace,
// Tab, Enter and Esc. Delete and the other control characters type nothing.
bool TypesCharacter(const QString& text);

// Form1, the court window. Every copy and every printed line goes into one persistent image of
// the drawing area, and the window only ever shows that image: the title art before the first
// tick, the last frame while the game is frozen, whatever covered it in between. The image is
// always 727 x 542; the window may be any size from that up, or full screen, and shows the
// image enlarged by the chosen scaling, centred between dark borders.
class CourtWindow : public QWidget {
 public:
  static constexpr int kWidth = 727;
  static constexpr int kHeight = 542;
  static constexpr int kStatusHeight = 22;  // the status line's strip below the picture

  CourtWindow();

  // The handlers that keys go to; until it is set, keys are ignored.
  void SetGame(Game* game);
  // Keys go through the recorder, which passes them on to the game, when one is set.
  void SetRecorder(Recorder* recorder) { recorder_ = recorder; }
  // While a sink is set, every key goes to it and none to the game; the keys held when it
  // changes go up where they went down.
  void SetKeySink(KeySink* sink);
  // What closing the window from the desktop does (the desktop wires it to the quit path).
  void SetCloseHandler(std::function<void()> onClose) { onClose_ = std::move(onClose); }
  // Keys of the additions (F2 ...), which type no character: a hook that takes the Qt key
  // returns true to keep it from the game.
  using KeyHook = std::function<bool(int qtKey, bool autoRepeat)>;
  void AddKeyHook(KeyHook hook) { keyHooks_.push_back(std::move(hook)); }

  // The context menu (right-click) is where every addition to the original game is found. Each
  // addition puts its entries in, in the order the additions were registered.
  using MenuFiller = std::function<void(QMenu&)>;
  void AddMenuEntries(MenuFiller fill) { menuFillers_.push_back(std::move(fill)); }
  // Every addition's entries, as the context menu shows them.
  void FillMenu(QMenu& menu);
  // Runs something modal (the menu, a dialog) with the game held: no tick while it is open.
  using HeldRunner = std::function<void(const std::function<void()>&)>;
  void SetHeldRunner(HeldRunner run) { runHeld_ = std::move(run); }
  void RunHeld(const std::function<void()>& body);

  // Every key the game believes held goes up through its key-up handler: the window lost the
  // keyboard to another program, which will never tell us when those keys are let go.
  void ReleaseHeldKeys();
  // Whether the key went down here and has not come up since (wherever it was let go).
  bool StillHeld(const QKeyEvent& event) const;

  // A window of the game that stands in front of the court while it is shown (the selection
  // screen): it gets the keyboard back after full screen is switched and after the court's menu
  // or a dialog of it closes, which leave the court active.
  void SetFrontWindow(QWidget* front) { front_ = front; }

  // The image changed in `area` (image pixels): shown at the next paint.
  void ShowChanged(const QRect& area);
  void ShowChanged(const QRegion& area);

  void SetScaling(Scaling scaling);
  Scaling scaling() const { return presenter_.scaling(); }
  // F11 and Alt+Enter: full screen, and back to the window as it was, maximised or not.
  void SetFullScreen(bool fullScreen);
  bool FullScreen() const { return isFullScreen(); }
  // The picture's own size, or the largest that fits on a screen too small for it.
  void OriginalSize();
  // On a screen too small for the picture with the window's frame round it, the window may be
  // smaller than the picture, and one too large for the screen is made to fit.
  void FitToScreen();
  // A small mark in a corner of what is shown, outside the game's picture (empty: none).
  void SetCornerMark(const QString& mark);
  // A word on the game's state, outside the game's picture: in the window's title, and in the
  // border round the picture where there is room for it (full screen has no title). Empty: none.
  void SetStateMark(const QString& mark);
  const QString& stateMark() const { return stateMark_; }
  // A line of its own below the picture (an online game's connection), in a strip the window
  // grows by while there is one. Empty: no strip. `warning` shows it in the colour of a warning.
  void SetStatusLine(const QString& line, bool warning = false);
  const QString& statusLine() const { return statusLine_; }
  // Where the picture is shown in the window, in the window's own coordinates.
  QRect PictureRect() const;
  // The scaling, full screen and window size the player left last time; they are remembered as
  // they change. Call before the window is first shown.
  void RestoreSettings();
  // The court window's own entries of the context menu.
  void FillDisplayMenu(QMenu& menu);

  Surface& surface() { return surface_; }
  const Surface& surface() const { return surface_; }
  // The same pixels, seen by Qt for painting text and showing the picture (no copy).
  QImage& image() { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  // The window manager's frame is known once the window has been placed in it.
  void moveEvent(QMoveEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Sees the key releases that go to the game's other windows (the selection screen, a box).
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Tab is a character key like any other here: it must not move the focus away.
  bool focusNextPrevChild(bool next) override;

 private:
  Surface surface_;
  QImage image_;
  void KeyUp(int keyCode, int shift);
  void ReturnKeyboard();
  QSize DeviceArea() const;
  // The part of the device area the picture is fitted into: all of it but the status strip.
  QSize PictureArea() const;
  int StatusHeight() const;
  void RememberSize();

  void PaintStateMark(QPainter& painter, QSize area);

  Presenter presenter_;
  QString cornerMark_;
  QString stateMark_;
  QString statusLine_;
  bool statusWarning_ = false;
  int grownBy_ = 0;  // what the window grew by for the status strip, to give back
  bool restoring_ = false;
  bool maximisedUnderFullScreen_ = false;  // what leaving full screen goes back to
  QSize normalSize_;                       // shown neither maximised nor full screen, last
  // Asked for full screen, the window manager may report the window as neither maximised nor
  // full screen for a moment on the way, at nearly the screen's size; neither is the player's.
  bool passingThrough_ = false;
  bool leavingFullScreen_ = false;  // the change is ours, not the window manager's

  Game* game_ = nullptr;
  Recorder* recorder_ = nullptr;
  KeySink* sink_ = nullptr;
  std::array<bool, 256> held_{};  // by virtual-key code: down, and not yet up
  std::function<void()> onClose_;
  std::vector<MenuFiller> menuFillers_;
  std::vector<KeyHook> keyHooks_;
  HeldRunner runHeld_;
  QWidget* front_ = nullptr;
};

}  // namespace tandemhoop
