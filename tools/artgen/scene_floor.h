#pragma once

// The wooden floor shared by the court and the title: a perspective view of a floor laid out in
// metres, its planks, and the half-court markings.

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>
#include <cstdint>

namespace artgen::scene {

// A camera high above the far baseline with an upright picture plane: walls stay upright and
// everything running away from us meets at (vanishX, vanishY). Floor x runs across (0 under
// the basket), z from the baseline towards the viewer, heights upwards, all in metres.
struct FloorView {
  double vanishX;
  double vanishY;
  double focal;          // pixels per metre at one metre of depth
  double baselineDepth;  // distance from the camera to the baseline
  double eyeHeight;

  QPointF Project(double x, double height, double z) const;
  QPointF OnFloor(double x, double z) const { return Project(x, 0.0, z); }
  // Pixels per metre across, at depth z.
  double ScaleAt(double z) const { return focal / (baselineDepth - z); }
  // Screen outline of a floor rectangle (its edges stay straight in perspective).
  QPolygonF Quad(double x0, double z0, double x1, double z1) const;
  // A band of a circle between two radii, from angle a0 to a1 (radians; 0 points right,
  // pi/2 towards the viewer).
  QPolygonF Ring(double cx, double cz, double inner, double outer, double a0, double a1) const;
  QPolygonF Disc(double cx, double cz, double radius) const;
};

// The colours of a wooden floor: two plank tones, the two colours the boards drift towards,
// the grain and the joints.
struct WoodTones {
  QColor toneA;
  QColor toneB;
  QColor lighter;
  QColor darker;
  QColor grain;
  QColor seam;
};

// Boards of 0.27 m laid along z, cut at random lengths, each with a little grain. The same
// seed lays the same floor.
void DrawPlanks(QPainter& painter, const FloorView& view, const WoodTones& wood, double zFrom,
                double zTo, std::uint32_t seed);

// The half-court markings under a basket: painted lane and circle, a stained band behind the
// baseline back to zWall, and the white lines (baseline, lane, blocks, free-throw circle with
// its far half dashed, three-point line).
struct CourtPaint {
  QColor lane;
  QColor behindBaseline;
  QColor line;
};
void DrawHalfCourtMarkings(QPainter& painter, const FloorView& view, const CourtPaint& paint,
                           double zWall);

}  // namespace artgen::scene
