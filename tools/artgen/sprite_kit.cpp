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

QPainterPath Limb(std::initializer_list<Joint> joints) {
  std::vector<Joint> line(joints);
  // Round the bends by cutting corners twice; the ends stay where they are.
  for (int pass = 0; pass < 3 && line.size() > 2; ++pass) {
    std::vector<Joint> cut{line.front()};
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      const Joint& a = line[i];
      const Joint& b = line[i + 1];
      const double firstT = i == 0 ? 0.0 : 0.25;
      const double lastT = i + 2 == line.size() ? 1.0 : 0.75;
      if (firstT > 0)
        cut.push_back({a.at + (b.at - a.at) * firstT, a.radius + (b.radius - a.radius) * firstT});
      if (lastT < 1)
        cut.push_back({a.at + (b.at - a.at) * lastT, a.radius + (b.radius - a.radius) * lastT});
    }
    cut.push_back(line.back());
    line = cut;
  }
  const std::size_t n = line.size();
  if (n < 2) {
    QPainterPath dot;
    if (n == 1) dot.addEllipse(line[0].at, line[0].radius, line[0].radius);
    return dot;
  }
  auto unit = [](QPointF v) {
    const double length = std::hypot(v.x(), v.y());
    return length > 1e-9 ? v / length : QPointF(0, 1);
  };
  std::vector<QPointF> normals(n);
  for (std::size_t i = 0; i < n; ++i) {
    const QPointF d = unit(line[std::min(i + 1, n - 1)].at - line[i == 0 ? 0 : i - 1].at);
    normals[i] = QPointF(-d.y(), d.x());
  }
  QPolygonF outline;
  for (std::size_t i = 0; i < n; ++i)
    outline << line[i].at + normals[i] * line[i].radius;
  // Round end cap, then back along the other side, then the round start cap.
  auto cap = [&](const Joint& j, QPointF normal, QPointF forward) {
    for (int k = 1; k < 12; ++k) {
      const double a = M_PI * k / 12.0;
      outline << j.at + (normal * std::cos(a) + forward * std::sin(a)) * j.radius;
    }
  };
  cap(line[n - 1], normals[n - 1], unit(line[n - 1].at - line[n - 2].at));
  for (std::size_t i = n; i-- > 0;)
    outline << line[i].at - normals[i] * line[i].radius;
  cap(line[0], -normals[0], unit(line[0].at - line[1].at));
  outline << outline.front();
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  path.addPolygon(outline);
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
