// Which new lines run extension and gap filling may still link: unlinked, and not marked
// "U" (an unlinked "U" line has a text that the old file does not contain).
#pragma once

#include "matching/match_state.h"

namespace verko {

inline bool IsEligibleNewLine(const MatchState& state, int newId) {
  return state.NewLink[newId] == 0 && state.NewMarks[newId] != 'U';
}

}  // namespace verko
