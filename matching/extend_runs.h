// Run extension: grows the linked runs line by line, first forwards, then backwards. A new
// line next to a linked line is linked with the old line next to that line's partner when
// the old line is free and its text is exactly the same.
#pragma once

#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "matching/match_texts.h"

namespace verko {

// The forward pass (share 9) followed by the backward pass (share 7). Returns kStop as
// soon as a cancel is seen.
Flow ExtendRuns(const MatchTexts& texts, MatchState& state, ProgressMeter& progress);

}  // namespace verko
