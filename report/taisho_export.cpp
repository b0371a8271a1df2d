#include "report/taisho_export.h"

#include "report/taisho_html.h"
#include "report/taisho_rows.h"
#include "report/taisho_xlsx.h"

namespace verko {

TaishoTable TaishoTableOf(const ExportInput& input) {
  TaishoTable table;
  table.oldName = input.oldName;
  table.newName = input.newName;
  table.dateTime = input.dateTime;
  table.oldLeft = input.options.oldLeft;
  table.rows = TaishoRowsOf(*input.comparison, *input.working);
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

}  // namespace verko
