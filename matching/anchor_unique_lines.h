// The anchors: every new line whose text occurs once in each file is linked with that old
// line. A new line unique in its file whose text is repeated in the old file is marked "M".
#pragma once

#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "matching/match_texts.h"
#include "matching/text_index.h"

namespace verko {

// Goes through the new lines in order; a "U" line looks its text up in `oldIndex` and is
// linked with the first equal old line when that line is "U", else marked "M" when one was
// found. Advances a share of 9; returns kStop when a cancel is seen.
Flow AnchorUniqueLines(const TextIndex& oldIndex, const MatchTexts& texts, MatchState& state,
                       ProgressMeter& progress);

}  // namespace verko
