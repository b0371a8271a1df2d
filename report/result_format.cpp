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

bool RecogniseResultFormat(std::string_view bytes, ResultFormat* format) {
  // A zip's part names stand in its local headers and its central directory.
  if (bytes.starts_with("PK\x03\x04")) {
    if (bytes.find("word/document.xml") != std::string_view::npos) {
      *format = ResultFormat::kDocx;
      return true;
    }
    if (bytes.find("xl/workbook.xml") != std::string_view::npos) {
      *format = ResultFormat::kXlsx;
      return true;
    }
    return false;
  }
  std::string head;
  for (char c : bytes.substr(0, 64)) {
    head.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  head.erase(0, head.find_first_not_of(" \t\r\n"));
  if (head.starts_with("<!doctype html") || head.starts_with("<html")) {
    *format = ResultFormat::kHtml;
  } else if (head.starts_with("{")) {
    *format = ResultFormat::kJson;
  } else if (head.starts_with("--- ") && bytes.find("\n+++ ") != std::string_view::npos) {
    *format = ResultFormat::kUnified;
  } else {
    return false;
  }
  return true;
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
