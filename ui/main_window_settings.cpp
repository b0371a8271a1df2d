#include "ui/main_window_settings.h"

#include "ui/platform_defaults.h"
#include "ui/shared/field_values.h"
#include "ui/shared/settings_store.h"

namespace verko {
namespace {

// The history values are the field's name followed by the entry's place, "ComboOld0".
struct HistoryValue {
  const char* name;
  QStringList MainWindowSettings::*names;
};
constexpr HistoryValue kHistories[] = {
    {"ComboOld", &MainWindowSettings::oldHistory},
    {"ComboNew", &MainWindowSettings::newHistory},
    {"ComboResult", &MainWindowSettings::resultHistory},
};

struct CheckValue {
  const char* name;
  bool MainWindowSettings::*checked;
};
constexpr CheckValue kChecks[] = {
    {"OptTrimTop", &MainWindowSettings::trimTop},
    {"OptTrimTail", &MainWindowSettings::trimTail},
    {"OptCompress", &MainWindowSettings::compress},
    {"OptSplit", &MainWindowSettings::split},
    {"OptDiffOnly", &MainWindowSettings::diffOnly},
    {"OptFewestMoves", &MainWindowSettings::fewestMoves},
    {"OptDispWithEditor", &MainWindowSettings::displayWithEditor},
    {"OptAlwaysTop", &MainWindowSettings::alwaysTop},
    {"OptCaseSensitive", &MainWindowSettings::caseSensitive},
    {"OptIgnoreWidth", &MainWindowSettings::ignoreWidth},
    {"OptCharUnits", &MainWindowSettings::charUnits},
    {"OptOldLeft", &MainWindowSettings::oldLeft},
    {"OptTaishoSimple", &MainWindowSettings::taishoSimple},
};

constexpr EncodingChoice kEncodings[] = {EncodingChoice::kCp932, EncodingChoice::kUtf8,
                                         EncodingChoice::kEucJp, EncodingChoice::kAuto};

int ReadNumber(const SettingsStore& store, const char* name, int defaultValue) {
  return ReadSettingNumber(store.Read(QLatin1String(name), QString::number(defaultValue)),
                           defaultValue);
}

// The stored name in any letter case; an unknown one (edited by hand) is the default.
EncodingChoice ReadEncoding(const SettingsStore& store, const QString& key,
                            EncodingChoice absent = EncodingChoice::kAuto) {
  const QString name = store.Read(key, QLatin1String(EncodingChoiceName(absent))).toLower();
  for (EncodingChoice choice : kEncodings) {
    if (name == QLatin1String(EncodingChoiceName(choice))) return choice;
  }
  return EncodingChoice::kAuto;
}

}  // namespace

MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, const QString& appDir) {
  MainWindowSettings settings;
  settings.panelTop = ReadNumber(store, "PanelTop", settings.panelTop);
  settings.panelLeft = ReadNumber(store, "PanelLeft", settings.panelLeft);
  for (const HistoryValue& history : kHistories) {
    for (int place = 0; place < kFileHistorySize; ++place) {
      const QString entry =
          store.Read(QLatin1String(history.name) + QString::number(place), QString());
      if (!entry.isEmpty()) (settings.*history.names).append(entry);
    }
  }
  // Stored check states are numbers; anything but 0 counts as checked.
  for (const CheckValue& check : kChecks) {
    settings.*check.checked = ReadNumber(store, check.name, settings.*check.checked ? 1 : 0) != 0;
  }
  settings.encoding = ReadEncoding(store, QStringLiteral("Encoding"));
  // A store from before the three selectors kept one encoding for all.
  settings.newEncoding = ReadEncoding(store, QStringLiteral("NewEncoding"), settings.encoding);
  settings.reportEncoding =
      ReadEncoding(store, QStringLiteral("ReportEncoding"), settings.encoding);
  (void)ParseResultFormat(
      store.Read(QStringLiteral("ResultFormat"), QStringLiteral("report")).toStdString(),
      &settings.format);
  settings.splitWidth = store.Read(QStringLiteral("TextSplitWidth"), settings.splitWidth);
  settings.matchLen = store.Read(QStringLiteral("TextMatchLen"), settings.matchLen);
  settings.workPath = store.Read(QStringLiteral("WorkPath"), DefaultWorkPath());
  settings.splitChar = store.Read(QStringLiteral("SplitChar"), DefaultSplitChar());
  // The viewer's command follows the program when it moves; an editor the user chose stays.
  const QString viewer = DefaultEditorSetting(appDir + QStringLiteral("verko"));
  settings.editorSetting = store.Read(QStringLiteral("EditorSetting"), viewer);
  if (IsViewerSetting(settings.editorSetting)) settings.editorSetting = viewer;
  settings.converters = store.Read(QStringLiteral("Converters"), QString());
  return settings;
}

void SaveMainWindowSettings(const MainWindowSettings& settings, SettingsStore& store) {
  store.Write(QStringLiteral("PanelTop"), FormatSettingNumber(settings.panelTop));
  store.Write(QStringLiteral("PanelLeft"), FormatSettingNumber(settings.panelLeft));
  for (const HistoryValue& history : kHistories) {
    const QStringList& names = settings.*history.names;
    for (int place = 0; place < names.size(); ++place) {
      store.Write(QLatin1String(history.name) + QString::number(place % 10), names[place]);
    }
  }
  for (const CheckValue& check : kChecks) {
    store.Write(QLatin1String(check.name), FormatSettingNumber(settings.*check.checked ? 1 : 0));
  }
  // Trailing blanks are always removed again at the next start.
  store.Write(QStringLiteral("OptTrimTail"), QStringLiteral("1"));
  store.Write(QStringLiteral("Encoding"), QLatin1String(EncodingChoiceName(settings.encoding)));
  store.Write(QStringLiteral("NewEncoding"),
              QLatin1String(EncodingChoiceName(settings.newEncoding)));
  store.Write(QStringLiteral("ReportEncoding"),
              QLatin1String(EncodingChoiceName(settings.reportEncoding)));
  store.Write(QStringLiteral("ResultFormat"), QLatin1String(ResultFormatName(settings.format)));
  store.Write(QStringLiteral("TextSplitWidth"), settings.splitWidth);
  store.Write(QStringLiteral("TextMatchLen"), settings.matchLen);
  store.Write(QStringLiteral("WorkPath"), settings.workPath);
  store.Write(QStringLiteral("SplitChar"), settings.splitChar);
  store.Write(QStringLiteral("EditorSetting"), settings.editorSetting);
  store.Sync();
}

}  // namespace verko
