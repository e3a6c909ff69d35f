#include "tools/artgen/scenes.h"

#include <QLinearGradient>
#include <QPainterPath>

#include "tools/artgen/scene_paint.h"

// The court and the title live in scene_court.cpp and scene_title.cpp, the application icon in
// scene_icon.cpp; the selection screen's badges are drawn here.
namespace artgen {

using scene::kInk;

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
