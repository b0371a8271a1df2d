// The line texts as matching compares them, computed once per run: the case-folded form
// that orders and equates texts in the text index, and an exact-text number per line so
// that identical bytes compare as equal integers.
#pragma once

#include <string>
#include <vector>

#include "compare/line_table.h"

namespace verko {

struct MatchTexts {
  // Indexed by LineID; slot 0 is unused.
  std::vector<std::string> OldFolded, NewFolded;  // FoldCase of each text
  std::vector<int> OldExact, NewExact;            // equal numbers = identical bytes
  std::vector<char> NewBlank;                     // 1 for a blank new text
  // Exact numbers below this occur in the old file; the others only in the new file.
  int OldExactCount = 0;

  int OldCount() const { return static_cast<int>(OldExact.size()) - 1; }
  int NewCount() const { return static_cast<int>(NewExact.size()) - 1; }
};

// Folds, numbers and classifies the texts of both tables.
MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText);

// A blank text: nothing but spaces (or nothing at all), or exactly one NUL character.
bool IsBlankText(const std::string& text);

}  // namespace verko
