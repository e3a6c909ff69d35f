// The committed pictures: every one the game asks for is there at its size, the resource list
// embeds exactly those files, and the generator still draws the same pictures.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "tests/art/art_files.h"

namespace tandemhoop::art {
namespace {

QStringList CatalogueFiles() {
  QStringList files;
  for (const PictureEntry& entry : Pictures())
    files << QString::fromStdString(AssetPath(entry.ref));
  files << QString::fromLatin1(kIconAsset);
  return files;
}

// The application icon at the icon theme's sizes, installed beside the game, not compiled in.
constexpr int kThemeIconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

QString ThemeIcon(int size) {
  return QStringLiteral("icons/%1x%1.png").arg(size);
}

QStringList ThemeIconFiles() {
  QStringList files;
  for (const int size : kThemeIconSizes)
    files << ThemeIcon(size);
  return files;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Assets, EveryCataloguePictureDecodesAtItsSize) {
  for (const PictureEntry& entry : Pictures()) {
    SCOPED_TRACE(AssetPath(entry.ref));
    const QImage image = LoadPicture(entry.ref);
    ASSERT_FALSE(image.isNull()) << "missing or unreadable";
    EXPECT_EQ(image.width(), entry.size.width);
    EXPECT_EQ(image.height(), entry.size.height);
  }
  const QImage icon(AssetsDir() + QLatin1Char('/') + QString::fromLatin1(kIconAsset));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.width(), kIconSize.width);
  EXPECT_EQ(icon.height(), kIconSize.height);
}

TEST(Assets, ThemeIconsAreAtTheirSizesAndThe32OneIsTheWindowIcon) {
  for (const int size : kThemeIconSizes) {
    SCOPED_TRACE(size);
    const QImage icon(AssetsDir() + QLatin1Char('/') + ThemeIcon(size));
    ASSERT_FALSE(icon.isNull()) << "missing or unreadable";
    EXPECT_EQ(icon.size(), QSize(size, size));
    // Every size is drawn, none is left blank: sky, floor, steel, board, rim and net.
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y)
      for (int x = 0; x < icon.width(); ++x)
        colours.insert(Pixel(icon, x, y));
    EXPECT_GE(colours.size(), 12);
  }
  const QByteArray window = Contents(AssetsDir() + QLatin1Char('/') + QLatin1String(kIconAsset));
  EXPECT_FALSE(window.isEmpty());
  EXPECT_EQ(Contents(AssetsDir() + QLatin1Char('/') + ThemeIcon(32)), window);

  QFile svg(AssetsDir() + QStringLiteral("/icons/scalable.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&svg);
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), QStringLiteral("svg"));
  EXPECT_EQ(xml.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"));
  int shapes = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement) ++shapes;
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_GT(shapes, 20);
}

TEST(Assets, ResourceListEmbedsEveryPictureAndNothingElse) {
  QFile qrc(AssetsDir() + QStringLiteral("/assets.qrc"));
  ASSERT_TRUE(qrc.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(qrc.readAll());
  EXPECT_TRUE(text.contains(QStringLiteral("prefix=\"/\"")));
  QStringList listed;
  const QRegularExpression file(QStringLiteral("<file>([^<]+)</file>"));
  for (auto it = file.globalMatch(text); it.hasNext();)
    listed << it.next().captured(1);
  QStringList expected = CatalogueFiles();
  listed.sort();
  expected.sort();
  EXPECT_EQ(listed, expected);
  // Every listed file is really there (the resource compiler would stop the build otherwise).
  for (const QString& name : listed)
    EXPECT_TRUE(QFile::exists(AssetsDir() + QLatin1Char('/') + name)) << name.toStdString();
}

TEST(Assets, NoStrayPicturesBesideTheCatalogue) {
  const QStringList expected = CatalogueFiles() + ThemeIconFiles();
  const QSet<QString> known(expected.begin(), expected.end());
  QDirIterator it(AssetsDir(), {QStringLiteral("*.png")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString relative = QDir(AssetsDir()).relativeFilePath(it.next());
    EXPECT_TRUE(known.contains(relative)) << relative.toStdString();
  }
}

// The pictures are compared by their pixels: another zlib may pack the same pixels into other
// bytes at the same level, and that is no change of the art. The rest is compared byte for byte.
TEST(Assets, GeneratorReproducesTheCommittedFiles) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QProcess generator;
  generator.start(QStringLiteral(TANDEMHOOP_ARTGEN), {out.path()});
  ASSERT_TRUE(generator.waitForFinished(300000));
  ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
  QStringList files = CatalogueFiles() + ThemeIconFiles();
  files << QStringLiteral("assets.qrc") << QStringLiteral("icons/scalable.svg");
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    const QString committed = AssetsDir() + QLatin1Char('/') + name;
    const QString fresh = out.path() + QLatin1Char('/') + name;
    if (name.endsWith(QLatin1String(".png"))) {
      const QImage before(committed);
      const QImage after(fresh);
      ASSERT_FALSE(before.isNull());
      EXPECT_TRUE(before.convertToFormat(QImage::Format_ARGB32) ==
                  after.convertToFormat(QImage::Format_ARGB32))
          << "differs from what the generator draws: rerun tandemhoop_artgen assets";
    } else {
      EXPECT_TRUE(Contents(committed) == Contents(fresh))
          << "differs from what the generator draws: rerun tandemhoop_artgen assets";
    }
  }
}

// Every picture is fetched by the browser and shipped in the package: stored with zlib's best,
// the catalogue is well under a third of its pixels' bytes (stored uncompressed it was more).
TEST(Assets, ThePicturesAreStoredCompressed) {
  qint64 stored = 0;
  qint64 pixels = 0;
  for (const QString& name : CatalogueFiles()) {
    const QString path = AssetsDir() + QLatin1Char('/') + name;
    stored += QFileInfo(path).size();
    const QImage image(path);
    pixels += qint64{image.width()} * image.height() * 3;
  }
  EXPECT_LT(stored * 3, pixels) << stored << " bytes for " << pixels << " bytes of pixels";
}

}  // namespace
}  // namespace tandemhoop::art
