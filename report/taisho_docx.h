// The 新旧対照表 as a Word document (WordprocessingML, the form offices edit and file): the
// title, date and note, then the table with its header row repeated on every page, the
// changed words as underlined runs (doubly where the table says), on A4 landscape with
// Japanese fonts and a page number in the footer. The XML is written here; libzip (loaded on
// first use) packs its XML files.
#pragma once

#include <string>
#include <vector>

#include "common/status.h"
#include "report/taisho_table.h"

namespace verko {

// The XML files of the document: name in the package → content (well-formed XML, UTF-8).
struct DocumentPart {
  std::string name;
  std::string content;
};
std::vector<DocumentPart> TaishoDocumentParts(const TaishoTable& table);

// The document's bytes (a zip package) into *bytes; fails when libzip cannot be loaded or
// refuses.
Status MakeTaishoDocument(const TaishoTable& table, std::string* bytes);

// Whether Word documents can be written here: libzip is loaded now, when first needed (and
// tried again on a later call after a failure). Fails with the reason it cannot be.
Status TaishoDocumentAvailable();

}  // namespace verko
