// Gap filling: links each remaining new line with the first free old line of exactly the
// same text that lies between the old partners of its nearest linked neighbours. In the
// first cycle blank new lines are held back, so that they do not take old lines before the
// other lines have been placed.
#pragma once

#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "matching/match_texts.h"

namespace verko {

enum class GapCycle { kFirst, kSecond };

struct GapFillResult {
  Flow flow = Flow::kContinue;
  bool blankSkipped = false;  // a blank line was held back (first cycle only)
};

// Goes through the new lines in order, advancing a share of 7. Links made for earlier lines
// narrow the gaps of later ones. Stops with kStop as soon as a cancel is seen.
GapFillResult FillGaps(const MatchTexts& texts, MatchState& state, GapCycle cycle,
                       ProgressMeter& progress);

}  // namespace verko
