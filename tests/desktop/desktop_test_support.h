#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>

#include "game/platform.h"
#include "screens/pictures.h"

namespace tandemhoop::testing {

// A folder of made-up art for the picture holders: each picture a flat colour, at the size
// asked for (the catalogue's unless a test wants it wrong).
class TestArt {
 public:
  QString root() const { return dir_.path() + QStringLiteral("/"); }

  void Write(PictureRef ref, QRgb colour, QSize size = {}) {
    const PictureSize catalogue = SizeOf(ref);
    if (!size.isValid()) size = QSize(catalogue.width, catalogue.height);
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    Save(ref, image);
  }
  void Save(PictureRef ref, const QImage& image) {
    const QString path = root() + QString::fromStdString(AssetPath(ref));
    QDir().mkpath(QFileInfo(path).path());
    image.save(path, "PNG");
  }

 private:
  QTemporaryDir dir_;
};

// Answers the next modal message box with `button` as soon as it is open, after running
// `whileOpen` inside the box's own event loop, and keeps what the box showed. It stops looking
// when it goes out of scope, so a box that never came cannot catch a later test's box.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(QMessageBox::StandardButton button,
                       std::function<void(QMessageBox&)> whileOpen = {})
      : button_(button), whileOpen_(std::move(whileOpen)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Look(); });
    poll_.start(5);
  }

  bool opened = false;
  QString title;
  QString text;
  QWidget* parent = nullptr;
  QMessageBox::StandardButtons buttons;

 private:
  void Look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll_.stop();
    opened = true;
    title = box->windowTitle();
    text = box->text();
    parent = box->parentWidget();
    buttons = box->standardButtons();
    if (whileOpen_) whileOpen_(*box);
    if (QAbstractButton* answer = box->button(button_)) answer->click();
  }

  QMessageBox::StandardButton button_;
  std::function<void(QMessageBox&)> whileOpen_;
  QTimer poll_;
};

}  // namespace tandemhoop::testing
