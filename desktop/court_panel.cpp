#include "desktop/court_panel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/court_window.h"

namespace tandemhoop {

namespace {

const QString kCaption = QStringLiteral("Tandemhoop");
constexpr int kCaptionHeight = 22;
constexpr int kLeastWidth = 260;
constexpr int kMostWidth = 460;

}  // namespace

CourtPanel::CourtPanel(CourtWindow& court, Place place)
    : QWidget(&court), court_(court), place_(place) {
  setObjectName(place == Place::Middle ? QStringLiteral("CourtMessage")
                                       : QStringLiteral("CourtQuestion"));
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, kCaptionHeight + 14, 18, 12);
  layout->setSpacing(12);
  label_ = new QLabel(this);
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(true);
  label_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(label_);
  row_ = new QWidget(this);
  auto* buttons = new QHBoxLayout(row_);
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->addStretch();
  layout->addWidget(row_);
  court.installEventFilter(this);
  hide();
}

void CourtPanel::Show(const QString& text, const QStringList& buttons,
                      std::function<void(int)> onButton) {
  onButton_ = std::move(onButton);
  if (text == text_ && buttons == captions_ && isVisible()) return;
  text_ = text;
  label_->setText(text);
  if (buttons != captions_) {
    captions_ = buttons;
    qDeleteAll(buttons_);
    buttons_.clear();
    for (int i = 0; i < buttons.size(); ++i) {
      auto* button = new QPushButton(buttons[i], row_);
      // The keyboard stays with the court, where play goes on.
      button->setFocusPolicy(Qt::NoFocus);
      button->setAccessibleName(buttons[i]);
      connect(button, &QPushButton::clicked, this, [this, i] {
        if (onButton_) onButton_(i);
      });
      row_->layout()->addWidget(button);
      buttons_.append(button);
    }
  }
  row_->setVisible(!buttons_.isEmpty());
  // As wide as the text wants within bounds, then as high as it needs at that width.
  const int textWidth = label_->fontMetrics().horizontalAdvance(text) + 36;
  const int width = std::clamp(textWidth, kLeastWidth, kMostWidth);
  resize(width, layout()->heightForWidth(width) > 0 ? layout()->heightForWidth(width)
                                                    : sizeHint().height());
  Reposition();
  show();
  raise();
  update();
}

void CourtPanel::SetButtonEnabled(int index, bool enabled) {
  if (index >= 0 && index < buttons_.size()) buttons_[index]->setEnabled(enabled);
}

bool CourtPanel::Press(int index) {
  if (!isVisible() || index < 0 || index >= buttons_.size() || !buttons_[index]->isEnabled())
    return false;
  buttons_[index]->click();
  return true;
}

void CourtPanel::Reposition() {
  const QRect picture = court_.PictureRect();
  const int x = picture.center().x() - width() / 2;
  const int y = place_ == Place::Middle ? picture.center().y() - height() / 2
                                        : picture.bottom() - height() - picture.height() / 12;
  move(x, std::max(picture.top(), y));
}

bool CourtPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &court_ && event->type() == QEvent::Resize && isVisible()) Reposition();
  return QWidget::eventFilter(watched, event);
}

void CourtPanel::paintEvent(QPaintEvent* /*event*/) {
  // The look of a message box of the desktop: a caption bar over the window colour, a frame.
  QPainter painter(this);
  const QRect all = rect();
  painter.fillRect(all, palette().color(QPalette::Window));
  const QRect caption(0, 0, all.width(), kCaptionHeight);
  painter.fillRect(caption, palette().color(QPalette::Highlight));
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(palette().color(QPalette::HighlightedText));
  painter.drawText(caption.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, kCaption);
  painter.setPen(QColor(40, 40, 40));
  painter.drawRect(all.adjusted(0, 0, -1, -1));
}

}  // namespace tandemhoop
