#include "report/result_format.h"

#include <cctype>
#include <string>

namespace verko {

bool ParseResultFormat(std::string_view name, ResultFormat* format) {
  std::string key;
  for (char c : name) key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  for (ResultFormat candidate : kResultFormats) {
    if (key == ResultFormatName(candidate)) {
      *format = candidate;
      return true;
    }
  }
  return false;
}

namespace {

// A format's name on the command line, its caption and its file's extension.
struct FormatNames {
  const char* name;
  const char* caption;
  const char* extension;
};

// Every case listed and no default: a format added to the enum without names here is a
// compiler warning, not a format silently named "report".
FormatNames NamesOf(ResultFormat format) {
  switch (format) {
    case ResultFormat::kHtml:
      return {"html", "新旧対照表（HTML）", ".html"};
    case ResultFormat::kXlsx:
      return {"xlsx", "新旧対照表（Excel）", ".xlsx"};
    case ResultFormat::kDocx:
      return {"docx", "新旧対照表（Word）", ".docx"};
    case ResultFormat::kUnified:
      return {"unified", "unified diff", ".diff"};
    case ResultFormat::kJson:
      return {"json", "JSON", ".json"};
    case ResultFormat::kReport:
      break;
  }
  return {"report", "比較結果レポート", ""};
}

}  // namespace

const char* ResultFormatName(ResultFormat format) {
  return NamesOf(format).name;
}

const char* ResultFormatCaption(ResultFormat format) {
  return NamesOf(format).caption;
}

const char* ResultFormatExtension(ResultFormat format) {
  return NamesOf(format).extension;
}

bool IsTextFormat(ResultFormat format) {
  return format != ResultFormat::kXlsx && format != ResultFormat::kDocx;
}

}  // namespace verko
