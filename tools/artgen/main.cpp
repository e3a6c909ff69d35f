// tandemhoop_artgen <assets-dir> [--contact-sheet <file.png>]
//
// Draws every picture of the game and writes it below <assets-dir>, with the resource list the
// game is built with, and the application icon at the icon theme's sizes in <assets-dir>/icons. Run
// by hand after changing the art; the same program always writes the same bytes, so a test can tell
// when the committed pictures and this program disagree.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "screens/pictures.h"
#include "tools/artgen/contact_sheet.h"
#include "tools/artgen/scenes.h"
#include "tools/artgen/sprite_sheet.h"

namespace {

using tandemhoop::Holder;
using tandemhoop::PictureRef;

int Fail(const QString& message) {
  std::fprintf(stderr, "tandemhoop_artgen: %s\n", qPrintable(message));
  return 1;
}

bool WritePng(const QImage& image, const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QImageWriter writer(path, "png");
  // Fixed compression, no gamma, no text: the bytes depend on the pixels alone. Qt's PNG
  // writer counts compression from 0 to 100 (100 is zlib's best); 9 stored the pixels all but
  // uncompressed, four times the size.
  writer.setCompression(100);
  return writer.write(image.convertToFormat(QImage::Format_RGB32));
}

QImage PictureFor(PictureRef ref, const artgen::sprite::Sheet& sheet) {
  switch (ref.form) {
    case Holder::Form2:
      return sheet[static_cast<std::size_t>(ref.index)];
    case Holder::Form3:
      return artgen::DrawCourt();
    case Holder::Form4:
      return artgen::DrawBadge(ref.index);
    case Holder::Form5:
      return artgen::DrawTitle();
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  // The generator never shows a window; it must also run where there is no display at all.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QString assetsDir;
  QString contactSheet;
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--contact-sheet") && i + 1 < args.size()) {
      contactSheet = args[++i];
    } else if (assetsDir.isEmpty() && !args[i].startsWith(QStringLiteral("--"))) {
      assetsDir = args[i];
    } else {
      return Fail(
          QStringLiteral("usage: tandemhoop_artgen <assets-dir> [--contact-sheet <file.png>]"));
    }
  }
  if (assetsDir.isEmpty())
    return Fail(
        QStringLiteral("usage: tandemhoop_artgen <assets-dir> [--contact-sheet <file.png>]"));

  const artgen::sprite::Sheet sheet = artgen::sprite::DrawSheet();
  QImage court;
  std::vector<artgen::NamedPicture> others;
  QStringList files;
  for (const tandemhoop::PictureEntry& entry : tandemhoop::Pictures()) {
    const QImage image = PictureFor(entry.ref, sheet);
    if (image.width() != entry.size.width || image.height() != entry.size.height) {
      return Fail(QStringLiteral("%1 is %2 x %3, the game expects %4 x %5")
                      .arg(QString::fromStdString(tandemhoop::AssetPath(entry.ref)))
                      .arg(image.width())
                      .arg(image.height())
                      .arg(entry.size.width)
                      .arg(entry.size.height));
    }
    const QString file = QString::fromStdString(tandemhoop::AssetPath(entry.ref));
    if (!WritePng(image, assetsDir + QLatin1Char('/') + file))
      return Fail(QStringLiteral("cannot write %1").arg(file));
    files << file;
    if (entry.ref.form == Holder::Form3) court = image;
    if (entry.ref.form != Holder::Form2) others.push_back({file, image});
  }

  const QImage icon = artgen::DrawIcon();
  if (icon.width() != tandemhoop::kIconSize.width || icon.height() != tandemhoop::kIconSize.height)
    return Fail(QStringLiteral("the icon is %1 x %2").arg(icon.width()).arg(icon.height()));
  const QString iconFile = QString::fromLatin1(tandemhoop::kIconAsset);
  if (!WritePng(icon, assetsDir + QLatin1Char('/') + iconFile))
    return Fail(QStringLiteral("cannot write %1").arg(iconFile));
  files << iconFile;
  others.push_back({iconFile, icon});

  // The icon theme's sizes, for the desktop's menus; installed, never compiled into the game.
  for (const int size : artgen::kIconSizes) {
    const QImage themed = artgen::DrawIconAt(size);
    const QString file = QStringLiteral("icons/%1x%1.png").arg(size);
    if (themed.width() != size || themed.height() != size ||
        !WritePng(themed, assetsDir + QLatin1Char('/') + file))
      return Fail(QStringLiteral("cannot write %1").arg(file));
  }
  QFile svg(assetsDir + QStringLiteral("/icons/scalable.svg"));
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      svg.write(artgen::IconSvg().toUtf8()) < 0)
    return Fail(QStringLiteral("cannot write icons/scalable.svg"));
  svg.close();

  QFile qrc(assetsDir + QStringLiteral("/assets.qrc"));
  if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
    return Fail(QStringLiteral("cannot write assets.qrc"));
  QTextStream out(&qrc);
  out << "<RCC>\n  <qresource prefix=\"/\">\n";
  for (const QString& file : files)
    out << "    <file>" << file << "</file>\n";
  out << "  </qresource>\n</RCC>\n";
  out.flush();
  qrc.close();

  if (!contactSheet.isEmpty()) {
    const QImage page = artgen::DrawContactSheet(sheet, others, court);
    if (!WritePng(page, contactSheet))
      return Fail(QStringLiteral("cannot write %1").arg(contactSheet));
  }
  return 0;
}
