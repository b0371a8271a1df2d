// The forms a comparison's result can take: the report (the default), the 新旧対照表 as
// HTML, as an Excel workbook or as a Word document, a unified diff, and the comparison as JSON
// data.
#pragma once

#include <string_view>

namespace verko {

enum class ResultFormat { kReport, kHtml, kXlsx, kDocx, kUnified, kJson };

// "report", "html", "xlsx", "docx", "unified" or "json" (in any letter case); false for anything
// else.
bool ParseResultFormat(std::string_view name, ResultFormat* format);
// The name ParseResultFormat takes ("unified").
const char* ResultFormatName(ResultFormat format);
// What the main window's 出力形式 selector shows ("新旧対照表（HTML）").
const char* ResultFormatCaption(ResultFormat format);
// The extension a folder run gives a result after the old file's name: empty for the
// report, ".html", ".xlsx", ".docx", ".diff" or ".json" for the others.
const char* ResultFormatExtension(ResultFormat format);
// Whether the result is text, which standard output takes ("-" as the result); a workbook
// and a Word document are not.
bool IsTextFormat(ResultFormat format);
// Whether the result shows the changed words of changed lines (the 新旧対照表, JSON).
bool ResultFormatMarksChanges(ResultFormat format);

// Every format in the order of the selector, the report first.
inline constexpr ResultFormat kResultFormats[] = {ResultFormat::kReport,  ResultFormat::kHtml,
                                                  ResultFormat::kXlsx,    ResultFormat::kDocx,
                                                  ResultFormat::kUnified, ResultFormat::kJson};

}  // namespace verko
