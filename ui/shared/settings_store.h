// The per-user settings store of the program: text values of application Verko, section
// Settings, read once when the main window loads and written once when it unloads. Values
// are kept in an INI file through QSettings; tests point the store at a file of their own.
#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace verko {

class SettingsStore {
 public:
  // The user's own store (organisation and application "Verko").
  SettingsStore();
  // A store kept in the given INI file.
  explicit SettingsStore(const QString& filePath);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The value of `name` in section Settings, or `defaultValue` when it is absent.
  QString Read(const QString& name, const QString& defaultValue) const;
  void Write(const QString& name, const QString& value);
  // Writes pending values to the file.
  void Sync();

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace verko
