// Sorting of distinct texts into text-index order: bytes compared as unsigned values, a
// text before every longer text it begins with. Sorted eight bytes at a time, so it stays
// fast when many texts share a long beginning (indented source lines, numbered lines).
#pragma once

#include <string_view>
#include <vector>

namespace verko {

// The positions 0 .. texts.size() - 1 of `texts`, ordered by their texts (equal texts
// keep no particular order).
std::vector<int> SortTextPositions(const std::vector<std::string_view>& texts);

}  // namespace verko
