// The batch run: checks a list, asks to confirm, then compares every complete pair one after
// another through a CompareRunner, reporting failures and cancellations per pair and the
// number of pairs compared at the end. Everything shown or asked goes through BatchRunHost.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "batch/batch_run_host.h"
#include "batch/batch_types.h"
#include "batch/compare_runner.h"

namespace verko {

// Flags shared between a run and its host's cancel command (or signal handler).
struct BatchRunFlags {
  std::atomic<bool> BatchRunning{false};
  std::atomic<bool> BatchCancelRequested{false};
};

// The folders of the run as the window's fields hold them, each ending in "/".
struct BatchFolders {
  std::string oldPath, newPath, resultPath;
};

struct BatchRunSummary {
  bool started = false;    // the checks passed and the user confirmed
  bool completed = false;  // the end of the list was reached
  int processed = 0;       // pairs compared with status 0
  int skipped = 0;         // rows skipped for a placeholder
  int failed = 0;          // pairs whose comparison failed
  int cancelled = 0;       // pairs whose comparison was cancelled
};

// The checks before a run (an interactive comparison running, an empty list, missing
// folders, placeholders left, a row naming one file twice) and the confirmation; false when
// the run must not start. `currentRow` is the offending row after a refused consistency pass.
bool CheckBatchRun(const std::vector<PairRow>& rows, const BatchFolders& folders, int* currentRow,
                   BatchRunHost& host, CompareRunner& runner);

// Runs the list `rows` (in grid order). `currentRow` is the grid's current row: after a
// refused consistency pass it is the offending row; after the end of the list it is 0; after
// a stop it is where the run stopped. Not re-entrant.
BatchRunSummary RunBatch(const std::vector<PairRow>& rows, const BatchFolders& folders,
                         int* currentRow, BatchRunHost& host, CompareRunner& runner,
                         BatchRunFlags& flags);

// The cancel question of a running batch (question icon, Yes/No, title "キャンセルの確認").
std::string BatchCancelQuestion();

}  // namespace verko
