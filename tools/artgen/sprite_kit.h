#pragma once

// The common ground of every sprite-sheet picture: the palette, the inked and two-tone shaded
// parts the figures are built from, and the step that turns a drawing into a mask and image
// pair the game can copy with AND and OR.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <functional>

namespace artgen::sprite {

// Outline colour: a very dark plum. It reads as black on the court but is never pure black,
// which inside a figure would be mistaken for the outside.
inline const QColor kInk(30, 22, 34);
inline const QColor kRed(206, 32, 38);  // the trim of both teams
inline const QColor kRedShade(150, 18, 28);

// A fill colour with its shadow tone.
struct Tone {
  QColor base;
  QColor shade;
};

// The colours that differ between the two sides: only the shirt.
struct Kit {
  Tone shirt;
};
// Player 1's white, and Player 2's pure blue (no red or green at all on the shirt).
Kit Player1Kit();
Kit Player2Kit();

// A masked pair: the mask (white outside, the image's colours inside) and the image (black
// outside).
struct MaskedPair {
  QImage mask;
  QImage image;
};

// A body pose: one mask, black on the shirt, and an image per side.
struct BodyPictures {
  QImage mask;
  QImage player1;
  QImage player2;
};

using Drawing = std::function<void(QPainter&)>;
using KitDrawing = std::function<void(QPainter&, const Kit&)>;

// Draws with antialiasing onto a transparent canvas, then cuts a hard silhouette out of it: a
// pixel belongs to the figure when the drawing covers at least half of it, and then it takes
// the drawing's colour at full strength. So nothing of the figure's edge is blended with the
// outside, and the court shows unchanged around it.
MaskedPair MakeMaskedPair(QSize size, const Drawing& draw);

// The same for a body pose, drawn once per side. Wherever the two drawings differ (the shirt
// and its soft edges) the mask is black; there Player 2's pixels keep only their blue.
BodyPictures MakeBodyPictures(QSize size, const KitDrawing& draw);

// --- Building blocks -------------------------------------------------------------------------

// Fills a shape in its base tone, darkens the rim facing away from the light (which comes from
// the upper left; `shadeShift` says how thick the shadow is and on which side), and inks it.
void InkedPart(QPainter& p, const QPainterPath& shape, const Tone& tone,
               QPointF shadeShift = QPointF(-2.5, -2.5), double ink = 1.6);
// The shadow band of a shape alone, for parts that are inked in one go afterwards.
QPainterPath ShadeOf(const QPainterPath& shape, QPointF shadeShift);
void Ink(QPainter& p, const QPainterPath& shape, double width = 1.6);

// A limb through its joints, each with the half thickness there: one smooth outline, rounded
// at both ends and through the bends, so no seam shows at an elbow or a knee.
struct Joint {
  QPointF at;
  double radius;
};
QPainterPath Limb(std::initializer_list<Joint> joints);
// A tapered capsule from a (radius ra) to b (radius rb): fingers, thumbs, necks.
QPainterPath Capsule(QPointF a, QPointF b, double ra, double rb);
QPainterPath Ellipse(QPointF centre, double rx, double ry);
QPainterPath Polygon(std::initializer_list<QPointF> points);
// A closed shape through the points, rounded with quadratic curves between edge midpoints.
QPainterPath Smooth(std::initializer_list<QPointF> points);

}  // namespace artgen::sprite
