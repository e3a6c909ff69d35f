#include "tools/artgen/contact_sheet.h"

#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <string_view>

#include "screens/raster.h"
#include "tools/artgen/sprite_layout.h"
#include "tools/artgen/sprite_parts.h"

namespace artgen {
namespace {

using layout::HeadCase;
using tandemhoop::RasterOp;
using tandemhoop::Surface;
namespace f2 = tandemhoop::form2;

constexpr int kSheetWidth = 1500;
constexpr int kWindowWidth = 727;
constexpr int kWindowHeight = 542;

Surface ToSurface(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  Surface surface{rgb.width(), rgb.height(), {}};
  surface.pixels.resize(static_cast<std::size_t>(rgb.width()) *
                        static_cast<std::size_t>(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x)
      surface.pixels[static_cast<std::size_t>(y * rgb.width() + x)] = line[x] & 0xFFFFFFu;
  }
  return surface;
}

QImage ToImage(const Surface& surface) {
  QImage image(surface.width, surface.height, QImage::Format_RGB32);
  for (int y = 0; y < surface.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < surface.width; ++x)
      line[x] = surface.pixels[static_cast<std::size_t>(y * surface.width + x)] | 0xFF000000u;
  }
  return image;
}

class Labeller {
 public:
  Labeller() : font_(sprite::TexGyreFace("texgyreheros-regular.otf", 12.0)) {}
  void Draw(QPainter& p, const QString& text, QPointF at, const QColor& colour = Qt::black) const {
    const QPainterPath path = sprite::TextOutline(font_, text, at);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
  }
  double Width(const QString& text) const {
    double width = 0;
    for (const QPointF& a : font_.advancesForGlyphIndexes(font_.glyphIndexesForString(text)))
      width += a.x();
    return width;
  }

 private:
  QRawFont font_;
};

void Checkerboard(QPainter& p, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); y += 6) {
    for (int x = area.left(); x <= area.right(); x += 6) {
      const bool dark = ((x - area.left()) / 6 + (y - area.top()) / 6) % 2 == 0;
      p.fillRect(QRect(x, y, 6, 6).intersected(area),
                 dark ? QColor(150, 150, 150) : QColor(180, 180, 180));
    }
  }
}

// Lays pictures out in rows, left to right.
class Flow {
 public:
  Flow(QPainter& p, const Labeller& labels, int top) : p_(p), labels_(labels), x_(10), y_(top) {}
  void Add(const QString& name, const QImage& image, int scale = 1) {
    const int w = image.width() * scale;
    const int h = image.height() * scale;
    const int cell = std::max(w, static_cast<int>(labels_.Width(name)) + 2) + 12;
    if (x_ + cell > kSheetWidth - 10) NewRow();
    Checkerboard(p_, QRect(x_ - 3, y_ + 16, w + 6, h + 6));
    p_.drawImage(QRect(x_, y_ + 19, w, h), image);
    labels_.Draw(p_, name, QPointF(x_, y_ + 12));
    x_ += cell;
    rowHeight_ = std::max(rowHeight_, h + 32);
  }
  void NewRow() {
    x_ = 10;
    y_ += rowHeight_;
    rowHeight_ = 0;
  }
  int Bottom() const { return y_ + rowHeight_; }

 private:
  QPainter& p_;
  const Labeller& labels_;
  int x_;
  int y_;
  int rowHeight_ = 0;
};

struct Frame {
  const sprite::Sheet& sheet;
  Surface window;
  std::vector<Surface> pictures;

  Frame(const sprite::Sheet& s, const QImage& court) : sheet(s) {
    window = Surface{kWindowWidth, kWindowHeight, {}};
    window.pixels.assign(static_cast<std::size_t>(kWindowWidth * kWindowHeight), 0);
    const Surface courtSurface = ToSurface(court);
    tandemhoop::BitBlt(window, 0, 0, kWindowWidth, kWindowHeight, courtSurface, 0, 0,
                       RasterOp::SrcCopy);
    pictures.resize(s.size());
    for (std::size_t i = 1; i < s.size(); ++i)
      pictures[i] = ToSurface(s[i]);
  }
  void Draw(const layout::Layer& layer, int x, int y) {
    const int px = x + layer.at.x;
    const int py = y + layer.at.y;
    if (layer.mask != 0) {
      const Surface& mask = pictures[static_cast<std::size_t>(layer.mask)];
      tandemhoop::BitBlt(window, px, py, mask.width, mask.height, mask, 0, 0, RasterOp::SrcAnd);
      const Surface& image = pictures[static_cast<std::size_t>(layer.image)];
      tandemhoop::BitBlt(window, px, py, image.width, image.height, image, 0, 0,
                         RasterOp::SrcPaint);
    } else {
      const Surface& patch = pictures[static_cast<std::size_t>(layer.image)];
      tandemhoop::BitBlt(window, px, py, patch.width, patch.height, patch, 0, 0, RasterOp::SrcCopy);
    }
  }
};

struct Scenario {
  const char* name;
  int body;
  HeadCase head;
  int hand;  // 0 none, 1 right, 2 left
  int ball;  // 0 none, 1 held at (x + 20, y), 2 dribbled at (x + 60, y + 60), 3 at (x - 25, y + 60)
};

const Scenario kScenarios[] = {
    {"standing", f2::Picture5, HeadCase::Back, 0, 0},
    {"holding", f2::Picture5, HeadCase::Back, 0, 1},
    {"dribbling", f2::Picture5, HeadCase::Back, 1, 2},
    {"walk 1", f2::Picture58, HeadCase::Back, 1, 2},
    {"walk 2", f2::Picture61, HeadCase::Back, 1, 2},
    {"walk 2 left", f2::Picture61, HeadCase::Back, 2, 3},
    {"guard", f2::Picture8, HeadCase::Front, 0, 0},
    {"reach", f2::Picture11, HeadCase::Front, 0, 0},
    {"jump left", f2::Picture14, HeadCase::ShootingLeft, 0, 0},
    {"jump mid", f2::Picture17, HeadCase::ShootingMiddle, 0, 0},
    {"jump right", f2::Picture17, HeadCase::ShootingRight, 0, 0},
    {"lay-up left", f2::Picture68, HeadCase::ShootingLeft, 0, 0},
    {"lay-up mid", f2::Picture68, HeadCase::ShootingMiddle, 0, 0},
    {"lay-up right", f2::Picture68, HeadCase::ShootingRight, 0, 0},
    {"dunk mid", f2::Picture20, HeadCase::ShootingMiddle, 0, 0},
    {"dunk right", f2::Picture20, HeadCase::ShootingRight, 0, 0},
    {"dunk left", f2::Picture23, HeadCase::ShootingLeft, 0, 0},
};

// One player put together as the game layers him: ball, body, head and number, hand.
void DrawPlayer(Frame& frame, const Scenario& s, int side, int pick, int x, int y) {
  const layout::Layer ball{f2::Picture1, f2::Picture2, {0, 0}};
  if (s.ball == 1) frame.Draw(ball, x + 20, y);
  if (s.ball == 2) frame.Draw(ball, x + 60, y + 60);
  if (s.ball == 3) frame.Draw(ball, x - 25, y + 60);
  frame.Draw(layout::Body(side, s.body), x, y);
  frame.Draw(layout::Head(side, pick, s.head), x, y);
  if (const auto number = layout::Number(side, pick, s.head)) frame.Draw(*number, x, y);
  if (s.hand != 0) frame.Draw(layout::Hand(s.hand == 2), x, y);
}

const Scenario& Find(const char* name) {
  for (const Scenario& s : kScenarios)
    if (std::string_view(s.name) == name) return s;
  return kScenarios[0];
}

QImage Composite(const sprite::Sheet& sheet, const QImage& court, const Scenario& s, int side,
                 int pick) {
  Frame frame(sheet, court);
  int x = 300;
  int y = 260;
  const bool dunk = s.body == f2::Picture20 || s.body == f2::Picture23;
  if (dunk) {
    x = s.body == f2::Picture23 ? 343 : 366;
    y = s.body == f2::Picture23 ? 78 : 75;
    frame.Draw({f2::Picture3, f2::Picture4, {0, 0}}, 385, 50);
  }
  DrawPlayer(frame, s, side, pick, x, y);
  return ToImage(frame.window).copy(QRect(x - 50, y - 50, 170, 260));
}

// Whole frames as the window shows them, the player lower on the court drawn last.
QImage Scene(const sprite::Sheet& sheet, const QImage& court, int which) {
  Frame frame(sheet, court);
  switch (which) {
    case 0:  // Player 1 dribbles up at a guarding Player 2.
      DrawPlayer(frame, Find("guard"), 2, 2, 330, 190);
      DrawPlayer(frame, Find("walk 1"), 1, 1, 340, 300);
      break;
    case 1:  // Player 2 shoots from the right; Player 1 jumps to block.
      DrawPlayer(frame, Find("reach"), 1, 4, 470, 150);
      DrawPlayer(frame, Find("jump right"), 2, 3, 480, 240);
      break;
    case 2:  // Player 1 dunks; Player 2 trails.
      frame.Draw({f2::Picture3, f2::Picture4, {0, 0}}, 385, 50);
      DrawPlayer(frame, Find("dunk mid"), 1, 3, 366, 75);
      DrawPlayer(frame, Find("standing"), 2, 4, 250, 300);
      break;
    default:  // Player 2 dribbles left past Player 1, who turns to face him.
      DrawPlayer(frame, Find("guard"), 1, 2, 180, 200);
      DrawPlayer(frame, Find("walk 2 left"), 2, 1, 230, 320);
      break;
  }
  return ToImage(frame.window);
}

}  // namespace

QImage DrawContactSheet(const sprite::Sheet& sheet, const std::vector<NamedPicture>& others,
                        const QImage& court) {
  const Labeller labels;
  QImage page(kSheetWidth, 14000, QImage::Format_RGB32);
  page.fill(QColor(226, 226, 226));
  QPainter p(&page);
  labels.Draw(p, QStringLiteral("Sprite sheet (Form2), 1:1"), QPointF(10, 20));
  Flow flow(p, labels, 30);
  for (std::size_t i = 1; i < sheet.size(); ++i)
    flow.Add(QStringLiteral("Picture%1").arg(i), sheet[i]);
  flow.NewRow();
  labels.Draw(p, QStringLiteral("Heads and hands, 3:1"), QPointF(10, flow.Bottom() + 14));
  Flow zoom(p, labels, flow.Bottom() + 24);
  for (int i = f2::Picture26; i <= f2::Picture57; ++i)
    zoom.Add(QStringLiteral("Picture%1").arg(i), sheet[static_cast<std::size_t>(i)], 3);
  for (int i :
       {f2::Picture1, f2::Picture2, f2::Picture3, f2::Picture4, f2::Picture64, f2::Picture65,
        f2::Picture66, f2::Picture67, f2::Picture71, f2::Picture72, f2::Picture73, f2::Picture74,
        f2::Picture75, f2::Picture76, f2::Picture77, f2::Picture78})
    zoom.Add(QStringLiteral("Picture%1").arg(i), sheet[static_cast<std::size_t>(i)], 3);
  zoom.NewRow();
  Flow full(p, labels, zoom.Bottom() + 10);
  for (const NamedPicture& other : others) {
    full.Add(other.name, other.image);
    if (other.image.width() <= 32) full.Add(other.name + QStringLiteral(" 4:1"), other.image, 4);
  }
  full.NewRow();

  int y = full.Bottom() + 14;
  labels.Draw(p, QStringLiteral("Whole frames"), QPointF(10, y));
  for (int which = 0; which < 4; ++which) {
    p.drawImage(10 + (which % 2) * (kWindowWidth + 10), y + 6 + (which / 2) * (kWindowHeight + 10),
                Scene(sheet, court, which));
  }
  y += 6 + 2 * (kWindowHeight + 10) + 14;
  labels.Draw(p, QStringLiteral("Players as the game layers them (picks 1-4)"), QPointF(10, y));
  y += 10;
  int column = 0;
  for (int side = 1; side <= 2; ++side) {
    for (const Scenario& s : kScenarios) {
      // Two scenarios side by side, four picks each.
      int x = 10 + column * 740;
      labels.Draw(p, QStringLiteral("Player %1, %2").arg(side).arg(QString::fromLatin1(s.name)),
                  QPointF(x, y + 12));
      for (int pick = 1; pick <= 4; ++pick) {
        const QImage tile = Composite(sheet, court, s, side, pick);
        p.drawImage(x, y + 16, tile);
        x += tile.width() + 6;
      }
      column = 1 - column;
      if (column == 0) y += 282;
    }
  }
  if (column == 1) y += 282;
  p.end();
  return page.copy(0, 0, kSheetWidth, y + 10);
}

}  // namespace artgen
