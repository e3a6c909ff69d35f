#include "tools/artgen/sprite_kit.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace artgen::sprite {
namespace {

constexpr QRgb kOutsideMask = 0xFFFFFFu;
constexpr QRgb kOutsideImage = 0x000000u;

// The drawing at full coverage, as straight (not premultiplied) colours, with its coverage.
QImage Render(QSize size, const std::function<void(QPainter&)>& draw) {
  QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  QPainter p(&canvas);
  p.setRenderHint(QPainter::Antialiasing, true);
  draw(p);
  p.end();
  return canvas.convertToFormat(QImage::Format_ARGB32);
}

// Inside a figure pure white and pure black are reserved: they are how the outside looks, and
// the pair must say unambiguously which pixels are figure.
QRgb Inside(QRgb colour) {
  const QRgb rgb = colour & 0xFFFFFFu;
  if (rgb == 0xFFFFFFu) return 0xFEFEFEu;
  if (rgb == 0u) return 0x010101u;
  return rgb;
}

QImage Blank(QSize size, QRgb colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour | 0xFF000000u);
  return image;
}

bool Covered(QRgb argb) {
  return qAlpha(argb) >= 128;
}

}  // namespace

Kit Player1Kit() {
  return Kit{{QColor(255, 255, 255), QColor(190, 198, 218)}};
}
Kit Player2Kit() {
  return Kit{{QColor(0, 0, 255), QColor(0, 0, 168)}};
}

MaskedPair MakeMaskedPair(QSize size, const Drawing& draw) {
  const QImage drawn = Render(size, draw);
  MaskedPair pair{Blank(size, kOutsideMask), Blank(size, kOutsideImage)};
  for (int y = 0; y < size.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
    auto* mask = reinterpret_cast<QRgb*>(pair.mask.scanLine(y));
    auto* image = reinterpret_cast<QRgb*>(pair.image.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      if (!Covered(in[x])) continue;
      const QRgb colour = Inside(in[x]) | 0xFF000000u;
      mask[x] = colour;
      image[x] = colour;
    }
  }
  return pair;
}

BodyPictures MakeBodyPictures(QSize size, const KitDrawing& draw) {
  const Kit kit1 = Player1Kit();
  const Kit kit2 = Player2Kit();
  const QImage one = Render(size, [&](QPainter& p) { draw(p, kit1); });
  const QImage two = Render(size, [&](QPainter& p) { draw(p, kit2); });
  BodyPictures body{Blank(size, kOutsideMask), Blank(size, kOutsideImage),
                    Blank(size, kOutsideImage)};
  for (int y = 0; y < size.height(); ++y) {
    const auto* in1 = reinterpret_cast<const QRgb*>(one.constScanLine(y));
    const auto* in2 = reinterpret_cast<const QRgb*>(two.constScanLine(y));
    auto* mask = reinterpret_cast<QRgb*>(body.mask.scanLine(y));
    auto* image1 = reinterpret_cast<QRgb*>(body.player1.scanLine(y));
    auto* image2 = reinterpret_cast<QRgb*>(body.player2.scanLine(y));
    for (int x = 0; x < size.width(); ++x) {
      // Both drawings have the same shapes, so the same coverage: one silhouette for all three.
      if (!Covered(in1[x])) continue;
      if ((in1[x] & 0xFFFFFFu) == (in2[x] & 0xFFFFFFu)) {
        const QRgb colour = Inside(in1[x]) | 0xFF000000u;
        mask[x] = colour;
        image1[x] = colour;
        image2[x] = colour;
        continue;
      }
      // The shirt: the mask lets the court through nowhere here, each side brings its colour.
      mask[x] = 0xFF000000u;
      const QRgb rgb1 = in1[x] & 0xFFFFFFu;
      image1[x] = (rgb1 == 0u ? 0x010101u : rgb1) | 0xFF000000u;
      image2[x] = qRgb(0, 0, std::max(qBlue(in2[x]), 1));
    }
  }
  return body;
}

QPainterPath ShadeOf(const QPainterPath& shape, QPointF shadeShift) {
  return shape.subtracted(shape.translated(shadeShift));
}

void Ink(QPainter& p, const QPainterPath& shape, double width) {
  QPen pen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(shape);
}

void InkedPart(QPainter& p, const QPainterPath& shape, const Tone& tone, QPointF shadeShift,
               double ink) {
  p.setPen(Qt::NoPen);
  p.setBrush(tone.base);
  p.drawPath(shape);
  if (!shadeShift.isNull()) {
    p.setBrush(tone.shade);
    p.drawPath(ShadeOf(shape, shadeShift));
  }
  if (ink > 0) Ink(p, shape, ink);
}

QPainterPath Capsule(QPointF a, QPointF b, double ra, double rb) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path.addEllipse(a, ra, ra);
  path.addEllipse(b, rb, rb);
  const QPointF d = b - a;
  const double length = std::hypot(d.x(), d.y());
  if (length > 0.01) {
    const QPointF n(-d.y() / length, d.x() / length);
    path.addPolygon(QPolygonF({a + n * ra, b + n * rb, b - n * rb, a - n * ra, a + n * ra}));
  }
  return path.simplified();
}

QPainterPath Ellipse(QPointF centre, double rx, double ry) {
  QPainterPath path;
  path.addEllipse(centre, rx, ry);
  return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

QPainterPath Smooth(std::initializer_list<QPointF> points) {
  const std::vector<QPointF> v(points);
  QPainterPath path;
  const std::size_t n = v.size();
  if (n < 3) return path;
  auto mid = [&](std::size_t i) { return (v[i % n] + v[(i + 1) % n]) / 2.0; };
  path.moveTo(mid(0));
  for (std::size_t i = 1; i <= n; ++i)
    path.quadTo(v[i % n], mid(i));
  path.closeSubpath();
  return path;
}

}  // namespace artgen::sprite
