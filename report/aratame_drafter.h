// Drafts the 改め文 that turns an old text into a new one, as 法制執務 writes it: words
// changed in a provision (「A」を「B」に改める), provisions added, deleted and renumbered,
// one sentence per article; a document without provisions by its lines (「3行目中…」).
// Every draft is proven by applying it to the old text (aratame_applier): an article whose
// instructions do not give its new text is written whole (「第N条を次のように改める。」),
// and should the whole still not give the new text, the document is drafted by its lines.
#pragma once

#include <string>
#include <vector>

#include "report/aratame_wording.h"

namespace verko {

struct AratameDraft {
  std::string text;  // the amendment, UTF-8, lines ending LF
  // Articles written whole because their finer instructions did not give their new text.
  int wholeProvisions = 0;
  // The document drafted by its lines because its provisions could not be drafted.
  bool byLines = false;
  // False when not even the draft by lines gives the new text (nothing to write then).
  bool proven = false;
};

AratameDraft DraftAratame(const std::vector<std::string>& oldLines,
                          const std::vector<std::string>& newLines, AratameStyle style);

}  // namespace verko
