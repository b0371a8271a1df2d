#include "report/taisho_export.h"

#include "report/taisho_docx.h"
#include "report/taisho_html.h"
#include "report/taisho_rows.h"
#include "report/taisho_xlsx.h"

namespace verko {

namespace {

// Every line of a side as UTF-8, a cut line's pieces joined into one.
std::vector<std::string> WholeLinesOf(const LineTable& lines, const ExportInput& input) {
  std::vector<std::string> whole;
  int lineNo = 0;
  for (const LineRecord& record : lines.Records()) {
    if (whole.empty() || record.LineNo != lineNo) whole.emplace_back();
    lineNo = record.LineNo;
    whole.back() += input.Utf8(record.Text);
  }
  return whole;
}

}  // namespace

TaishoTable TaishoTableOf(const ExportInput& input) {
  TaishoTable table;
  table.oldName = input.oldName;
  table.newName = input.newName;
  table.dateTime = input.dateTime;
  table.oldLeft = input.options.oldLeft;
  if (!input.options.title.empty()) table.title = input.options.title;
  const Comparison& comparison = *input.comparison;
  std::optional<std::vector<TaishoRow>> byProvision;
  if (comparison.oldText != nullptr && comparison.newText != nullptr) {
    byProvision = ProvisionRowsOf(
        WholeLinesOf(*comparison.oldText, input), WholeLinesOf(*comparison.newText, input),
        {input.options.taishoStyle, input.options.allLines, input.options.units});
  }
  if (byProvision) {
    table.byProvision = true;
    table.doubleUnderlines = input.options.taishoStyle == TaishoStyle::kFormal;
    table.rows = std::move(*byProvision);
  } else {
    table.rows = TaishoRowsOf(comparison, *input.working, input.options.units);
  }
  return table;
}

Status WriteTaishoHtml(const ExportInput& input, std::string& out) {
  AppendTaishoHtml(TaishoTableOf(input), &out);
  return Status::Ok();
}

Status WriteTaishoXlsx(const ExportInput& input, std::string& out) {
  std::string bytes;
  Status status = MakeTaishoWorkbook(TaishoTableOf(input), &bytes, input.stopRequested);
  if (status.ok()) out += bytes;
  return status;
}

Status WriteTaishoDocx(const ExportInput& input, std::string& out) {
  std::string bytes;
  Status status = MakeTaishoDocument(TaishoTableOf(input), &bytes);
  if (status.ok()) out += bytes;
  return status;
}

}  // namespace verko
