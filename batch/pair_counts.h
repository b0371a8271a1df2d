// UpdateCountInfo's counting of a list's rows and the count line it shows.
#pragma once

#include <string>
#include <vector>

#include "batch/batch_types.h"

namespace verko {

// A row with an unpaired old file counts as such first, then one with an unpaired new file,
// then one with an undecided result; every other row is a pair.
PairCounts CountPairs(const std::vector<PairRow>& rows);

// "5 pairs  2 unpaired": the pairs, then the other three counts together with the blank of
// a non-negative number before them.
std::string CountInfoText(const PairCounts& counts);

// A row still holding a placeholder is skipped by a batch run.
bool HasPlaceholder(const PairRow& row);

}  // namespace verko
