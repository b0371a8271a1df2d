// Applies a 改め文 to the text it amends: every instruction in order, on the text as the
// instructions before it left it (renumbering from the end of a law towards its start, as
// the official texts write it, relies on that). Proves the drafter's 改め文 before they are
// written, and stands behind `verko-cli --apply-aratame`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/aratame_instructions.h"

namespace verko {

// Applies `clauses` to `lines` (UTF-8, one per line). On failure returns false with `error`
// naming the instruction that could not be applied and why; `lines` is then as the
// instructions before it left it.
bool ApplyClauses(const std::vector<AratameClause>& clauses, std::vector<std::string>* lines,
                  std::string* error);

// Reads and applies an amendment (UTF-8 text) to `lines`.
bool ApplyAratame(std::string_view amendment, std::vector<std::string>* lines, std::string* error);

// `text` cut into lines at LF (a CR before it dropped); a final line end makes no empty line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace verko
