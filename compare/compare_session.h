// The main window's logic without the window: the request a start or a batch pair runs
// (names, and options read from the option controls by the field rule) and whether a
// comparison may start now. The window builds and shows the controls and hosts the run;
// this class decides, as BatchSession does for the batch window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/split_width.h"
#include "compare/compare_host.h"
#include "compare/compare_run.h"

namespace verko {

// The option controls as the user left them: check states and the typed texts of the two
// numeric fields, with the three settings kept beside them.
struct OptionFields {
  bool trimTop = false;
  bool trimTail = true;
  bool compress = false;
  bool split = false;
  std::string splitWidthText = std::to_string(kMaxSplitWidth);  // 分割するバイト数
  bool diffOnly = false;
  std::string matchLenText = "3";  // 一致行の行数
  bool fewestMoves = false;        // 移動行を最少にする
  bool displayWithEditor = false;
  std::string splitChar, workPath, editorSetting;
  // 文字コード of the old file, the new file and the report.
  std::string oldEncodingName = "auto", newEncodingName = "auto", reportEncodingName = "auto";
  bool caseSensitive = false;         // 英字の大小を区別
  bool ignoreWidth = false;           // 全角と半角を区別しない
  bool charUnits = false;             // 文字単位で比較
  std::string formatName = "report";  // 出力形式: what the result is
  bool oldLeft = false;               // 新旧対照表: 改正前を左に
  bool taishoSimple = false;          // 新旧対照表: 傍線一種（else 二重傍線あり）
  // The converters setting: "EXT=COMMAND" entries separated by ";;" (entries not of that
  // form are left out).
  std::string converters;
};

// The options a start runs with. A numeric field counts only when its option is on and it
// holds a valid value (its leading number, rounded, within the split widths or 1-9); otherwise the
// option's default stays.
CompareOptions ReadCompareOptions(const OptionFields& fields);

// The converters of the setting (see OptionFields::converters).
std::vector<Converter> ReadConverters(std::string_view setting);

class CompareSession {
 public:
  // `host` shows the run; `flags` are shared with its cancel command. Both must outlive the
  // session.
  CompareSession(CompareHost& host, RunFlags& flags) : host_(host), flags_(flags) {}

  // Whether the start button may start a comparison: none runs and no batch run is going.
  bool CanStart() const { return !runActive_ && !batchRunning_; }
  // Runs a comparison started from the start button (interactive mode).
  CompareResult RunInteractive(const CompareRequest& request);
  // Runs one pair of a batch run (batch mode). Refused with a failure while another
  // comparison runs.
  CompareResult RunBatch(const CompareRequest& request);

  // A batch run begins (true) or has ended (false).
  void SetBatchRunning(bool running) { batchRunning_ = running; }
  bool BatchRunning() const { return batchRunning_; }
  // True while a comparison started from the start button runs.
  bool InteractiveRunActive() const { return interactiveRun_; }
  // True while any comparison started here runs.
  bool RunActive() const { return runActive_; }
  // The result of the last comparison run here.
  const CompareResult& LastResult() const { return lastResult_; }

 private:
  CompareResult Run(const CompareRequest& request, RunMode mode);

  CompareHost& host_;
  RunFlags& flags_;
  CompareResult lastResult_;
  bool interactiveRun_ = false;
  bool runActive_ = false;
  bool batchRunning_ = false;
};

}  // namespace verko
