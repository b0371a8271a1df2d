// Where a running comparison shows its progress: the bar and the text of the running phase.
// The host of a compare run provides it; the stages below the run see only this part.
#pragma once

#include <string>

namespace verko {

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;

  // Size the progress bar to `percent` (<= 0 empty, >= 100 full) and serve pending events
  // once: the only moment during a run at which cancel can be requested.
  virtual void ShowProgress(int percent) = 0;
  // Show the text of the running phase ("" clears it).
  virtual void SetPhaseText(const std::string& text) = 0;
};

}  // namespace verko
