#pragma once

#include <QImage>

namespace artgen {

// The opaque full pictures, each at its catalogue size.
QImage DrawCourt();          // Form3.Picture1, 821 x 662
QImage DrawTitle();          // Form5.Picture1, 640 x 490
QImage DrawIcon();           // the application icon, 32 x 32
QImage DrawBadge(int side);  // Form4.Picture1 (side 1, "1P") and Picture2 (side 2, "2P"), 30 x 30

}  // namespace artgen
