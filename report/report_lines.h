// The five body-line forms of the result report (common, deleted, added, moved at the new
// position, moved at the old position), each appended to the report as one CP932 line with
// CR LF. Which lines are written, and when, is the report walk's business.
#pragma once

#include <string>

#include "compare/lines/line_table.h"

namespace verko {

// The most bytes of a body line before its text: the mark, two numbers with their parts and
// the columns' punctuation.
inline constexpr int kWidestLineHead = 48;

// "  " + old number and part + new number and part + " | " + text. `textSide` is the
// record whose text is shown (the two sides' texts are equal under the index collation).
void AppendCommonLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine,
                      const LineRecord& textSide);
// "- " + old number and part + nine blanks + " | " + old text.
void AppendDeletedLine(std::string& out, const LineRecord& oldLine);
// "+ " + nine blanks + new number and part + " | " + new text.
void AppendAddedLine(std::string& out, const LineRecord& newLine);
// ">+(" + old number (5) and part + ")" + new number (5) and part + " | " + new text.
void AppendMovedNewLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine);
// "<-" + old number and part + "(" + new number (5) and part + ")| " + old text.
void AppendMovedOldLine(std::string& out, const LineRecord& oldLine, const LineRecord& newLine);

}  // namespace verko
