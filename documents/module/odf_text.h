// The text of OpenDocument files (text, spreadsheet, presentation), read from their zip
// parts the same way as the Office files': one line per paragraph or row, headings for
// sheets and slides.
#pragma once

#include "documents/module/text_lines.h"
#include "documents/module/zip_parts.h"

namespace verko::documents {

// kVerkoOdfText, kVerkoOdfSpreadsheet or kVerkoOdfPresentation from the zip's "mimetype"
// part, or kVerkoNotDocument.
int OdfKind(ZipParts& zip);

// The text of an OpenDocument file of `kind` (one of OdfKind's). A text document's tracked
// changes are taken as accepted; *tracked tells whether there were any. Throws Refusal for an
// encrypted document.
void TakeOdfText(ZipParts& zip, int kind, TextLines& lines, bool* tracked);

}  // namespace verko::documents
