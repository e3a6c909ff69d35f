#pragma once

// Props drawn in more than one full picture: the ball, stars, and a rim with its net.

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <functional>

namespace artgen::scene {

// A basketball with its seams, inked and shaded, seen slightly from the upper left.
void DrawBall(QPainter& painter, QPointF centre, qreal radius);

// A five-pointed star with a dark outline.
void DrawStar(QPainter& painter, QPointF centre, qreal radius, const QColor& fill);

// A rim seen from the front and a little above, with the net hanging from it.
struct RimAndNet {
  QPointF centre;        // centre of the rim ellipse
  qreal radiusX = 20;    // rim half width
  qreal radiusY = 5;     // rim half height (the foreshortened depth)
  qreal netBottom = 90;  // lowest row of the net
  qreal bottomRadiusX = 12;
  qreal rimWidth = 3.0;  // the orange tube
  qreal inkWidth = 1.1;  // outline on each side of the tube and the cords
  qreal cordWidth = 1.25;
  int cordsAround = 12;
  int rows = 4;
};
// inside, when given, is drawn between the back and the front of the net (a ball dropping
// through it).
void DrawRimAndNet(QPainter& painter, const RimAndNet& net,
                   const std::function<void()>& inside = {});

}  // namespace artgen::scene
