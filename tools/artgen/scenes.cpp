#include "tools/artgen/scenes.h"

// Placeholder scenes until the real court, title, icon and badges are drawn.
namespace artgen {
namespace {
QImage Filled(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}
}  // namespace
QImage DrawCourt() { return Filled(821, 662, qRgb(200, 150, 90)); }
QImage DrawTitle() { return Filled(640, 490, qRgb(30, 30, 40)); }
QImage DrawIcon() { return Filled(32, 32, qRgb(230, 120, 30)); }
QImage DrawBadge(int side) { return Filled(30, 30, side == 1 ? qRgb(255, 0, 0) : qRgb(0, 0, 255)); }
}  // namespace artgen
