#include "batch/pair_counts.h"

namespace verko {

PairCounts CountPairs(const std::vector<PairRow>& rows) {
  PairCounts counts;
  for (const PairRow& row : rows) {
    if (row.oldFile == UnpairedMark) {
      ++counts.unpairedOldCount;
    } else if (row.newFile == UnpairedMark) {
      ++counts.unpairedNewCount;
    } else if (row.resultFile == UndecidedMark) {
      ++counts.undecidedResultCount;
    } else {
      ++counts.pairedCount;
    }
  }
  return counts;
}

std::string CountInfoText(const PairCounts& counts) {
  return "ペア " + std::to_string(counts.pairedCount) + "　未ペア・未定 " +
         std::to_string(counts.Incomplete());
}

bool HasPlaceholder(const PairRow& row) {
  return row.oldFile == UnpairedMark || row.newFile == UnpairedMark ||
         row.resultFile == UndecidedMark;
}

}  // namespace verko
