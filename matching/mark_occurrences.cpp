#include "matching/mark_occurrences.h"

namespace verko {

Flow MarkOccurrences(const TextIndex& index, std::vector<char>& marks, StageShare* share) {
  const int count = index.Count();
  if (count == 0) return Flow::kContinue;
  int previous = index.LineIdAt(0);
  int groupHead = index.KeyAt(0);
  bool anyDifference = false;
  for (int k = 1; k < count; ++k) {
    const int current = index.LineIdAt(k);
    const int key = index.KeyAt(k);
    if (key == groupHead) {
      marks[previous] = 'D';
      marks[current] = 'D';
    } else {
      if (marks[previous] != 'D') marks[previous] = 'U';
      groupHead = key;
      anyDifference = true;
    }
    previous = current;
    if (share != nullptr && share->Advance(k, count) == Flow::kStop) return Flow::kStop;
  }
  if (anyDifference && marks[previous] != 'D') marks[previous] = 'U';
  return Flow::kContinue;
}

}  // namespace verko
