// Many comparisons at once: each pair is one compare run in batch mode on one of up to N
// worker threads, each run with its own state and flags. The outcomes come back to the
// caller's thread in list order, whatever order the runs finish in. Pairs that touch the
// same file (one's result is another's input, or two write one result) run one after the
// other in list order, so every result is what a one-after-another run writes.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "batch/pair_outcome.h"
#include "compare/compare_run.h"

namespace verko {

struct PairTask {
  std::string oldPath, newPath, resultPath;
  // Not empty: the pair is not compared; it ends as failed with this message.
  std::string refusal;
  // Make the result file's folder first when it is missing (a mirrored subfolder).
  bool makeResultFolder = false;
};

struct PairRun {
  bool started = false;  // false: the run was stopped before this pair began
  // Binary files whose bytes differ: not compared by lines, no report (result says done).
  bool binary = false;
  CompareResult result;
  // Other warnings of the run (a split pattern too slow for a line), title and text.
  std::vector<std::string> warnings;
};

struct PairCallbacks {
  // Each pair's outcome, in list order, on the caller's thread.
  std::function<void(std::size_t index, const PairRun& run)> finished;
  // Pairs finished so far of all, on the caller's thread, whenever the count changes.
  std::function<void(int done, int total)> progress;
};

// How a command treats its pairs beyond the comparison options.
struct PairRules {
  // Equal bytes are known without matching (a pair without differences), and binary files
  // (a NUL byte in the first 8 KB) are compared by their bytes only, unless `text`.
  bool byteShortcuts = false;
  bool text = false;
  // False: a result file is written only for a pair that differs.
  bool allReports = true;
};

// Runs every task with `options` on up to `jobs` threads. The work database is written once,
// by the last pair in list order that is compared by lines, as a run of one pair after
// another leaves it. Once `stop` is set no further pair
// starts and the running ones are cancelled (each ends as a cancelled run does); the pairs
// never started come back with started false.
void RunPairs(const std::vector<PairTask>& tasks, const CompareOptions& options,
              const PairRules& rules, int jobs, const std::atomic<bool>& stop,
              const PairCallbacks& callbacks);

// How a pair ended, a binary pair that differs included.
PairOutcome OutcomeOf(const PairRun& run);
std::string PairOutcomeLine(const PairRun& run, std::string_view label);

// Counts of the outcomes of many pairs, for a summary line.
struct OutcomeCounts {
  int same = 0, different = 0, binary = 0, cut = 0, error = 0, cancelled = 0;

  void Add(PairOutcome outcome);
  int Compared() const { return same + different + binary + cut + error + cancelled; }
};

// The number of cores this process may run on.
int DefaultJobCount();

}  // namespace verko
