#include "tools/artgen/scene_parts.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "tools/artgen/scene_paint.h"

namespace artgen::scene {

void DrawBall(QPainter& p, QPointF c, qreal r) {
  const qreal ink = std::max<qreal>(1.0, r * 0.09);
  QPainterPath disc;
  disc.addEllipse(c, r, r);
  InkedFill(p, disc, kBallOrange, ink);

  p.save();
  p.setClipPath(disc);
  p.setPen(Qt::NoPen);
  // Two tones: the lower right turns away from the light.
  QPainterPath lit;
  lit.addEllipse(c + QPointF(-r * 0.2, -r * 0.22), r * 0.97, r * 0.97);
  p.setBrush(kBallShade);
  p.drawPath(disc.subtracted(lit));
  p.setBrush(QColor(252, 168, 92));
  p.drawEllipse(c + QPointF(-r * 0.42, -r * 0.44), r * 0.24, r * 0.16);

  // Seams: the two great circles and the two side curves.
  QPen seam(kInk, std::max<qreal>(0.9, r * 0.075), Qt::SolidLine, Qt::RoundCap);
  p.setPen(seam);
  p.setBrush(Qt::NoBrush);
  QPainterPath seams;
  seams.moveTo(c + QPointF(-r, r * 0.02));
  seams.quadTo(c + QPointF(0, r * 0.26), c + QPointF(r, r * 0.02));
  seams.moveTo(c + QPointF(r * 0.06, -r));
  seams.quadTo(c + QPointF(-r * 0.2, 0), c + QPointF(r * 0.06, r));
  seams.moveTo(c + QPointF(-r * 0.7, -r * 0.74));
  seams.quadTo(c + QPointF(-r * 0.22, 0), c + QPointF(-r * 0.7, r * 0.74));
  seams.moveTo(c + QPointF(r * 0.74, -r * 0.7));
  seams.quadTo(c + QPointF(r * 0.3, 0), c + QPointF(r * 0.74, r * 0.7));
  p.drawPath(seams);
  p.restore();
}

void DrawStar(QPainter& p, QPointF centre, qreal radius, const QColor& fill) {
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const qreal a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    const qreal r = i % 2 == 0 ? radius : radius * 0.45;
    star << centre + QPointF(r * std::cos(a), r * std::sin(a));
  }
  QPainterPath path;
  path.addPolygon(star);
  path.closeSubpath();
  InkedFill(p, path, fill, std::max<qreal>(0.8, radius * 0.12));
}

namespace {

struct NetPoint {
  QPointF at;
  qreal angle;
};

// Half of the rim ellipse as a path: the back half (upper on screen) or the front half.
QPainterPath RimHalf(const RimAndNet& net, bool front) {
  const QRectF box(net.centre.x() - net.radiusX, net.centre.y() - net.radiusY, net.radiusX * 2,
                   net.radiusY * 2);
  QPainterPath half;
  // Qt's angles run counter-clockwise from 3 o'clock; the front is the lower half.
  half.arcMoveTo(box, front ? 0 : 180);
  half.arcTo(box, front ? 0 : 180, front ? -180 : -180);
  return half;
}

void StrokeRim(QPainter& p, const RimAndNet& net, bool front) {
  const QPainterPath half = RimHalf(net, front);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kInk, net.rimWidth + 2 * net.inkWidth, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(half);
  p.setPen(QPen(front ? kBallOrange : kBallShade, net.rimWidth, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(half);
  if (front) {
    // A thin lit line along the top of the tube.
    QPainterPath shine = half;
    shine.translate(0, -net.rimWidth * 0.28);
    p.setPen(QPen(QColor(255, 186, 110), std::max<qreal>(0.8, net.rimWidth * 0.3), Qt::SolidLine,
                  Qt::RoundCap));
    p.drawPath(shine);
  }
}

}  // namespace

void DrawRimAndNet(QPainter& p, const RimAndNet& net, const std::function<void()>& inside) {
  p.save();
  // Rows of knots from the rim down, tapering fast at first and then hanging straight.
  const int n = net.cordsAround;
  std::vector<std::vector<NetPoint>> rows;
  for (int j = 0; j <= net.rows; ++j) {
    const qreal t = static_cast<qreal>(j) / net.rows;
    const qreal taper = t * (2 - t);
    const qreal rx = net.radiusX + (net.bottomRadiusX - net.radiusX) * taper;
    const qreal ry = rx * net.radiusY / net.radiusX;
    const qreal cy = net.centre.y() + (net.netBottom - ry - net.centre.y()) * t;
    std::vector<NetPoint> row;
    for (int k = 0; k < n; ++k) {
      const qreal a = 2 * std::numbers::pi * (k + 0.5 * (j % 2)) / n;
      row.push_back({QPointF(net.centre.x() + rx * std::cos(a), cy + ry * std::sin(a)), a});
    }
    rows.push_back(row);
  }
  struct Cord {
    QPointF from, to;
    bool front;
  };
  std::vector<Cord> cords;
  for (int j = 0; j < net.rows; ++j) {
    for (int k = 0; k < n; ++k) {
      const NetPoint& a = rows[j][k];
      const int other = (j % 2 == 1) ? (k + 1) % n : (k + n - 1) % n;
      for (const NetPoint& b : {rows[j + 1][k], rows[j + 1][other]}) {
        const qreal mid = std::sin(a.angle) + std::sin(b.angle);
        cords.push_back({a.at, b.at, mid > 0});
      }
    }
  }
  // The loops along the bottom edge.
  for (int k = 0; k < n; ++k) {
    const NetPoint& a = rows[net.rows][k];
    const NetPoint& b = rows[net.rows][(k + 1) % n];
    cords.push_back({a.at, b.at, std::sin(a.angle) + std::sin(b.angle) > 0});
  }

  const auto drawCords = [&](bool front) {
    const QColor ink = front ? kInk : Mix(kInk, QColor(150, 150, 160), 0.35);
    const QColor cord = front ? QColor(255, 255, 255) : QColor(200, 202, 210);
    p.setPen(QPen(ink, net.cordWidth + 2 * net.inkWidth * 0.8, Qt::SolidLine, Qt::RoundCap));
    for (const Cord& c : cords) {
      if (c.front == front) p.drawLine(c.from, c.to);
    }
    p.setPen(QPen(cord, net.cordWidth, Qt::SolidLine, Qt::RoundCap));
    for (const Cord& c : cords) {
      if (c.front == front) p.drawLine(c.from, c.to);
    }
  };

  StrokeRim(p, net, false);
  drawCords(false);
  if (inside) {
    p.save();
    inside();
    p.restore();
  }
  drawCords(true);
  StrokeRim(p, net, true);
  p.restore();
}

}  // namespace artgen::scene
