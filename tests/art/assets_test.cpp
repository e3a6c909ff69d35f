// The committed pictures: every one the game asks for is there at its size, the resource list
// embeds exactly those files, and the generator still draws the same bytes.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

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
  const QStringList expected = CatalogueFiles();
  const QSet<QString> known(expected.begin(), expected.end());
  QDirIterator it(AssetsDir(), {QStringLiteral("*.png")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString relative = QDir(AssetsDir()).relativeFilePath(it.next());
    EXPECT_TRUE(known.contains(relative)) << relative.toStdString();
  }
}

TEST(Assets, GeneratorReproducesTheCommittedFilesByteForByte) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QProcess generator;
  generator.start(QStringLiteral(TANDEMHOOP_ARTGEN), {out.path()});
  ASSERT_TRUE(generator.waitForFinished(300000));
  ASSERT_EQ(generator.exitStatus(), QProcess::NormalExit);
  ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
  QStringList files = CatalogueFiles();
  files << QStringLiteral("assets.qrc");
  for (const QString& name : files) {
    SCOPED_TRACE(name.toStdString());
    QFile committed(AssetsDir() + QLatin1Char('/') + name);
    QFile fresh(out.path() + QLatin1Char('/') + name);
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly));
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    EXPECT_TRUE(committed.readAll() == fresh.readAll())
        << "differs from what the generator draws: rerun tandemhoop_artgen assets";
  }
}

}  // namespace
}  // namespace tandemhoop::art
