#include "matching/fill_gaps.h"

#include <algorithm>
#include <vector>

#include "matching/eligible_line.h"

namespace verko {
namespace {

// The old lines that are free at the start of a pass, grouped by exact text, each group in
// LineID order. Finding the first free line of a text after a given LineID is a binary
// search followed by a skip over the lines taken since; taken positions are skipped through
// a "next free position" chain with path halving, so a pass stays near linear however many
// lines share a text.
class FreeOldLines {
 public:
  FreeOldLines(const MatchTexts& texts, const MatchState& state) {
    const int oldCount = texts.OldCount();
    groupStart_.assign(texts.OldExactCount + 1, 0);
    for (int t = 1; t <= oldCount; ++t) {
      if (state.OldLink[t] == 0) ++groupStart_[texts.OldExact[t] + 1];
    }
    for (int g = 0; g < texts.OldExactCount; ++g) groupStart_[g + 1] += groupStart_[g];
    lines_.resize(groupStart_.back());
    std::vector<int> fill(groupStart_.begin(), groupStart_.end() - 1);
    for (int t = 1; t <= oldCount; ++t) {
      if (state.OldLink[t] == 0) lines_[fill[texts.OldExact[t]]++] = t;
    }
    // One extra position that is always free ends every chain.
    nextFree_.resize(lines_.size() + 1);
    for (std::size_t p = 0; p < nextFree_.size(); ++p) nextFree_[p] = static_cast<int>(p);
  }

  // The first free old line with exact text `exact` whose LineID lies strictly between
  // `low` and `high`; 0 when there is none. Takes the line it returns.
  int TakeFirstBetween(int exact, int low, int high) {
    if (exact >= static_cast<int>(groupStart_.size()) - 1) return 0;  // not an old text
    const int begin = groupStart_[exact];
    const int end = groupStart_[exact + 1];
    const int from = static_cast<int>(
        std::upper_bound(lines_.begin() + begin, lines_.begin() + end, low) - lines_.begin());
    const int pos = FindFree(from);
    if (pos >= end || lines_[pos] >= high) return 0;
    nextFree_[pos] = pos + 1;
    return lines_[pos];
  }

 private:
  int FindFree(int pos) {
    while (nextFree_[pos] != pos) {
      nextFree_[pos] = nextFree_[nextFree_[pos]];
      pos = nextFree_[pos];
    }
    return pos;
  }

  std::vector<int> groupStart_;  // positions of each exact text's group in lines_
  std::vector<int> lines_;       // free old LineIDs, grouped by text, ascending per group
  std::vector<int> nextFree_;    // itself when free, else a later position to look at
};

// For each new line, the nearest new line after it that is linked at the start of the pass
// (0 when there is none). Gap filling links only the line it stands on, so lines after the
// current one keep the links they had when the pass began.
std::vector<int> NextLinkedNewLines(const MatchState& state, int newCount) {
  std::vector<int> nextLinked(newCount + 1, 0);
  int next = 0;
  for (int c = newCount; c >= 1; --c) {
    nextLinked[c] = next;
    if (state.NewLink[c] != 0) next = c;
  }
  return nextLinked;
}

}  // namespace

GapFillResult FillGaps(const MatchTexts& texts, MatchState& state, GapCycle cycle,
                       ProgressMeter& progress) {
  GapFillResult result;
  StageShare share(progress, 7);
  const int newCount = texts.NewCount();
  const int oldCount = texts.OldCount();
  FreeOldLines freeOld(texts, state);
  const std::vector<int> nextLinked = NextLinkedNewLines(state, newCount);
  int previousLinked = 0;  // nearest linked new line before c, 0 when none
  for (int c = 1; c <= newCount; ++c) {
    if (IsEligibleNewLine(state, c)) {
      if (cycle == GapCycle::kFirst && texts.NewBlank[c]) {
        result.blankSkipped = true;
      } else {
        const int low = previousLinked != 0 ? state.NewLink[previousLinked] : 0;
        const int high = nextLinked[c] != 0 ? state.NewLink[nextLinked[c]] : oldCount + 1;
        if (high - 1 >= low + 1) {
          const int t = freeOld.TakeFirstBetween(texts.NewExact[c], low, high);
          if (t != 0) state.Link(c, t);
        }
      }
    }
    if (state.NewLink[c] != 0) previousLinked = c;
    if (share.Advance(c, newCount) == Flow::kStop) {
      result.flow = Flow::kStop;
      return result;
    }
  }
  return result;
}

}  // namespace verko
