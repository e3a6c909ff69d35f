#pragma once

#include <QImage>
#include <QString>

namespace artgen {

// The opaque full pictures, each at its catalogue size.
QImage DrawCourt();          // Form3.Picture1, 821 x 662
QImage DrawTitle();          // Form5.Picture1, 640 x 490
QImage DrawIcon();           // the application icon, 32 x 32, as the game's window shows it
QImage DrawBadge(int side);  // Form4.Picture1 (side 1, "1P") and Picture2 (side 2, "2P"), 30 x 30

// The application icon at the sizes of the desktop's icon theme, each drawn at its own size, and
// as a scalable SVG drawn from the same shapes.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
QImage DrawIconAt(int size);  // one of kIconSizes; a null image for any other size
QString IconSvg();

}  // namespace artgen
