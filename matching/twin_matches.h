// The lines that matched only because a wave-dash twin (〜 U+301C and ～, ‖ and ∥, and the
// others) counts as one character: the run says how many, so that a user who sees no
// difference knows that the two files hold different codes.
#pragma once

#include <vector>

#include "common/text_fold.h"
#include "compare/lines/line_table.h"
#include "matching/match_state.h"

namespace verko {

struct TwinMatches {
  int lines = 0;                  // old lines (not parts) linked only through a twin
  std::vector<int> firstLineNos;  // the first of them, at most kShown
  static constexpr int kShown = 5;
};

// The linked old lines whose texts differ under `fold` without its twins.
TwinMatches FindTwinMatches(const LineTable& oldText, const LineTable& newText,
                            const MatchState& state, const TextFold& fold);

}  // namespace verko
