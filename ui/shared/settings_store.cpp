#include "ui/shared/settings_store.h"

#include <QSettings>

namespace verko {
namespace {

QString Key(const QString& name) {
  return QStringLiteral("Settings/") + name;
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Verko"), QStringLiteral("Verko"))) {}

SettingsStore::SettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::Read(const QString& name, const QString& defaultValue) const {
  return settings_->value(Key(name), defaultValue).toString();
}

void SettingsStore::Write(const QString& name, const QString& value) {
  settings_->setValue(Key(name), value);
}

void SettingsStore::Sync() {
  settings_->sync();
}

}  // namespace verko
