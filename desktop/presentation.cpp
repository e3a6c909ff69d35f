#include "desktop/presentation.h"

#include <QPaintEngine>
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

void Presenter::Prepare(QSize picture, const Fit& fit) {
  const int multiple = scaling_ == Scaling::Smooth ? 1 : fit.multiple;
  if (picture == preparedPicture_ && fit.target == preparedTarget_ && multiple == preparedMultiple_)
    return;
  preparedPicture_ = picture;
  preparedTarget_ = fit.target;
  preparedMultiple_ = multiple;
  preparedExact_ = fit.exact;
  const auto steps = [&](int pictureLength, int targetLength, std::vector<Step>& into) {
    into.assign(static_cast<std::size_t>(targetLength), Step{});
    const int enlarged = pictureLength * multiple;
    for (int i = 0; i < targetLength; ++i) {
      Step& step = into[static_cast<std::size_t>(i)];
      if (fit.exact) {
        step.first = step.second = i / multiple;
        continue;
      }
      // The centre of device pixel i, in pixels of the picture enlarged `multiple` times.
      const double at = std::clamp((i + 0.5) * enlarged / targetLength - 0.5, 0.0,
                                   static_cast<double>(enlarged - 1));
      const int below = static_cast<int>(at);
      const int above = std::min(below + 1, enlarged - 1);
      step.first = below / multiple;
      step.second = above / multiple;
      step.weight =
          step.first == step.second ? 0 : static_cast<int>(std::lround((at - below) * 256));
      if (step.weight >= 256) {
        step.first = step.second;
        step.weight = 0;
      }
    }
  };
  steps(picture.width(), fit.target.width(), columns_);
  steps(picture.height(), fit.target.height(), rows_);
  columnWeights_.clear();
  for (const Step& column : columns_)
    columnWeights_.insert(columnWeights_.end(), 4, static_cast<std::uint16_t>(column.weight));
}

QSize LeastWindowSize(QSize picture, QSize room) {
  if (room.width() >= picture.width() && room.height() >= picture.height()) return picture;
  return picture.scaled(room.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
}

namespace {

// `to` = `a` and `b` mixed byte by byte, `weights[i]` 256ths of byte i of `b` and the rest of
// `a`. In 16-bit steps, which the compiler turns into vector code.
void MixBytes(const QRgb* a, const QRgb* b, const std::uint16_t* weights, int pixels, QRgb* to) {
  const auto* x = reinterpret_cast<const std::uint8_t*>(a);
  const auto* y = reinterpret_cast<const std::uint8_t*>(b);
  auto* out = reinterpret_cast<std::uint8_t*>(to);
  for (int i = 0; i < pixels * 4; ++i) {
    out[i] = static_cast<std::uint8_t>(
        static_cast<std::uint16_t>(x[i] * (256 - weights[i]) + y[i] * weights[i]) >> 8);
  }
}
void MixBytes(const QRgb* a, const QRgb* b, std::uint16_t weight, int pixels, QRgb* to) {
  const auto* x = reinterpret_cast<const std::uint8_t*>(a);
  const auto* y = reinterpret_cast<const std::uint8_t*>(b);
  auto* out = reinterpret_cast<std::uint8_t*>(to);
  const auto keep = static_cast<std::uint16_t>(256 - weight);
  for (int i = 0; i < pixels * 4; ++i)
    out[i] =
        static_cast<std::uint8_t>(static_cast<std::uint16_t>(x[i] * keep + y[i] * weight) >> 8);
}

// Each of `count` pixels `Multiple` times; a fixed multiple lets the compiler widen the stores.
template <int Multiple>
void RepeatPixels(const QRgb* from, int count, QRgb* to) {
  for (int x = 0; x < count; ++x) {
    const QRgb pixel = from[x] | 0xFF000000u;
    for (int repeat = 0; repeat < Multiple; ++repeat)
      to[x * Multiple + repeat] = pixel;
  }
}

void RepeatPixels(const QRgb* from, int count, int multiple, QRgb* to) {
  switch (multiple) {
    case 2:
      return RepeatPixels<2>(from, count, to);
    case 3:
      return RepeatPixels<3>(from, count, to);
    case 4:
      return RepeatPixels<4>(from, count, to);
    default:
      for (int x = 0; x < count; ++x) {
        for (int repeat = 0; repeat < multiple; ++repeat)
          *to++ = from[x] | 0xFF000000u;
      }
  }
}

}  // namespace

void Presenter::EnlargeRow(const QRgb* from, int firstColumn, int width, QRgb* to) {
  const Step* columns = columns_.data() + firstColumn;
  // The picture keeps 0 in the top byte; a window's pixels are opaque.
  if (!preparedExact_) {
    for (int x = 0; x < width; ++x) {
      left_[static_cast<std::size_t>(x)] = from[columns[x].first] | 0xFF000000u;
      right_[static_cast<std::size_t>(x)] = from[columns[x].second] | 0xFF000000u;
    }
    MixBytes(left_.data(), right_.data(), columnWeights_.data() + 4 * firstColumn, width, to);
    return;
  }
  from += columns[0].first;
  if (preparedMultiple_ == 1) {
    for (int x = 0; x < width; ++x)
      to[x] = from[x] | 0xFF000000u;
    return;
  }
  // Each picture pixel `multiple` times; the first and the last may be cut by the part's edges.
  const int multiple = preparedMultiple_;
  int x = 0;
  for (int cut = multiple - firstColumn % multiple; cut > 0 && x < width; --cut)
    to[x++] = *from | 0xFF000000u;
  ++from;
  const int blocks = (width - x) / multiple;
  RepeatPixels(from, blocks, multiple, to + x);
  x += blocks * multiple;
  from += blocks;
  for (; x < width; ++x)
    to[x] = *from | 0xFF000000u;
}

void Presenter::Enlarge(const QImage& picture, const QRect& device, QImage& target, QPoint origin) {
  if (device.isEmpty()) return;
  const QPoint fitAt = preparedTarget_.topLeft();
  const int width = device.width();
  const int firstColumn = device.left() - fitAt.x();
  const auto enlargeRow = [&](int y, QRgb* to) {
    EnlargeRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), firstColumn, width, to);
  };
  for (std::vector<QRgb>* scratch : {&left_, &right_, &upper_, &lower_}) {
    if (scratch->size() < static_cast<std::size_t>(width))
      scratch->resize(static_cast<std::size_t>(width));
  }
  // The two picture rows a smooth step lies between, each enlarged across once and kept while
  // the device rows go on lying between them.
  int upperRow = -1;
  int lowerRow = -1;
  const QRgb* previous = nullptr;  // the device row above, with the picture row it shows alone
  int previousRow = -1;
  const auto bytes = static_cast<std::size_t>(width) * sizeof(QRgb);
  for (int y = device.top(); y <= device.bottom(); ++y) {
    const Step& step = rows_[static_cast<std::size_t>(y - fitAt.y())];
    auto* out =
        reinterpret_cast<QRgb*>(target.scanLine(y - origin.y())) + (device.left() - origin.x());
    if (step.weight == 0) {
      // A whole multiple repeats the row above.
      if (previous != nullptr && previousRow == step.first) {
        std::memcpy(out, previous, bytes);
      } else {
        enlargeRow(step.first, out);
      }
      previous = out;
      previousRow = step.first;
      continue;
    }
    previous = nullptr;
    if (upperRow != step.first) {
      if (lowerRow == step.first) {
        upper_.swap(lower_);
        std::swap(upperRow, lowerRow);
      } else {
        enlargeRow(step.first, upper_.data());
        upperRow = step.first;
      }
    }
    if (lowerRow != step.second) {
      enlargeRow(step.second, lower_.data());
      lowerRow = step.second;
    }
    MixBytes(upper_.data(), lower_.data(), static_cast<std::uint16_t>(step.weight), width, out);
  }
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
  Prepare(picture.size(), fit);

  // Where the painter draws into an image's pixels one for one (a window's backing store, any
  // QImage), the picture is enlarged straight into them.
  QPaintEngine* engine = painter.paintEngine();
  QPaintDevice* device = engine != nullptr ? engine->paintDevice() : nullptr;
  const QTransform toDevice = painter.deviceTransform();
  const QPoint offset(qRound(toDevice.dx()), qRound(toDevice.dy()));
  if (device != nullptr && device->devType() == QInternal::Image &&
      toDevice.type() <= QTransform::TxTranslate &&
      QPointF(offset) == QPointF(toDevice.dx(), toDevice.dy())) {
    auto* image = static_cast<QImage*>(device);
    const QImage::Format format = image->format();
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
        format == QImage::Format_ARGB32_Premultiplied) {
      const QRect reachable = image->rect().translated(-offset);
      for (const QRect& part : inside)
        Enlarge(picture, part & reachable, *image, -offset);
      return;
    }
  }
  // Anywhere else, through a picture of each part.
  for (const QRect& part : inside) {
    QImage piece(part.size(), QImage::Format_RGB32);
    Enlarge(picture, part, piece, part.topLeft());
    painter.drawImage(part.topLeft(), piece);
  }
}

}  // namespace tandemhoop
