// The main window's settings as they are kept in the settings store between starts: the
// window's place, the histories of the file fields, the options and the three settings the
// small dialogs edit. Loading and saving are plain functions over the store, apart from any
// widget.
#pragma once

#include <QString>
#include <QStringList>

#include "common/text_encoding.h"
#include "report/result_format.h"

namespace verko {

class SettingsStore;

// How many names each file field remembers.
inline constexpr int kFileHistorySize = 5;

struct MainWindowSettings {
  // The top-left corner of the window's frame, in twips.
  int panelTop = 300;
  int panelLeft = 500;
  // The names of each file field, newest first.
  QStringList oldHistory, newHistory, resultHistory;
  bool trimTop = false;
  bool trimTail = true;
  bool compress = false;
  bool split = false;
  bool diffOnly = false;
  bool fewestMoves = false;
  bool displayWithEditor = false;
  bool alwaysTop = false;
  bool caseSensitive = false;
  bool ignoreWidth = false;
  bool charUnits = false;  // changes marked character by character, not by words
  // The old file's encoding (stored as Encoding, which once served all three), the new
  // file's and the report's.
  EncodingChoice encoding = EncodingChoice::kAuto;
  EncodingChoice newEncoding = EncodingChoice::kAuto;
  EncodingChoice reportEncoding = EncodingChoice::kAuto;
  ResultFormat format = ResultFormat::kReport;
  // The 新旧対照表: 改正前 in the left column; one kind of underline instead of the formal two.
  bool oldLeft = false;
  bool taishoSimple = false;
  // The numeric fields as typed: they are checked when a comparison starts, not here.
  QString splitWidth = QStringLiteral("80");
  QString matchLen = QStringLiteral("3");
  QString workPath, splitChar, editorSetting;
  // Converters: "EXT=COMMAND" entries separated by ";;", set in the file by hand.
  QString converters;

  bool operator==(const MainWindowSettings&) const = default;
};

// The settings in `store`; an absent value takes its default, an empty history entry is
// left out. `appDir` is the program's folder (ending in "/"): the editor setting defaults to
// its report viewer, and a stored report-viewer setting follows the program when it moves.
MainWindowSettings LoadMainWindowSettings(const SettingsStore& store, const QString& appDir);

// Writes `settings` into `store` and the store to its file. OptTrimTail is always written
// as on: trailing blanks are removed again at the next start.
void SaveMainWindowSettings(const MainWindowSettings& settings, SettingsStore& store);

}  // namespace verko
