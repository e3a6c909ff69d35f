#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace tandemhoop {

class CourtWindow;

// A message over the court picture that looks like the game's message boxes, but is drawn in the
// court window rather than opened as a dialog: play goes on under it, and the keyboard stays with
// the court (its buttons take the mouse only; whoever shows it answers keys). It keeps its place
// over the picture as the window changes size.
class CourtPanel : public QWidget {
 public:
  enum class Place { Middle, Low };

  CourtPanel(CourtWindow& court, Place place);

  // Shows `text` with buttons of these captions (none: a message that goes by itself);
  // `onButton` gets the index of the one clicked. The same text and buttons again change
  // nothing, so it may be called on every frame.
  void Show(const QString& text, const QStringList& buttons = {},
            std::function<void(int)> onButton = {});
  void Hide() { hide(); }
  void SetButtonEnabled(int index, bool enabled);
  // What a key would answer: the button's click, if it is there and enabled.
  bool Press(int index);
  const QString& text() const { return text_; }
  const QStringList& buttons() const { return captions_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Reposition();

  CourtWindow& court_;
  Place place_;
  QLabel* label_ = nullptr;
  QWidget* row_ = nullptr;
  QList<QPushButton*> buttons_;
  QString text_;
  QStringList captions_;
  std::function<void(int)> onButton_;
};

}  // namespace tandemhoop
