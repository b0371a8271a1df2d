// The text of Office Open XML files (Word, Excel, PowerPoint), read from their zip parts.
#pragma once

#include <string>

#include "documents/module/text_lines.h"
#include "documents/module/zip_parts.h"

namespace verko::documents {

// The Office part kind of a zip: kVerkoWord, kVerkoExcel, kVerkoPowerPoint, or
// kVerkoNotDocument when it has none of their main parts.
int OfficeKind(const ZipParts& zip);

// A cell's text on one line: its line breaks become blanks, so a row stays one line.
std::string OneLine(std::string text);

// One line per paragraph: the headers (each different one once), the body (a table one
// line per cell paragraph), the footnotes, the endnotes and the footers. Tracked changes
// are taken as accepted; *tracked tells whether there were any.
void TakeWordText(ZipParts& zip, TextLines& lines, bool* tracked);
// A heading line per sheet ("[シート] 名前"), then one line per row that has a value, its
// cells' values (formulas as their last computed values) joined by tabs.
void TakeExcelText(ZipParts& zip, TextLines& lines);
// A heading line per slide ("[スライド 3]"), then one line per paragraph of its shapes.
void TakePowerPointText(ZipParts& zip, TextLines& lines);

}  // namespace verko::documents
