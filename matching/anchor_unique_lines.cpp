#include "matching/anchor_unique_lines.h"

namespace verko {

Flow AnchorUniqueLines(const TextIndex& oldIndex, const MatchTexts& texts, MatchState& state,
                       ProgressMeter& progress) {
  StageShare share(progress, 9);
  const int newCount = texts.NewCount();
  for (int c = 1; c <= newCount; ++c) {
    if (state.NewMarks[c] == 'U') {
      const int oldId = oldIndex.SeekEqual(texts.NewKey[c]);
      if (oldId != 0) {
        if (state.OldMarks[oldId] == 'U') {
          state.Link(c, oldId);
        } else {
          state.NewMarks[c] = 'M';
        }
      }
    }
    if (share.Advance(c, newCount) == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

}  // namespace verko
