#include "compare/compare_session.h"

#include "common/option_value.h"
#include "common/text_encoding.h"

namespace verko {

CompareOptions ReadCompareOptions(const OptionFields& fields) {
  CompareOptions options;
  options.trimTop = fields.trimTop;
  options.trimTail = fields.trimTail;
  options.compress = fields.compress;
  options.split = fields.split;
  int value = 0;
  if (options.split && ReadFieldNumber(fields.splitWidthText, 20, 250, &value)) {
    options.splitWidth = value;
  }
  options.splitChar = fields.splitChar;
  options.diffOnly = fields.diffOnly;
  if (options.diffOnly && ReadFieldNumber(fields.matchLenText, 1, 9, &value)) {
    options.contextLines = value;
  }
  options.fewestMoves = fields.fewestMoves;
  options.workPath = fields.workPath;
  options.displayWithEditor = fields.displayWithEditor;
  options.editorSetting = fields.editorSetting;
  // A name that is not an encoding leaves the automatic choice.
  ParseEncodingName(fields.oldEncodingName, &options.oldEncoding);
  ParseEncodingName(fields.newEncodingName, &options.newEncoding);
  ParseEncodingName(fields.reportEncodingName, &options.reportEncoding);
  ParseResultFormat(fields.formatName, &options.format);
  options.caseSensitive = fields.caseSensitive;
  options.ignoreWidth = fields.ignoreWidth;
  options.units = fields.charUnits ? ChangeUnits::kCharacters : ChangeUnits::kWords;
  return options;
}

CompareResult CompareSession::RunInteractive(const CompareRequest& request) {
  interactiveRun_ = true;
  CompareResult result = Run(request, RunMode::kInteractive);
  interactiveRun_ = false;
  return result;
}

CompareResult CompareSession::RunBatch(const CompareRequest& request) {
  if (runActive_) {
    CompareResult busy;
    busy.status = kStatusFailed;
    busy.message = {"ほかの比較処理が実行中です。", MessageIcon::kExclamation, "比較処理の実行中"};
    return busy;
  }
  return Run(request, RunMode::kBatch);
}

CompareResult CompareSession::Run(const CompareRequest& request, RunMode mode) {
  runActive_ = true;
  CompareResult result = ExecuteCompare(request, mode, host_, flags_);
  runActive_ = false;
  lastResult_ = result;
  return result;
}

}  // namespace verko
