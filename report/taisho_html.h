// The 新旧対照表 as one self-contained HTML page: no external resources, every text escaped,
// laid out for printing on A4 landscape (the header row repeated on each page) and for
// narrow screens (the text columns wrap). Also well-formed XML, so that tools can read it.
#pragma once

#include <string>

#include "report/taisho_table.h"

namespace verko {

// Appends the page (UTF-8) to `out`.
void AppendTaishoHtml(const TaishoTable& table, std::string* out);

}  // namespace verko
