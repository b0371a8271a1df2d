#include "compare/lines/progress.h"

#include "common/rounding.h"

namespace verko {

Flow ProgressMeter::Step(int delta) {
  value_ += delta;
  display_.ShowProgress(value_);
  return CancelRequested() ? Flow::kStop : Flow::kContinue;
}

void ProgressMeter::SetPhaseText(const char* utf8Text) {
  display_.SetPhaseText(utf8Text);
}

int StageShare::Earned(int k, int n) const {
  return RoundHalfEven(static_cast<double>(k) / n * share_);
}

Flow StageShare::Recompute(int k, int n) {
  if (n <= 0) return Flow::kContinue;
  int earned = Earned(k, n);
  stepN_ = n;
  lastK_ = k;
  int low = k;       // earned(low) <= earned
  int high = n + 1;  // past the lines: earned(high) > earned or the stage is over
  while (high - low > 1) {
    const int mid = low + (high - low) / 2;
    if (Earned(mid, n) > earned) {
      high = mid;
    } else {
      low = mid;
    }
  }
  nextK_ = high;
  if (earned <= added_) return Flow::kContinue;
  int delta = earned - added_;
  added_ = earned;
  return meter_.Step(delta);
}

}  // namespace verko
