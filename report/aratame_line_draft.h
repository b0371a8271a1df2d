// The 改め文 of a document drafted by its lines (「3行目中「A」を「B」に改める。」,
// 「5行目の次に次の二行を加える。」), from the end of the document towards its start so that
// every line number is the old text's. For documents without provisions, and where the
// provisions of one could not be drafted.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "report/aratame_wording.h"

namespace verko {

// A sentence of a draft: the instruction and the lines it quotes.
struct DraftSentence {
  std::string text;                 // without indentation, ending 。
  std::vector<std::string> quoted;  // the lines quoted, as they stand in the new text
  bool lineQuotes = false;          // lines of a document without provisions
};

std::vector<DraftSentence> DraftByLines(const std::vector<std::string>& oldLines,
                                        const std::vector<std::string>& newLines,
                                        AratameStyle style);

// Line `index` (from 0) of the old text changed into `newLine`: its words, or the line whole.
DraftSentence DraftLineChange(const std::vector<std::string>& oldLines, int index,
                              const std::string& newLine, AratameStyle style);
// `added` after line `after` of the old text (counted from 1; 0: before the first).
DraftSentence DraftLineInsertion(int after, const std::vector<std::string>& added,
                                 AratameStyle style);
// Line `index` (from 0) deleted.
DraftSentence DraftLineDeletion(int index);

// A quoted provision indented as the official texts do: by one U+3000, a 号 by two.
std::string QuotedProvisionLine(const std::string& line);

// The sentences as the amendment's text: instructions indented by two U+3000.
std::string WriteSentences(const std::vector<DraftSentence>& sentences);

}  // namespace verko
