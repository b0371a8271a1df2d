#include "matching/match_lines.h"

#include "matching/anchor_unique_lines.h"
#include "matching/extend_runs.h"
#include "matching/fill_gaps.h"
#include "matching/mark_occurrences.h"
#include "matching/match_leftovers.h"
#include "matching/match_texts.h"
#include "matching/text_index.h"

namespace verko {
namespace {

// Share of one cycle of extension and gap filling (9 + 7 + 7): taken back before a second
// cycle, which adds it again.
constexpr int kCycleShare = 23;

// The occurrence scans of both files, a share of 4.5 each.
Flow MarkBothFiles(const TextIndex& oldIndex, const TextIndex& newIndex, MatchState& state,
                   ProgressMeter& progress) {
  StageShare oldScan(progress, 4.5);
  if (MarkOccurrences(oldIndex, state.OldMarks, &oldScan) == Flow::kStop) {
    return Flow::kStop;
  }
  StageShare newScan(progress, 4.5);
  return MarkOccurrences(newIndex, state.NewMarks, &newScan);
}

// Extension and gap filling; a second cycle, with blank lines, runs only when the first
// held a blank line back.
Flow ExtendAndFillGaps(const MatchTexts& texts, MatchState& state, ProgressMeter& progress) {
  GapCycle cycle = GapCycle::kFirst;
  for (;;) {
    if (ExtendRuns(texts, state, progress) == Flow::kStop) return Flow::kStop;
    const GapFillResult gaps = FillGaps(texts, state, cycle, progress);
    if (gaps.flow == Flow::kStop) return Flow::kStop;
    if (cycle == GapCycle::kSecond || !gaps.blankSkipped) return Flow::kContinue;
    cycle = GapCycle::kSecond;
    progress.Lower(kCycleShare);
  }
}

}  // namespace

Flow MatchLines(const LineTable& oldText, const LineTable& newText, MatchState& state,
                ProgressMeter& progress, WorkStore& store) {
  return MatchLines(oldText, newText, state, progress, store, TextFold{});
}

Flow MatchLines(const LineTable& oldText, const LineTable& newText, MatchState& state,
                ProgressMeter& progress, WorkStore& store, const TextFold& fold) {
  // The stages need a record on each side; with an empty file every line of the other one
  // simply stays unlinked.
  if (oldText.Count() == 0 || newText.Count() == 0) return Flow::kContinue;

  progress.SetPhaseText("比較処理中");
  const MatchTexts texts = PrepareMatchTexts(oldText, newText, fold);
  const TextIndex oldIndex(texts.OldKey, texts.KeyCount, AllLineIds(oldText.Count()));
  const TextIndex newIndex(texts.NewKey, texts.KeyCount, AllLineIds(newText.Count()));
  store.CreateTextOrderIndex("OldText", oldIndex.Order());
  store.CreateTextOrderIndex("NewText", newIndex.Order());
  if (progress.Step(5) == Flow::kStop) return Flow::kStop;
  if (MarkBothFiles(oldIndex, newIndex, state, progress) == Flow::kStop) return Flow::kStop;
  if (AnchorUniqueLines(oldIndex, texts, state, progress) == Flow::kStop) {
    return Flow::kStop;
  }
  if (ExtendAndFillGaps(texts, state, progress) == Flow::kStop) return Flow::kStop;
  return MatchLeftovers(oldText, newText, texts, state, progress, store);
}

}  // namespace verko
