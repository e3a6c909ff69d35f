#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <cstdint>

class QPainter;
class QRegion;

namespace tandemhoop {

// How the game's picture, always 727 x 542, is enlarged to the window. Sharp: whole multiples
// by repeating pixels, then a smooth step of less than one multiple to fill the window. Pixel
// perfect: whole multiples only. Smooth: one smooth step to the fit.
enum class Scaling : std::uint8_t { Sharp, PixelPerfect, Smooth };

QString ScalingName(Scaling scaling);                         // "sharp", "pixel-perfect", "smooth"
Scaling ScalingNamed(const QString& name, Scaling fallback);  // the fallback for anything else

// Where the picture goes in an area of the window (both in device pixels): the largest size that
// fits with the picture's aspect kept (whole multiples only for pixel perfect), centred; the rest
// of the area is border. `multiple` is the largest whole multiple that fits (at least 1).
struct Fit {
  QRect target;
  int multiple = 1;
  // Whether every picture pixel becomes exactly one `multiple` x `multiple` block.
  bool exact = false;
};
// An area too small for the picture (a small screen) gets it scaled down to fit, smoothly,
// whatever the scaling.
Fit FitPicture(QSize picture, QSize area, Scaling scaling);

// The least size of a window showing the picture: the picture's own, or on a screen whose
// `room` cannot hold that, the largest size with the picture's aspect that it can.
QSize LeastWindowSize(QSize picture, QSize room);

// Repeats each pixel of `area` of `source` into a `multiple` x `multiple` block of `target`
// (which is `multiple` times the size of `source`).
void ScaleUpExactly(const QImage& source, const QRect& area, int multiple, QImage& target);

// Draws the picture into a window by the rules above. It keeps the enlarged picture between
// frames and enlarges only what changed since the last one, so a frame costs in proportion to
// what moved in it.
class Presenter {
 public:
  static constexpr QRgb kBorder = 0xFF1C1C1C;  // a neutral dark grey round the picture

  void SetScaling(Scaling scaling);
  Scaling scaling() const { return scaling_; }

  // Part of the picture changed: enlarged again at the next Present.
  void Invalidate(const QRect& pictureArea);
  void InvalidateAll();

  // The painter draws in device pixels of an area of `area`; `dirty` (device pixels) is what
  // has to be drawn this time.
  void Present(QPainter& painter, const QImage& picture, QSize area, const QRegion& dirty);

  // The device pixels that show `pictureArea`, with a pixel round it for the smooth step.
  static QRect DeviceAreaOf(const QRect& pictureArea, QSize picture, QSize area, Scaling scaling);

 private:
  Scaling scaling_ = Scaling::Sharp;
  QImage enlarged_;
  int enlargedMultiple_ = 0;
  QRegion stale_;  // picture area not yet enlarged again
};

}  // namespace tandemhoop
