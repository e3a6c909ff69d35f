#pragma once

#include <QImage>
#include <QString>

#include "screens/pictures.h"

namespace tandemhoop::art {

QString AssetsDir();
QString AssetFile(PictureRef ref);
// The committed picture as 0xRRGGBB pixels (a null image if it is missing or does not decode).
QImage LoadPicture(PictureRef ref);
QImage LoadSprite(int picture);

inline QRgb Pixel(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFFu;
}
inline constexpr QRgb kWhite = 0xFFFFFFu;
inline constexpr QRgb kBlack = 0x000000u;

}  // namespace tandemhoop::art
