// How one compared pair ended, as verko-cli prints it on the pair's line: no differences,
// differences, cut at the line limit, error (with its reason) or cancelled.
#pragma once

#include <string>

#include "batch/parallel_compare.h"

namespace verko {

enum class PairOutcome { kSame, kDifferent, kCut, kError, kCancelled };

PairOutcome OutcomeOf(const PairRun& run);

// "相違あり: sub/a.txt", with the reason after " — " for an error or a cut: one line, the
// message's own line breaks turned into blanks.
std::string OutcomeLine(const PairRun& run, const std::string& name);

// Counts of the outcomes, for the summary line.
struct OutcomeCounts {
  int same = 0, different = 0, cut = 0, error = 0, cancelled = 0;

  void Add(PairOutcome outcome);
  int Compared() const { return same + different + cut + error + cancelled; }
};

}  // namespace verko
