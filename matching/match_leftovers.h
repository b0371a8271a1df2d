// The leftover round: the lines still unlinked after gap filling (and not unique in their
// file) are copied into the leftover tables, uniqueness is counted again among them alone,
// and a text unique among the old and among the new leftovers links its two lines, wherever
// they stand.
#pragma once

#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "compare/lines/work_store.h"
#include "matching/match_state.h"
#include "matching/match_texts.h"

namespace verko {

// Creates and fills OldText2 and NewText2 in `store` (always). When both sides have
// leftovers: indexes them, clears both mark arrays, re-marks the leftovers, links their
// unique texts and steps the progress by 1 three times, returning kStop when a cancel is
// seen. Otherwise adds 3 to the progress without showing it and leaves the marks as they
// are.
Flow MatchLeftovers(const LineTable& oldText, const LineTable& newText, const MatchTexts& texts,
                    MatchState& state, ProgressMeter& progress, WorkStore& store);

}  // namespace verko
