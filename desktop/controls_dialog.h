#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>

#include "desktop/key_bindings.h"

class QLabel;

namespace tandemhoop {

class CourtWindow;
class Gamepads;

// A button that shows an action's key; clicked, it takes the next key pressed on it instead of
// letting the dialog use that key (Tab, Esc and Space included).
class KeyCaptureButton : public QPushButton {
 public:
  KeyCaptureButton(QWidget* parent, std::function<void(int key)> onKey);
  void BeginCapture();
  void EndCapture();
  bool Capturing() const { return capturing_; }

 protected:
  bool event(QEvent* event) override;
  // While it waits, it hears its keys before the application-wide ones (F11) are taken.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  std::function<void(int key)> onKey_;
  bool capturing_ = false;
};

// "Controls…": the ten actions with their keys, each changed by a click and a key, the refusals
// with a word why, "Restore defaults", and which gamepad plays which side. Every change is kept
// at once.
class ControlsDialog : public QDialog {
 public:
  ControlsDialog(KeyBindings& bindings, Gamepads* pads, QWidget* parent);

  KeyCaptureButton* KeyButton(Action action) { return buttons_[static_cast<int>(action)]; }
  QLabel* Message() { return message_; }
  QLabel* PadLabel(int side) { return padLabels_[side]; }
  QPushButton* RestoreButton() { return restore_; }
  void RefreshPads();

 private:
  void Captured(Action action, int key);
  void ShowKeys();

  KeyBindings& bindings_;
  Gamepads* pads_;
  std::array<KeyCaptureButton*, kActionCount> buttons_{};
  std::array<QLabel*, 2> padLabels_{};
  QLabel* message_ = nullptr;
  QPushButton* restore_ = nullptr;
  QTimer padRefresh_;
};

// Puts "Controls…" into the court window's menu; the dialog runs with the game held.
void AddControlsMenu(CourtWindow& court, Gamepads* pads);

}  // namespace tandemhoop
