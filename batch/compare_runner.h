// How a batch run has one comparison made: the main window (with its options and file
// fields) or the terminal program runs it in batch mode. The batch logic never sees the
// caller's window, so the dependency runs one way only.
#pragma once

#include <string>

#include "compare/compare_run.h"

namespace verko {

class CompareRunner {
 public:
  virtual ~CompareRunner() = default;

  // Compares old against new into result in batch mode (no questions, an existing result is
  // overwritten) with the caller's current options. The batch relies on status 0 (done),
  // -1 (failed; message.text says why) and -4 (cancelled).
  virtual CompareResult RunBatchCompare(const std::string& oldName, const std::string& newName,
                                        const std::string& resultName) = 0;
  // Whether an interactive comparison is running now; a batch run does not start then.
  virtual bool InteractiveRunActive() const = 0;
  // Checks the caller's comparison options before the first pair, as a start of a single
  // comparison would; false refuses the run (the caller has shown why). Callers whose options
  // cannot be invalid by then (the terminal program checks them when it reads them) keep
  // this answer.
  virtual bool CheckOptions() { return true; }
};

}  // namespace verko
