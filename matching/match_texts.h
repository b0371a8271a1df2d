// The line texts as matching compares them, computed once per run. Each line gets a text
// key, the rank of its case-folded text in text-index order (equal keys: index-equal, that
// is textually equal, texts), and an exact number (equal numbers: identical bytes), so the
// stages compare integers instead of texts.
#pragma once

#include <string_view>
#include <vector>

#include "common/text_fold.h"
#include "compare/lines/line_table.h"

namespace verko {

struct MatchTexts {
  // Indexed by LineID; slot 0 is unused.
  std::vector<int> OldKey, NewKey;      // 0 .. KeyCount - 1, in the order of folded texts
  std::vector<int> OldExact, NewExact;  // equal numbers = identical bytes
  std::vector<char> NewBlank;           // 1 for a blank new text
  int KeyCount = 0;
  // Exact numbers below this occur in the old file; the others only in the new file.
  int OldExactCount = 0;

  int OldCount() const { return static_cast<int>(OldExact.size()) - 1; }
  int NewCount() const { return static_cast<int>(NewExact.size()) - 1; }
};

// Keys, numbers and blank flags of the texts of both tables.
MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText);
// The same under `fold`: keys by the whole fold, exact numbers by all of it but the
// letter-case fold (the default's exact equality is identical bytes).
MatchTexts PrepareMatchTexts(const LineTable& oldText, const LineTable& newText,
                             const TextFold& fold);

// A blank text: nothing but spaces (or nothing at all), or exactly one NUL character.
bool IsBlankText(std::string_view text);

}  // namespace verko
