// What the batch window may ask of the main window: a comparison in batch mode with the main
// window's options (CompareRunner), the start and end of a batch run, the help window and the
// always-on-top option. The batch window holds only this interface, never the main window.
#pragma once

#include <string>

#include "batch/compare_runner.h"

namespace verko {

class BatchMainLink : public CompareRunner {
 public:
  // A batch run begins (true) or has ended (false). While it runs the main window's start
  // button stays disabled; at its end the main window's file fields are emptied.
  virtual void SetBatchRunning(bool running) = 0;
  // Opens the help window at the topic of `contextId`.
  virtual void ShowHelp(int contextId) = 0;
  // Whether the main window's option "いつも最前面に表示" is checked.
  virtual bool AlwaysOnTop() const = 0;
  // Opens a result that a batch run wrote: a report in the viewer, another format with the
  // desktop's default application.
  virtual void OpenResult(const std::string& path) = 0;
};

}  // namespace verko
