#include "desktop/settings.h"

#include <QSettings>
#include <memory>

namespace tandemhoop {

namespace {

const QString kOrganisation = QStringLiteral("Tandemhoop");
const QString kApplication = QStringLiteral("Tandemhoop");

QString& TestFile() {
  static QString path;
  return path;
}

std::unique_ptr<QSettings> Open() {
  if (!TestFile().isEmpty()) return std::make_unique<QSettings>(TestFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kOrganisation,
                                     kApplication);
}

}  // namespace

QVariant Settings::Value(const QString& key, const QVariant& fallback) {
  const auto store = Open();
  if (store->status() != QSettings::NoError) return fallback;
  return store->value(key, fallback);
}

void Settings::SetValue(const QString& key, const QVariant& value) {
  const auto store = Open();
  // A file we could not read is not overwritten with our few keys: the player may want to mend it.
  if (store->status() != QSettings::NoError) return;
  store->setValue(key, value);
}

QString Settings::FileName() {
  return Open()->fileName();
}

void Settings::UseFileForTesting(const QString& path) {
  TestFile() = path;
}

}  // namespace tandemhoop
