// Lines that moved and were also edited: matching links only equal lines, so a line moved
// and changed shows as a deleted line in one place and an added line in another. This unit
// finds such pairs among the deleted and added lines that their own blocks left unpaired,
// by the likeness of lines inside a block (LineSimilarity), at a cost bounded per line.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "common/text_encoding.h"

namespace verko {

// How many lines an unpaired deleted line is weighed against, at most.
inline constexpr int kMaxMovedCandidates = 16;

// Pairs `oldLines` (deleted lines no block paired) with `newLines` (added lines likewise):
// each pair (old index, new index) is at least kMinPairSimilarity alike, and a line is in
// one pair at most. Old lines take their partner in order, the most alike of the candidates
// that share one of a few of its units (chosen by hash, so alike lines most likely share
// one), at most kMaxMovedCandidates of them; lines of fewer than eight units are left alone,
// since a short line is alike to too many others. Cost: linear in the lines' bytes.
std::vector<std::pair<int, int>> PairMovedEdits(const std::vector<std::string_view>& oldLines,
                                                const std::vector<std::string_view>& newLines,
                                                TextEncoding encoding);

}  // namespace verko
