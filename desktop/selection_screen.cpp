#include "desktop/selection_screen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <limits>
#include <utility>

#include "desktop/desktop_fonts.h"
#include "desktop/picture_holders.h"
#include "screens/pictures.h"

namespace tandemhoop {

namespace {

// The standard colour scheme: window text black, highlight text white.
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kPlayer2Blue(0, 0, 255);  // the blue of Player 2's shirts
const QColor kFlatBorder(128, 128, 128);

// Twenty-five spaces put the title near the middle of the narrow caption.
const QString kCaption = QStringLiteral("                         Tandemhoop");
const QString kMakerLine = QStringLiteral("Tandemhoop Games");
const QString kVsComputer = QStringLiteral("vs Computer");
const QString kTwoPlayers = QStringLiteral("2 Players");

// The focus is drawn as a frame that shows on the white of the names and portraits and on the
// black around the badges alike.
const QColor kFocusFrame(255, 150, 0);

void DrawFocusFrame(QWidget* widget) {
  if (!widget->hasFocus()) return;
  QPainter painter(widget);
  QPen pen(kFocusFrame, 2);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.drawRect(QRectF(widget->rect()).adjusted(1, 1, -1, -1));
}

// A mode button with the same focus frame as the other controls: the style's own is faint, or
// not drawn at all when the focus came from a gamepad rather than from Tab.
class ModeButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPushButton::paintEvent(event);
    DrawFocusFrame(this);
  }
};

void SetColours(QWidget* widget, const QColor& text, const QColor& background) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Window, background);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QLineEdit* MakePickBox(QWidget* parent, const char* name, const QRect& at, const QColor& text) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(at);
  box->setFont(ScreenFont(true));
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, kWhite);
  palette.setColor(QPalette::Text, text);
  box->setPalette(palette);
  // Typing into a box picks nobody, so Tab and the arrows pass it by; a click still reaches it.
  box->setFocusPolicy(Qt::ClickFocus);
  return box;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, PictureRef art, std::function<void()> onClick)
    : Clickable(std::move(onClick), parent), ref_(art) {}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  // The art's holder loads on first use, which is the first time the screen is seen.
  if (!artLoaded_ && pictures_ != nullptr) {
    artLoaded_ = true;
    art_ = pictures_->Image(ref_);
  }
  QPainter painter(this);
  painter.fillRect(rect(), kFlatBorder);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  if (art_.isNull()) {
    painter.fillRect(inside, kBlack);
  } else {
    painter.drawImage(inside.topLeft(), art_);
  }
  // The other side's pick online: there, but not to be had.
  if (!isEnabled()) painter.fillRect(inside, QColor(0, 0, 0, 150));
  painter.end();
  DrawFocusFrame(this);
}

ClickableLabel::ClickableLabel(QWidget* parent, const QString& caption,
                               std::function<void()> onClick)
    : Clickable(std::move(onClick), caption, parent) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setAccessibleName(caption);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  DrawFocusFrame(this);
}

SelectionScreen::SelectionScreen(GameState& state, PictureHolders& pictures, QWidget* court)
    // A dialog-type window belongs to the court window (transient for it), so a window manager
    // keeps it in front of the court as the game's home desktop does.
    : QWidget(court, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      rules_(state, *this),
      pictures_(pictures),
      court_(court) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(kCaption);
  setFixedSize(kWidth, kHeight);
  setFont(ScreenFont(false));
  SetColours(this, kWhite, kBlack);
  Build();
}

void SelectionScreen::Clicked(SelectionClick click) {
  if (onlineRoute_) {
    onlineRoute_(click);
  } else if (route_) {
    route_(click);
  } else {
    DispatchClick(rules_, click);
  }
}

void SelectionScreen::Build() {
  auto* title = new QLabel(kMakerLine, this);
  title->setObjectName(QStringLiteral("Label8"));
  title->setTextFormat(Qt::PlainText);
  title->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  title->setGeometry(72, 40, 177, 25);
  title->setFont(ScreenTitleFont());
  title->setAccessibleName(kMakerLine);
  SetColours(title, kWhite, kBlack);

  auto badge = [&](const char* name, int x, int number, const QString& caption,
                   std::function<void()> onClick) {
    auto* box = new PictureBox(this, {Holder::Form4, static_cast<std::int16_t>(number)},
                               std::move(onClick));
    box->SetHolders(&pictures_);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(x, 72, 32, 32);
    box->setAccessibleName(caption);
    box->setAccessibleDescription(QStringLiteral("Clears the pick of %1").arg(caption));
  };
  badge("Picture1", 24, form4::Picture1, QStringLiteral("1P"),
        [this] { Clicked(SelectionClick::Picture1); });
  text1_ = MakePickBox(this, "Text1", QRect(56, 80, 89, 25), kBlack);
  text1_->setAccessibleName(QStringLiteral("Player 1's pick"));

  auto* versus = new QLabel(QStringLiteral(" vs"), this);
  versus->setObjectName(QStringLiteral("Label7"));
  versus->setTextFormat(Qt::PlainText);
  versus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  versus->setGeometry(152, 64, 17, 17);
  versus->setAccessibleName(QStringLiteral("vs"));
  SetColours(versus, kRed, kBlack);

  badge("Picture2", 168, form4::Picture2, QStringLiteral("2P"),
        [this] { Clicked(SelectionClick::Picture2); });
  text2_ = MakePickBox(this, "Text2", QRect(200, 80, 89, 25), kPlayer2Blue);
  text2_->setAccessibleName(QStringLiteral("Player 2's pick"));

  // Each player has a portrait and a name label, both of which pick him.
  struct Player {
    int picture;
    const char* label;
    int pick;  // 1..4
    QPoint portraitAt;
    QPoint labelAt;
    SelectionClick portraitClick;
    SelectionClick labelClick;
  };
  const Player players[] = {
      {form2::Picture34,
       "Label3",
       2,
       {16, 120},
       {56, 120},
       SelectionClick::Picture34,
       SelectionClick::Label3},
      {form2::Picture26,
       "Label6",
       1,
       {160, 120},
       {200, 120},
       SelectionClick::Picture26,
       SelectionClick::Label6},
      {form2::Picture42,
       "Label4",
       3,
       {16, 160},
       {56, 160},
       SelectionClick::Picture42,
       SelectionClick::Label4},
      {form2::Picture50,
       "Label5",
       4,
       {160, 160},
       {200, 160},
       SelectionClick::Picture50,
       SelectionClick::Label5},
  };
  for (const Player& player : players) {
    // The portrait is the front-face mask of the sprite sheet (the face on white), shown as it
    // is, in a box two pixels larger than the art.
    const PictureRef portraitRef{Holder::Form2, static_cast<std::int16_t>(player.picture)};
    const PictureSize art = SizeOf(portraitRef);
    auto* portrait =
        new PictureBox(this, portraitRef, [this, click = player.portraitClick] { Clicked(click); });
    portrait->SetHolders(&pictures_);
    portrait->setObjectName(QStringLiteral("Picture%1").arg(player.picture));
    portrait->setGeometry(QRect(player.portraitAt, QSize(art.width + 2, art.height + 2)));

    const std::string_view caption = kPlayerNames[player.pick - 1].caption;
    const QString playerName =
        QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
    portrait->setAccessibleName(playerName);
    auto* name =
        new ClickableLabel(this, playerName, [this, click = player.labelClick] { Clicked(click); });
    name->setObjectName(QString::fromLatin1(player.label));
    name->setGeometry(QRect(player.labelAt, QSize(89, 41)));
    SetColours(name, kBlack, kWhite);
  }

  auto button = [&](const char* name, const QString& caption, int y,
                    std::function<void()> onClick) {
    auto* command = new ModeButton(caption, this);
    command->setObjectName(QString::fromLatin1(name));
    command->setGeometry(96, y, 137, 17);
    command->setAutoDefault(false);
    command->setAccessibleName(caption);
    connect(command, &QPushButton::clicked, this, [click = std::move(onClick)] { click(); });
  };
  button("Command3", kVsComputer, 208, [this] { Clicked(SelectionClick::Command3); });
  button("Command4", kTwoPlayers, 240, [this] { Clicked(SelectionClick::Command4); });

  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->focusPolicy() & Qt::TabFocus) child->installEventFilter(this);
  }
}

QWidget* SelectionScreen::FirstPortrait() const {
  return findChild<QWidget*>(QStringLiteral("Picture34"));
}

void SelectionScreen::MoveFocus(int dx, int dy) {
  QWidget* from = focusWidget();
  if (from == nullptr || from == this || !(from->focusPolicy() & Qt::TabFocus)) {
    FirstPortrait()->setFocus(Qt::OtherFocusReason);
    return;
  }
  // The nearest control whose centre lies that way; being off to the side counts double, so
  // Down from a name goes to the name below rather than to the nearer portrait beside it.
  const QPoint start = from->geometry().center();
  QWidget* best = nullptr;
  int bestScore = std::numeric_limits<int>::max();
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child == from || !(child->focusPolicy() & Qt::TabFocus) || !child->isEnabled()) continue;
    const QPoint offset = child->geometry().center() - start;
    const int along = dx != 0 ? offset.x() * dx : offset.y() * dy;
    const int across = dx != 0 ? std::abs(offset.y()) : std::abs(offset.x());
    if (along <= 0) continue;
    const int score = along + 2 * across;
    if (score < bestScore) {
      bestScore = score;
      best = child;
    }
  }
  if (best != nullptr) best->setFocus(Qt::OtherFocusReason);
}

void SelectionScreen::ActivateFocus() {
  QWidget* focused = focusWidget();
  if (auto* picture = dynamic_cast<PictureBox*>(focused)) {
    picture->Click();
  } else if (auto* label = dynamic_cast<ClickableLabel*>(focused)) {
    label->Click();
  } else if (auto* command = qobject_cast<QPushButton*>(focused)) {
    command->click();
  } else {
    FirstPortrait()->setFocus(Qt::OtherFocusReason);
  }
}

bool SelectionScreen::StillHeld(const QKeyEvent& key) const {
  const bool presses =
      key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
  return presses && stillHeld_ && stillHeld_(key);
}

bool SelectionScreen::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (StillHeld(*key)) return true;
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
      switch (key->key()) {
        case Qt::Key_Left:
          MoveFocus(-1, 0);
          return true;
        case Qt::Key_Right:
          MoveFocus(1, 0);
          return true;
        case Qt::Key_Up:
          MoveFocus(0, -1);
          return true;
        case Qt::Key_Down:
          MoveFocus(0, 1);
          return true;
        default:
          break;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void SelectionScreen::ShowScreen() {
  if (!loaded_) {
    loaded_ = true;
    rules_.Form_Load();
    // The first thing to do is to pick a player: the focus starts on the first portrait.
    FirstPortrait()->setFocus(Qt::OtherFocusReason);
  }
  if (isVisible()) {
    // Shown on every tick of the selection: one minimised comes back. It is the court's own
    // transient, so the window manager keeps it in front of the court; raised here, it would
    // stand over every other program the player turns to.
    if (isMinimized()) showNormal();
    return;
  }
  Place();
}

void SelectionScreen::Place() {
  if (court_ != nullptr) {
    const QRect over = court_->geometry();
    move(over.center() - QPoint(kWidth / 2, kHeight / 2));
  }
  show();
  raise();
  activateWindow();
}

namespace {

// The portrait and the name label of each pick, 1 to 4.
constexpr const char* kPortraits[4] = {"Picture26", "Picture34", "Picture42", "Picture50"};
constexpr const char* kNames[4] = {"Label6", "Label3", "Label4", "Label5"};

QString PickText(int pick) {
  if (pick < 1 || pick > 4) return {};
  const std::string_view text = kPlayerNames[pick - 1].pickText;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void SelectionScreen::BeginOnline(std::function<void(SelectionClick)> route) {
  if (!Online()) {
    savedText1_ = text1_->text();
    savedText2_ = text2_->text();
  }
  onlineRoute_ = std::move(route);
  if (onlineStatus_ == nullptr) {
    // Above the title line, where the screen is plain black.
    onlineStatus_ = new QLabel(this);
    onlineStatus_->setObjectName(QStringLiteral("OnlineStatus"));
    onlineStatus_->setTextFormat(Qt::PlainText);
    onlineStatus_->setAlignment(Qt::AlignCenter);
    onlineStatus_->setWordWrap(true);
    onlineStatus_->setGeometry(8, 4, kWidth - 16, 34);
    SetColours(onlineStatus_, kWhite, kBlack);
  }
  onlineStatus_->show();
  auto* ready = findChild<QPushButton*>(QStringLiteral("Command3"));
  ready->setText(QStringLiteral("Ready"));
  ready->setAccessibleName(QStringLiteral("Ready"));
  ready->setCheckable(true);
  auto* leave = findChild<QPushButton*>(QStringLiteral("Command4"));
  leave->setText(QStringLiteral("Leave"));
  leave->setAccessibleName(QStringLiteral("Leave"));
  for (QLineEdit* box : {text1_, text2_})
    box->setReadOnly(true);
}

void SelectionScreen::ShowOnline(const OnlinePicks& picks) {
  const int own = picks.localSide == 1 ? picks.p1Pick : picks.p2Pick;
  const int other = picks.localSide == 1 ? picks.p2Pick : picks.p1Pick;
  text1_->setText(PickText(picks.p1Pick));
  text2_->setText(PickText(picks.p2Pick));
  for (int pick = 1; pick <= 4; ++pick) {
    for (const char* name : {kPortraits[pick - 1], kNames[pick - 1]}) {
      if (auto* control = findChild<QWidget*>(QString::fromLatin1(name)))
        control->setEnabled(pick != other);
    }
  }
  findChild<QWidget*>(QStringLiteral("Picture1"))->setEnabled(picks.localSide == 1);
  findChild<QWidget*>(QStringLiteral("Picture2"))->setEnabled(picks.localSide == 2);
  auto* ready = findChild<QPushButton*>(QStringLiteral("Command3"));
  ready->setEnabled(own != 0);
  ready->setChecked(picks.localSide == 1 ? picks.p1Ready : picks.p2Ready);
  onlineStatus_->setText(picks.status);
  if (!isVisible()) {
    Place();
    FirstPortrait()->setFocus(Qt::OtherFocusReason);
  }
}

void SelectionScreen::EndOnline() {
  if (!Online()) return;
  onlineRoute_ = nullptr;
  onlineStatus_->hide();
  for (QWidget* child : findChildren<QWidget*>())
    child->setEnabled(true);
  auto* command3 = findChild<QPushButton*>(QStringLiteral("Command3"));
  command3->setChecked(false);
  command3->setCheckable(false);
  command3->setText(kVsComputer);
  command3->setAccessibleName(kVsComputer);
  auto* command4 = findChild<QPushButton*>(QStringLiteral("Command4"));
  command4->setText(kTwoPlayers);
  command4->setAccessibleName(kTwoPlayers);
  for (QLineEdit* box : {text1_, text2_})
    box->setReadOnly(false);
  text1_->setText(savedText1_);
  text2_->setText(savedText2_);
  hide();
}

void SelectionScreen::SetText1(std::string_view text) {
  text1_->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void SelectionScreen::SetText2(std::string_view text) {
  text2_->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void SelectionScreen::HideScreen() {
  hide();
  // Play starts with the next tick: the keys must reach the court without a click on it.
  if (court_ != nullptr) {
    court_->raise();
    court_->activateWindow();
    court_->setFocus(Qt::ActiveWindowFocusReason);
  }
}

void SelectionScreen::keyPressEvent(QKeyEvent* event) {
  if (StillHeld(*event)) return;
  // Enter presses the focused button, as Space does.
  if (!event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void SelectionScreen::closeEvent(QCloseEvent* event) {
  // Only the start rule hides the screen; the program itself may still close it at the end.
  if (event->spontaneous()) {
    event->ignore();
  } else {
    event->accept();
  }
}

}  // namespace tandemhoop
