#include "tests/art/art_files.h"

namespace tandemhoop::art {

QString AssetsDir() {
  return QStringLiteral(TANDEMHOOP_SOURCE_DIR "/assets");
}

QString AssetFile(PictureRef ref) {
  return AssetsDir() + QLatin1Char('/') + QString::fromStdString(AssetPath(ref));
}

QImage LoadPicture(PictureRef ref) {
  const QImage image(AssetFile(ref));
  return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage LoadSprite(int picture) {
  return LoadPicture({Holder::Form2, static_cast<std::int16_t>(picture)});
}

}  // namespace tandemhoop::art
