#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

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

// Draws the picture into a window by the rules above. Each frame enlarges only what the window
// asks for, straight from the picture into the window's own pixels: a frame costs in
// proportion to what changed in it, and no enlarged copy of the picture is kept.
class Presenter {
 public:
  static constexpr QRgb kBorder = 0xFF1C1C1C;  // a neutral dark grey round the picture

  void SetScaling(Scaling scaling) { scaling_ = scaling; }
  Scaling scaling() const { return scaling_; }

  // The painter draws in device pixels of an area of `area`; `dirty` (device pixels) is what
  // has to be drawn this time.
  void Present(QPainter& painter, const QImage& picture, QSize area, const QRegion& dirty);

  // The device pixels that show `pictureArea`, with a pixel round it for the smooth step.
  static QRect DeviceAreaOf(const QRect& pictureArea, QSize picture, QSize area, Scaling scaling);

 private:
  // For each device column (row) of the fit: the two picture columns (rows) it lies between
  // and the weight of the second, in 256ths. Sharp enlarges by whole pixels first, so the two
  // are taken from the picture enlarged that many times; an exact fit has no second.
  struct Step {
    int first = 0;
    int second = 0;
    int weight = 0;
  };
  void Prepare(QSize picture, const Fit& fit);
  // Enlarges the part `device` of the fit (device pixels) into `target`, whose pixel (0, 0) is
  // device pixel `origin`.
  void Enlarge(const QImage& picture, const QRect& device, QImage& target, QPoint origin);
  // One picture row across `width` device columns from `firstColumn` of the fit on.
  void EnlargeRow(const QRgb* from, int firstColumn, int width, QRgb* to);

  Scaling scaling_ = Scaling::Sharp;
  // The steps of the fit they were made for.
  QSize preparedPicture_;
  QRect preparedTarget_;
  int preparedMultiple_ = 0;
  bool preparedExact_ = false;
  std::vector<Step> columns_;
  std::vector<Step> rows_;
  std::vector<std::uint16_t> columnWeights_;  // each column's weight, once for each byte
  // The two pixels each device column lies between, and the two picture rows enlarged across
  // between which a smooth step's device rows lie.
  std::vector<QRgb> left_;
  std::vector<QRgb> right_;
  std::vector<QRgb> upper_;
  std::vector<QRgb> lower_;
};

}  // namespace tandemhoop
