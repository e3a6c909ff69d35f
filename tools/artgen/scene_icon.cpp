#include "tools/artgen/scenes.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>
#include <cmath>
#include <vector>

#include "tools/artgen/scene_paint.h"

// The application icon: a basketball hoop on its pole, over a strip of court floor. One design
// in a 32 x 32 grid of units. The sizes a theme needs are drawn two ways: up to 32 pixels every
// part is placed on whole pixels from a table (smooth edges only blur at that size), and from
// 48 pixels up, and in the SVG, the same parts are drawn as shapes, with the net's cords as real
// lines, so nothing is ever scaled up from a small picture.
namespace artgen {

namespace {

using scene::kInk;

const QColor kSkyTop(120, 186, 238);
const QColor kSkyLow(206, 234, 252);
const QColor kFloor(222, 160, 90);
const QColor kFloorDark(196, 132, 68);
const QColor kFloorLine(120, 70, 34);
const QColor kSteelLit(206, 212, 222);
const QColor kSteel(140, 148, 162);
const QColor kSteelFoot(110, 118, 132);
const QColor kBoard(250, 252, 255);
const QColor kBoardShade(212, 228, 242);
const QColor kRimLit(255, 150, 70);
const QColor kCord(255, 255, 255);
const QColor kNetFar(132, 150, 178);
const QColor kNetEdge(74, 84, 110);

// ---- The pixel sizes -------------------------------------------------------------------------

// Where each part lands at one small size, in whole pixels. The 32 one is the master the game
// shows in its window; the smaller ones keep its proportions and drop what would not fit.
struct PixelGrid {
  int size;
  int floorTop;     // the dark line between sky and floor
  int bandTop;      // the darker front strip of the floor (at size: none)
  QRect pole;       // outline; lit column inside, and a shaded one when it is 4 wide
  QRect foot;       // a grey top inside when it is 3 high
  QRect arm;        // a lit row inside when 3 high, and a shaded one when 4 high
  QRect board;      // outline around the white face
  int boardShadeX;  // the pale right strip of the face starts here
  QRect square;     // the shooter's square, a 1-pixel red outline
  int rimTop;       // ink row under the board, then the orange rows, then ink again
  int rimInnerX;    // the ink rows above and below the orange
  int rimInnerWidth;
  int rimOuterX;  // the orange rows with their ink ends, wider
  int rimOuterWidth;
  bool rimShade;  // a second, shaded orange row
  int netTop;     // first row of the net, below the rim
  int netRows;
  int netLeft;  // the top row's ends; each pair of rows below comes in by one on both sides
  int netRight;
  int hemLeft;  // the short bottom row of loose cords
  int hemRight;
  int knotPeriod;  // cords cross every this many pixels
};

constexpr PixelGrid kGrid16{.size = 16,
                            .floorTop = 14,
                            .bandTop = 16,
                            .pole = {2, 4, 2, 10},
                            .foot = {1, 13, 4, 2},
                            .arm = {2, 4, 5, 2},
                            .board = {6, 1, 10, 7},
                            .boardShadeX = 13,
                            .square = {9, 3, 4, 3},
                            .rimTop = 7,
                            .rimInnerX = 8,
                            .rimInnerWidth = 6,
                            .rimOuterX = 7,
                            .rimOuterWidth = 8,
                            .rimShade = false,
                            .netTop = 10,
                            .netRows = 3,
                            .netLeft = 8,
                            .netRight = 13,
                            .hemLeft = 10,
                            .hemRight = 11,
                            .knotPeriod = 2};
constexpr PixelGrid kGrid24{.size = 24,
                            .floorTop = 20,
                            .bandTop = 23,
                            .pole = {3, 7, 3, 14},
                            .foot = {1, 19, 7, 3},
                            .arm = {4, 6, 7, 3},
                            .board = {9, 1, 14, 11},
                            .boardShadeX = 19,
                            .square = {13, 5, 6, 4},
                            .rimTop = 11,
                            .rimInnerX = 12,
                            .rimInnerWidth = 9,
                            .rimOuterX = 10,
                            .rimOuterWidth = 13,
                            .rimShade = true,
                            .netTop = 15,
                            .netRows = 4,
                            .netLeft = 12,
                            .netRight = 20,
                            .hemLeft = 14,
                            .hemRight = 18,
                            .knotPeriod = 3};
constexpr PixelGrid kGrid32{.size = 32,
                            .floorTop = 27,
                            .bandTop = 30,
                            .pole = {4, 9, 4, 19},
                            .foot = {2, 26, 8, 3},
                            .arm = {5, 8, 9, 4},
                            .board = {12, 1, 19, 14},
                            .boardShadeX = 25,
                            .square = {18, 6, 7, 6},
                            .rimTop = 14,
                            .rimInnerX = 16,
                            .rimInnerWidth = 12,
                            .rimOuterX = 14,
                            .rimOuterWidth = 16,
                            .rimShade = true,
                            .netTop = 18,
                            .netRows = 8,
                            .netLeft = 16,
                            .netRight = 27,
                            .hemLeft = 20,
                            .hemRight = 23,
                            .knotPeriod = 3};

QImage DrawPixelIcon(const PixelGrid& g) {
  const int n = g.size;
  QImage icon = scene::NewCanvas(n, n, QColor(170, 214, 246));
  QPainter p;
  scene::BeginPainting(p, icon);

  // Sky, and a strip of court floor to stand the pole on.
  QLinearGradient sky(0, 0, 0, g.floorTop - 1);
  sky.setColorAt(0.0, kSkyTop);
  sky.setColorAt(1.0, kSkyLow);
  p.fillRect(QRectF(0, 0, n, g.floorTop), sky);
  p.fillRect(QRectF(0, g.floorTop, n, n - g.floorTop), kFloor);
  if (g.bandTop < n) p.fillRect(QRectF(0, g.bandTop, n, n - g.bandTop), kFloorDark);
  p.fillRect(QRectF(0, g.floorTop, n, 1), kFloorLine);

  // The pole with its foot and the arm out to the board; lit on the left.
  p.setPen(Qt::NoPen);
  const QRect& pole = g.pole;
  p.fillRect(QRectF(pole), kInk);
  if (pole.width() >= 3)
    p.fillRect(QRectF(pole.x() + 1, pole.y() + 1, 1, pole.height() - 2), kSteelLit);
  if (pole.width() >= 4)
    p.fillRect(QRectF(pole.x() + 2, pole.y() + 1, 1, pole.height() - 2), kSteel);
  // Two pixels wide, an outline would leave no steel: a lit side and a dark one instead.
  if (pole.width() == 2) p.fillRect(QRectF(pole.x(), pole.y(), 1, pole.height()), kSteel);
  const QRect& foot = g.foot;
  p.fillRect(QRectF(foot), kInk);
  if (foot.height() >= 3)
    p.fillRect(QRectF(foot.x() + 1, foot.y() + 1, foot.width() - 2, 1), kSteelFoot);
  const QRect& arm = g.arm;
  p.fillRect(QRectF(arm), kInk);
  if (arm.height() >= 3)
    p.fillRect(QRectF(arm.x() + 1, arm.y() + 1, arm.width() - 2, 1), kSteelLit);
  if (arm.height() >= 4) p.fillRect(QRectF(arm.x() + 1, arm.y() + 2, arm.width() - 2, 1), kSteel);
  if (arm.height() == 2) p.fillRect(QRectF(arm.x(), arm.y(), arm.width(), 1), kSteel);

  // Backboard: white with the red shooter's square. Everything from here is placed pixel by
  // pixel: at these sizes smooth curves only turn to mush.
  p.setRenderHint(QPainter::Antialiasing, false);
  const QRect& board = g.board;
  p.fillRect(board, kInk);
  p.fillRect(board.adjusted(1, 1, -1, -1), kBoard);
  p.fillRect(g.boardShadeX, board.y() + 1, board.right() - g.boardShadeX, board.height() - 2,
             kBoardShade);
  const QRect& sq = g.square;
  p.fillRect(sq.x(), sq.y(), sq.width(), 1, scene::kRed);
  p.fillRect(sq.x(), sq.bottom(), sq.width(), 1, scene::kRed);
  p.fillRect(sq.x(), sq.y(), 1, sq.height(), scene::kRed);
  p.fillRect(sq.right(), sq.y(), 1, sq.height(), scene::kRed);

  // The net: white cords over the shaded far side, tapering down.
  const auto dot = [&p](int x, int y, const QColor& colour) { p.fillRect(x, y, 1, 1, colour); };
  const int period = g.knotPeriod;
  for (int y = g.netTop; y < g.netTop + g.netRows; ++y) {
    const int inset = (y - g.netTop) / 2;
    const int left = g.netLeft + inset;
    const int right = g.netRight - inset;
    for (int x = left; x <= right; ++x) {
      const bool knot = (x + y) % period == 0 || (x - y + 10 * period) % period == 0;
      dot(x, y, x == left || x == right ? kNetEdge : (knot ? kCord : kNetFar));
    }
  }
  for (int x = g.hemLeft; x <= g.hemRight; ++x)
    dot(x, g.netTop + g.netRows, (x % 2 == 0) ? kNetEdge : kCord);

  // The rim across the bottom of the board.
  const int rimRows = g.rimShade ? 2 : 1;
  p.fillRect(g.rimInnerX, g.rimTop, g.rimInnerWidth, 1, kInk);
  p.fillRect(g.rimOuterX, g.rimTop + 1, g.rimOuterWidth, rimRows, kInk);
  p.fillRect(g.rimOuterX + 1, g.rimTop + 1, g.rimOuterWidth - 2, 1, kRimLit);
  if (g.rimShade)
    p.fillRect(g.rimOuterX + 1, g.rimTop + 2, g.rimOuterWidth - 2, 1, scene::kBallShade);
  p.fillRect(g.rimInnerX, g.rimTop + 1 + rimRows, g.rimInnerWidth, 1, kInk);
  p.end();
  return icon;
}

// ---- The shapes ----------------------------------------------------------------------------

// One part of the design in units of the 32 grid: a box, a filled outline, or a line of cord.
struct Shape {
  enum class Kind { Box, Fill, Cord };
  Kind kind;
  QColor colour;
  QPolygonF points;    // Box: top-left and bottom-right; Cord: the ends
  qreal width = 0;     // Cord only
  bool inNet = false;  // clipped to the outline of the net
};

// The net hangs from under the rim and narrows by a third towards its bottom.
QPolygonF NetOutline() {
  return QPolygonF({QPointF(16, 18), QPointF(28, 18), QPointF(24.5, 26.6), QPointF(19.5, 26.6)});
}

std::vector<Shape> IconShapes() {
  std::vector<Shape> shapes;
  const auto box = [&shapes](qreal x, qreal y, qreal w, qreal h, const QColor& colour) {
    shapes.push_back({Shape::Kind::Box, colour, QPolygonF({QPointF(x, y), QPointF(x + w, y + h)})});
  };
  const auto cord = [&shapes](QPointF a, QPointF b, const QColor& colour, qreal width, bool inNet) {
    shapes.push_back({Shape::Kind::Cord, colour, QPolygonF({a, b}), width, inNet});
  };

  // Floor (the sky is the background gradient).
  box(0, 27, 32, 5, kFloor);
  box(0, 30, 32, 2, kFloorDark);
  box(0, 27, 32, 1, kFloorLine);

  // Pole, foot and arm.
  box(4, 9, 4, 19, kInk);
  box(5, 10, 1, 17, kSteelLit);
  box(6, 10, 1, 17, kSteel);
  box(2, 26, 8, 3, kInk);
  box(3, 27, 6, 1, kSteelFoot);
  box(5, 8, 9, 4, kInk);
  box(6, 9, 7, 1, kSteelLit);
  box(6, 10, 7, 1, kSteel);

  // Backboard and its square.
  box(12, 1, 19, 14, kInk);
  box(13, 2, 17, 12, kBoard);
  box(25, 2, 5, 12, kBoardShade);
  box(18, 6, 7, 1, scene::kRed);
  box(18, 11, 7, 1, scene::kRed);
  box(18, 6, 1, 6, scene::kRed);
  box(24, 6, 1, 6, scene::kRed);

  // The net: the far side, then the near cords crossing on the diagonals, then the edges.
  shapes.push_back({Shape::Kind::Fill, kNetFar, NetOutline()});
  for (int k = 0; k < 8; ++k) {
    const qreal c = 3 * k + 1;  // cords along u + v = c + 33 and u - v = c - 10, as the pixel knots
    cord(QPointF(c + 16, 17), QPointF(c + 5, 28), kCord, 0.6, true);
    cord(QPointF(c + 7, 17), QPointF(c + 18, 28), kCord, 0.6, true);
  }
  const QPolygonF net = NetOutline();
  cord(net[0], net[3], kNetEdge, 0.9, false);
  cord(net[1], net[2], kNetEdge, 0.9, false);
  cord(net[3], net[2], kNetEdge, 0.7, false);

  // The rim: ink around an orange bar, lit on top.
  box(16, 14, 12, 1, kInk);
  box(14, 15, 16, 2, kInk);
  box(15, 15, 14, 1, kRimLit);
  box(15, 16, 14, 1, scene::kBallShade);
  box(16, 17, 12, 1, kInk);
  return shapes;
}

QLinearGradient SkyGradient(qreal scale) {
  QLinearGradient sky(0, 0, 0, 26 * scale);
  sky.setColorAt(0.0, kSkyTop);
  sky.setColorAt(1.0, kSkyLow);
  return sky;
}

QImage DrawShapeIcon(int size) {
  const qreal s = size / 32.0;
  QImage icon = scene::NewCanvas(size, size, kSkyLow);
  QPainter p;
  scene::BeginPainting(p, icon);
  p.setPen(Qt::NoPen);
  p.fillRect(QRectF(0, 0, size, std::round(27 * s)), SkyGradient(s));

  // Boxes keep their edges on whole pixels, so that the outlines stay crisp at every size.
  const auto pixel = [s](qreal unit) { return std::round(unit * s); };
  QPainterPath netClip;
  netClip.addPolygon(QTransform::fromScale(s, s).map(NetOutline()));
  for (const Shape& shape : IconShapes()) {
    switch (shape.kind) {
      case Shape::Kind::Box: {
        const QPointF a = shape.points[0];
        const QPointF b = shape.points[1];
        p.fillRect(QRectF(QPointF(pixel(a.x()), pixel(a.y())), QPointF(pixel(b.x()), pixel(b.y()))),
                   shape.colour);
        break;
      }
      case Shape::Kind::Fill:
        p.setPen(Qt::NoPen);
        p.setBrush(shape.colour);
        p.drawPolygon(QTransform::fromScale(s, s).map(shape.points));
        break;
      case Shape::Kind::Cord: {
        if (shape.inNet) {
          p.setClipPath(netClip);
        } else {
          p.setClipping(false);
        }
        QPen pen(shape.colour, shape.width * s, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(shape.points[0] * s, shape.points[1] * s);
        p.setPen(Qt::NoPen);
        p.setClipping(false);
        break;
      }
    }
  }
  p.end();
  return icon;
}

QString SvgColour(const QColor& colour) {
  return colour.name(QColor::HexRgb);
}

QString SvgNumber(qreal value) {
  return QString::number(value, 'g', 6);
}

QString SvgPoints(const QPolygonF& points) {
  QStringList list;
  for (const QPointF& point : points)
    list << SvgNumber(point.x()) + QLatin1Char(',') + SvgNumber(point.y());
  return list.join(QLatin1Char(' '));
}

}  // namespace

QImage DrawIcon() {
  return DrawIconAt(32);
}

QImage DrawIconAt(int size) {
  switch (size) {
    case 16:
      return DrawPixelIcon(kGrid16);
    case 24:
      return DrawPixelIcon(kGrid24);
    case 32:
      return DrawPixelIcon(kGrid32);
    default:
      return size > 32 ? DrawShapeIcon(size) : QImage();
  }
}

QString IconSvg() {
  QString svg;
  QTextStream out(&svg);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
         "viewBox=\"0 0 32 32\">\n"
      << "  <title>Tandemhoop</title>\n"
      << "  <defs>\n"
      << "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"26\" "
         "gradientUnits=\"userSpaceOnUse\">\n"
      << "      <stop offset=\"0\" stop-color=\"" << SvgColour(kSkyTop) << "\"/>\n"
      << "      <stop offset=\"1\" stop-color=\"" << SvgColour(kSkyLow) << "\"/>\n"
      << "    </linearGradient>\n"
      << "    <clipPath id=\"net\"><polygon points=\"" << SvgPoints(NetOutline())
      << "\"/></clipPath>\n"
      << "  </defs>\n"
      << "  <rect x=\"0\" y=\"0\" width=\"32\" height=\"27\" fill=\"url(#sky)\"/>\n";
  for (const Shape& shape : IconShapes()) {
    switch (shape.kind) {
      case Shape::Kind::Box: {
        const QPointF a = shape.points[0];
        const QPointF b = shape.points[1];
        out << "  <rect x=\"" << SvgNumber(a.x()) << "\" y=\"" << SvgNumber(a.y()) << "\" width=\""
            << SvgNumber(b.x() - a.x()) << "\" height=\"" << SvgNumber(b.y() - a.y())
            << "\" fill=\"" << SvgColour(shape.colour) << "\"/>\n";
        break;
      }
      case Shape::Kind::Fill:
        out << "  <polygon points=\"" << SvgPoints(shape.points) << "\" fill=\""
            << SvgColour(shape.colour) << "\"/>\n";
        break;
      case Shape::Kind::Cord:
        out << "  <line x1=\"" << SvgNumber(shape.points[0].x()) << "\" y1=\""
            << SvgNumber(shape.points[0].y()) << "\" x2=\"" << SvgNumber(shape.points[1].x())
            << "\" y2=\"" << SvgNumber(shape.points[1].y()) << "\" stroke=\""
            << SvgColour(shape.colour) << "\" stroke-width=\"" << SvgNumber(shape.width)
            << "\" stroke-linecap=\"round\"" << (shape.inNet ? " clip-path=\"url(#net)\"" : "")
            << "/>\n";
        break;
    }
  }
  out << "</svg>\n";
  out.flush();
  return svg;
}

}  // namespace artgen
