#include "desktop/court_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QWindowStateChangeEvent>
#include <QtMath>
#include <algorithm>
#include <cstddef>
#include <string>

#include "desktop/key_bindings.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "game/replay.h"

namespace tandemhoop {

namespace {

const QString kTitle = QStringLiteral("Tandemhoop");

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

// The letter on each key of a PC keyboard, by the key's place: X11 and Wayland keycodes, which
// are the kernel's key numbers plus 8.
int LatinLetterAt(quint32 scanCode) {
  static constexpr struct {
    quint32 first;
    const char* letters;
  } kRows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
  for (const auto& row : kRows) {
    const auto length = static_cast<quint32>(std::char_traits<char>::length(row.letters));
    if (scanCode >= row.first && scanCode < row.first + length)
      return row.letters[scanCode - row.first];
  }
  return 0;
}

}  // namespace

int VirtualKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  const int code = VirtualKeyCode(key);
  if (code != 0) return code;
  // Qt names a key of another script by its letter's code point, above Latin-1 and below its
  // own special keys. Latin layouts (AZERTY, QWERTZ) keep the letter printed on the key.
  if (key > 0xFF && key < Qt::Key_Escape) return LatinLetterAt(event.nativeScanCode());
  return 0;
}

bool TypesCharacter(const QString& text) {
  if (text.isEmpty()) return false;
  const QChar c = text.front();
  return c.isPrint() || c == QChar(8) || c == QChar(9) || c == QChar(13) || c == QChar(27);
}

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
  setWindowTitle(kTitle);
  // The original size is the least: every game pixel is shown at least once.
  setMinimumSize(kWidth, kHeight);
  resize(kWidth, kHeight);
  setFocusPolicy(Qt::StrongFocus);
  // paintEvent covers every pixel from the image: no background fill, no flicker.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Keys let go while another of the game's windows has the keyboard are still let go, and the
  // keys held when another program takes the keyboard go up.
  if (qApp != nullptr) qApp->installEventFilter(this);
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
              if (state != Qt::ApplicationActive) ReleaseHeldKeys();
            });
  }
}

QSize CourtWindow::DeviceArea() const {
  const qreal ratio = devicePixelRatioF();
  return QSize(qRound(width() * ratio), qRound(height() * ratio));
}

int CourtWindow::StatusHeight() const {
  return statusLine_.isEmpty() ? 0 : kStatusHeight;
}

QSize CourtWindow::PictureArea() const {
  const QSize area = DeviceArea();
  return QSize(area.width(),
               std::max(1, area.height() - qRound(StatusHeight() * devicePixelRatioF())));
}

QRect CourtWindow::PictureRect() const {
  const QRect device = FitPicture(image_.size(), PictureArea(), presenter_.scaling()).target;
  const qreal ratio = devicePixelRatioF();
  return QRect(
      QPoint(qFloor(device.left() / ratio), qFloor(device.top() / ratio)),
      QPoint(qCeil((device.right() + 1) / ratio) - 1, qCeil((device.bottom() + 1) / ratio) - 1));
}

void CourtWindow::SetStatusLine(const QString& line, bool warning) {
  if (line == statusLine_ && warning == statusWarning_) return;
  const bool had = !statusLine_.isEmpty();
  statusLine_ = line;
  statusWarning_ = warning;
  if (had == !line.isEmpty()) {
    update();
    return;
  }
  // The strip comes and goes with the line: the picture keeps its room, and a window at the
  // picture's own size grows by the strip and shrinks back after.
  const int strip = had ? -kStatusHeight : kStatusHeight;
  setMinimumSize(minimumSize() + QSize(0, strip));
  if (windowState() == Qt::WindowNoState) {
    const int grow = had ? -grownBy_ : (height() - kStatusHeight < kHeight ? kStatusHeight : 0);
    grownBy_ = had ? 0 : grow;
    if (grow != 0) resize(width(), height() + grow);
  }
  update();
}

void CourtWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Drawn in the screen's own pixels, so a high-density screen gets the same sharp rules.
  const qreal ratio = devicePixelRatioF();
  painter.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
  QRegion dirty;
  for (const QRect& part : event->region()) {
    dirty += QRect(
        QPoint(qFloor(part.left() * ratio), qFloor(part.top() * ratio)),
        QPoint(qCeil((part.right() + 1) * ratio) - 1, qCeil((part.bottom() + 1) * ratio) - 1));
  }
  const QSize area = PictureArea();
  // Only what changed is asked for, and only that is drawn again.
  presenter_.Present(painter, image_, area, dirty);
  if (!statusLine_.isEmpty()) {
    const QRect strip(0, area.height(), area.width(), DeviceArea().height() - area.height());
    painter.fillRect(strip, QColor::fromRgb(Presenter::kBorder));
    QFont font = painter.font();
    font.setPixelSize(qRound(13 * ratio));
    painter.setFont(font);
    painter.setPen(statusWarning_ ? QColor(255, 190, 60) : QColor(215, 215, 215));
    painter.drawText(strip.adjusted(qRound(8 * ratio), 0, -qRound(8 * ratio), 0),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, statusLine_);
  }
  if (!stateMark_.isEmpty()) PaintStateMark(painter, area);
  if (!cornerMark_.isEmpty()) {
    const Fit fit = FitPicture(image_.size(), area, presenter_.scaling());
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(12, fit.target.height() / 36));
    painter.setFont(font);
    const QRect box = QFontMetrics(font).boundingRect(cornerMark_).adjusted(-6, -3, 6, 3);
    const QRect at(fit.target.right() - box.width() - 8, fit.target.top() + 8, box.width(),
                   box.height());
    painter.fillRect(at, QColor(0, 0, 0, 150));
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(at, Qt::AlignCenter, cornerMark_);
  }
}

void CourtWindow::ShowChanged(const QRect& area) {
  if (area.isEmpty()) return;
  const QRect device = Presenter::DeviceAreaOf(area, image_.size(), PictureArea(), scaling());
  const qreal ratio = devicePixelRatioF();
  update(QRect(QPoint(qFloor(device.left() / ratio), qFloor(device.top() / ratio)),
               QPoint(qCeil((device.right() + 1) / ratio), qCeil((device.bottom() + 1) / ratio))));
}

void CourtWindow::ShowChanged(const QRegion& area) {
  for (const QRect& part : area)
    ShowChanged(part);
}

void CourtWindow::SetScaling(Scaling scaling) {
  presenter_.SetScaling(scaling);
  if (!restoring_) Settings::SetValue(QStringLiteral("display/scaling"), ScalingName(scaling));
  update();
}

void CourtWindow::SetFullScreen(bool fullScreen) {
  if (fullScreen == isFullScreen()) return;
  // The state itself, not showFullScreen() and showNormal(): those forget a maximised window
  // and take the keyboard from the selection screen.
  if (fullScreen) {
    maximisedUnderFullScreen_ = isMaximized();
    setWindowState(windowState() | Qt::WindowFullScreen);
  } else {
    leavingFullScreen_ = true;
    setWindowState(maximisedUnderFullScreen_ ? Qt::WindowMaximized : Qt::WindowNoState);
    leavingFullScreen_ = false;
  }
  if (!restoring_) Settings::SetValue(QStringLiteral("display/fullScreen"), fullScreen);
  ReturnKeyboard();
}

void CourtWindow::OriginalSize() {
  SetFullScreen(false);
  if (isMaximized()) showNormal();
  resize(kWidth, kHeight);
  FitToScreen();
}

void CourtWindow::FitToScreen() {
  const QScreen* where = screen();
  if (where == nullptr) return;
  // The frame is known only once the window manager has put one round the window, and a window
  // resized just as it is framed may keep its first size: room is left for a usual frame from
  // the start, so that it seldom has to be resized then.
  const qreal ratio = devicePixelRatioF();
  const QSize usualFrame(qCeil(8 / ratio), qCeil(40 / ratio));
  const QSize frame = (frameGeometry().size() - size()).expandedTo(usualFrame);
  const QSize room = where->availableGeometry().size() - frame;
  const QSize picture(kWidth, kHeight);
  const QSize least = LeastWindowSize(picture, room - QSize(0, StatusHeight()));
  setMinimumSize(least + QSize(0, StatusHeight()));
  // Where the picture fits, the size the player gave the window stands. Only a normal window is
  // resized: a resize would take a maximised or full-screen one out of its state.
  if (least != picture && windowState() == Qt::WindowNoState &&
      (width() > room.width() || height() > room.height())) {
    resize(least + QSize(0, StatusHeight()));
  }
}

void CourtWindow::moveEvent(QMoveEvent* event) {
  FitToScreen();
  QWidget::moveEvent(event);
}

void CourtWindow::SetCornerMark(const QString& mark) {
  cornerMark_ = mark;
  update();
}

void CourtWindow::SetStateMark(const QString& mark) {
  if (mark == stateMark_) return;
  stateMark_ = mark;
  setWindowTitle(mark.isEmpty() ? kTitle : QStringLiteral("%1 (%2)").arg(kTitle, mark));
  // The border is painted only where it is asked for.
  update();
}

void CourtWindow::PaintStateMark(QPainter& painter, QSize area) {
  const QRect target = FitPicture(image_.size(), area, presenter_.scaling()).target;
  // The widest of the borders: below the picture (and above it), or beside it.
  const int below = area.height() - target.bottom() - 1;
  const int beside = area.width() - target.right() - 1;
  const QRect room = below * area.width() >= beside * area.height()
                         ? QRect(0, target.bottom() + 1, area.width(), below)
                         : QRect(target.right() + 1, 0, beside, area.height());
  QFont font = painter.font();
  font.setPixelSize(std::max(12, area.height() / 45));
  const QRect inside = room.adjusted(8, 4, -8, -4);
  const int flags = Qt::AlignCenter | Qt::TextWordWrap;
  const QRect needed = QFontMetrics(font).boundingRect(inside, flags, stateMark_);
  if (inside.isEmpty() || !inside.contains(needed)) return;  // the title says it alone
  painter.setFont(font);
  painter.setPen(QColor(235, 235, 235));
  painter.drawText(inside, flags, stateMark_);
}

void CourtWindow::RestoreSettings() {
  restoring_ = true;
  SetScaling(
      ScalingNamed(Settings::Value(QStringLiteral("display/scaling")).toString(), Scaling::Sharp));
  const QSize size = Settings::Value(QStringLiteral("display/size")).toSize();
  if (size.isValid()) resize(size.expandedTo(minimumSize()));
  FitToScreen();
  maximisedUnderFullScreen_ = Settings::Value(QStringLiteral("display/maximised"), false).toBool();
  Qt::WindowStates state = maximisedUnderFullScreen_ ? Qt::WindowMaximized : Qt::WindowNoState;
  if (Settings::Value(QStringLiteral("display/fullScreen"), false).toBool())
    state |= Qt::WindowFullScreen;
  setWindowState(state);
  restoring_ = false;
}

void CourtWindow::changeEvent(QEvent* event) {
  // Maximised by the player (the frame's button, the window manager's keys) or not: kept for
  // the next start, and for leaving full screen. What full screen says of it is not asked.
  if (event->type() == QEvent::WindowStateChange) {
    const bool wasFullScreen =
        static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowFullScreen;
    passingThrough_ = wasFullScreen && !isFullScreen() && !leavingFullScreen_;
  }
  if (event->type() == QEvent::WindowStateChange && !restoring_ && isVisible() && !isFullScreen() &&
      !passingThrough_) {
    maximisedUnderFullScreen_ = isMaximized();
    Settings::SetValue(QStringLiteral("display/maximised"), maximisedUnderFullScreen_);
  }
  QWidget::changeEvent(event);
}

void CourtWindow::RememberSize() {
  if (restoring_ || !isVisible()) return;
  // The size it had when last neither maximised nor full screen; one started maximised or full
  // screen and never shown otherwise leaves the size kept from before.
  if (normalSize_.isValid()) Settings::SetValue(QStringLiteral("display/size"), normalSize_);
}

void CourtWindow::resizeEvent(QResizeEvent* event) {
  // The size to come back to from maximised or full screen.
  if (isVisible() && windowState() == Qt::WindowNoState && !passingThrough_) normalSize_ = size();
  QWidget::resizeEvent(event);
}

void CourtWindow::FillDisplayMenu(QMenu& menu) {
  QAction* full = menu.addAction(QStringLiteral("Full screen"), this,
                                 [this] { SetFullScreen(!isFullScreen()); });
  full->setCheckable(true);
  full->setChecked(isFullScreen());
  full->setShortcut(QKeySequence(Qt::Key_F11));
  QMenu* scaling = menu.addMenu(QStringLiteral("Scaling"));
  auto* styles = new QActionGroup(scaling);
  const struct {
    Scaling scaling;
    const char* caption;
  } kStyles[] = {{Scaling::Sharp, "Sharp"},
                 {Scaling::PixelPerfect, "Pixel perfect"},
                 {Scaling::Smooth, "Smooth"}};
  for (const auto& style : kStyles) {
    QAction* action = scaling->addAction(QString::fromLatin1(style.caption), this,
                                         [this, s = style.scaling] { SetScaling(s); });
    action->setCheckable(true);
    action->setChecked(presenter_.scaling() == style.scaling);
    styles->addAction(action);
  }
  menu.addAction(QStringLiteral("Original size"), this, [this] { OriginalSize(); });
}

void CourtWindow::SetGame(Game* game) {
  game_ = game;
  held_.fill(false);
}

void CourtWindow::SetKeySink(KeySink* sink) {
  if (sink == sink_) return;
  ReleaseHeldKeys();
  sink_ = sink;
}

namespace {

// F11 and Alt+Enter switch full screen, from any of the game's windows.
bool IsFullScreenKey(const QKeyEvent& event) {
  const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
  return event.key() == Qt::Key_F11 || (enter && (event.modifiers() & Qt::AltModifier));
}

}  // namespace

void CourtWindow::keyPressEvent(QKeyEvent* event) {
  // They belong to the window, never to the game: Enter must not start or resume it when Alt
  // is held.
  if (IsFullScreenKey(*event)) {
    if (!event->isAutoRepeat()) SetFullScreen(!isFullScreen());
    return;
  }
  for (const KeyHook& hook : keyHooks_) {
    if (hook(event->key(), event->isAutoRepeat())) return;
  }
  if (game_ == nullptr && sink_ == nullptr) return;
  // A held key repeats both handlers, the way the game has always seen a held key.
  const int keyCode = TranslateKey(event->key(), VirtualKeyCode(*event));
  if (keyCode != 0) {
    held_[static_cast<std::size_t>(keyCode) % held_.size()] = true;
    if (sink_ != nullptr) {
      sink_->KeyDown(keyCode);
    } else if (recorder_ != nullptr) {
      recorder_->KeyDown(keyCode, ShiftState(event->modifiers()));
    } else {
      game_->Form_KeyDown(keyCode, ShiftState(event->modifiers()));
    }
  }
  const QString text = event->text();
  if (!TypesCharacter(text)) return;
  if (sink_ != nullptr) {
    sink_->KeyPress(text.front().unicode());
  } else if (recorder_ != nullptr) {
    recorder_->KeyPress(text.front().unicode());
  } else {
    game_->Form_KeyPress(text.front().unicode());
  }
}

void CourtWindow::keyReleaseEvent(QKeyEvent* event) {
  // X11 sends a release before every repeated press; the game takes a key-up to mean the key
  // really went up, which would cut a held key into taps.
  if ((game_ == nullptr && sink_ == nullptr) || event->isAutoRepeat()) return;
  const int keyCode = TranslateKey(event->key(), VirtualKeyCode(*event));
  if (keyCode != 0) KeyUp(keyCode, ShiftState(event->modifiers()));
}

void CourtWindow::KeyUp(int keyCode, int shift) {
  held_[static_cast<std::size_t>(keyCode) % held_.size()] = false;
  if (sink_ != nullptr) {
    sink_->KeyUp(keyCode);
  } else if (recorder_ != nullptr) {
    recorder_->KeyUp(keyCode, shift);
  } else {
    game_->Form_KeyUp(keyCode, shift);
  }
}

bool CourtWindow::StillHeld(const QKeyEvent& event) const {
  const int keyCode = TranslateKey(event.key(), VirtualKeyCode(event));
  return keyCode != 0 && held_[static_cast<std::size_t>(keyCode) % held_.size()];
}

void CourtWindow::ReturnKeyboard() {
  if (front_ == nullptr || !front_->isVisible()) return;
  front_->raise();
  front_->activateWindow();
}

void CourtWindow::ReleaseHeldKeys() {
  if (game_ == nullptr && sink_ == nullptr) return;
  for (std::size_t code = 0; code < held_.size(); ++code) {
    if (held_[code]) KeyUp(static_cast<int>(code), 0);
  }
}

bool CourtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() != this &&
      IsFullScreenKey(*static_cast<QKeyEvent*>(event))) {
    if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) SetFullScreen(!isFullScreen());
    return true;
  }
  if (event->type() == QEvent::KeyRelease && (game_ != nullptr || sink_ != nullptr) &&
      watched->isWidgetType() && static_cast<QWidget*>(watched)->window() != this) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const int keyCode = key->isAutoRepeat() ? 0 : TranslateKey(key->key(), VirtualKeyCode(*key));
    if (keyCode != 0 && held_[static_cast<std::size_t>(keyCode) % held_.size()])
      KeyUp(keyCode, ShiftState(key->modifiers()));
  }
  return QWidget::eventFilter(watched, event);
}

void CourtWindow::focusOutEvent(QFocusEvent* event) {
  // The keyboard went to another program (not to one of the game's own windows, which pass
  // their key releases on).
  if (event->reason() == Qt::ActiveWindowFocusReason && QApplication::activeWindow() == nullptr)
    ReleaseHeldKeys();
  QWidget::focusOutEvent(event);
}

void CourtWindow::closeEvent(QCloseEvent* event) {
  RememberSize();
  if (onClose_) onClose_();
  event->accept();
}

void CourtWindow::RunHeld(const std::function<void()>& body) {
  if (runHeld_) {
    runHeld_(body);
  } else {
    body();
  }
  ReturnKeyboard();
}

void CourtWindow::FillMenu(QMenu& menu) {
  for (const MenuFiller& fill : menuFillers_) {
    if (!menu.isEmpty()) menu.addSeparator();
    fill(menu);
  }
}

void CourtWindow::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  FillMenu(menu);
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
