// The court: the half court seen from the front, with the basket at the top centre.
//
// Only the top-left 727 x 542 pixels ever reach the window, so everything worth seeing is
// composed for that part; the rest simply continues the floor and the right-hand wall. The
// three printed lines (banner and both scores) sit over the top-left corner, so that corner is
// kept light and plain. The rim and net sit where the made-basket picture is drawn (385, 50),
// so that picture covers them exactly when a basket drops.

#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "tools/artgen/scene_floor.h"
#include "tools/artgen/scene_paint.h"
#include "tools/artgen/scene_parts.h"
#include "tools/artgen/scenes.h"

namespace artgen {
namespace {

using scene::kInk;
using scene::Mix;

constexpr int kCourtWidth = 821;
constexpr int kCourtHeight = 662;

// The camera puts the wall foot near y = 215, the free-throw line near y = 420 and the top of
// the three-point arc just under the visible bottom edge; everything running away from us meets
// straight above the rim.
const scene::FloorView kView{410.0, -200.0, 660.0, 20.0, 8800.0 / 660.0};
constexpr double kWallZ = -1.2;  // the back wall stands a little behind the baseline
constexpr double kNearZ = 10.0;  // below the bottom edge of the picture

// The back wall is seen face on; its corners are chosen so that both side walls show inside
// the visible window.
constexpr double kWallLeft = 82.0;
constexpr double kWallRight = 660.0;

QPointF Project(double x, double height, double z) {
  return kView.Project(x, height, z);
}
QPointF OnFloor(double x, double z) {
  return kView.OnFloor(x, z);
}

double BackWallScale() {
  return kView.ScaleAt(kWallZ);
}
double BackWallFootY() {
  return Project(0.0, 0.0, kWallZ).y();
}
double SideWallX(double screenX) {
  return (screenX - kView.vanishX) / BackWallScale();
}
// Height on the back wall, in metres above the floor, of a picture row.
double HeightAtRow(double row) {
  return (BackWallFootY() - row) / BackWallScale();
}
double LeftWallX() {
  return SideWallX(kWallLeft);
}
double RightWallX() {
  return SideWallX(kWallRight);
}

// A quad on the left or right side wall (the plane x = wallX) between two heights and depths.
QPolygonF SideWallQuad(double wallX, double h0, double h1, double z0, double z1) {
  return QPolygonF({Project(wallX, h0, z0), Project(wallX, h1, z0), Project(wallX, h1, z1),
                    Project(wallX, h0, z1)});
}

QPolygonF FloorArea() {
  return QPolygonF({OnFloor(LeftWallX(), kWallZ), OnFloor(RightWallX(), kWallZ),
                    OnFloor(RightWallX(), kNearZ), OnFloor(LeftWallX(), kNearZ)});
}

// ---------------------------------------------------------------------------------------------
// Walls

const QColor kWallTop(243, 237, 224);
const QColor kWallLow(229, 219, 199);
const QColor kSideTop(222, 211, 190);
const QColor kSideLow(204, 190, 166);
const QColor kPadFace(38, 58, 122);
const QColor kPadLight(60, 86, 158);

// A painted trim line round the room separates the plain upper wall (where the printed lines
// go) from the block wall below.
constexpr double kTrimTop = 69.0;
constexpr double kTrimBottom = 76.0;

void DrawBackWall(QPainter& p) {
  const double foot = BackWallFootY();
  QLinearGradient wash(0, 0, 0, foot);
  wash.setColorAt(0.0, kWallTop);
  wash.setColorAt(1.0, kWallLow);
  p.fillRect(QRectF(kWallLeft, 0, kWallRight - kWallLeft, foot + 1), wash);

  // Painted block wall: faint enough that printed text over the top stays easy to read, and
  // left out altogether above the row where the third printed line ends.
  p.save();
  p.setClipRect(QRectF(kWallLeft, kTrimBottom, kWallRight - kWallLeft, foot - kTrimBottom));
  QPen mortar(QColor(120, 100, 70, 34), 1.0);
  p.setPen(mortar);
  constexpr double kCourse = 17.0;
  int course = 0;
  for (double y = foot - kCourse; y > 60; y -= kCourse, ++course) {
    p.drawLine(QPointF(kWallLeft, y + 0.5), QPointF(kWallRight, y + 0.5));
    const double shift = (course % 2 == 0) ? 0.0 : 21.0;
    for (double x = kWallLeft + shift; x < kWallRight; x += 42.0) {
      p.drawLine(QPointF(x + 0.5, y), QPointF(x + 0.5, y + kCourse));
    }
  }
  p.restore();

  // Soft shade into both inside corners gives the room its depth.
  for (const bool left : {true, false}) {
    const double edge = left ? kWallLeft : kWallRight;
    const double inner = left ? kWallLeft + 26 : kWallRight - 26;
    QLinearGradient corner(edge, 0, inner, 0);
    corner.setColorAt(0.0, QColor(90, 70, 40, 46));
    corner.setColorAt(1.0, QColor(90, 70, 40, 0));
    p.fillRect(QRectF(std::min(edge, inner), 0, 26, foot), corner);
  }
}

void DrawSideWalls(QPainter& p) {
  const double foot = BackWallFootY();
  for (const bool left : {true, false}) {
    const double wallX = left ? LeftWallX() : RightWallX();
    const double corner = left ? kWallLeft : kWallRight;
    const double outside = left ? -400.0 : kCourtWidth + 400.0;
    const QPolygonF face({QPointF(corner, -1), QPointF(corner, foot), OnFloor(wallX, kNearZ),
                          QPointF(outside, kCourtHeight + 40), QPointF(outside, -1)});
    QLinearGradient wash(0, 0, 0, 420);
    wash.setColorAt(0.0, kSideTop);
    wash.setColorAt(1.0, kSideLow);
    p.setPen(Qt::NoPen);
    p.setBrush(wash);
    p.drawPolygon(face);

    // Upright panel joints, closer together as they come nearer.
    p.save();
    p.setClipPath([&] {
      QPainterPath clip;
      clip.addPolygon(face);
      return clip;
    }());
    p.setPen(QPen(QColor(110, 90, 60, 60), 1.2));
    for (double z = kWallZ + 1.6; z < 6.0; z += 1.6) {
      const QPointF footPoint = Project(wallX, 0.0, z);
      p.drawLine(QPointF(footPoint.x(), -1), footPoint);
    }
    p.restore();

    // The corner edge itself.
    p.setPen(QPen(QColor(120, 100, 72, 140), 1.4));
    p.drawLine(QPointF(corner, -1), QPointF(corner, foot));
  }
}

void DrawTrim(QPainter& p) {
  const double split = kTrimTop + 4.5;
  p.setPen(Qt::NoPen);
  p.fillRect(QRectF(kWallLeft, kTrimTop, kWallRight - kWallLeft, split - kTrimTop), kPadFace);
  p.fillRect(QRectF(kWallLeft, split, kWallRight - kWallLeft, kTrimBottom - split), scene::kRed);
  for (const bool left : {true, false}) {
    const double wallX = left ? LeftWallX() : RightWallX();
    p.setBrush(Mix(kPadFace, QColor(0, 0, 0), 0.12));
    p.drawPolygon(SideWallQuad(wallX, HeightAtRow(split), HeightAtRow(kTrimTop), kWallZ, kNearZ));
    p.setBrush(Mix(scene::kRed, QColor(0, 0, 0), 0.12));
    p.drawPolygon(
        SideWallQuad(wallX, HeightAtRow(kTrimBottom), HeightAtRow(split), kWallZ, kNearZ));
  }
}

// Wall padding along the foot of all three walls: navy mats, lit along their top.
void DrawPadding(QPainter& p) {
  constexpr double kPadHeight = 1.28;
  constexpr double kLitShare = 0.34;
  const double foot = BackWallFootY();
  const double top = foot - kPadHeight * BackWallScale();
  const double lit = top + (foot - top) * kLitShare;

  // Back wall.
  p.setPen(Qt::NoPen);
  p.fillRect(QRectF(kWallLeft, top, kWallRight - kWallLeft, foot - top), kPadFace);
  p.fillRect(QRectF(kWallLeft, top, kWallRight - kWallLeft, lit - top), kPadLight);
  p.setPen(QPen(QColor(16, 24, 60), 1.2));
  for (double x = kWallLeft + 47; x < kWallRight - 10; x += 47) {
    p.drawLine(QPointF(x, top + 1), QPointF(x, foot));
  }
  p.setPen(QPen(QColor(150, 176, 230), 1.0));
  p.drawLine(QPointF(kWallLeft, top + 2.0), QPointF(kWallRight, top + 2.0));
  p.setPen(QPen(kInk, 1.6));
  p.drawLine(QPointF(kWallLeft, top), QPointF(kWallRight, top));

  // Side walls, in perspective.
  for (const bool left : {true, false}) {
    const double wallX = left ? LeftWallX() : RightWallX();
    const double litHeight = kPadHeight * (1.0 - kLitShare);
    p.setPen(Qt::NoPen);
    p.setBrush(Mix(kPadFace, QColor(0, 0, 0), 0.12));
    p.drawPolygon(SideWallQuad(wallX, 0.0, litHeight, kWallZ, kNearZ));
    p.setBrush(Mix(kPadLight, QColor(0, 0, 0), 0.1));
    p.drawPolygon(SideWallQuad(wallX, litHeight, kPadHeight, kWallZ, kNearZ));
    p.setPen(QPen(QColor(16, 24, 60), 1.4));
    for (double z = kWallZ + 1.5; z < kNearZ; z += 1.5) {
      p.drawLine(Project(wallX, 0.0, z), Project(wallX, kPadHeight, z));
    }
    p.setPen(QPen(kInk, 1.8));
    p.drawLine(Project(wallX, kPadHeight, kWallZ), Project(wallX, kPadHeight, kNearZ));
  }
}

// The banner across the back wall, just above the padding.
void DrawBanner(QPainter& p) {
  const QRectF band(kWallLeft, 129, kWallRight - kWallLeft, 38);
  const double litBottom = band.top() + 15;

  p.setPen(Qt::NoPen);
  p.fillRect(band, scene::kRedDark);
  p.fillRect(QRectF(band.left(), band.top(), band.width(), litBottom - band.top()), scene::kRed);
  // Gold piping along both edges.
  const QColor gold(246, 196, 64);
  p.fillRect(QRectF(band.left(), band.top() + 3, band.width(), 2), gold);
  p.fillRect(QRectF(band.left(), band.bottom() - 5, band.width(), 2), gold);
  p.setPen(QPen(kInk, 1.6));
  p.drawLine(QPointF(band.left(), band.top()), QPointF(band.right(), band.top()));
  p.drawLine(QPointF(band.left(), band.bottom()), QPointF(band.right(), band.bottom()));

  // The name in the middle, a star and a ball on either side.
  const QFont font = scene::TexGyre("texgyreadventor-bold.otf", 22);
  const double baseline = band.top() + 27;
  const QPainterPath name =
      scene::CentredTextPath(font, QStringLiteral("TANDEMHOOP"), kView.vanishX, baseline);
  scene::InkedFill(p, name, QColor(255, 250, 236), 1.6);
  const double half = name.boundingRect().width() / 2;
  for (const int side : {-1, 1}) {
    scene::DrawStar(p, QPointF(kView.vanishX + side * (half + 22), band.center().y()), 8.5, gold);
    scene::DrawBall(p, QPointF(kView.vanishX + side * (half + 50), band.center().y()), 11.5);
    scene::DrawStar(p, QPointF(kView.vanishX + side * (half + 78), band.center().y()), 8.5, gold);
  }
  for (const int side : {-1, 1}) {
    for (int i = 0; i < 3; ++i) {
      const double x = kView.vanishX + side * (half + 110 + i * 22);
      if (x < kWallLeft + 10 || x > kWallRight - 10) continue;
      scene::DrawStar(p, QPointF(x, band.center().y()), 5.5, QColor(255, 236, 200));
    }
  }
}

// A gym clock on the right of the backboard, away from the printed lines.
void DrawClock(QPainter& p) {
  const QPointF centre(566, 38);
  QPainterPath rim;
  rim.addEllipse(centre, 22, 22);
  scene::InkedFill(p, rim, QColor(70, 76, 88), 1.6);
  QPainterPath face;
  face.addEllipse(centre, 17.5, 17.5);
  QRadialGradient glass(centre - QPointF(5, 6), 24);
  glass.setColorAt(0.0, QColor(255, 255, 255));
  glass.setColorAt(1.0, QColor(222, 226, 232));
  p.setPen(Qt::NoPen);
  p.setBrush(glass);
  p.drawPath(face);
  p.setPen(QPen(kInk, 1.3, Qt::SolidLine, Qt::RoundCap));
  for (int hour = 0; hour < 12; ++hour) {
    const double a = hour * std::numbers::pi / 6;
    const double r0 = hour % 3 == 0 ? 12.5 : 14.5;
    p.drawLine(centre + QPointF(r0 * std::sin(a), -r0 * std::cos(a)),
               centre + QPointF(16 * std::sin(a), -16 * std::cos(a)));
  }
  // Ten past two: the hands make a friendly V.
  const auto hand = [&](double turns, double length, double width, const QColor& colour) {
    const double a = turns * 2 * std::numbers::pi;
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(length * std::sin(a), -length * std::cos(a)));
  };
  hand(2.17 / 12.0, 9.5, 2.6, kInk);
  hand(10.0 / 60.0, 13.5, 1.8, kInk);
  hand(40.0 / 60.0, 14.0, 1.0, scene::kRed);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(centre, 1.8, 1.8);
}

// High windows either side of the backboard let daylight in; below the printed lines.
void DrawWindows(QPainter& p) {
  const QRectF panes[] = {QRectF(134, 84, 68, 30), QRectF(238, 84, 68, 30), QRectF(482, 84, 68, 30),
                          QRectF(582, 84, 68, 30)};
  for (const QRectF& pane : panes) {
    QPainterPath frame;
    frame.addRect(pane.adjusted(-3, -3, 3, 3));
    scene::InkedFill(p, frame, QColor(236, 238, 240), 1.3);
    QLinearGradient sky(pane.topLeft(), pane.bottomLeft());
    sky.setColorAt(0.0, QColor(150, 200, 236));
    sky.setColorAt(1.0, QColor(196, 226, 246));
    p.fillRect(pane, sky);
    // A diagonal glint, cut hard for the cartoon look.
    QPolygonF glint({pane.topLeft() + QPointF(pane.width() * 0.18, 0),
                     pane.topLeft() + QPointF(pane.width() * 0.34, 0),
                     pane.bottomLeft() + QPointF(pane.width() * 0.12, 0),
                     pane.bottomLeft() + QPointF(-pane.width() * 0.04, 0)});
    p.save();
    p.setClipRect(pane);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawPolygon(glint);
    p.restore();
    p.setPen(QPen(QColor(236, 238, 240), 2.0));
    p.drawLine(QPointF(pane.center().x(), pane.top()), QPointF(pane.center().x(), pane.bottom()));
    p.setPen(QPen(kInk, 1.0));
    p.drawRect(pane);
  }
}

// ---------------------------------------------------------------------------------------------
// Floor

// Polish: a broad soft sheen where the lights fall, darker edges and a shadow along the walls.
void DrawFloorLight(QPainter& p) {
  QRadialGradient sheen(QPointF(410, 330), 300);
  sheen.setColorAt(0.0, QColor(255, 246, 226, 92));
  sheen.setColorAt(0.55, QColor(255, 246, 226, 40));
  sheen.setColorAt(1.0, QColor(255, 246, 226, 0));
  p.save();
  p.translate(410, 330);
  p.scale(1.0, 0.6);
  p.translate(-410, -330);
  p.fillRect(QRectF(-200, -200, 1300, 1400), sheen);
  p.restore();

  // Two long glare streaks reflected from the windows, fading as they come towards us.
  p.setPen(Qt::NoPen);
  for (const double x : {-5.6, 4.3}) {
    const QPointF from = OnFloor(x, kWallZ);
    const QPointF to = OnFloor(x, 6.5);
    QLinearGradient fade(from, to);
    fade.setColorAt(0.0, QColor(255, 250, 236, 70));
    fade.setColorAt(1.0, QColor(255, 250, 236, 0));
    p.setBrush(fade);
    p.drawPolygon(kView.Quad(x, kWallZ, x + 0.8, 6.5));
    p.drawPolygon(kView.Quad(x + 1.05, kWallZ, x + 1.3, 5.0));
  }

  QRadialGradient edges(QPointF(410, 240), 640);
  edges.setColorAt(0.55, QColor(60, 28, 6, 0));
  edges.setColorAt(1.0, QColor(60, 28, 6, 96));
  p.fillRect(QRectF(0, 0, kCourtWidth, kCourtHeight), edges);

  // Contact shadow where the floor meets the padding.
  const double foot = BackWallFootY();
  QLinearGradient back(0, foot, 0, foot + 16);
  back.setColorAt(0.0, QColor(40, 20, 8, 120));
  back.setColorAt(1.0, QColor(40, 20, 8, 0));
  p.fillRect(QRectF(0, foot, kCourtWidth, 16), back);
  for (const bool left : {true, false}) {
    const double wallX = left ? LeftWallX() : RightWallX();
    const double inward = left ? 0.45 : -0.45;
    QPolygonF strip({OnFloor(wallX, kWallZ), OnFloor(wallX, kNearZ),
                     OnFloor(wallX + inward, kNearZ), OnFloor(wallX + inward, kWallZ)});
    const QPointF a = OnFloor(wallX, 3.0);
    const QPointF b = OnFloor(wallX + inward, 3.0);
    QLinearGradient side(a, b);
    side.setColorAt(0.0, QColor(40, 20, 8, 110));
    side.setColorAt(1.0, QColor(40, 20, 8, 0));
    p.setBrush(side);
    p.drawPolygon(strip);
  }
}

void DrawFloor(QPainter& p) {
  p.save();
  QPainterPath area;
  area.addPolygon(FloorArea());
  p.setClipPath(area);
  const scene::WoodTones maple{QColor(224, 164, 96),  QColor(210, 146, 80),
                               QColor(250, 196, 128), QColor(170, 100, 48),
                               QColor(120, 66, 24),   QColor(118, 70, 30, 120)};
  scene::DrawPlanks(p, kView, maple, kWallZ, kNearZ, 0x7a11e5u);
  const scene::CourtPaint paint{QColor(168, 46, 36, 218), QColor(120, 40, 30, 200),
                                QColor(250, 246, 236, 242)};
  scene::DrawHalfCourtMarkings(p, kView, paint, kWallZ);
  DrawFloorLight(p);
  p.restore();
}

// ---------------------------------------------------------------------------------------------
// The basket

void DrawBackboard(QPainter& p) {
  const QRectF board(350, 8, 120, 62);

  // Steel hangers up into the roof.
  for (const double x : {376.0, 444.0}) {
    QPainterPath hanger;
    hanger.addRect(QRectF(x - 3.5, -4, 7, board.top() + 6));
    QLinearGradient steel(x - 3.5, 0, x + 3.5, 0);
    steel.setColorAt(0.0, QColor(170, 176, 186));
    steel.setColorAt(0.49, QColor(170, 176, 186));
    steel.setColorAt(0.5, QColor(120, 126, 138));
    steel.setColorAt(1.0, QColor(120, 126, 138));
    scene::InkedFill(p, hanger, steel, 1.3);
  }

  // A soft drop shadow on the wall behind the board.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(80, 60, 30, 40));
  p.drawRoundedRect(board.translated(5, 6), 4, 4);

  // Frame, then glass: pale blue with the lower right in shade.
  QPainterPath frame;
  frame.addRoundedRect(board, 3, 3);
  scene::InkedFill(p, frame, QColor(236, 238, 242), 2.0);
  const QRectF glass = board.adjusted(4, 4, -4, -4);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(214, 234, 246));
  p.drawRect(glass);
  p.save();
  p.setClipRect(glass);
  p.setBrush(QColor(190, 216, 234));
  p.drawPolygon(QPolygonF({glass.topRight() + QPointF(-30, 0), glass.topRight(),
                           glass.bottomRight(), glass.bottomLeft() + QPointF(26, 0)}));
  p.setBrush(QColor(255, 255, 255, 170));
  p.drawPolygon(QPolygonF({glass.topLeft() + QPointF(10, 0), glass.topLeft() + QPointF(22, 0),
                           glass.topLeft() + QPointF(4, glass.height()),
                           glass.topLeft() + QPointF(-8, glass.height())}));
  p.drawPolygon(QPolygonF({glass.topLeft() + QPointF(27, 0), glass.topLeft() + QPointF(31, 0),
                           glass.topLeft() + QPointF(13, glass.height()),
                           glass.topLeft() + QPointF(9, glass.height())}));
  p.restore();
  // Red border line round the glass and the shooter's square above the rim.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(scene::kRed, 2.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawRect(glass.adjusted(2.5, 2.5, -2.5, -2.5));
  p.drawRect(QRectF(391, 28, 38, 27));
  p.setPen(QPen(kInk, 1.0));
  p.drawRect(glass);

  // Padding along the bottom edge of the board.
  QPainterPath pad;
  pad.addRoundedRect(QRectF(board.left() - 1, board.bottom() - 5, board.width() + 2, 7), 2, 2);
  scene::InkedFill(p, pad, scene::kRed, 1.4);
  p.fillRect(QRectF(board.left() + 1, board.bottom() - 4, board.width() - 2, 2),
             QColor(240, 90, 84));
}

void DrawCourtBasket(QPainter& p) {
  DrawBackboard(p);
  // Rim and net inside the made-basket window (385, 50)-(434, 112).
  scene::RimAndNet net;
  net.centre = QPointF(410, 58);
  net.radiusX = 21.5;
  net.radiusY = 5.2;
  net.netBottom = 100;
  net.bottomRadiusX = 12.5;
  // As thin as the rim of the made-basket picture, so that picture covers this one entirely.
  net.rimWidth = 2.4;
  net.inkWidth = 1.0;
  scene::DrawRimAndNet(p, net);
}

}  // namespace

QImage DrawCourt() {
  QImage court = scene::NewCanvas(kCourtWidth, kCourtHeight, kWallTop);
  QPainter p;
  scene::BeginPainting(p, court);
  DrawBackWall(p);
  DrawWindows(p);
  DrawClock(p);
  DrawBanner(p);
  DrawSideWalls(p);
  DrawTrim(p);
  DrawPadding(p);
  DrawFloor(p);
  DrawCourtBasket(p);
  p.end();
  return court;
}

}  // namespace artgen
