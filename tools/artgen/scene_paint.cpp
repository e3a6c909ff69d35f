#include "tools/artgen/scene_paint.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>
#include <QtGlobal>

namespace artgen::scene {
namespace {

// Debian's fonts-texgyre puts the OpenType files here; the build machines all have it.
constexpr const char* kTexGyreDir = "/usr/share/texmf/fonts/opentype/public/tex-gyre/";

QString FamilyOf(const char* fileName) {
  static QHash<QString, QString> loaded;
  const QString key = QString::fromLatin1(fileName);
  const auto found = loaded.constFind(key);
  if (found != loaded.constEnd()) return found.value();
  const QString path = QString::fromLatin1(kTexGyreDir) + key;
  const int id = QFontDatabase::addApplicationFont(path);
  const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
  if (families.isEmpty()) {
    // A silent fallback would write different pictures on another machine; stop instead.
    qFatal("artgen: cannot load font %s (install fonts-texgyre)", qPrintable(path));
  }
  loaded.insert(key, families.first());
  return families.first();
}

}  // namespace

QImage NewCanvas(int width, int height, const QColor& fill) {
  QImage canvas(width, height, QImage::Format_RGB32);
  canvas.fill(fill);
  return canvas;
}

void BeginPainting(QPainter& painter, QImage& canvas) {
  painter.begin(&canvas);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont TexGyre(const char* fileName, qreal pixelSize) {
  // Each face of a family comes from its own file but they all share the family name, so the
  // weight and slant have to be asked for to get the face of that file.
  const QString name = QString::fromLatin1(fileName);
  QFont font(FamilyOf(fileName));
  font.setPixelSize(qRound(pixelSize));
  font.setWeight(name.contains(QStringLiteral("bold")) ? QFont::Bold : QFont::Normal);
  font.setItalic(name.contains(QStringLiteral("italic")));
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging | QFont::PreferOutline));
  font.setKerning(true);
  return font;
}

QPainterPath TextPath(const QFont& font, const QString& text, qreal x, qreal baselineY) {
  QPainterPath path;
  path.addText(QPointF(x, baselineY), font, text);
  return path;
}

QPainterPath CentredTextPath(const QFont& font, const QString& text, qreal centreX,
                             qreal baselineY) {
  // Centre on the ink, not the advance, so a trailing side bearing does not pull it aside.
  QPainterPath path = TextPath(font, text, 0, baselineY);
  const QRectF box = path.boundingRect();
  path.translate(centreX - box.center().x(), 0);
  return path;
}

void InkedFill(QPainter& painter, const QPainterPath& path, const QBrush& fill, qreal inkWidth,
               const QColor& ink) {
  painter.save();
  if (inkWidth > 0) {
    // Stroked at twice the width and covered by the fill: the ink stays outside the shape.
    QPen pen(ink, inkWidth * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawPath(path);
  painter.restore();
}

QColor Mix(const QColor& a, const QColor& b, qreal t) {
  const auto channel = [t](int from, int to) { return qRound(from + (to - from) * t); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()),
                channel(a.blue(), b.blue()), channel(a.alpha(), b.alpha()));
}

std::uint32_t SceneRandom::Next() {
  // xorshift32: tiny, fixed, and the same everywhere.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double SceneRandom::Unit() {
  return static_cast<double>(Next() >> 8) / 16777216.0;
}

}  // namespace artgen::scene
