#include "tools/artgen/scene_floor.h"

#include <QPainterPath>
#include <cmath>
#include <numbers>

#include "tools/artgen/scene_paint.h"

namespace artgen::scene {

QPointF FloorView::Project(double x, double height, double z) const {
  const double depth = baselineDepth - z;
  return QPointF(vanishX + focal * x / depth, vanishY + focal * (eyeHeight - height) / depth);
}

QPolygonF FloorView::Quad(double x0, double z0, double x1, double z1) const {
  return QPolygonF({OnFloor(x0, z0), OnFloor(x1, z0), OnFloor(x1, z1), OnFloor(x0, z1)});
}

QPolygonF FloorView::Ring(double cx, double cz, double inner, double outer, double a0,
                          double a1) const {
  constexpr int kSteps = 72;
  QPolygonF ring;
  for (int i = 0; i <= kSteps; ++i) {
    const double a = a0 + (a1 - a0) * i / kSteps;
    ring << OnFloor(cx + outer * std::cos(a), cz + outer * std::sin(a));
  }
  for (int i = kSteps; i >= 0; --i) {
    const double a = a0 + (a1 - a0) * i / kSteps;
    ring << OnFloor(cx + inner * std::cos(a), cz + inner * std::sin(a));
  }
  return ring;
}

QPolygonF FloorView::Disc(double cx, double cz, double radius) const {
  constexpr int kSteps = 96;
  QPolygonF disc;
  for (int i = 0; i < kSteps; ++i) {
    const double a = 2.0 * std::numbers::pi * i / kSteps;
    disc << OnFloor(cx + radius * std::cos(a), cz + radius * std::sin(a));
  }
  return disc;
}

void DrawPlanks(QPainter& p, const FloorView& view, const WoodTones& wood, double zFrom, double zTo,
                std::uint32_t seed) {
  SceneRandom random(seed);
  constexpr double kPlank = 0.27;
  p.save();
  for (int plank = 0;; ++plank) {
    const double x0 = -14.0 + plank * kPlank;
    if (x0 > 14.0) break;
    const double x1 = x0 + kPlank;
    double z0 = zFrom - random.Between(0.0, 2.4);
    while (z0 < zTo) {
      const double z1 = z0 + random.Between(1.3, 2.9);
      QColor board =
          Mix(plank % 2 == 0 ? wood.toneA : wood.toneB, wood.lighter, random.Between(0.0, 0.35));
      board = Mix(board, wood.darker, random.Between(0.0, 0.22));
      p.setPen(Qt::NoPen);
      p.setBrush(board);
      p.drawPolygon(view.Quad(x0, z0, x1, z1));

      // Grain: two or three fine streaks along the board, barely darker than the wood.
      const int streaks = 2 + static_cast<int>(random.Unit() * 2);
      for (int s = 0; s < streaks; ++s) {
        const double across = x0 + kPlank * random.Between(0.15, 0.85);
        const double wave = random.Between(0.006, 0.02);
        const double phase = random.Between(0, 6.28);
        QPolygonF streak;
        for (int k = 0; k <= 8; ++k) {
          const double z = z0 + (z1 - z0) * k / 8.0;
          streak << view.OnFloor(across + wave * std::sin(phase + k * 0.9), z);
        }
        QColor grain = Mix(board, wood.grain, 0.35);
        grain.setAlpha(90);
        p.setPen(QPen(grain, 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(streak);
      }
      p.setPen(QPen(wood.seam, 1.0));
      p.drawLine(view.OnFloor(x0, z1), view.OnFloor(x1, z1));
      z0 = z1;
    }
    p.setPen(QPen(wood.seam, 0.9));
    p.drawLine(view.OnFloor(x0, zFrom), view.OnFloor(x0, zTo));
  }
  p.restore();
}

namespace {
// Real court proportions keep the markings believable from any of our cameras.
constexpr double kLineWidth = 0.09;
constexpr double kLaneHalf = 2.45;
constexpr double kFreeThrowZ = 5.8;
constexpr double kCircleRadius = 1.8;
constexpr double kBasketZ = 1.575;
constexpr double kArc = 6.75;
constexpr double kCorner = 6.6;
}  // namespace

void DrawHalfCourtMarkings(QPainter& p, const FloorView& view, const CourtPaint& paint,
                           double zWall) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(paint.lane);
  QPainterPath lane;
  lane.setFillRule(Qt::WindingFill);
  lane.addPolygon(view.Quad(-kLaneHalf, 0.0, kLaneHalf, kFreeThrowZ));
  lane.addPolygon(view.Disc(0.0, kFreeThrowZ, kCircleRadius));
  p.drawPath(lane.simplified());
  p.setBrush(paint.behindBaseline);
  p.drawPolygon(view.Quad(-16.0, zWall, 16.0, 0.0));

  const double w = kLineWidth;
  QPainterPath lines;
  lines.setFillRule(Qt::WindingFill);
  lines.addPolygon(view.Quad(-16.0, 0.0, 16.0, w));
  lines.addPolygon(view.Quad(-kLaneHalf, w, -kLaneHalf + w, kFreeThrowZ));
  lines.addPolygon(view.Quad(kLaneHalf - w, w, kLaneHalf, kFreeThrowZ));
  lines.addPolygon(view.Quad(-kLaneHalf, kFreeThrowZ - w, kLaneHalf, kFreeThrowZ));
  for (const double z : {1.75, 2.85, 3.7, 4.55}) {
    const double depth = z == 1.75 ? 0.3 : w;
    lines.addPolygon(view.Quad(-kLaneHalf - 0.18, z, -kLaneHalf, z + depth));
    lines.addPolygon(view.Quad(kLaneHalf, z, kLaneHalf + 0.18, z + depth));
  }
  // The near half of the free-throw circle is solid, the half inside the lane dashed.
  lines.addPolygon(
      view.Ring(0.0, kFreeThrowZ, kCircleRadius - w, kCircleRadius, 0.0, std::numbers::pi));
  constexpr int kDashes = 8;
  for (int i = 0; i < kDashes; ++i) {
    const double step = std::numbers::pi / kDashes;
    const double a0 = std::numbers::pi + i * step + step * 0.2;
    lines.addPolygon(
        view.Ring(0.0, kFreeThrowZ, kCircleRadius - w, kCircleRadius, a0, a0 + step * 0.6));
  }
  const double cornerAngle = std::acos(kCorner / kArc);
  const double cornerZ = kBasketZ + kArc * std::sin(cornerAngle);
  lines.addPolygon(view.Quad(-kCorner, w, -kCorner + w, cornerZ));
  lines.addPolygon(view.Quad(kCorner - w, w, kCorner, cornerZ));
  lines.addPolygon(
      view.Ring(0.0, kBasketZ, kArc - w, kArc, cornerAngle, std::numbers::pi - cornerAngle));
  p.setBrush(paint.line);
  p.drawPath(lines);
  p.restore();
}

}  // namespace artgen::scene
