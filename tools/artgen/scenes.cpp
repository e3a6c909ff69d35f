#include "tools/artgen/scenes.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "tools/artgen/scene_paint.h"

// The court and the title live in scene_court.cpp and scene_title.cpp; the two small pictures,
// the application icon and the selection screen's badges, are drawn here.
namespace artgen {

using scene::kInk;

QImage DrawIcon() {
  QImage icon = scene::NewCanvas(32, 32, QColor(170, 214, 246));
  QPainter p;
  scene::BeginPainting(p, icon);

  // Sky, and a strip of court floor to stand the pole on.
  QLinearGradient sky(0, 0, 0, 26);
  sky.setColorAt(0.0, QColor(120, 186, 238));
  sky.setColorAt(1.0, QColor(206, 234, 252));
  p.fillRect(QRectF(0, 0, 32, 27), sky);
  p.fillRect(QRectF(0, 27, 32, 5), QColor(222, 160, 90));
  p.fillRect(QRectF(0, 30, 32, 2), QColor(196, 132, 68));
  p.fillRect(QRectF(0, 27, 32, 1), QColor(120, 70, 34));

  // The pole with its foot and the arm out to the board; lit on the left.
  p.setPen(Qt::NoPen);
  p.fillRect(QRectF(4, 9, 4, 19), kInk);
  p.fillRect(QRectF(5, 10, 1, 17), QColor(206, 212, 222));
  p.fillRect(QRectF(6, 10, 1, 17), QColor(140, 148, 162));
  p.fillRect(QRectF(2, 26, 8, 3), kInk);
  p.fillRect(QRectF(3, 27, 6, 1), QColor(110, 118, 132));
  p.fillRect(QRectF(5, 8, 9, 4), kInk);
  p.fillRect(QRectF(6, 9, 7, 1), QColor(206, 212, 222));
  p.fillRect(QRectF(6, 10, 7, 1), QColor(140, 148, 162));

  // Backboard: white with the red shooter's square. Everything from here is placed pixel by
  // pixel: at this size smooth curves only turn to mush.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(12, 1, 19, 14, kInk);
  p.fillRect(13, 2, 17, 12, QColor(250, 252, 255));
  p.fillRect(25, 2, 5, 12, QColor(212, 228, 242));
  p.fillRect(18, 6, 7, 1, scene::kRed);
  p.fillRect(18, 11, 7, 1, scene::kRed);
  p.fillRect(18, 6, 1, 6, scene::kRed);
  p.fillRect(24, 6, 1, 6, scene::kRed);

  // The net: white cords over the shaded far side, tapering down.
  const auto dot = [&p](int x, int y, const QColor& colour) { p.fillRect(x, y, 1, 1, colour); };
  const QColor cord(255, 255, 255);
  const QColor farSide(132, 150, 178);
  const QColor edge(74, 84, 110);
  for (int y = 18; y <= 25; ++y) {
    const int inset = (y - 18) / 2;
    const int left = 16 + inset;
    const int right = 27 - inset;
    for (int x = left; x <= right; ++x) {
      const bool knot = (x + y) % 3 == 0 || (x - y + 30) % 3 == 0;
      dot(x, y, x == left || x == right ? edge : (knot ? cord : farSide));
    }
  }
  for (int x = 20; x <= 23; ++x)
    dot(x, 26, (x % 2 == 0) ? edge : cord);

  // The rim across the bottom of the board.
  p.fillRect(16, 14, 12, 1, kInk);
  p.fillRect(14, 15, 16, 2, kInk);
  p.fillRect(15, 15, 14, 1, QColor(255, 150, 70));
  p.fillRect(15, 16, 14, 1, scene::kBallShade);
  p.fillRect(16, 17, 12, 1, kInk);
  p.end();
  return icon;
}

QImage DrawBadge(int side) {
  const bool first = side == 1;
  const QColor face = first ? scene::kRed : scene::kBlue;
  const QColor shade = first ? scene::kRedDark : scene::kBlueDark;
  QImage badge = scene::NewCanvas(30, 30, Qt::black);
  QPainter p;
  scene::BeginPainting(p, badge);
  const QPointF centre(15, 15);

  // White ring, then the team colour, darker towards the lower right.
  QPainterPath ring;
  ring.addEllipse(centre, 14.2, 14.2);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(ring);
  // A dark line between ring and face, the outline every picture of ours has.
  p.setBrush(kInk);
  p.drawEllipse(centre, 12.3, 12.3);
  QPainterPath disc;
  disc.addEllipse(centre, 11.4, 11.4);
  p.setBrush(shade);
  p.drawPath(disc);
  QPainterPath lit;
  lit.addEllipse(centre + QPointF(-1.8, -2.0), 11.2, 11.2);
  p.setBrush(face);
  p.drawPath(disc.intersected(lit));

  const QFont font = scene::TexGyre("texgyreheros-bold.otf", 13);
  const QString label = first ? QStringLiteral("1P") : QStringLiteral("2P");
  const QPainterPath text = scene::CentredTextPath(font, label, 15, 19.6);
  p.setBrush(shade);
  p.drawPath(text.translated(0.8, 0.9));
  p.setBrush(Qt::white);
  p.drawPath(text);
  p.end();
  return badge;
}

}  // namespace artgen
