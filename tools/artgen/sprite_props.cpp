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

// The rim as the court shows it, its net stretched down round the ball that drops through.
MaskedPair DrawNet() {
  const QSize size = SizeOfPicture(f2::Picture3);
  return MakeMaskedPair(size, [&](QPainter& p) {
    // The court's rim: centre (25, 8) of this picture, 21.5 by 5.2.
    const QPointF rimCentre(25, 8);
    const double rx = 21.5;
    const double ry = 5.2;
    const QPointF ballCentre(25, 41);
    const double ballRadius = 13.5;
    // Behind the ball: the back half of the rim.
    p.setBrush(Qt::NoBrush);
    auto rimArc = [&](double from, double span, const QColor& colour, double width) {
      QPainterPath arc;
      arc.arcMoveTo(QRectF(rimCentre.x() - rx, rimCentre.y() - ry, 2 * rx, 2 * ry), from);
      arc.arcTo(QRectF(rimCentre.x() - rx, rimCentre.y() - ry, 2 * rx, 2 * ry), from, span);
      p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(arc);
    };
    rimArc(0, 180, kInk, 4.2);
    rimArc(0, 180, kRim.shade, 2.2);
    // The cords, drawn in from the rim to a narrow throat below the ball.
    const int cords = 10;
    const double throatY = 60;
    const double throatX = 5.5;
    for (int i = 0; i <= cords; ++i) {
      const double t = static_cast<double>(i) / cords;
      const double angle = M_PI * (1.0 - t);
      const QPointF top = rimCentre + QPointF(std::cos(angle) * rx, std::sin(angle) * ry * 0.8);
      const QPointF bottom(rimCentre.x() + (t - 0.5) * 2 * throatX, throatY);
      // Bulge out round the ball.
      const QPointF bulge(rimCentre.x() + (t - 0.5) * 2 * (ballRadius + 4.0), ballCentre.y() - 2);
      QPainterPath cord;
      cord.moveTo(top);
      cord.quadTo(bulge, bottom);
      p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(cord);
      p.setPen(QPen(i % 2 ? kCordShade : kCord, 1.2, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(cord);
    }
    DrawBallAt(p, ballCentre, ballRadius);
    // Cross strings of the mesh over the ball.
    for (int row = 0; row < 4; ++row) {
      const double y = 20.0 + row * 11.0;
      const double half = row < 3 ? 15.0 - row * 0.5 : 9.0;
      QPainterPath line;
      line.moveTo(rimCentre.x() - half, y - 2);
      line.quadTo(rimCentre.x(), y + 2.5, rimCentre.x() + half, y - 2);
      p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(line);
      p.setPen(QPen(kCord, 1.0, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(line);
    }
    // The front half of the rim over everything.
    rimArc(180, 180, kInk, 4.4);
    rimArc(180, 180, kRim.base, 2.4);
  });
}

// A bare forearm coming down to the ball, the hand spread on top of it (the ball bounces up to
// 25 pixels below the top of this picture).
MaskedPair DrawDribbleHand(bool leftOfBody) {
  const QSize size = SizeOfPicture(leftOfBody ? f2::Picture66 : f2::Picture64);
  return MakeMaskedPair(size, [&](QPainter& p) {
    if (leftOfBody) {
      p.translate(size.width(), 0);
      p.scale(-1, 1);
    }
    const QPointF elbow(8, 4);
    const QPointF wrist(13, 31);
    QPainterPath arm = Capsule(elbow, wrist, 5.2, 4.0);
    const QPointF palm(14, 37);
    QPainterPath hand = Ellipse(palm, 6.6, 5.2);
    // Fingers spread over the ball.
    const QPointF tips[] = {QPointF(5, 42), QPointF(9, 45.5), QPointF(14, 46.5), QPointF(19, 45.5),
                            QPointF(23, 41)};
    for (const QPointF& tip : tips)
      hand = hand.united(Capsule(palm, tip, 2.4, 1.7));
    QPainterPath shape = arm.united(hand);
    InkedPart(p, shape, kSkin, QPointF(-2.0, -1.6));
    // Knuckle creases.
    p.setPen(QPen(kSkin.shade, 1.0));
    p.drawLine(QPointF(9.5, 40), QPointF(18.5, 40));
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
  const QRawFont font = TexGyreFace("texgyreheroscn-bold.otf", 27.0);
  QPainterPath digits = TextOutline(font, QString::number(number), QPointF(0, 0), -1.0);
  const QRectF box = digits.boundingRect();
  digits.translate(size.width() / 2.0 - box.center().x(), size.height() / 2.0 - box.center().y());
  // Team lettering: the digits outlined in the red of the trim.
  p.setPen(QPen(kRed, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(digits);
  p.setPen(Qt::NoPen);
  p.setBrush(player2 ? QColor(255, 255, 255) : QColor(0, 0, 0));
  p.drawPath(digits);
  p.end();
  return patch;
}

}  // namespace artgen::sprite
