// The fewest moves: the longest chain of links whose old and new line numbers both increase.
// A report that takes this chain as its common lines shows as moved only the lines that
// really left their order.
#pragma once

#include <vector>

namespace verko {

// `newLink[n]` is the old line linked to new line n (0 = none; index 0 unused). Returns a
// flag for every new line (same size as newLink): 1 for the linked lines of one longest
// chain in which the old line numbers never decrease along the new lines, 0 for all others.
// O(n log n) time, O(n) memory.
std::vector<char> LongestOrderedChain(const std::vector<int>& newLink);

}  // namespace verko
