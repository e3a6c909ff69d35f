#include "desktop/desktop_platform.h"

#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSpacerItem>
#include <QTextLayout>
#include <QTime>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "desktop/court_window.h"
#include "desktop/desktop_fonts.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/settings.h"
#include "game/game.h"

namespace tandemhoop {

namespace {

const QString kProgramTitle = QStringLiteral("Tandemhoop");
const QString kPauseMark = QStringLiteral("paused — any letter key resumes");

// The quit question, like the message boxes of the game's home desktop, has no Esc answer: a
// held Esc key would otherwise answer No with its first repeat and ask again with the next.
class SwallowEscape : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt's painter leaves 0xFF in the top byte of what it draws; the surface holds plain 0x00RRGGBB
// like every picture, so the area a line of text touched (inside the window) is put back.
void ClearTopByte(Surface& surface, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::uint32_t* row = surface.pixels.data() + static_cast<std::size_t>(y) * surface.width;
    for (int x = area.left(); x <= area.right(); ++x)
      row[x] &= 0x00FFFFFFu;
  }
}

}  // namespace

DesktopPlatform::DesktopPlatform(CourtWindow& court, PictureHolders& pictures,
                                 TickScheduler::Clock clock)
    : court_(court),
      pictures_(pictures),
      scheduler_(std::move(clock),
                 [this] {
                   // Each copy and line asks for its own area to be shown; the painting
                   // waits for the event loop, so the finished frame is shown after the tick.
                   ticked_ = true;
                   if (onTick_) onTick_();
                 }),
      font_(CourtFont()) {
  lineSpacing_ = QFontMetrics(font_).lineSpacing();
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&wake_, &QTimer::timeout, [this] { ServiceTimer(); });
}

DesktopPlatform::~DesktopPlatform() = default;

void DesktopPlatform::ServiceTimer() {
  if (ended_) return;
  scheduler_.Service();
  Rearm();
}

void DesktopPlatform::Rearm() {
  const auto wait = ended_ ? std::nullopt : scheduler_.TimeToNextTick();
  if (!wait) {
    wake_.stop();
    return;
  }
  // Qt's timers count whole milliseconds: round up, so the wake-up is never before the deadline.
  const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(*wait);
  wake_.start(static_cast<int>(milliseconds.count()));
}

std::int32_t DesktopPlatform::BitBlt(int x, int y, int width, int height, PictureRef source,
                                     RasterOp op) {
  const Surface* picture = pictures_.Find(source);
  if (picture == nullptr) return 0;
  const std::int32_t result =
      tandemhoop::BitBlt(court_.surface(), x, y, width, height, *picture, 0, 0, op);
  if (result == 0) return result;
  const CopyArea area = ClippedCopyArea(court_.surface(), x, y, width, height, *picture, 0, 0);
  if (area.empty()) return result;
  const QRect covered(area.x, area.y, area.width, area.height);
  if (source.form == Holder::Form3 && op == RasterOp::SrcCopy && covered == court_.image().rect()) {
    // Every tick starts again from the court: on the screen, only what was drawn over the
    // last court changes, and the rest of the window need not be sent again.
    if (courtUnderneath_) {
      court_.ShowChanged(drawnOverCourt_);
    } else {
      court_.ShowChanged(covered);
    }
    courtUnderneath_ = true;
    drawnOverCourt_ = QRegion();
  } else {
    Changed(covered);
  }
  return result;
}

void DesktopPlatform::Changed(const QRect& area) {
  court_.ShowChanged(area);
  drawnOverCourt_ += area;
}

int DesktopPlatform::DrawingWidth() const {
  return court_.surface().width;
}
int DesktopPlatform::DrawingHeight() const {
  return court_.surface().height;
}

void DesktopPlatform::SetTextPosition(int x, int y) {
  textX_ = x;
  textY_ = y;
}

const DesktopPlatform::Line& DesktopPlatform::PreparedLine(std::string_view line) {
  const QLatin1StringView text(line.data(), static_cast<qsizetype>(line.size()));
  for (const Line& known : lines_) {
    if (known.text == text) return known;
  }
  // Laying out a line costs more than the rest of a tick; the score lines change only with
  // the score, so the few lines last printed are kept laid out.
  Line& fresh = lines_[nextLine_];
  nextLine_ = (nextLine_ + 1) % lines_.size();
  fresh.text = Latin1(line);
  QTextLayout layout(fresh.text, font_);
  layout.beginLayout();
  QTextLine laidOut = layout.createLine();
  layout.endLayout();
  fresh.glyphs = layout.glyphRuns();
  fresh.width = laidOut.isValid() ? static_cast<int>(std::ceil(laidOut.naturalTextWidth())) : 0;
  return fresh;
}

void DesktopPlatform::Print(std::string_view line) {
  const Line& prepared = PreparedLine(line);
  {
    QPainter painter(&court_.image());
    painter.setPen(QColor(0, 0, 0));
    // No background: the court shows between the letters.
    painter.setBackgroundMode(Qt::TransparentMode);
    for (const QGlyphRun& run : prepared.glyphs)
      painter.drawGlyphRun(QPointF(textX_, textY_), run);
  }
  // A little around the line, for accents and antialiased edges.
  const QRect touched =
      QRect(textX_ - 4, textY_ - 4, prepared.width + 8, lineSpacing_ + 8) & court_.image().rect();
  ClearTopByte(court_.surface(), touched);
  if (!touched.isEmpty()) Changed(touched);
  textY_ += lineSpacing_;
}

void DesktopPlatform::SetTimerEnabled(bool enabled) {
  if (ended_) enabled = false;
  scheduler_.SetEnabled(enabled);
  Rearm();
  if (enabled) court_.SetStateMark({});
}

bool DesktopPlatform::TimerEnabled() const {
  return scheduler_.Enabled();
}

void DesktopPlatform::CentreCourtWindow() {
  QScreen* screen = court_.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->geometry();
  const QSize outer = court_.frameGeometry().size();
  // Qt takes a move for a return to a normal window and forgets a full-screen or maximised
  // state (remembered from last time) without a word, though the window is still shown so: the
  // move only places the window for when it is normal again.
  const Qt::WindowStates state = court_.windowState();
  court_.move(area.x() + (area.width() - outer.width()) / 2,
              area.y() + (area.height() - outer.height()) / 2);
  if (court_.windowState() != state) court_.setWindowState(state);
  if (!court_.isVisible()) centreWhenFramed_ = true;
}

void DesktopPlatform::CentreOnceFramed() {
  if (!centreWhenFramed_ || !court_.isVisible() || court_.isFullScreen()) return;
  centreWhenFramed_ = false;
  // The window manager frames a window as it maps it: wait for the window to be on the screen,
  // then a little for its frame (a bare X server puts none round it).
  QElapsedTimer waited;
  waited.start();
  const auto exposed = [this] {
    const QWindow* window = court_.windowHandle();
    return window != nullptr && window->isExposed();
  };
  while (!exposed() && waited.elapsed() < 1000)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  waited.restart();
  while (court_.frameGeometry().size() == court_.size() && waited.elapsed() < 150)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  CentreCourtWindow();
}

void DesktopPlatform::SetSpeed(Speed speed) {
  speed_ = speed;
  scheduler_.SetPeriod(speed == Speed::Fast ? TickScheduler::kFastPeriod
                                            : TickScheduler::kClassicPeriod);
  Rearm();
  if (onSpeed_) onSpeed_(speed);
}

namespace {
// The speed's name as the settings keep it.
QLatin1String SpeedName(Speed speed) {
  const std::string_view name = kSpeedNames[static_cast<std::size_t>(speed)];
  return QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
}
}  // namespace

void DesktopPlatform::RestoreSpeed() {
  const QByteArray forced = qgetenv("TANDEMHOOP_SPEED").trimmed().toLower();
  if (forced == SpeedName(Speed::Fast) || forced == SpeedName(Speed::Classic)) {
    SetSpeed(forced == SpeedName(Speed::Fast) ? Speed::Fast : Speed::Classic);
    return;
  }
  const QString remembered = Settings::Value(QStringLiteral("game/speed")).toString();
  SetSpeed(remembered == SpeedName(Speed::Fast) ? Speed::Fast : Speed::Classic);
}

void DesktopPlatform::FillSpeedMenu(QMenu& menu) {
  QMenu* speeds = menu.addMenu(QStringLiteral("Speed"));
  auto* group = new QActionGroup(speeds);
  const struct {
    Speed speed;
    const char* caption;
  } kSpeeds[] = {{Speed::Classic, "Classic (18.2 ticks a second)"},
                 {Speed::Fast, "Fast (64 ticks a second)"}};
  for (const auto& entry : kSpeeds) {
    QAction* action = speeds->addAction(QString::fromLatin1(entry.caption), [this, entry] {
      SetSpeed(entry.speed);
      Settings::SetValue(QStringLiteral("game/speed"), SpeedName(entry.speed));
    });
    action->setCheckable(true);
    action->setChecked(speed_ == entry.speed);
    group->addAction(action);
  }
}

void DesktopPlatform::ShowSelectionScreen() {
  if (ended_ || selection_ == nullptr) return;
  selection_->ShowScreen();
}

int DesktopPlatform::RunModal(QMessageBox& box) {
  // A message box sizes itself to its text; under a window manager its title bar would cut the
  // caption short. Room for the caption and the frame's buttons keeps it whole.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    const int captionWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
                                 .horizontalAdvance(box.windowTitle());
    grid->addItem(new QSpacerItem(std::max(220, captionWidth * 2 + 140), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Expanding),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
  // The box shows over the picture as it stands, e.g. the winning score already printed.
  court_.update();
  scheduler_.BeginModal();
  Rearm();
  if (boxTimeout_ > 0) QTimer::singleShot(boxTimeout_, &box, [&box] { box.done(0); });
  const int result = box.exec();
  scheduler_.EndModal();
  Rearm();
  return result;
}

void DesktopPlatform::RunHeld(const std::function<void()>& body) {
  scheduler_.BeginModal();
  Rearm();
  body();
  scheduler_.EndModal();
  Rearm();
}

void DesktopPlatform::ShowMessage(std::string_view text) {
  if (ended_) return;
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, Latin1(text), QMessageBox::Ok, &court_);
  RunModal(box);
}

bool DesktopPlatform::AskYesNo(std::string_view text) {
  if (quitting_) return true;
  if (ended_) return false;
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, Latin1(text),
                  QMessageBox::Yes | QMessageBox::No, &court_);
  box.setDefaultButton(QMessageBox::Yes);
  SwallowEscape noEscape(&box);
  box.installEventFilter(&noEscape);
  const bool yes = RunModal(box) == QMessageBox::Yes;
  // No leaves the game frozen with its timer stopped, and nothing on the court says so (on the
  // title, before the first tick, nothing has stopped).
  if (!yes && pauseMarked_ && ticked_ && !ended_ && !TimerEnabled()) {
    court_.SetStateMark(kPauseMark);
  }
  return yes;
}

void DesktopPlatform::QuitFromDesktop(Game& game, const std::function<void()>& pressEsc) {
  if (ended_ || game.Ended()) return;
  quitting_ = true;
  if (pressEsc) {
    pressEsc();
  } else {
    game.Form_KeyPress(27);
  }
  quitting_ = false;
  // Should the game not have taken the quit path, the program still ends.
  if (!ended_) EndProgram();
}

void DesktopPlatform::EndProgram() {
  if (ended_) return;
  ended_ = true;
  scheduler_.SetEnabled(false);
  wake_.stop();
  if (selection_ != nullptr) selection_->hide();
  court_.close();
  // exit() rather than quit(): quit() asks every window to close first, and the selection
  // screen does not close on request.
  QCoreApplication::exit(0);
}

std::uint32_t DesktopPlatform::SecondsSinceMidnight() const {
  return static_cast<std::uint32_t>(QTime::currentTime().msecsSinceStartOfDay() / 1000);
}

}  // namespace tandemhoop
