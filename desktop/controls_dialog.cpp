#include "desktop/controls_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "desktop/court_window.h"
#include "desktop/gamepads.h"

namespace tandemhoop {

KeyCaptureButton::KeyCaptureButton(QWidget* parent, std::function<void(int key)> onKey)
    : QPushButton(parent), onKey_(std::move(onKey)) {
  setAutoDefault(false);
}

void KeyCaptureButton::BeginCapture() {
  capturing_ = true;
  setText(QStringLiteral("Press a key…"));
  setFocus(Qt::OtherFocusReason);
  // The court window switches full screen on F11 from any of the game's windows; installed
  // after it, this filter is asked first.
  if (qApp != nullptr) qApp->installEventFilter(this);
}

void KeyCaptureButton::EndCapture() {
  capturing_ = false;
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool KeyCaptureButton::eventFilter(QObject* watched, QEvent* event) {
  if (watched == this && capturing_ &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
    return this->event(event);
  }
  return QPushButton::eventFilter(watched, event);
}

bool KeyCaptureButton::event(QEvent* event) {
  if (capturing_) {
    if (event->type() == QEvent::ShortcutOverride) {
      event->accept();
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) return true;
      EndCapture();
      onKey_(KeyIdentity(key->key(), VirtualKeyCode(*key)));
      return true;
    }
  }
  return QPushButton::event(event);
}

void KeyCaptureButton::focusOutEvent(QFocusEvent* event) {
  // Clicking elsewhere gives up the choice; the key stays as it was.
  if (capturing_) {
    EndCapture();
    onKey_(0);
  }
  QPushButton::focusOutEvent(event);
}

ControlsDialog::ControlsDialog(KeyBindings& bindings, Gamepads* pads, QWidget* parent)
    : QDialog(parent), bindings_(bindings), pads_(pads) {
  setWindowTitle(QStringLiteral("Controls"));
  auto* layout = new QVBoxLayout(this);

  auto* keys = new QGroupBox(QStringLiteral("Keys (click one, then press the new key)"), this);
  auto* grid = new QGridLayout(keys);
  grid->addWidget(new QLabel(QStringLiteral("<b>Player 1</b>"), keys), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("<b>Player 2</b>"), keys), 0, 2);
  for (int row = 0; row < 5; ++row)
    grid->addWidget(new QLabel(RowName(static_cast<Action>(row)), keys), row + 1, 0);
  for (int index = 0; index < kActionCount; ++index) {
    const Action action = static_cast<Action>(index);
    auto* button = new KeyCaptureButton(keys, [this, action](int key) { Captured(action, key); });
    button->setObjectName(QStringLiteral("key%1").arg(index));
    button->setAccessibleName(ActionName(action));
    button->setMinimumWidth(120);
    connect(button, &QPushButton::clicked, this, [this, button] {
      if (button->Capturing()) return;
      for (KeyCaptureButton* other : buttons_) {
        if (other != button && other->Capturing()) other->EndCapture();
      }
      ShowKeys();
      message_->clear();
      button->BeginCapture();
    });
    buttons_[index] = button;
    grid->addWidget(button, index % 5 + 1, index / 5 + 1);
  }
  layout->addWidget(keys);

  message_ = new QLabel(this);
  message_->setWordWrap(true);
  message_->setMinimumHeight(message_->fontMetrics().lineSpacing() * 2);
  layout->addWidget(message_);

  auto* gamepads = new QGroupBox(QStringLiteral("Gamepads"), this);
  auto* padGrid = new QGridLayout(gamepads);
  for (int side = 0; side < 2; ++side) {
    padGrid->addWidget(new QLabel(QStringLiteral("Player %1:").arg(side + 1), gamepads), side, 0);
    padLabels_[side] = new QLabel(gamepads);
    padGrid->addWidget(padLabels_[side], side, 1);
  }
  auto* padHelp = new QLabel(
      QStringLiteral("D-pad or left stick to move, A to shoot, block and steal, Start to start "
                     "and resume, Back to pause. The first pad connected plays Player 1, the "
                     "second Player 2; against the computer the first pad plays Player 1."),
      gamepads);
  padHelp->setWordWrap(true);
  padGrid->addWidget(padHelp, 2, 0, 1, 2);
  layout->addWidget(gamepads);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  restore_ = buttons->addButton(QStringLiteral("Restore defaults"), QDialogButtonBox::ResetRole);
  restore_->setAutoDefault(false);
  connect(restore_, &QPushButton::clicked, this, [this] {
    for (KeyCaptureButton* button : buttons_)
      button->EndCapture();
    bindings_.RestoreDefaults();
    bindings_.Save();
    message_->setText(QStringLiteral("The original keys are back."));
    ShowKeys();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  ShowKeys();
  RefreshPads();
  // Pads come and go while the dialog is open; it shows them as they are.
  padRefresh_.setInterval(250);
  connect(&padRefresh_, &QTimer::timeout, this, [this] { RefreshPads(); });
  padRefresh_.start();
}

void ControlsDialog::Captured(Action action, int key) {
  if (key != 0) {
    const QString why = bindings_.Choose(action, key);
    if (why.isEmpty()) {
      bindings_.Save();
      message_->setText(
          QStringLiteral("%1 is now %2.").arg(ActionName(action), KeyName(bindings_.Key(action))));
    } else {
      message_->setText(QStringLiteral("Not %1: %2").arg(KeyName(key), why));
    }
  }
  ShowKeys();
}

void ControlsDialog::ShowKeys() {
  for (int index = 0; index < kActionCount; ++index) {
    if (!buttons_[index]->Capturing())
      buttons_[index]->setText(KeyName(bindings_.Key(static_cast<Action>(index))));
  }
}

void ControlsDialog::RefreshPads() {
  for (int side = 0; side < 2; ++side) {
    const QString name = pads_ != nullptr ? pads_->NameOnSide(side) : QString();
    if (!name.isEmpty()) {
      padLabels_[side]->setText(name);
    } else if (side == 1 && pads_ != nullptr && pads_->AgainstComputer()) {
      padLabels_[side]->setText(QStringLiteral("the computer"));
    } else {
      padLabels_[side]->setText(QStringLiteral("keyboard only"));
    }
  }
}

void AddControlsMenu(CourtWindow& court, Gamepads* pads) {
  court.AddMenuEntries([&court, pads](QMenu& menu) {
    menu.addAction(QStringLiteral("Controls…"), &court, [&court, pads] {
      court.RunHeld([&court, pads] {
        // A key held now might do another action once the dialog is closed: let it go first.
        court.ReleaseHeldKeys();
        ControlsDialog dialog(KeyBindings::Current(), pads, &court);
        dialog.exec();
      });
    });
  });
}

}  // namespace tandemhoop
