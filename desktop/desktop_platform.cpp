#include "desktop/desktop_platform.h"

#include <QActionGroup>
#include <QApplication>
#include <QCoreApplication>
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
                   FinishFrame();
                 }),
      font_(CourtFont()) {
  lineSpacing_ = QFontMetrics(font_).lineSpacing();
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&wake_, &QTimer::timeout, [this] { ServiceTimer(); });
  framing_.setInterval(10);
  QObject::connect(&framing_, &QTimer::timeout, [this] { CentreIfFramed(); });
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
  Surface& surface = court_.surface();
  const CopyArea area = ClippedCopyArea(surface, x, y, width, height, *picture, 0, 0);
  const QRect covered(area.x, area.y, area.width, area.height);
  const bool wholeCourt = source.form == Holder::Form3 && op == RasterOp::SrcCopy && x == 0 &&
                          y == 0 && covered == court_.image().rect();
  if (wholeCourt && courtUnderneath_ && source.index == courtIndex_) {
    // Every tick starts again from the court, and the window still holds it but where
    // something was drawn over it since: only that is copied again (the whole court would be
    // most of a tick's work), and only that changes on the screen.
    QRegion stale = drawnOverCourt_;
    for (const PrintedLine& line : printed_)
      stale += line.area;
    for (const QRect& part : stale) {
      tandemhoop::BitBlt(surface, part.x(), part.y(), part.width(), part.height(), *picture,
                         part.x(), part.y(), RasterOp::SrcCopy);
    }
    court_.ShowChanged(drawnOverCourt_);
    StartOverCourt();
    return 1;  // as the whole copy would: both pictures are there
  }
  const std::int32_t result = tandemhoop::BitBlt(surface, x, y, width, height, *picture, 0, 0, op);
  if (result == 0 || area.empty()) return result;
  if (wholeCourt) {
    court_.ShowChanged(covered);
    courtUnderneath_ = true;
    courtIndex_ = source.index;
    StartOverCourt();
  } else {
    Changed(covered);
  }
  return result;
}

void DesktopPlatform::StartOverCourt() {
  drawnOverCourt_ = QRegion();
  printedBefore_.swap(printed_);
  printed_.clear();
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
  const QPoint at(textX_, textY_);
  textY_ += lineSpacing_;
  if (touched.isEmpty()) return;
  if (!courtUnderneath_) {
    Changed(touched);
    return;
  }
  printed_.push_back({prepared.text, at, touched});
  // The same line in the same place on the same court as the frame before looks the same
  // wherever no sprite was drawn in either frame, and the sprites' areas are shown anyway: the
  // banner and the score lines are not sent to the screen again every tick.
  for (PrintedLine& before : printedBefore_) {
    if (!before.area.isEmpty() && before.at == at && before.text == prepared.text) {
      before.area = QRect();
      return;
    }
  }
  court_.ShowChanged(touched);
}

void DesktopPlatform::ForgetCourt() {
  courtUnderneath_ = false;
  drawnOverCourt_ = QRegion();
  printed_.clear();
  printedBefore_.clear();
  court_.update();
}

void DesktopPlatform::MarkPaused() {
  if (pauseMarked_ && !ended_ && !TimerEnabled()) court_.SetStateMark(kPauseMark);
}

void DesktopPlatform::FinishFrame() {
  // Lines of the frame before that this frame did not print again: the court is back there.
  for (const PrintedLine& before : printedBefore_)
    court_.ShowChanged(before.area);
  printedBefore_.clear();
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
  // The window manager frames a window as it maps it: the window is looked at again from the
  // event loop until it is on the screen, then a little longer for its frame (a bare X server
  // puts none round it). Never from a loop of our own that holds user input back: Qt's X
  // connection keeps the keys that come meanwhile and hands them on only with the next event
  // from the X server, which on a still title screen may not come at all.
  framingSince_.start();
  exposedAt_.reset();
  framing_.start();
}

void DesktopPlatform::CentreIfFramed() {
  const qint64 waited = framingSince_.elapsed();
  if (!exposedAt_) {
    const QWindow* window = court_.windowHandle();
    if (window != nullptr && window->isExposed()) {
      exposedAt_ = waited;
    } else if (waited < 1000) {
      return;
    } else {
      exposedAt_ = waited;
    }
  }
  if (court_.frameGeometry().size() == court_.size() && waited - *exposedAt_ < 150) return;
  framing_.stop();
  // Full screen or maximised meanwhile: nothing to centre.
  if (court_.windowState() != Qt::WindowNoState) return;
  const QPoint before = court_.pos();
  CentreCourtWindow();
  // A key may already have brought up the selection screen over the court: it moves along.
  if (selection_ != nullptr && selection_->isVisible())
    selection_->move(selection_->pos() + court_.pos() - before);
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
  const std::function<void()> closed = boxAddition_ ? boxAddition_(box, text) : nullptr;
  RunModal(box);
  if (closed) closed();
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
