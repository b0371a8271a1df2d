// The text layer of a PDF, page by page in reading order, through poppler's C++ library.
#pragma once

#include <string>

#include "documents/module/text_lines.h"

namespace verko::documents {

// A heading line per page ("[ページ 3]"), then the page's lines. Throws Refusal for a PDF
// that cannot be read, one protected by a password, and one without a text layer (a scan).
void TakePdfText(const std::string& path, TextLines& lines);

}  // namespace verko::documents
