// The small props: the ball, the net pulled down by a made basket, the dribbling hands and the
// shirt-number patches.

#include <QRawFont>
#include <cmath>

#include "screens/pictures.h"
#include "tools/artgen/sprite_parts.h"
#include "tools/artgen/sprite_sheet.h"

namespace artgen::sprite {
namespace {

using tandemhoop::SpriteSize;
namespace f2 = tandemhoop::form2;

const Tone kLeather{QColor(236, 112, 30), QColor(184, 70, 18)};
const QColor kLeatherLight(250, 158, 84);
const Tone kRim{QColor(232, 96, 28), QColor(170, 58, 14)};
const QColor kCord(246, 246, 248);
const QColor kCordShade(186, 190, 204);

QPointF Lerp(QPointF a, QPointF b, double t) {
  return a + (b - a) * t;
}

QSize SizeOfPicture(int picture) {
  const tandemhoop::PictureSize size = SpriteSize(picture);
  return QSize(size.width, size.height);
}

}  // namespace

QRawFont TexGyreFace(const char* fileName, double pixelSize) {
  const QString path = QStringLiteral("/usr/share/texmf/fonts/opentype/public/tex-gyre/") +
                       QString::fromLatin1(fileName);
  QRawFont font(path, pixelSize, QFont::PreferNoHinting);
  if (!font.isValid()) qFatal("artgen: cannot load %s (install fonts-texgyre)", qPrintable(path));
  return font;
}

QPainterPath TextOutline(const QRawFont& font, const QString& text, QPointF origin,
                         double tracking) {
  const QList<quint32> glyphs = font.glyphIndexesForString(text);
  const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
  QPainterPath outline;
  double x = origin.x();
  for (qsizetype i = 0; i < glyphs.size(); ++i) {
    outline.addPath(font.pathForGlyph(glyphs[i]).translated(x, origin.y()));
    x += advances[i].x() + tracking;
  }
  return outline;
}

void DrawBallAt(QPainter& p, QPointF centre, double radius) {
  const QPainterPath ball = Ellipse(centre, radius, radius);
  p.setPen(Qt::NoPen);
  p.setBrush(kLeather.base);
  p.drawPath(ball);
  // Two tones: the lower right in shadow, a soft glint at the upper left.
  p.setBrush(kLeather.shade);
  p.drawPath(ball.subtracted(
      Ellipse(centre + QPointF(-radius * 0.16, -radius * 0.16), radius * 0.98, radius * 0.98)));
  p.setBrush(kLeatherLight);
  p.drawPath(
      Ellipse(centre + QPointF(-radius * 0.42, -radius * 0.45), radius * 0.22, radius * 0.16));
  // The seams: one across, one down, and the two curved ones.
  p.save();
  p.setClipPath(ball);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kInk, std::max(1.0, radius * 0.075), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(-radius, radius * 0.05), centre + QPointF(radius, -radius * 0.05));
  p.drawLine(centre + QPointF(radius * 0.05, -radius), centre + QPointF(-radius * 0.05, radius));
  const double r = radius;
  QPainterPath left;
  left.moveTo(centre + QPointF(-r * 0.55, -r * 0.85));
  left.quadTo(centre + QPointF(-r * 0.05, 0), centre + QPointF(-r * 0.55, r * 0.85));
  QPainterPath right;
  right.moveTo(centre + QPointF(r * 0.55, -r * 0.85));
  right.quadTo(centre + QPointF(r * 0.05, 0), centre + QPointF(r * 0.55, r * 0.85));
  p.drawPath(left);
  p.drawPath(right);
  p.restore();
  Ink(p, ball, std::max(1.2, radius * 0.09));
}

MaskedPair DrawBall() {
  const QSize size = SizeOfPicture(f2::Picture1);
  return MakeMaskedPair(size, [&](QPainter& p) {
    DrawBallAt(p, QPointF(size.width() / 2.0, size.height() / 2.0), kBallRadius);
  });
}

// The rim as the court shows it, its net stretched down round the ball that drops through: a
// diamond mesh, its back half behind the ball and its front half over it.
MaskedPair DrawNet() {
  const QSize size = SizeOfPicture(f2::Picture3);
  return MakeMaskedPair(size, [&](QPainter& p) {
    // The court's rim: centre (25, 8) of this picture, 21.5 by 5.2.
    const QPointF rimCentre(25, 8);
    const double rx = 21.5;
    const double ry = 5.2;
    const QPointF ballCentre(25, 40);
    const double ballRadius = 14.5;
    const QRectF rimBox(rimCentre.x() - rx, rimCentre.y() - ry, 2 * rx, 2 * ry);
    auto rimArc = [&](double from, double span, const QColor& colour, double width) {
      QPainterPath arc;
      arc.arcMoveTo(rimBox, from);
      arc.arcTo(rimBox, from, span);
      p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawPath(arc);
    };
    // Rows of knots from the rim down to the narrow throat under the ball.
    struct Row {
      double y;
      double half;
      double depth;
    };
    const Row rows[] = {
        {8, 21.5, 5.2}, {21, 17.5, 4.4}, {35, 17.0, 4.0}, {48, 14.0, 3.0}, {61.5, 6.5, 1.4}};
    const int knots = 6;
    auto knot = [&](int row, int i, bool front) {
      const double step = M_PI / knots;
      const double angle = i * step + (row % 2 ? step / 2 : 0);
      const Row& r = rows[row];
      const double depth = front ? r.depth : -r.depth;
      return QPointF(rimCentre.x() + r.half * std::cos(angle), r.y + depth * std::sin(angle));
    };
    auto mesh = [&](bool front, const QColor& cord, double width) {
      QPainterPath path;
      for (int row = 0; row + 1 < static_cast<int>(std::size(rows)); ++row) {
        for (int i = 0; i <= knots; ++i) {
          const QPointF a = knot(row, i, front);
          // Each knot ties to its two neighbours in the row below.
          const int left = row % 2 ? i : i - 1;
          for (int j : {left, left + 1}) {
            if (j < 0 || j > knots) continue;
            path.moveTo(a);
            path.lineTo(knot(row + 1, j, front));
          }
        }
      }
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(kInk, width + 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(path);
      p.setPen(QPen(cord, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPath(path);
    };
    rimArc(0, 180, kInk, 4.2);
    rimArc(0, 180, kRim.shade, 2.2);
    mesh(false, kCordShade, 1.0);
    DrawBallAt(p, ballCentre, ballRadius);
    mesh(true, kCord, 1.15);
    rimArc(180, 180, kInk, 4.4);
    rimArc(180, 180, kRim.base, 2.4);
  });
}

// The forearm rising from the elbow of the standing and walking poses, the hand spread on top
// of the ball where it comes up to meet it (its top 25 pixels below the top of this picture).
MaskedPair DrawDribbleHand(bool leftOfBody) {
  const QSize size = SizeOfPicture(leftOfBody ? f2::Picture66 : f2::Picture64);
  const QPointF elbow = leftOfBody ? kElbowLeft - kHandAtLeft : kElbowRight - kHandAtRight;
  // The ball's centre in this picture: it is dribbled 25 pixels left of the body or 60 right.
  const QPointF ball = leftOfBody ? QPointF(-25 + 19.5, 60 + 19.5) - kHandAtLeft
                                  : QPointF(60 + 19.5, 60 + 19.5) - kHandAtRight;
  return MakeMaskedPair(size, [&](QPainter& p) {
    const QPointF wrist(ball.x() + (leftOfBody ? 3.5 : 1.5), 31.5);
    const QPointF knuckles(ball.x() + (leftOfBody ? 1.0 : 2.5), 21.5);
    const QPainterPath forearm =
        Limb({{elbow, kElbowRadius}, {Lerp(elbow, wrist, 0.45), 5.0}, {wrist, 3.9}});
    // The back of the hand, fingers pointing away over the ball, thumb on the inside.
    QPainterPath hand = Limb({{wrist, 4.0}, {Lerp(wrist, knuckles, 0.5), 5.4}, {knuckles, 5.0}});
    const double inward = leftOfBody ? 1.0 : -1.0;
    for (int f = -2; f <= 1; ++f) {
      const QPointF root = knuckles + QPointF(f * 2.6 + 1.3, 0.5);
      hand = hand.united(Limb({{root, 1.6}, {root + QPointF(f * 0.6, -5.2), 1.3}}));
    }
    hand = hand.united(Limb(
        {{wrist + QPointF(inward * 3.5, -2.5), 1.9}, {wrist + QPointF(inward * 6.5, -6.5), 1.5}}));
    InkedPart(p, forearm.united(hand), kSkin, QPointF(-2.0, -1.6));
    p.setPen(QPen(kSkin.shade, 0.9, Qt::SolidLine, Qt::RoundCap));
    for (int f = -1; f <= 1; ++f)
      p.drawLine(knuckles + QPointF(f * 2.6, 1.0), knuckles + QPointF(f * 2.6, -3.5));
  });
}

QImage DrawShirtNumber(int number, bool player2) {
  const int picture = (player2 ? f2::Picture75 : f2::Picture71);
  const QSize size = SizeOfPicture(picture);
  QImage patch(size, QImage::Format_RGB32);
  const QColor ground = player2 ? Player2Kit().shirt.base : Player1Kit().shirt.base;
  patch.fill(ground);
  QPainter p(&patch);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRawFont font = TexGyreFace("texgyreheroscn-bold.otf", 30.0);
  QPainterPath digits = TextOutline(font, QString::number(number), QPointF(0, 0), 1.0);
  const QRectF box = digits.boundingRect();
  digits.translate(size.width() / 2.0 - box.center().x(), size.height() / 2.0 - box.center().y());
  // Team lettering: block digits, thickened a little so they read at a glance, outlined in the
  // red of the trim.
  const QColor ink = player2 ? QColor(255, 255, 255) : QColor(0, 0, 0);
  p.setPen(QPen(kRed, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(digits);
  p.setPen(QPen(ink, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(ink);
  p.drawPath(digits);
  p.end();
  return patch;
}

}  // namespace artgen::sprite
