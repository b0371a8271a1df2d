// The matching phase: pairs the line records of the old file with those of the new file by
// unique texts, run growth, gap filling and a leftover round. Its only output is the pair
// of link arrays (and the marks) in MatchState.
#pragma once

#include "common/text_fold.h"
#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "compare/lines/work_store.h"
#include "matching/match_state.h"

namespace verko {

// Requires state.Reset(oldText.Count(), newText.Count()). Shows "比較処理中", advances the
// progress by the stages' shares and returns kStop as soon as a cancel is seen. When
// either file has no records nothing is matched. Records the text indexes and the leftover
// tables in `store`; oldText and newText must outlive the store's work.
Flow MatchLines(const LineTable& oldText, const LineTable& newText, MatchState& state,
                ProgressMeter& progress, WorkStore& store);
// The same with the texts' order and equality decided under `fold`.
Flow MatchLines(const LineTable& oldText, const LineTable& newText, MatchState& state,
                ProgressMeter& progress, WorkStore& store, const TextFold& fold);

}  // namespace verko
