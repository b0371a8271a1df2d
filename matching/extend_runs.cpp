#include "matching/extend_runs.h"

#include "matching/eligible_line.h"

namespace verko {
namespace {

// Links new line c with old line t when t exists, is free and has exactly c's text.
void LinkWhenSame(const MatchTexts& texts, MatchState& state, int c, int t) {
  if (t < 1 || t > texts.OldCount()) return;
  if (state.OldLink[t] != 0) return;
  if (texts.OldExact[t] != texts.NewExact[c]) return;
  state.Link(c, t);
}

Flow ExtendForward(const MatchTexts& texts, MatchState& state, ProgressMeter& progress) {
  StageShare share(progress, 9);
  const int newCount = texts.NewCount();
  bool previousLinked = false;
  for (int c = 1; c <= newCount; ++c) {
    if (previousLinked && IsEligibleNewLine(state, c)) {
      LinkWhenSame(texts, state, c, state.NewLink[c - 1] + 1);
    }
    previousLinked = state.NewLink[c] != 0;
    if (share.Advance(c, newCount) == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

Flow ExtendBackward(const MatchTexts& texts, MatchState& state, ProgressMeter& progress) {
  StageShare share(progress, 7);
  const int newCount = texts.NewCount();
  bool nextLinked = false;
  for (int c = newCount; c >= 1; --c) {
    if (nextLinked && IsEligibleNewLine(state, c)) {
      LinkWhenSame(texts, state, c, state.NewLink[c + 1] - 1);
    }
    nextLinked = state.NewLink[c] != 0;
    if (share.Advance(newCount - c + 1, newCount) == Flow::kStop) return Flow::kStop;
  }
  return Flow::kContinue;
}

}  // namespace

Flow ExtendRuns(const MatchTexts& texts, MatchState& state, ProgressMeter& progress) {
  if (ExtendForward(texts, state, progress) == Flow::kStop) return Flow::kStop;
  return ExtendBackward(texts, state, progress);
}

}  // namespace verko
