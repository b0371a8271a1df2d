#include "matching/match_leftovers.h"

#include <algorithm>
#include <vector>

#include "matching/mark_occurrences.h"
#include "matching/text_index.h"

namespace verko {
namespace {

// The LineIDs of the unlinked lines not marked "U", in LineID order.
std::vector<int> CollectLeftovers(const std::vector<int>& links, const std::vector<char>& marks,
                                  int count) {
  std::vector<int> ids;
  for (int id = 1; id <= count; ++id) {
    if (links[id] == 0 && marks[id] != 'U') ids.push_back(id);
  }
  return ids;
}

}  // namespace

Flow MatchLeftovers(const LineTable& oldText, const LineTable& newText, const MatchTexts& texts,
                    MatchState& state, ProgressMeter& progress, WorkStore& store) {
  store.CreateLineTable("OldText2");
  store.CreateLineTable("NewText2");
  const std::vector<int> oldLeft =
      CollectLeftovers(state.OldLink, state.OldMarks, texts.OldCount());
  const std::vector<int> newLeft =
      CollectLeftovers(state.NewLink, state.NewMarks, texts.NewCount());
  store.AppendLines("OldText2", oldText, oldLeft);
  store.AppendLines("NewText2", newText, newLeft);

  if (oldLeft.empty() || newLeft.empty()) {
    progress.AddSilently(3);
    return Flow::kContinue;
  }

  const TextIndex oldIndex(texts.OldKey, texts.KeyCount, oldLeft);
  const TextIndex newIndex(texts.NewKey, texts.KeyCount, newLeft);
  store.CreateTextOrderIndex("OldText2", oldIndex.Order());
  store.CreateTextOrderIndex("NewText2", newIndex.Order());
  if (progress.Step(1) == Flow::kStop) return Flow::kStop;

  std::fill(state.OldMarks.begin(), state.OldMarks.end(), '\0');
  std::fill(state.NewMarks.begin(), state.NewMarks.end(), '\0');
  MarkOccurrences(oldIndex, state.OldMarks, nullptr);
  MarkOccurrences(newIndex, state.NewMarks, nullptr);
  if (progress.Step(1) == Flow::kStop) return Flow::kStop;

  for (int j : newLeft) {
    if (state.NewMarks[j] != 'U') continue;
    const int i = oldIndex.SeekEqual(texts.NewKey[j]);
    if (i != 0 && state.OldMarks[i] == 'U') state.Link(j, i);
  }
  return progress.Step(1);
}

}  // namespace verko
