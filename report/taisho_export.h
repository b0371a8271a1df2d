// The result formats html, xlsx and docx: the 新旧対照表 of a run's comparison (FormatWriter).
#pragma once

#include <string>

#include "common/status.h"
#include "report/format_writer.h"
#include "report/taisho_table.h"

namespace verko {

// The table of a run: its rows (taisho_rows.h), the two names, the date and the column order.
TaishoTable TaishoTableOf(const ExportInput& input);

// The table as one HTML page (UTF-8) appended to `out`; never fails.
Status WriteTaishoHtml(const ExportInput& input, std::string& out);
// The table as an Excel workbook appended to `out`; fails when the workbook's file cannot
// be made or written.
Status WriteTaishoXlsx(const ExportInput& input, std::string& out);
// The table as a Word document appended to `out`; fails when the zip library cannot be
// loaded or refuses.
Status WriteTaishoDocx(const ExportInput& input, std::string& out);

}  // namespace verko
