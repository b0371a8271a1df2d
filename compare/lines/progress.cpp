#include "compare/lines/progress.h"

#include "common/rounding.h"

namespace verko {

Flow ProgressMeter::Step(int delta) {
  value_ += delta;
  host_.ShowProgress(value_);
  return CancelRequested() ? Flow::kCancel : Flow::kContinue;
}

void ProgressMeter::SetPhaseText(const char* utf8Text) {
  host_.SetPhaseText(utf8Text);
}

Flow StageShare::Advance(int k, int n) {
  if (n <= 0) return Flow::kContinue;
  int earned = RoundHalfEven(static_cast<double>(k) / n * share_);
  if (earned <= added_) return Flow::kContinue;
  int delta = earned - added_;
  added_ = earned;
  return meter_.Step(delta);
}

}  // namespace verko
