#include "compare/compare_session.h"

#include <algorithm>

#include "common/option_value.h"
#include "common/split_width.h"
#include "common/text_encoding.h"

namespace verko {

std::vector<Converter> ReadConverters(std::string_view setting) {
  std::vector<Converter> converters;
  std::string unused;
  while (!setting.empty()) {
    const std::size_t end = std::min(setting.find(";;"), setting.size());
    const std::string_view entry = setting.substr(0, end);
    const std::size_t start = entry.find_first_not_of(' ');
    if (start != std::string_view::npos) {
      if (auto converter = ParseConverter(entry.substr(start), &unused)) {
        converters.push_back(*converter);
      }
    }
    setting.remove_prefix(std::min(end + 2, setting.size()));
  }
  return converters;
}

CompareOptions ReadCompareOptions(const OptionFields& fields) {
  CompareOptions options;
  options.trimTop = fields.trimTop;
  options.trimTail = fields.trimTail;
  options.compress = fields.compress;
  options.split = fields.split;
  int value = 0;
  if (options.split &&
      ReadFieldNumber(fields.splitWidthText, kMinSplitWidth, kMaxSplitWidth, &value)) {
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
  options.oldLeft = fields.oldLeft;
  options.taishoStyle = fields.taishoSimple ? TaishoStyle::kSimple : TaishoStyle::kFormal;
  options.documents.converters = ReadConverters(fields.converters);
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
