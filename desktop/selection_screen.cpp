#include "desktop/selection_screen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
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

bool IsClick(const QMouseEvent* event, const QWidget* widget) {
  return event->button() == Qt::LeftButton && widget->rect().contains(event->position().toPoint());
}

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
  return box;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, PictureRef art, std::function<void()> onClick)
    : QWidget(parent), ref_(art), onClick_(std::move(onClick)) {}

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
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  pressed_ = IsClick(event, this);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && IsClick(event, this);
  pressed_ = false;
  if (click && onClick_) onClick_();
}

ClickableLabel::ClickableLabel(QWidget* parent, const QString& caption,
                               std::function<void()> onClick)
    : QLabel(caption, parent), onClick_(std::move(onClick)) {
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = IsClick(event, this);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && IsClick(event, this);
  pressed_ = false;
  if (click && onClick_) onClick_();
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
  if (route_) {
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
  SetColours(title, kWhite, kBlack);

  auto badge = [&](const char* name, int x, int number, std::function<void()> onClick) {
    auto* box = new PictureBox(this, {Holder::Form4, static_cast<std::int16_t>(number)},
                               std::move(onClick));
    box->SetHolders(&pictures_);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(x, 72, 32, 32);
  };
  badge("Picture1", 24, form4::Picture1, [this] { Clicked(SelectionClick::Picture1); });
  text1_ = MakePickBox(this, "Text1", QRect(56, 80, 89, 25), kBlack);

  auto* versus = new QLabel(QStringLiteral(" vs"), this);
  versus->setObjectName(QStringLiteral("Label7"));
  versus->setTextFormat(Qt::PlainText);
  versus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  versus->setGeometry(152, 64, 17, 17);
  SetColours(versus, kRed, kBlack);

  badge("Picture2", 168, form4::Picture2, [this] { Clicked(SelectionClick::Picture2); });
  text2_ = MakePickBox(this, "Text2", QRect(200, 80, 89, 25), kPlayer2Blue);

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
    auto* name = new ClickableLabel(
        this, QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
        [this, click = player.labelClick] { Clicked(click); });
    name->setObjectName(QString::fromLatin1(player.label));
    name->setGeometry(QRect(player.labelAt, QSize(89, 41)));
    SetColours(name, kBlack, kWhite);
  }

  auto button = [&](const char* name, const QString& caption, int y,
                    std::function<void()> onClick) {
    auto* command = new QPushButton(caption, this);
    command->setObjectName(QString::fromLatin1(name));
    command->setGeometry(96, y, 137, 17);
    command->setAutoDefault(false);
    connect(command, &QPushButton::clicked, this, [click = std::move(onClick)] { click(); });
  };
  button("Command3", QStringLiteral("vs Computer"), 208,
         [this] { Clicked(SelectionClick::Command3); });
  button("Command4", QStringLiteral("2 Players"), 240,
         [this] { Clicked(SelectionClick::Command4); });
}

void SelectionScreen::ShowScreen() {
  if (!loaded_) {
    loaded_ = true;
    rules_.Form_Load();
  }
  if (isVisible()) {
    // Shown on every tick of the selection: one minimised or covered comes back to the front.
    if (isMinimized()) showNormal();
    raise();
    return;
  }
  if (court_ != nullptr) {
    const QRect over = court_->geometry();
    move(over.center() - QPoint(kWidth / 2, kHeight / 2));
  }
  show();
  raise();
  activateWindow();
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
  // Enter presses the focused button, as Space does.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
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
