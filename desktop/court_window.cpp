#include "desktop/court_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <cstddef>

#include "game/game.h"

namespace tandemhoop {

namespace {

// The window background of the standard colour scheme: all that shows around the title art.
constexpr std::uint32_t kWindowBackground = 0x00FFFFFF;

enum : int { kShift = 1, kCtrl = 2, kAlt = 4 };

int ShiftState(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShift;
  if (modifiers & Qt::ControlModifier) shift |= kCtrl;
  if (modifiers & Qt::AltModifier) shift |= kAlt;
  return shift;
}

}  // namespace

int VirtualKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Space:
      return 32;
    default:
      break;
  }
  // Qt's codes for letters and digits are already their upper-case ASCII.
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
  return 0;
}

CourtWindow::CourtWindow()
    : surface_{kWidth, kHeight,
               std::vector<std::uint32_t>(static_cast<std::size_t>(kWidth) * kHeight,
                                          kWindowBackground)},
      image_(reinterpret_cast<uchar*>(surface_.pixels.data()), kWidth, kHeight,
             kWidth * static_cast<qsizetype>(sizeof(std::uint32_t)), QImage::Format_RGB32) {
  setWindowTitle(QStringLiteral("Tandemhoop"));
  setFixedSize(kWidth, kHeight);
  setFocusPolicy(Qt::StrongFocus);
  // paintEvent covers every pixel from the image: no background fill, no flicker.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CourtWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // On a high-density screen the picture is enlarged pixel for pixel, never blurred.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Only what changed is asked for; each part of it goes to the screen unscaled.
  for (const QRect& part : event->region()) {
    const QRect area = part & rect();
    painter.drawImage(area, image_, area);
  }
}

void CourtWindow::keyPressEvent(QKeyEvent* event) {
  if (game_ == nullptr) return;
  // A held key repeats both handlers, the way the game has always seen a held key.
  const int keyCode = VirtualKeyCode(event->key());
  if (keyCode != 0) game_->Form_KeyDown(keyCode, ShiftState(event->modifiers()));
  const QString text = event->text();
  if (!text.isEmpty()) game_->Form_KeyPress(text.front().unicode());
}

void CourtWindow::keyReleaseEvent(QKeyEvent* event) {
  // X11 sends a release before every repeated press; the game takes a key-up to mean the key
  // really went up, which would cut a held key into taps.
  if (game_ == nullptr || event->isAutoRepeat()) return;
  const int keyCode = VirtualKeyCode(event->key());
  if (keyCode != 0) game_->Form_KeyUp(keyCode, ShiftState(event->modifiers()));
}

void CourtWindow::closeEvent(QCloseEvent* event) {
  if (onClose_) onClose_();
  event->accept();
}

void CourtWindow::RunHeld(const std::function<void()>& body) {
  if (runHeld_) {
    runHeld_(body);
  } else {
    body();
  }
}

void CourtWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  for (const MenuFiller& fill : menuFillers_) {
    if (!menu.isEmpty()) menu.addSeparator();
    fill(menu);
  }
  if (menu.isEmpty()) return;
  const QPoint where = event->globalPos();
  // An entry's action runs after the menu has closed, still inside the hold, so a dialog it
  // opens holds the game as well.
  RunHeld([&menu, where] { menu.exec(where); });
}

bool CourtWindow::focusNextPrevChild(bool /*next*/) {
  return false;
}

}  // namespace tandemhoop
