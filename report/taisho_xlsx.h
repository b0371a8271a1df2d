// The 新旧対照表 as an Excel workbook, written with libxlsxwriter: one sheet with a column of
// line numbers before each text column, the changed characters underlined as rich text, the
// texts wrapped, the header row frozen and repeated on each printed page, printed on A4
// landscape fitted to the page width.
#pragma once

#include <functional>
#include <string>

#include "common/status.h"
#include "report/taisho_table.h"

namespace verko {

// Writes the workbook into `bytes`, through a file of its own in the temporary folder ($TMPDIR,
// else /tmp; the library writes files only) that is gone afterwards. Fails with the system's
// reason when the file cannot be made or written, or the library fails (too little memory),
// and when `stop` (asked now and then, may be empty) says to stop.
Status MakeTaishoWorkbook(const TaishoTable& table, std::string* bytes,
                          const std::function<bool()>& stop = {});

// Whether workbooks can be written here: libxlsxwriter is loaded now, when first needed
// (and tried again on a later call after a failure). Fails with the reason it cannot be.
Status TaishoWorkbookAvailable();

}  // namespace verko
