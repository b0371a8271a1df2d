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

// <0, 0, >0 as the folded texts compare bytewise (unsigned), a prefix first.
int CompareFolded(std::string_view a, std::string_view b);

}  // namespace verko
