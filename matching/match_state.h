// The pairing of old and new line records that matching produces and the report reads:
// one occurrence mark and one partner LineID (0 = not linked) per line, indexed by LineID
// (slot 0 unused).
#pragma once

#include <vector>

namespace verko {

struct MatchState {
  std::vector<char> OldMarks, NewMarks;  // '\0', 'U', 'D', 'M' (new only), 'P' (report)
  std::vector<int> OldLink, NewLink;

  // Clears marks and links for files of these record counts.
  void Reset(int oldCount, int newCount) {
    OldMarks.assign(oldCount + 2, '\0');
    NewMarks.assign(newCount + 2, '\0');
    OldLink.assign(oldCount + 1, 0);
    NewLink.assign(newCount + 1, 0);
  }

  // Links new line j with old line i. A link to an old line that is already linked is
  // refused (returns false), so every old line has at most one partner.
  bool Link(int newId, int oldId) {
    if (OldLink[oldId] != 0 || NewLink[newId] != 0) return false;
    NewLink[newId] = oldId;
    OldLink[oldId] = newId;
    return true;
  }
};

}  // namespace verko
