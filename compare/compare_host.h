// How a compare run talks to whoever started it: the main window, the terminal program or a
// test. Everything that a run shows, asks or starts goes through this interface; texts are
// UTF-8.
#pragma once

#include <string>
#include <vector>

#include "compare/lines/progress_display.h"
#include "compare/lines/run_flags.h"

namespace verko {

enum class RunMode { kInteractive, kBatch };

// The progress bar and the phase text (ShowProgress, SetPhaseText) come from
// ProgressDisplay.
class CompareHost : public ProgressDisplay {
 public:
  // Disable the file and option controls and the start, close and help commands; enable
  // cancel (and the reverse).
  virtual void LockControls() {}
  virtual void UnlockControls() {}

  // Show or hide the progress display. At the end of a run the window hides it at once in
  // batch mode and shortly after (Timer1) in interactive mode.
  virtual void ShowProgressDisplay() {}
  virtual void FinishProgressDisplay(RunMode mode) { (void)mode; }

  // Interactive mode only: ask whether an existing result file may be overwritten.
  virtual bool AskOverwrite(const std::string& text, const std::string& title) = 0;
  // The line-limit message (exclamation icon, OK); shown in batch mode too.
  virtual void ShowLineLimitMessage(const std::string& text, const std::string& title) = 0;
  // Another warning of a run that goes on (exclamation icon, OK), in batch mode too: a
  // split pattern too slow for a line.
  virtual void ShowRunWarning(const std::string& text, const std::string& title) = 0;
  // Interactive mode only: record the three names in the file histories.
  virtual void RecordHistory(const std::string& oldName, const std::string& newName,
                             const std::string& resultName) {
    (void)oldName, (void)newName, (void)resultName;
  }
  // Start the editor without waiting: program and arguments, the result path being one of
  // them.
  virtual void StartEditor(const std::string& program, const std::vector<std::string>& args) {
    (void)program, (void)args;
  }
};

}  // namespace verko
