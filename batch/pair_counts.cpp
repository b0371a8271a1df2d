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
  const int others = counts.Incomplete();
  return std::to_string(counts.pairedCount) + " pairs " + (others >= 0 ? " " : "") +
         std::to_string(others) + " unpaired";
}

bool HasPlaceholder(const PairRow& row) {
  return row.oldFile == UnpairedMark || row.newFile == UnpairedMark ||
         row.resultFile == UndecidedMark;
}

}  // namespace verko
