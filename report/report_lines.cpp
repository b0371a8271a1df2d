#include "report/report_lines.h"

#include "compare/lines/line_functions.h"
#include "report/report_format.h"

namespace verko {
namespace {

void AppendText(std::string& out, const LineRecord& line) {
  std::string_view text = CutNull(line.Text);
  out.append(text);
  out.append("\r\n");
}

}  // namespace

void AppendCommonLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine,
                      const LineRecord& textSide) {
  out.append("  ");
  AppendNumber(out, oldLine.LineNo, 6);
  AppendPartNo(out, oldLine.PartNo);
  AppendNumber(out, newLine.LineNo, 6);
  AppendPartNo(out, newLine.PartNo);
  out.append(" | ");
  AppendText(out, textSide);
}

void AppendDeletedLine(std::string& out, const LineRecord& oldLine) {
  out.append("- ");
  AppendNumber(out, oldLine.LineNo, 6);
  AppendPartNo(out, oldLine.PartNo);
  out.append(9, ' ');
  out.append(" | ");
  AppendText(out, oldLine);
}

void AppendAddedLine(std::string& out, const LineRecord& newLine) {
  out.append("+ ");
  out.append(9, ' ');
  AppendNumber(out, newLine.LineNo, 6);
  AppendPartNo(out, newLine.PartNo);
  out.append(" | ");
  AppendText(out, newLine);
}

void AppendMovedNewLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine) {
  out.append(">+(");
  AppendNumber(out, oldLine.LineNo, 5);
  AppendPartNo(out, oldLine.PartNo);
  out.append(")");
  AppendNumber(out, newLine.LineNo, 5);
  AppendPartNo(out, newLine.PartNo);
  out.append(" | ");
  AppendText(out, newLine);
}

void AppendMovedOldLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine) {
  out.append("<-");
  AppendNumber(out, oldLine.LineNo, 6);
  AppendPartNo(out, oldLine.PartNo);
  out.append("(");
  AppendNumber(out, newLine.LineNo, 5);
  AppendPartNo(out, newLine.PartNo);
  out.append(")| ");
  AppendText(out, oldLine);
}

}  // namespace verko
