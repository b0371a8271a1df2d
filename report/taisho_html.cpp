#include "report/taisho_html.h"

#include <string_view>

namespace verko {

namespace {

// Print and screen layout. The fixed table layout lets the two text columns share the width
// whatever their texts, and pre-wrap keeps blanks and tabs while long lines wrap.
constexpr std::string_view kStyle = R"(@page { size: A4 landscape; margin: 12mm 10mm;
  @bottom-center { content: counter(page) " / " counter(pages); font-size: 8pt; } }
body { margin: 1.5em; color: #000; background: #fff;
  font-family: "Noto Sans CJK JP", "Noto Sans JP", "Hiragino Kaku Gothic ProN", "Yu Gothic",
    Meiryo, sans-serif; font-size: 10.5pt; line-height: 1.5; }
h1 { font-size: 1.5em; text-align: center; letter-spacing: .3em; margin: 0 0 .4em; }
p.date, p.note { margin: 0 0 .3em; text-align: right; }
table { width: 100%; border-collapse: collapse; table-layout: fixed; }
col.no { width: 3.6em; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
th, td { border: 1px solid #000; padding: .2em .4em; vertical-align: top; }
th { background: #eee; font-weight: bold; text-align: center; }
th .file { display: block; font-weight: normal; font-size: .85em; overflow-wrap: anywhere; }
td.no { text-align: right; color: #444; font-variant-numeric: tabular-nums; }
td.text { white-space: pre-wrap; overflow-wrap: anywhere; tab-size: 4; }
td.note { color: #333; }
u { text-decoration: underline; text-decoration-thickness: 1px; text-underline-offset: .2em; }
u.double { text-decoration-style: double; }
@media print { body { margin: 0; font-size: 9.5pt; } th { -webkit-print-color-adjust: exact;
  print-color-adjust: exact; } }
@media (max-width: 40em) { body { margin: .4em; font-size: 10pt; } col.no { width: 2.6em; }
  th, td { padding: .1em .2em; } })";

// Appends a text shown safely (see AppendShownText) with the characters that HTML and XML
// give a meaning escaped.
void AppendEscaped(std::string_view utf8, std::string* out) {
  const std::size_t start = out->size();
  AppendShownText(utf8, out);
  // Most texts hold nothing to escape: they stay as shown.
  if (out->find_first_of("&<>\"'", start) == std::string::npos) return;
  const std::string shown = out->substr(start);
  out->resize(start);
  for (const char c : shown) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      case '\'':
        *out += "&#39;";
        break;
      default:
        out->push_back(c);
    }
  }
}

void AppendHeading(const TaishoTable& table, TaishoSide side, std::string* out) {
  *out += "<th>";
  AppendEscaped(HeadingOf(side), out);
  *out += "<span class=\"file\">";
  AppendEscaped(FileNameOf(table, side), out);
  *out += "</span></th>";
}

// A side of a row: its line number (none in a table by provision) and its text or note.
void AppendCell(const TaishoTable& table, const TaishoRow& row, TaishoSide side, std::string* out) {
  const TaishoCell cell = CellOf(row, side);
  if (!table.byProvision) {
    *out += "<td class=\"no\">";
    AppendEscaped(cell.number, out);
    *out += "</td>";
  }
  if (!cell.note.empty()) {
    *out += "<td class=\"text note\">";
    AppendEscaped(cell.note, out);
    *out += "</td>";
    return;
  }
  *out += "<td class=\"text\">";
  for (const TaishoPiece& piece : cell.pieces) {
    if (piece.changed) *out += piece.doubled ? "<u class=\"double\">" : "<u>";
    AppendEscaped(piece.text, out);
    if (piece.changed) *out += "</u>";
  }
  *out += "</td>";
}

void AppendLineHeading(const TaishoTable& table, std::string* out) {
  if (table.byProvision) return;
  *out += "<th>";
  AppendEscaped(kTaishoLineHeading, out);
  *out += "</th>";
}

}  // namespace

void AppendTaishoHtml(const TaishoTable& table, std::string* out) {
  const TaishoSide left = LeftSide(table), right = RightSide(table);
  *out += "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\"/>\n";
  *out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n<title>";
  AppendEscaped(table.title, out);
  *out += " ";
  AppendEscaped(table.newName, out);
  *out += "</title>\n<style>\n";
  *out += kStyle;
  *out += "\n</style>\n</head>\n<body>\n<h1>";
  AppendEscaped(table.title, out);
  *out += "</h1>\n<p class=\"date\">";
  AppendEscaped(kTaishoDateLabel, out);
  AppendEscaped(table.dateTime, out);
  *out += "</p>\n<p class=\"note\">";
  AppendEscaped(NoteOf(table), out);
  *out += table.byProvision
              ? "</p>\n<table>\n<colgroup><col/><col/></colgroup>\n"
              : "</p>\n<table>\n<colgroup><col class=\"no\"/><col/><col class=\"no\"/><col/>"
                "</colgroup>\n";
  *out += "<thead><tr>";
  AppendLineHeading(table, out);
  AppendHeading(table, left, out);
  AppendLineHeading(table, out);
  AppendHeading(table, right, out);
  *out += "</tr></thead>\n<tbody>\n";
  for (const TaishoRow& row : table.rows) {
    *out += "<tr>";
    AppendCell(table, row, left, out);
    AppendCell(table, row, right, out);
    *out += "</tr>\n";
  }
  *out += "</tbody>\n</table>\n</body>\n</html>\n";
}

}  // namespace verko
