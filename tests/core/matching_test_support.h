// Fakes and builders shared by the matching tests: a host that records the progress it is
// shown and can request a cancel at a chosen step, a work store that records its calls, and
// a runner that matches two lists of texts.
#pragma once

#include <string>
#include <vector>

#include "compare/compare_host.h"
#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "compare/lines/work_store.h"
#include "matching/match_lines.h"
#include "matching/match_state.h"
#include "tests/support/scripted_host.h"

namespace verko {
namespace {

// The compare host of these tests: records progress and phases, cancels when told.
using RecordingHost = test_support::ScriptedHost;

class RecordingStore : public WorkStore {
 public:
  void CreateLineTable(const std::string& table) override {
    calls.push_back("CreateLineTable " + table);
  }
  void AppendLines(const std::string& table, const LineTable&, std::vector<int> ids) override {
    std::string call = "AppendLines " + table + " ";
    for (std::size_t k = 0; k < ids.size(); ++k) {
      call += (k == 0 ? "" : ",") + std::to_string(ids[k]);
    }
    calls.push_back(call);
  }
  void AppendAllLines(const std::string& table, const LineTable&) override {
    calls.push_back("AppendAllLines " + table);
  }
  void CreateTextOrderIndex(const std::string& table) override {
    calls.push_back("CreateTextOrderIndex " + table);
  }

  std::vector<std::string> calls;
};

inline LineTable MakeTable(const std::vector<std::string>& texts) {
  LineTable table;
  for (std::size_t k = 0; k < texts.size(); ++k) {
    table.Append(static_cast<int>(k) + 1, 0, texts[k]);
  }
  return table;
}

// One matching run over two lists of texts, with everything it touched.
struct MatchRun {
  explicit MatchRun(const std::vector<std::string>& oldTexts,
                    const std::vector<std::string>& newTexts, int cancelAtShow = 0)
      : oldText(MakeTable(oldTexts)), newText(MakeTable(newTexts)) {
    host.cancelAtShow = cancelAtShow;
    state.Reset(oldText.Count(), newText.Count());
    flow = MatchLines(oldText, newText, state, meter, store);
  }

  LineTable oldText, newText;
  RunFlags flags;
  RecordingHost host{flags};
  ProgressMeter meter{host, flags};
  RecordingStore store;
  MatchState state;
  Flow flow = Flow::kContinue;
};

// The links as a vector over LineIDs 1..n (slot 0 dropped), for readable comparisons.
inline std::vector<int> LinksOf(const std::vector<int>& links) {
  return std::vector<int>(links.begin() + 1, links.end());
}

// The marks of LineIDs 1..count as a string, "." standing for a cleared mark.
inline std::string MarksOf(const std::vector<char>& marks, int count) {
  std::string out;
  for (int id = 1; id <= count; ++id) out += marks[id] == '\0' ? '.' : marks[id];
  return out;
}

// Every link is paired and within range: OldLink(NewLink(j)) = j and the reverse.
inline bool LinksArePaired(const MatchState& state) {
  const int oldCount = static_cast<int>(state.OldLink.size()) - 1;
  const int newCount = static_cast<int>(state.NewLink.size()) - 1;
  for (int j = 1; j <= newCount; ++j) {
    int i = state.NewLink[j];
    if (i < 0 || i > oldCount || (i != 0 && state.OldLink[i] != j)) return false;
  }
  for (int i = 1; i <= oldCount; ++i) {
    int j = state.OldLink[i];
    if (j < 0 || j > newCount || (j != 0 && state.NewLink[j] != i)) return false;
  }
  return true;
}

}  // namespace
}  // namespace verko
