// The title: the logo and the name on a dark, spot-lit court, the start prompt, the keys of
// both sides and the way out. It is shown once, before the first key press, so it has to tell
// a new player everything needed to play.

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "tools/artgen/scene_floor.h"
#include "tools/artgen/scene_paint.h"
#include "tools/artgen/scene_parts.h"
#include "tools/artgen/scenes.h"

namespace artgen {
namespace {

using scene::kInk;
using scene::Mix;

constexpr int kTitleWidth = 640;
constexpr int kTitleHeight = 490;
constexpr double kCentreX = kTitleWidth / 2.0;

// A gentler camera than the court's: the far wall's foot at y = 190, the lane below the name.
const scene::FloorView kView{kCentreX, -60.0, 546.0, 18.3, 4875.0 / 546.0};
constexpr double kWallZ = -1.2;
constexpr double kNearZ = 12.0;

const char* const kSans = "texgyreheros-bold.otf";
const char* const kSansItalic = "texgyreheros-bolditalic.otf";

const QColor kGold(255, 206, 60);
const QColor kPaper(246, 242, 230);

// ---------------------------------------------------------------------------------------------
// Background

void DrawArena(QPainter& p) {
  const double foot = kView.OnFloor(0, kWallZ).y();
  QLinearGradient dark(0, 0, 0, foot);
  dark.setColorAt(0.0, QColor(6, 8, 22));
  dark.setColorAt(1.0, QColor(26, 30, 64));
  p.fillRect(QRectF(0, 0, kTitleWidth, foot + 1), dark);

  // A row of lights under the roof, each with a small halo.
  for (int i = 0; i < 9; ++i) {
    const QPointF at(40 + i * 70, 14);
    QRadialGradient halo(at, 16);
    halo.setColorAt(0.0, QColor(255, 236, 190, 120));
    halo.setColorAt(1.0, QColor(255, 236, 190, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(at, 16, 16);
    p.setBrush(QColor(255, 246, 220));
    p.drawEllipse(at, 2.6, 2.2);
  }

  // Padding along the foot of the far wall, barely lit.
  const double padTop = foot - 1.1 * kView.ScaleAt(kWallZ);
  p.fillRect(QRectF(0, padTop, kTitleWidth, foot - padTop), QColor(22, 30, 74));
  p.fillRect(QRectF(0, padTop, kTitleWidth, (foot - padTop) * 0.35), QColor(34, 46, 104));
  p.setPen(QPen(QColor(8, 10, 30), 1.2));
  for (double x = 18; x < kTitleWidth; x += 44) {
    p.drawLine(QPointF(x, padTop), QPointF(x, foot));
  }
}

void DrawDarkFloor(QPainter& p) {
  const double foot = kView.OnFloor(0, kWallZ).y();
  p.save();
  p.setClipRect(QRectF(0, foot, kTitleWidth, kTitleHeight - foot));
  const scene::WoodTones walnut{QColor(120, 72, 40), QColor(104, 60, 34), QColor(150, 96, 54),
                                QColor(60, 34, 20),  QColor(30, 14, 6),   QColor(24, 10, 4, 150)};
  scene::DrawPlanks(p, kView, walnut, kWallZ, kNearZ, 0x51de0fu);
  const scene::CourtPaint paint{QColor(140, 34, 30, 170), QColor(40, 16, 12, 170),
                                QColor(236, 230, 214, 150)};
  scene::DrawHalfCourtMarkings(p, kView, paint, kWallZ);

  // Everything outside the spotlight sinks into the dark.
  QRadialGradient spot(QPointF(kCentreX, 300), 330);
  spot.setColorAt(0.0, QColor(255, 220, 150, 40));
  spot.setColorAt(0.35, QColor(20, 10, 6, 40));
  spot.setColorAt(1.0, QColor(8, 4, 10, 215));
  p.save();
  p.translate(kCentreX, 300);
  p.scale(1.0, 0.55);
  p.translate(-kCentreX, -300);
  p.fillRect(QRectF(-400, -400, kTitleWidth + 800, kTitleHeight + 1200), spot);
  p.restore();
  QLinearGradient shade(0, foot, 0, foot + 24);
  shade.setColorAt(0.0, QColor(0, 0, 0, 150));
  shade.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.fillRect(QRectF(0, foot, kTitleWidth, 24), shade);
  p.restore();
}

// Two spotlight beams from the roof meeting on the court.
void DrawBeams(QPainter& p) {
  for (const int side : {-1, 1}) {
    const QPointF top(kCentreX + side * 250, -10);
    QPolygonF beam({top + QPointF(-14, 0), top + QPointF(14, 0),
                    QPointF(kCentreX + side * 10 + 150, 330),
                    QPointF(kCentreX + side * 10 - 150, 330)});
    QLinearGradient fade(top, QPointF(kCentreX, 330));
    fade.setColorAt(0.0, QColor(255, 240, 200, 60));
    fade.setColorAt(1.0, QColor(255, 240, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(fade);
    p.drawPolygon(beam);
  }
}

// ---------------------------------------------------------------------------------------------
// Logo and name

void DrawLogo(QPainter& p) {
  const QPointF ballCentre(kCentreX, 76);
  constexpr double kBallRadius = 44;

  // A burst of rays behind the ball.
  p.save();
  p.setPen(Qt::NoPen);
  QRadialGradient glow(ballCentre, 120);
  glow.setColorAt(0.0, QColor(255, 150, 60, 110));
  glow.setColorAt(1.0, QColor(255, 150, 60, 0));
  p.setBrush(glow);
  p.drawEllipse(ballCentre, 120, 120);
  constexpr int kRays = 16;
  for (int i = 0; i < kRays; ++i) {
    const double a = 2 * std::numbers::pi * i / kRays;
    const double b = a + std::numbers::pi / kRays * 0.7;
    QPolygonF ray({ballCentre, ballCentre + QPointF(118 * std::cos(a), 118 * std::sin(a)),
                   ballCentre + QPointF(118 * std::cos(b), 118 * std::sin(b))});
    p.setBrush(QColor(255, 210, 120, 22));
    p.drawPolygon(ray);
  }
  p.restore();

  // Speed lines: the ball is dropping in from the upper right.
  p.setPen(QPen(kPaper, 3.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 3; ++i) {
    const QPointF from = ballCentre + QPointF(50 + i * 6, -44 + i * 16);
    const QPointF to = from + QPointF(34 - i * 6, -26 + i * 4);
    p.drawLine(from, to);
  }

  scene::RimAndNet net;
  net.centre = QPointF(kCentreX, 116);
  net.radiusX = 60;
  net.radiusY = 12.5;
  net.netBottom = 166;
  net.bottomRadiusX = 38;
  net.rimWidth = 6.5;
  net.inkWidth = 2.0;
  net.cordWidth = 2.2;
  net.cordsAround = 16;
  net.rows = 3;
  scene::DrawRimAndNet(p, net, [&] { scene::DrawBall(p, ballCentre, kBallRadius); });

  // Two stars either side, the pair that plays.
  scene::DrawStar(p, QPointF(kCentreX - 112, 96), 13, kGold);
  scene::DrawStar(p, QPointF(kCentreX + 112, 96), 13, kGold);
}

void DrawName(QPainter& p) {
  const QFont font = scene::TexGyre(kSansItalic, 70);
  const QFontMetricsF metrics(font);
  const QString first = QStringLiteral("TANDEM");
  const QString second = QStringLiteral("HOOP");
  const double total = metrics.horizontalAdvance(first + second);
  const double left = kCentreX - total / 2;
  constexpr double kBaseline = 226;
  const QPainterPath tandem = scene::TextPath(font, first, left, kBaseline);
  const QPainterPath hoop =
      scene::TextPath(font, second, left + metrics.horizontalAdvance(first), kBaseline);
  QPainterPath whole = tandem;
  whole.addPath(hoop);

  // Block letters: a dark extrusion down and to the right, then ink, then a hard two-tone fill.
  p.setPen(Qt::NoPen);
  for (int step = 6; step >= 1; --step) {
    const QPainterPath depth = whole.translated(step * 0.8, step * 0.9);
    QPen edge(kInk, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(edge);
    p.setBrush(kInk);
    p.drawPath(depth);
  }
  const double top = whole.boundingRect().top();
  const double bottom = kBaseline;
  const auto twoTone = [&](const QColor& light, const QColor& shade) {
    QLinearGradient fill(0, top, 0, bottom);
    fill.setColorAt(0.0, light);
    fill.setColorAt(0.52, light);
    fill.setColorAt(0.521, shade);
    fill.setColorAt(1.0, shade);
    return fill;
  };
  scene::InkedFill(p, whole, kInk, 3.5);
  scene::InkedFill(p, tandem, twoTone(QColor(255, 252, 240), QColor(214, 220, 236)), 0);
  scene::InkedFill(p, hoop, twoTone(QColor(255, 170, 50), QColor(236, 106, 24)), 0);
}

// Text built from runs of different colours, one after the other on a baseline.
struct Run {
  QString text;
  QColor colour;
};

void DrawRuns(QPainter& p, const QFont& font, const std::vector<Run>& runs, double x,
              double baseline, double inkWidth) {
  const QFontMetricsF metrics(font);
  std::vector<std::pair<QPainterPath, QColor>> pieces;
  QPainterPath all;
  for (const Run& run : runs) {
    const QPainterPath piece = scene::TextPath(font, run.text, x, baseline);
    pieces.emplace_back(piece, run.colour);
    all.addPath(piece);
    x += metrics.horizontalAdvance(run.text);
  }
  if (inkWidth > 0) scene::InkedFill(p, all, kInk, inkWidth);
  for (const auto& [piece, colour] : pieces)
    scene::InkedFill(p, piece, colour, 0);
}

void DrawTagline(QPainter& p) {
  QFont font = scene::TexGyre(kSans, 13);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 2.2);
  const QString line = QStringLiteral("ONE-ON-ONE HALF-COURT BASKETBALL");
  const QPainterPath text = scene::CentredTextPath(font, line, kCentreX, 254);
  scene::InkedFill(p, text, QColor(150, 196, 255), 2.0);
}

// ---------------------------------------------------------------------------------------------
// Keys

enum class Arrow { kNone, kUp, kDown, kLeft, kRight };

// A key cap: light top face, darker skirt below, inked; the label or an arrow on the face.
void DrawKey(QPainter& p, const QRectF& key, const QString& label, Arrow arrow = Arrow::kNone) {
  QPainterPath body;
  body.addRoundedRect(key, 4, 4);
  scene::InkedFill(p, body, QColor(150, 154, 172), 1.4);
  const QRectF face = key.adjusted(2.5, 1.5, -2.5, -5);
  QPainterPath top;
  top.addRoundedRect(face, 3, 3);
  QLinearGradient light(face.topLeft(), face.bottomLeft());
  light.setColorAt(0.0, QColor(252, 252, 255));
  light.setColorAt(1.0, QColor(224, 226, 236));
  p.setPen(Qt::NoPen);
  p.setBrush(light);
  p.drawPath(top);

  p.setBrush(kInk);
  if (arrow != Arrow::kNone) {
    const QPointF c = face.center();
    const double s = std::min(face.width(), face.height()) * 0.3;
    QPolygonF head;
    switch (arrow) {
      case Arrow::kUp:
        head << c + QPointF(0, -s) << c + QPointF(s, s * 0.7) << c + QPointF(-s, s * 0.7);
        break;
      case Arrow::kDown:
        head << c + QPointF(0, s) << c + QPointF(s, -s * 0.7) << c + QPointF(-s, -s * 0.7);
        break;
      case Arrow::kLeft:
        head << c + QPointF(-s, 0) << c + QPointF(s * 0.7, -s) << c + QPointF(s * 0.7, s);
        break;
      case Arrow::kRight:
        head << c + QPointF(s, 0) << c + QPointF(-s * 0.7, -s) << c + QPointF(-s * 0.7, s);
        break;
      case Arrow::kNone:
        break;
    }
    p.drawPolygon(head);
    return;
  }
  const QFont font = scene::TexGyre(kSans, label.size() > 1 ? 11 : 15);
  const QFontMetricsF metrics(font);
  const double baseline = face.center().y() + metrics.capHeight() / 2;
  p.drawPath(scene::CentredTextPath(font, label, face.center().x(), baseline));
}

// Four keys laid out like the arrow keys: one on top, three below.
void DrawKeyCross(QPainter& p, QPointF topLeft, const QString (&labels)[4], bool arrows) {
  constexpr double kKey = 25;
  constexpr double kGap = 2;
  const QRectF up(topLeft + QPointF(kKey + kGap, 0), QSizeF(kKey, kKey));
  const QRectF left(topLeft + QPointF(0, kKey + kGap), QSizeF(kKey, kKey));
  const QRectF down(topLeft + QPointF(kKey + kGap, kKey + kGap), QSizeF(kKey, kKey));
  const QRectF right(topLeft + QPointF(2 * (kKey + kGap), kKey + kGap), QSizeF(kKey, kKey));
  DrawKey(p, up, labels[0], arrows ? Arrow::kUp : Arrow::kNone);
  DrawKey(p, left, labels[1], arrows ? Arrow::kLeft : Arrow::kNone);
  DrawKey(p, down, labels[2], arrows ? Arrow::kDown : Arrow::kNone);
  DrawKey(p, right, labels[3], arrows ? Arrow::kRight : Arrow::kNone);
}

struct Side {
  QString heading;
  QColor colour;
  QColor shade;
  QRectF panel;
};

void DrawPanel(QPainter& p, const Side& side) {
  QPainterPath panel;
  panel.addRoundedRect(side.panel, 10, 10);
  scene::InkedFill(p, panel, QColor(12, 16, 38, 228), 1.6);
  p.setPen(QPen(side.colour, 2.0));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(side.panel.adjusted(1, 1, -1, -1), 9, 9);

  // Heading strip in the team colour, lit on its upper half.
  QPainterPath strip;
  const QRectF head(side.panel.left(), side.panel.top(), side.panel.width(), 28);
  strip.addRoundedRect(head, 10, 10);
  strip.addRect(head.adjusted(0, 14, 0, 0));
  strip = strip.simplified();
  p.setPen(Qt::NoPen);
  p.setBrush(side.shade);
  p.drawPath(strip);
  p.save();
  p.setClipRect(head.adjusted(0, 0, 0, -14));
  p.setBrush(side.colour);
  p.drawPath(strip);
  p.restore();
  p.setPen(QPen(kInk, 1.4));
  p.drawLine(head.bottomLeft(), head.bottomRight());
  const QFont font = scene::TexGyre(kSans, 17);
  scene::InkedFill(p,
                   scene::CentredTextPath(font, side.heading, head.center().x(), head.top() + 20.5),
                   Qt::white, 1.8);
}

void DrawLegend(QPainter& p) {
  const Side one{QStringLiteral("PLAYER 1"), scene::kRed, scene::kRedDark,
                 QRectF(22, 300, 290, 146)};
  const Side two{QStringLiteral("PLAYER 2"), scene::kBlue, scene::kBlueDark,
                 QRectF(328, 300, 290, 146)};
  DrawPanel(p, one);
  DrawPanel(p, two);

  const QFont label = scene::TexGyre(kSans, 15);
  const QColor white(244, 244, 250);
  const QColor dot(150, 160, 200);

  for (const Side* side : {&one, &two}) {
    const bool first = side == &one;
    const double x = side->panel.left() + 16;
    const double row = side->panel.top() + 40;
    DrawKey(p, QRectF(x + 27, row, 25, 25), first ? QStringLiteral("M") : QStringLiteral("A"));
    const std::vector<Run> action = first ? std::vector<Run>{{QStringLiteral("Shoot"), white},
                                                             {QStringLiteral("  \u00b7  "), dot},
                                                             {QStringLiteral("Block"), white},
                                                             {QStringLiteral("  \u00b7  "), dot},
                                                             {QStringLiteral("Steal"), white}}
                                          : std::vector<Run>{{QStringLiteral("Shoot"), white},
                                                             {QStringLiteral("  \u00b7  "), dot},
                                                             {QStringLiteral("Steal"), white},
                                                             {QStringLiteral("  \u00b7  "), dot},
                                                             {QStringLiteral("Block"), white}};
    DrawRuns(p, label, action, x + 98, row + 17.5, 0);

    const QPointF cross(x, row + 38);
    if (first) {
      const QString none[4] = {QString(), QString(), QString(), QString()};
      DrawKeyCross(p, cross, none, true);
      DrawRuns(p, label, {{QStringLiteral("Arrow keys"), kGold}, {QStringLiteral(" move"), white}},
               x + 98, row + 68, 0);
    } else {
      const QString keys[4] = {QStringLiteral("T"), QStringLiteral("F"), QStringLiteral("V"),
                               QStringLiteral("H")};
      DrawKeyCross(p, cross, keys, false);
      DrawRuns(p, label,
               {{QStringLiteral("T"), kGold},
                {QStringLiteral(" up   "), white},
                {QStringLiteral("V"), kGold},
                {QStringLiteral(" down"), white}},
               x + 98, row + 58, 0);
      DrawRuns(p, label,
               {{QStringLiteral("F"), kGold},
                {QStringLiteral(" left   "), white},
                {QStringLiteral("H"), kGold},
                {QStringLiteral(" right"), white}},
               x + 98, row + 80, 0);
    }
  }
}

// "PRESS [ENTER] TO START", and the way out at the bottom.
void DrawPrompts(QPainter& p) {
  const QFont big = scene::TexGyre(kSans, 22);
  const QFontMetricsF bigMetrics(big);
  const QString before = QStringLiteral("PRESS ");
  const QString after = QStringLiteral(" TO START");
  constexpr double kKeyWidth = 64;
  const double width =
      bigMetrics.horizontalAdvance(before) + kKeyWidth + bigMetrics.horizontalAdvance(after);
  double x = kCentreX - width / 2;
  constexpr double kBaseline = 287;
  DrawRuns(p, big, {{before, kGold}}, x, kBaseline, 2.4);
  x += bigMetrics.horizontalAdvance(before);
  DrawKey(p, QRectF(x + 2, kBaseline - 22, kKeyWidth - 4, 28), QStringLiteral("ENTER"));
  x += kKeyWidth;
  DrawRuns(p, big, {{after, kGold}}, x, kBaseline, 2.4);

  const QFont small = scene::TexGyre(kSans, 14);
  const QFontMetricsF smallMetrics(small);
  const QString exit = QStringLiteral(" TO EXIT");
  constexpr double kEscWidth = 40;
  const double exitWidth = kEscWidth + smallMetrics.horizontalAdvance(exit);
  const double ex = kCentreX - exitWidth / 2;
  constexpr double kExitBaseline = 474;
  DrawKey(p, QRectF(ex, kExitBaseline - 17, kEscWidth - 4, 24), QStringLiteral("ESC"));
  DrawRuns(p, small, {{exit, QColor(196, 202, 222)}}, ex + kEscWidth, kExitBaseline, 1.8);
}

}  // namespace

QImage DrawTitle() {
  QImage title = scene::NewCanvas(kTitleWidth, kTitleHeight, QColor(6, 8, 22));
  QPainter p;
  scene::BeginPainting(p, title);
  DrawArena(p);
  DrawDarkFloor(p);
  DrawBeams(p);
  DrawLogo(p);
  DrawName(p);
  DrawTagline(p);
  DrawPrompts(p);
  DrawLegend(p);
  p.end();
  return title;
}

}  // namespace artgen
