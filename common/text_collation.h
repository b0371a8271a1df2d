// Text equality and order of line texts: code page 932 bytes compared after folding letter
// case (ASCII A-Z, full-width Ａ-Ｚ, Greek and Cyrillic capitals to their small forms).
// Nothing else is folded: no width, kana or trailing-blank folding. The line tables' text
// index and the occurrence scan both use this one relation.
#pragma once

#include <string>
#include <string_view>

namespace verko {

// The text with every foldable capital replaced by its small form (same byte length).
std::string FoldCase(std::string_view cp932);
// The same into `copy`, which holds a copy of the text's bytes: only its capitals are
// written.
void FoldCapitals(std::string_view cp932, char* copy);

// Whether FoldCase changes the text. Most lines hold no capital, so callers can skip the
// copy; Japanese lines, mostly led by 0x82 and 0x83, need a real check.
bool HasFoldableCapital(std::string_view cp932);

// <0, 0, >0 as the folded texts compare bytewise (unsigned), a prefix first. Computed in
// place (no copies; identical leading bytes are skipped without folding): the record
// store's collation "VerkoText" calls it for every comparison of an index.
int CompareFolded(std::string_view a, std::string_view b);

}  // namespace verko
