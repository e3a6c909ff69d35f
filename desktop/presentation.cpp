#include "desktop/presentation.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tandemhoop {

QString ScalingName(Scaling scaling) {
  switch (scaling) {
    case Scaling::PixelPerfect:
      return QStringLiteral("pixel-perfect");
    case Scaling::Smooth:
      return QStringLiteral("smooth");
    case Scaling::Sharp:
      break;
  }
  return QStringLiteral("sharp");
}

Scaling ScalingNamed(const QString& name, Scaling fallback) {
  for (Scaling scaling : {Scaling::Sharp, Scaling::PixelPerfect, Scaling::Smooth}) {
    if (name == ScalingName(scaling)) return scaling;
  }
  return fallback;
}

Fit FitPicture(QSize picture, QSize area, Scaling scaling) {
  Fit fit;
  if (picture.isEmpty() || area.isEmpty()) return fit;
  const int pw = picture.width();
  const int ph = picture.height();
  const int aw = area.width();
  const int ah = area.height();
  fit.multiple = std::max(1, std::min(aw / pw, ah / ph));
  QSize size;
  if (scaling == Scaling::PixelPerfect && aw >= pw && ah >= ph) {
    size = picture * fit.multiple;
  } else if (static_cast<long long>(aw) * ph <= static_cast<long long>(ah) * pw) {
    // The width limits: the picture spans it, and the height follows the aspect.
    size = QSize(aw, static_cast<int>((static_cast<long long>(aw) * ph * 2 + pw) / (2 * pw)));
  } else {
    size = QSize(static_cast<int>((static_cast<long long>(ah) * pw * 2 + ph) / (2 * ph)), ah);
  }
  fit.exact = size == picture * fit.multiple && scaling != Scaling::Smooth;
  fit.target = QRect(QPoint((aw - size.width()) / 2, (ah - size.height()) / 2), size);
  return fit;
}

QSize LeastWindowSize(QSize picture, QSize room) {
  if (room.width() >= picture.width() && room.height() >= picture.height()) return picture;
  return picture.scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
}

namespace {

// One row, each pixel `Multiple` times; a fixed multiple lets the compiler widen the stores.
template <int Multiple>
void RepeatRow(const QRgb* from, int count, QRgb* to) {
  for (int x = 0; x < count; ++x) {
    for (int repeat = 0; repeat < Multiple; ++repeat)
      to[x * Multiple + repeat] = from[x];
  }
}

void RepeatRow(const QRgb* from, int count, int multiple, QRgb* to) {
  switch (multiple) {
    case 1:
      std::memcpy(to, from, static_cast<std::size_t>(count) * sizeof(QRgb));
      return;
    case 2:
      return RepeatRow<2>(from, count, to);
    case 3:
      return RepeatRow<3>(from, count, to);
    case 4:
      return RepeatRow<4>(from, count, to);
    default:
      for (int x = 0; x < count; ++x) {
        for (int repeat = 0; repeat < multiple; ++repeat)
          *to++ = from[x];
      }
  }
}

}  // namespace

void ScaleUpExactly(const QImage& source, const QRect& area, int multiple, QImage& target) {
  const QRect part = area & source.rect();
  if (part.isEmpty() || multiple < 1) return;
  const auto rowBytes = static_cast<std::size_t>(part.width()) * multiple * sizeof(QRgb);
  for (int y = part.top(); y <= part.bottom(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + part.left();
    auto* first = reinterpret_cast<QRgb*>(target.scanLine(y * multiple)) + part.left() * multiple;
    RepeatRow(from, part.width(), multiple, first);
    // The other rows of the block are the same row again.
    for (int repeat = 1; repeat < multiple; ++repeat) {
      auto* row =
          reinterpret_cast<QRgb*>(target.scanLine(y * multiple + repeat)) + part.left() * multiple;
      std::memcpy(row, first, rowBytes);
    }
  }
}

void Presenter::SetScaling(Scaling scaling) {
  if (scaling == scaling_) return;
  scaling_ = scaling;
  InvalidateAll();
}

void Presenter::Invalidate(const QRect& pictureArea) {
  stale_ += pictureArea;
}

void Presenter::InvalidateAll() {
  enlargedMultiple_ = 0;
}

QRect Presenter::DeviceAreaOf(const QRect& pictureArea, QSize picture, QSize area,
                              Scaling scaling) {
  const Fit fit = FitPicture(picture, area, scaling);
  const double sx = static_cast<double>(fit.target.width()) / picture.width();
  const double sy = static_cast<double>(fit.target.height()) / picture.height();
  const int margin = fit.exact ? 0 : 2;
  const int left = static_cast<int>(std::floor(pictureArea.left() * sx)) - margin;
  const int top = static_cast<int>(std::floor(pictureArea.top() * sy)) - margin;
  const int right = static_cast<int>(std::ceil((pictureArea.right() + 1) * sx)) + margin;
  const int bottom = static_cast<int>(std::ceil((pictureArea.bottom() + 1) * sy)) + margin;
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).translated(fit.target.topLeft()) &
         fit.target;
}

void Presenter::Present(QPainter& painter, const QImage& picture, QSize area,
                        const QRegion& dirty) {
  const Fit fit = FitPicture(picture.size(), area, scaling_);
  const QRegion border = dirty - QRegion(fit.target);
  for (const QRect& part : border)
    painter.fillRect(part, QColor::fromRgb(kBorder));
  const QRegion inside = dirty & QRegion(fit.target);
  if (inside.isEmpty()) return;

  // The enlarged picture, kept between frames: only what changed is enlarged again.
  const QImage* shown = &picture;
  if (scaling_ != Scaling::Smooth && fit.multiple > 1) {
    const QSize size = picture.size() * fit.multiple;
    if (enlargedMultiple_ != fit.multiple || enlarged_.size() != size) {
      enlarged_ = QImage(size, QImage::Format_RGB32);
      enlargedMultiple_ = fit.multiple;
      stale_ = QRegion(picture.rect());
    }
    for (const QRect& part : stale_)
      ScaleUpExactly(picture, part, fit.multiple, enlarged_);
    stale_ = QRegion();
    shown = &enlarged_;
  } else {
    stale_ = QRegion();
  }

  if (fit.exact) {  // pixel perfect always is
    // Pixel for pixel: each part straight from the enlarged picture.
    for (const QRect& part : inside) {
      const QRect from = part.translated(-fit.target.topLeft()) & shown->rect();
      painter.drawImage(from.topLeft() + fit.target.topLeft(), *shown, from);
    }
    return;
  }
  painter.save();
  painter.setClipRegion(inside);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.drawImage(QRectF(fit.target), *shown, QRectF(shown->rect()));
  painter.restore();
}

}  // namespace tandemhoop
