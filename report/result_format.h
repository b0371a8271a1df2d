// The forms a comparison's result can take: the report (the default), the 新旧対照表 as
// HTML or as an Excel workbook, a unified diff, the comparison as JSON data, and the
// 改め文 that amends the old text into the new.
#pragma once

#include <string_view>

namespace verko {

enum class ResultFormat { kReport, kHtml, kXlsx, kUnified, kJson, kAratame };

// "report", "html", "xlsx", "unified" or "json" (in any letter case); false for anything else.
bool ParseResultFormat(std::string_view name, ResultFormat* format);
// The name ParseResultFormat takes ("unified").
const char* ResultFormatName(ResultFormat format);
// What the main window's 出力形式 selector shows ("新旧対照表（HTML）").
const char* ResultFormatCaption(ResultFormat format);
// The extension a folder run gives a result after the old file's name: empty for the
// report, ".html", ".xlsx", ".diff" or ".json" for the others.
const char* ResultFormatExtension(ResultFormat format);
// Whether the result is text, which standard output takes ("-" as the result); a workbook
// is not.
bool IsTextFormat(ResultFormat format);

// Every format in the order of the selector, the report first.
inline constexpr ResultFormat kResultFormats[] = {ResultFormat::kReport, ResultFormat::kHtml,
                                                  ResultFormat::kXlsx,   ResultFormat::kUnified,
                                                  ResultFormat::kJson,   ResultFormat::kAratame};

}  // namespace verko
