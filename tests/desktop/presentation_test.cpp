#include "desktop/presentation.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegion>
#include <QTemporaryDir>

#include "desktop/court_window.h"
#include "desktop/settings.h"

namespace tandemhoop {
namespace {

const QSize kPicture(727, 542);

TEST(FitPicture, LargestFitWithTheAspectKeptAndCentred) {
  // Exactly twice the picture: every style fills it, and sharp is exact.
  Fit two = FitPicture(kPicture, QSize(1454, 1084), Scaling::Sharp);
  EXPECT_EQ(two.target, QRect(0, 0, 1454, 1084));
  EXPECT_EQ(two.multiple, 2);
  EXPECT_TRUE(two.exact);
  EXPECT_FALSE(FitPicture(kPicture, QSize(1454, 1084), Scaling::Smooth).exact);

  // Full HD: the height limits, dark borders left and right; sharp repeats once (1x) and the
  // smooth step does the rest, pixel perfect stays at the whole multiple.
  Fit hd = FitPicture(kPicture, QSize(1920, 1080), Scaling::Sharp);
  EXPECT_EQ(hd.target, QRect(235, 0, 1449, 1080));
  EXPECT_EQ(hd.multiple, 1);
  EXPECT_FALSE(hd.exact);
  Fit perfect = FitPicture(kPicture, QSize(1920, 1080), Scaling::PixelPerfect);
  EXPECT_EQ(perfect.target, QRect(596, 269, 727, 542));
  EXPECT_TRUE(perfect.exact);

  // A tall window: the width limits, borders above and below.
  Fit tall = FitPicture(kPicture, QSize(1600, 2000), Scaling::Smooth);
  EXPECT_EQ(tall.target.width(), 1600);
  EXPECT_EQ(tall.target.height(), 1193);
  EXPECT_EQ(tall.target.top(), (2000 - 1193) / 2);
  Fit three = FitPicture(kPicture, QSize(2400, 2000), Scaling::PixelPerfect);
  EXPECT_EQ(three.target, QRect((2400 - 2181) / 2, (2000 - 1626) / 2, 2181, 1626));
}

TEST(FitPicture, ScalingNamesRoundTripAndUnknownOnesFallBack) {
  for (Scaling s : {Scaling::Sharp, Scaling::PixelPerfect, Scaling::Smooth})
    EXPECT_EQ(ScalingNamed(ScalingName(s), Scaling::Smooth), s);
  EXPECT_EQ(ScalingNamed(QStringLiteral("blurry"), Scaling::Sharp), Scaling::Sharp);
}

// A picture of distinct pixels, presented into an image of `area`.
QImage Presented(Scaling scaling, QSize area, Presenter& presenter, const QImage& picture) {
  QImage target(area, QImage::Format_RGB32);
  target.fill(Qt::magenta);
  QPainter painter(&target);
  presenter.SetScaling(scaling);
  presenter.Present(painter, picture, area, QRegion(QRect(QPoint(0, 0), area)));
  return target;
}

QImage Pattern() {
  QImage picture(kPicture, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
  }
  return picture;
}

TEST(Presenter, WholeMultiplesArePixelExactAndChangesShowAtTheNextPaint) {
  QImage picture = Pattern();
  for (Scaling scaling : {Scaling::Sharp, Scaling::PixelPerfect}) {
    Presenter presenter;
    const QImage one = Presented(scaling, kPicture, presenter, picture);
    EXPECT_EQ(one, picture);
    const QImage two = Presented(scaling, kPicture * 2, presenter, picture);
    for (int y = 0; y < two.height(); y += 3) {
      for (int x = 0; x < two.width(); x += 5)
        ASSERT_EQ(two.pixel(x, y), picture.pixel(x / 2, y / 2)) << x << "," << y;
    }
    // Nothing enlarged is kept: a change to the picture shows at the next paint.
    picture.setPixel(100, 100, qRgb(1, 2, 3));
    const QImage changed = Presented(scaling, kPicture * 2, presenter, picture);
    EXPECT_EQ(changed.pixel(201, 201), qRgb(1, 2, 3));
  }
}

TEST(Presenter, TheRestOfTheWindowIsADarkBorder) {
  const QImage picture = Pattern();
  Presenter presenter;
  const QImage hd = Presented(Scaling::Sharp, QSize(1920, 1080), presenter, picture);
  EXPECT_EQ(hd.pixel(0, 500), Presenter::kBorder);
  EXPECT_EQ(hd.pixel(1919, 500), Presenter::kBorder);
  EXPECT_NE(hd.pixel(960, 540), Presenter::kBorder);
  const QImage perfect = Presented(Scaling::PixelPerfect, QSize(1920, 1080), presenter, picture);
  EXPECT_EQ(perfect.pixel(596, 269), picture.pixel(0, 0));
  EXPECT_EQ(perfect.pixel(595, 269), Presenter::kBorder);
}

TEST(Presenter, AScreenTooSmallForThePictureGetsAllOfItScaledDown) {
  // A flat picture with a red last column and a blue last row: both must be seen.
  QImage picture(kPicture, QImage::Format_RGB32);
  picture.fill(qRgb(200, 200, 200));
  for (int y = 0; y < kPicture.height(); ++y)
    picture.setPixel(kPicture.width() - 1, y, qRgb(255, 0, 0));
  for (int x = 0; x < kPicture.width(); ++x)
    picture.setPixel(x, kPicture.height() - 1, qRgb(0, 0, 255));
  for (Scaling scaling : {Scaling::Sharp, Scaling::PixelPerfect, Scaling::Smooth}) {
    const Fit fit = FitPicture(kPicture, QSize(640, 480), scaling);
    EXPECT_EQ(fit.target, QRect(0, 1, 640, 477));
    EXPECT_FALSE(fit.exact);
    Presenter presenter;
    const QImage shown = Presented(scaling, QSize(640, 480), presenter, picture);
    EXPECT_GT(qRed(shown.pixel(639, 240)), 100) << "the last column, blended";
    EXPECT_GT(qBlue(shown.pixel(320, 477)), 100) << "the last row, blended";
  }
  EXPECT_EQ(LeastWindowSize(kPicture, QSize(1918, 1050)), kPicture);
  EXPECT_EQ(LeastWindowSize(kPicture, QSize(638, 455)), QSize(610, 455));
}

TEST(Settings, ChoicesRoundTripAndABrokenFileMeansTheDefaults) {
  QTemporaryDir folder;
  const QString file = folder.filePath(QStringLiteral("Tandemhoop.conf"));
  Settings::UseFileForTesting(file);
  {
    CourtWindow court;
    court.SetScaling(Scaling::PixelPerfect);
  }
  Settings::SetValue(QStringLiteral("display/size"), QSize(1000, 800));
  Settings::SetValue(QStringLiteral("display/fullScreen"), false);
  {
    CourtWindow court;
    court.RestoreSettings();
    EXPECT_EQ(court.scaling(), Scaling::PixelPerfect);
    EXPECT_EQ(court.size(), QSize(1000, 800));
    EXPECT_FALSE(court.FullScreen());
  }
  // Garbage in place of the file: the defaults, and no failure.
  {
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\xff\xfe[display\n\x01scaling==smooth\n[[[\nsize=@Size(oops", 40);
  }
  {
    CourtWindow court;
    court.RestoreSettings();
    EXPECT_EQ(court.scaling(), Scaling::Sharp);
    EXPECT_EQ(court.size(), QSize(727, 542));
  }
  Settings::UseFileForTesting({});
}

TEST(Settings, TheManPageNamesTheFileTheyAreKeptIn) {
  const QString kept = QFileInfo(Settings::FileName()).fileName();
  QFile page(QStringLiteral(TANDEMHOOP_SOURCE_DIR "/packaging/tandemhoop.6"));
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  EXPECT_TRUE(page.readAll().contains(("$XDG_CONFIG_HOME/Tandemhoop/" + kept).toUtf8()))
      << kept.toStdString();
}

}  // namespace
}  // namespace tandemhoop
