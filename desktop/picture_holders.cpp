#include "desktop/picture_holders.h"

#include <cstddef>
#include <utility>

#include "screens/pictures.h"

namespace tandemhoop {

namespace {

std::size_t Slot(Holder holder) {
  return static_cast<std::size_t>(holder);
}

}  // namespace

Surface SurfaceFromImage(const QImage& image) {
  Surface surface;
  if (image.isNull()) return surface;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  surface.width = rgb.width();
  surface.height = rgb.height();
  surface.pixels.resize(static_cast<std::size_t>(surface.width) *
                        static_cast<std::size_t>(surface.height));
  for (int y = 0; y < surface.height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(y));
    std::uint32_t* to = surface.pixels.data() + static_cast<std::size_t>(y) * surface.width;
    // Qt keeps 0xFF in the top byte of an opaque pixel; the raster works on plain 0x00RRGGBB,
    // so that AND and OR of a mask act on the colour only.
    for (int x = 0; x < surface.width; ++x)
      to[x] = row[x] & 0x00FFFFFFu;
  }
  return surface;
}

PictureHolders::PictureHolders(QString root) : root_(std::move(root)) {}

bool PictureHolders::Loaded(Holder holder) const {
  const std::size_t slot = Slot(holder);
  return slot < holders_.size() && holders_[slot].loaded;
}

void PictureHolders::Release(Holder holder) {
  const std::size_t slot = Slot(holder);
  if (slot < holders_.size()) holders_[slot] = HolderPictures{};
}

PictureHolders::HolderPictures& PictureHolders::Load(Holder holder) {
  HolderPictures& pictures = holders_[Slot(holder)];
  if (pictures.loaded) return pictures;
  pictures.loaded = true;
  for (const PictureEntry& entry : Pictures()) {
    if (entry.ref.form != holder) continue;
    const auto number = static_cast<std::size_t>(entry.ref.index);
    if (pictures.pictures.size() <= number) pictures.pictures.resize(number + 1);
    const QString path = root_ + QString::fromStdString(AssetPath(entry.ref));
    const QImage image(path);
    // Every draw offset of the game is measured against the catalogue's size: art of any
    // other size would land in the wrong place, so it is treated as missing.
    if (image.width() != entry.size.width || image.height() != entry.size.height) continue;
    pictures.pictures[number] = SurfaceFromImage(image);
  }
  return pictures;
}

const Surface* PictureHolders::Find(PictureRef ref) {
  const std::size_t slot = Slot(ref.form);
  if (slot >= holders_.size() || ref.index < 0) return nullptr;
  HolderPictures& pictures = Load(ref.form);
  const auto number = static_cast<std::size_t>(ref.index);
  if (number >= pictures.pictures.size()) return nullptr;
  const Surface& surface = pictures.pictures[number];
  return surface.width > 0 ? &surface : nullptr;
}

QImage PictureHolders::Image(PictureRef ref) {
  const Surface* surface = Find(ref);
  if (surface == nullptr) return {};
  QImage image(surface->width, surface->height, QImage::Format_RGB32);
  for (int y = 0; y < surface->height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
    const std::uint32_t* from =
        surface->pixels.data() + static_cast<std::size_t>(y) * surface->width;
    for (int x = 0; x < surface->width; ++x)
      row[x] = from[x] | 0xFF000000u;
  }
  return image;
}

}  // namespace tandemhoop
