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

const char* ResultFormatName(ResultFormat format) {
  switch (format) {
    case ResultFormat::kHtml:
      return "html";
    case ResultFormat::kXlsx:
      return "xlsx";
    case ResultFormat::kDocx:
      return "docx";
    case ResultFormat::kUnified:
      return "unified";
    case ResultFormat::kJson:
      return "json";
    default:
      return "report";
  }
}

const char* ResultFormatCaption(ResultFormat format) {
  switch (format) {
    case ResultFormat::kHtml:
      return "新旧対照表（HTML）";
    case ResultFormat::kXlsx:
      return "新旧対照表（Excel）";
    case ResultFormat::kDocx:
      return "新旧対照表（Word）";
    case ResultFormat::kUnified:
      return "unified diff";
    case ResultFormat::kJson:
      return "JSON";
    default:
      return "比較結果レポート";
  }
}

const char* ResultFormatExtension(ResultFormat format) {
  switch (format) {
    case ResultFormat::kHtml:
      return ".html";
    case ResultFormat::kXlsx:
      return ".xlsx";
    case ResultFormat::kDocx:
      return ".docx";
    case ResultFormat::kUnified:
      return ".diff";
    case ResultFormat::kJson:
      return ".json";
    default:
      return "";
  }
}

bool IsTextFormat(ResultFormat format) {
  return format != ResultFormat::kXlsx && format != ResultFormat::kDocx;
}

bool ResultFormatMarksChanges(ResultFormat format) {
  switch (format) {
    case ResultFormat::kHtml:
    case ResultFormat::kXlsx:
    case ResultFormat::kDocx:
    case ResultFormat::kJson:
      return true;
    case ResultFormat::kReport:
    case ResultFormat::kUnified:
      return false;
  }
  return false;
}

}  // namespace verko
