// Statistics of one report: lines and words of each kind.
#pragma once

#include <cstdint>

namespace verko {

struct ReportCounts {
  int CountCommon = 0, CountDeleted = 0, CountAdded = 0, CountMoved = 0;
  int32_t WordsCommon = 0, WordsDeleted = 0, WordsAdded = 0, WordsMoved = 0;

  int Differences() const { return CountAdded + CountDeleted + CountMoved; }
  int Lines() const { return CountCommon + Differences(); }
};

}  // namespace verko
