#pragma once

#include <QImage>
#include <QString>
#include <array>
#include <vector>

#include "game/platform.h"
#include "screens/raster.h"

namespace tandemhoop {

// The forms that own the art and are never shown: Form2 (sprites), Form3 (court), Form5
// (title), and the badges of Form4. A holder decodes all of its pictures the first time one of
// them is asked for, and keeps them until the program ends or lets them go. A picture whose
// file is missing or whose size is not the catalogue's is left empty: a copy from it fails, and
// the frame goes on.
class PictureHolders {
 public:
  // `root` is where the art lives: the compiled-in resources, or a folder for tests.
  explicit PictureHolders(QString root = QStringLiteral(":/"));

  // The picture as the raster copies it; nullptr when the game does not have it. Cheap after the
  // holder has loaded: an index into its table.
  const Surface* Find(PictureRef ref);
  // The same picture as a Qt image, for the selection screen's picture boxes; null when missing.
  QImage Image(PictureRef ref);

  bool Loaded(Holder holder) const;
  // Lets a holder's pictures go (they load again if asked for).
  void Release(Holder holder);

 private:
  struct HolderPictures {
    bool loaded = false;
    std::vector<Surface> pictures;  // by picture number; empty surfaces are missing art
  };
  HolderPictures& Load(Holder holder);

  QString root_;
  std::array<HolderPictures, 6> holders_;  // indexed by the form number
};

// Copies a decoded image into a surface (0x00RRGGBB); an empty surface when the image is null.
Surface SurfaceFromImage(const QImage& image);

}  // namespace tandemhoop
