#include "desktop/desktop_fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace tandemhoop {

namespace {

// The faces are compiled in, or, in a distribution's build, read from the system's copy of the
// same files.
QString FontFile(const char* name) {
#ifdef TANDEMHOOP_SYSTEM_FONT_DIR
  return QStringLiteral(TANDEMHOOP_SYSTEM_FONT_DIR "/") + QString::fromLatin1(name);
#else
  return QStringLiteral(":/fonts/") + QString::fromLatin1(name);
#endif
}

// The family a bundled font file registers, or "" when it could not be loaded.
QString BundledFamily(const char* name) {
  const int id = QFontDatabase::addApplicationFont(FontFile(name));
  if (id < 0) return {};
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  return families.isEmpty() ? QString() : families.front();
}

struct Families {
  QString serifBold;
  QString sans;
  QString sansBold;
};

const Families& LoadedFamilies() {
  static const Families families{BundledFamily("texgyrebonum-bold.otf"),
                                 BundledFamily("texgyreheros-regular.otf"),
                                 BundledFamily("texgyreheros-bold.otf")};
  return families;
}

QFont Face(const QString& family, QFont::StyleHint hint, int pixelSize, bool bold) {
  QFont font;
  if (family.isEmpty()) {
    font.setStyleHint(hint);
  } else {
    font.setFamily(family);
  }
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

}  // namespace

QFont CourtFont() {
  return Face(LoadedFamilies().serifBold, QFont::Serif, 16, true);
}

QFont ScreenFont(bool bold) {
  const Families& families = LoadedFamilies();
  return Face(bold ? families.sansBold : families.sans, QFont::SansSerif, 11, bold);
}

QFont ScreenTitleFont() {
  return Face(LoadedFamilies().sansBold, QFont::SansSerif, 16, true);
}

}  // namespace tandemhoop
