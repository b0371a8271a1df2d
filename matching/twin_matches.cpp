#include "matching/twin_matches.h"

namespace verko {

TwinMatches FindTwinMatches(const LineTable& oldText, const LineTable& newText,
                            const MatchState& state, const TextFold& fold) {
  TwinMatches found;
  if (fold.twins.empty()) return found;
  TextFold withoutTwins = fold;
  withoutTwins.twins.clear();
  int lastLineNo = 0;
  for (int oldId = 1; oldId <= oldText.Count(); ++oldId) {
    const int newId = state.OldLink[oldId];
    if (newId == 0) continue;
    const LineRecord& oldLine = oldText.Line(oldId);
    if (oldLine.LineNo == lastLineNo) continue;  // another part of a line already counted
    const std::string_view newLine = newText.Line(newId).Text;
    if (oldLine.Text == newLine || CompareUnderFold(oldLine.Text, newLine, withoutTwins) == 0) {
      continue;
    }
    lastLineNo = oldLine.LineNo;
    ++found.lines;
    if (found.firstLineNos.size() < TwinMatches::kShown) {
      found.firstLineNos.push_back(oldLine.LineNo);
    }
  }
  return found;
}

}  // namespace verko
