#pragma once

// A sheet for looking at the art: every picture on a checkerboard with its name, and the
// players put together over the court exactly as the game layers them.

#include <QImage>
#include <QString>
#include <vector>

#include "tools/artgen/sprite_sheet.h"

namespace artgen {

struct NamedPicture {
  QString name;
  QImage image;
};

QImage DrawContactSheet(const sprite::Sheet& sheet, const std::vector<NamedPicture>& others,
                        const QImage& court);

}  // namespace artgen
