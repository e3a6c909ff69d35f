#pragma once

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <string_view>
#include <utility>

#include "game/platform.h"
#include "game/replay.h"
#include "screens/selection.h"

class QLineEdit;
class QPushButton;

namespace tandemhoop {

class PictureHolders;

// A widget of the selection screen that reports a click: released inside it after being pressed
// inside it with the left button, or Space or Enter (not repeated) while it has the focus.
template <typename Widget>
class Clickable : public Widget {
 public:
  template <typename... Arguments>
  explicit Clickable(std::function<void()> onClick, Arguments&&... arguments)
      : Widget(std::forward<Arguments>(arguments)...), onClick_(std::move(onClick)) {
    this->setFocusPolicy(Qt::StrongFocus);
  }

  void Click() {
    if (this->isEnabled() && onClick_) onClick_();
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override { pressed_ = Inside(event); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool click = pressed_ && Inside(event);
    pressed_ = false;
    if (click) Click();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (!event->isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
      Click();
    } else {
      Widget::keyPressEvent(event);
    }
  }

 private:
  bool Inside(const QMouseEvent* event) const {
    return event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint());
  }

  std::function<void()> onClick_;
  bool pressed_ = false;
};

// A picture box of the selection screen: the art inside a one-pixel flat border, and a click.
class PictureBox : public Clickable<QWidget> {
 public:
  PictureBox(QWidget* parent, PictureRef art, std::function<void()> onClick);

  // Decodes the art (through the holders) the first time the box is painted.
  void SetHolders(PictureHolders* pictures) { pictures_ = pictures; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureRef ref_;
  PictureHolders* pictures_ = nullptr;
  QImage art_;
  bool artLoaded_ = false;
};

// A name on the selection screen that reports a click.
class ClickableLabel : public Clickable<QLabel> {
 public:
  ClickableLabel(QWidget* parent, const QString& caption, std::function<void()> onClick);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Form4, the selection screen: real widgets at the layout's pixel positions, each click handed
// to the pick rules. It is a window of its own in front of the court window; the desktop cannot
// close it, only the start rule hides it.
class SelectionScreen : public QWidget, public SelectionView {
 public:
  static constexpr int kWidth = 312;
  static constexpr int kHeight = 269;

  // `court` gets the keyboard back when the screen hides, and is the window it stands in front
  // of.
  SelectionScreen(GameState& state, PictureHolders& pictures, QWidget* court);

  // Shows the screen; the first time, its load handler runs before anything is displayed.
  // Showing it while it is shown opens nothing new.
  void ShowScreen();
  bool LoadedOnce() const { return loaded_; }

  PlayerSelection& rules() { return rules_; }
  // Where the clicks go: through the recorder, or nowhere while a replay is shown. Until it is
  // set they go straight to the rules.
  void SetClickRouter(std::function<void(SelectionClick)> route) { route_ = std::move(route); }
  // Whether a key went down on the court and has not come up since. Enter held on the title
  // opens the screen, and its repeats then come here, the first of them not always marked as
  // a repeat: such a key presses nothing until it has been let go.
  using HeldCheck = std::function<bool(const QKeyEvent&)>;
  void SetStillHeldCheck(HeldCheck check) { stillHeld_ = std::move(check); }

  // An online game's selection, where each side picks only its own player. While it is online,
  // the clicks go to `route` instead of the rules, the mode buttons are Ready (a switch) and
  // Leave, and ShowOnline shows both sides' picks as the online game has them: the other side's
  // pick cannot be clicked, nor its badge. EndOnline puts the screen back as it was, hidden.
  struct OnlinePicks {
    int localSide = 1;  // 1 or 2
    int p1Pick = 0;     // 0: none
    int p2Pick = 0;
    bool p1Ready = false;
    bool p2Ready = false;
    QString status;  // a line above the boxes: what the player is waiting for
  };
  void BeginOnline(std::function<void(SelectionClick)> route);
  void ShowOnline(const OnlinePicks& picks);
  void EndOnline();
  bool Online() const { return static_cast<bool>(onlineRoute_); }

  // For players without a mouse: the focus moves to the nearest control in a direction (dx, dy
  // of -1, 0 or 1), and the focused control is activated exactly as a click would.
  void MoveFocus(int dx, int dy);
  void ActivateFocus();

  // SelectionView
  void SetText1(std::string_view text) override;
  void SetText2(std::string_view text) override;
  void HideScreen() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // The arrow keys move the focus over the controls, whichever has it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  void Clicked(SelectionClick click);
  QWidget* FirstPortrait() const;
  bool StillHeld(const QKeyEvent& key) const;

  void Place();

  PlayerSelection rules_;
  std::function<void(SelectionClick)> route_;
  std::function<void(SelectionClick)> onlineRoute_;
  QLabel* onlineStatus_ = nullptr;
  QString savedText1_;
  QString savedText2_;
  HeldCheck stillHeld_;
  PictureHolders& pictures_;
  QWidget* court_;
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  bool loaded_ = false;
};

}  // namespace tandemhoop
