// ProgressValue of a run: every phase adds its share, the bar is shown after each step and
// the cancel flag tested right after, since that is the only moment it can have been set.
#pragma once

#include "compare/lines/progress_display.h"
#include "compare/lines/run_flags.h"

namespace verko {

// Whether a phase goes on or stops: the run was cancelled, or (for the report) what it
// writes can go nowhere.
enum class Flow { kContinue, kStop };

class ProgressMeter {
 public:
  ProgressMeter(ProgressDisplay& display, RunFlags& flags) : display_(display), flags_(flags) {}

  int Value() const { return value_; }
  // Adds delta, shows the bar and tests the cancel flag.
  Flow Step(int delta);
  // Adds delta without showing it.
  void AddSilently(int delta) { value_ += delta; }
  // Lowers the value (a repeated matching cycle adds its shares again).
  void Lower(int delta) { value_ -= delta; }
  // Shows an explicit percent without changing the value (the bar full at the end).
  void ShowPercent(int percent) { display_.ShowProgress(percent); }
  void SetPhaseText(const char* utf8Text);
  bool CancelRequested() const { return flags_.CancelRequested.load(); }

 private:
  ProgressDisplay& display_;
  RunFlags& flags_;
  int value_ = 0;
};

// The per-line share of one stage: after the k-th of n lines the stage has earned
// round-half-even(k / n * share); whenever that grows, the difference is stepped.
class StageShare {
 public:
  StageShare(ProgressMeter& meter, double share) : meter_(meter), share_(share) {}
  Flow Advance(int k, int n) {
    // Between steps nothing changes: the earned share grows with k, so the first line at
    // which it grows is found once per step rather than computed again for every line.
    if (n == stepN_ && k >= lastK_ && k < nextK_) {
      lastK_ = k;
      return Flow::kContinue;
    }
    return Recompute(k, n);
  }
  int Added() const { return added_; }

 private:
  int Earned(int k, int n) const;
  Flow Recompute(int k, int n);

  ProgressMeter& meter_;
  double share_;
  int added_ = 0;
  // The lines [lastK_, nextK_) of a stage of stepN_ lines earn no more than is added.
  int stepN_ = 0;
  int lastK_ = 0;
  int nextK_ = 0;
};

}  // namespace verko
