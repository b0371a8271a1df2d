// The matching engine against a plain reading of its rules: a reference that sorts, seeks
// and scans the obvious way (quadratic, fine for small inputs), run on many random pairs
// of small files with few distinct texts, blank lines and case variants.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/text_collation.h"
#include "matching/fill_gaps.h"
#include "matching/match_texts.h"
#include "matching_test_support.h"

namespace verko {
namespace {

using Texts = std::vector<std::string>;  // slot 0 unused, LineID 1 .. size - 1

bool ReferenceBlank(const std::string& text) {
  if (text == std::string(1, '\0')) return true;
  return text.find_first_not_of(' ') == std::string::npos;
}

bool Eligible(const MatchState& state, int c) {
  return state.NewLink[c] == 0 && state.NewMarks[c] != 'U';
}

// The text index: LineIDs sorted by folded text, then LineID.
std::vector<int> ReferenceOrder(const Texts& texts, std::vector<int> ids) {
  std::stable_sort(ids.begin(), ids.end(),
                   [&texts](int a, int b) { return CompareFolded(texts[a], texts[b]) < 0; });
  return ids;
}

// The first record in index order whose text is index-equal to `text`; 0 when none.
int ReferenceSeek(const Texts& texts, const std::vector<int>& order, const std::string& text) {
  for (int id : order) {
    if (CompareFolded(texts[id], text) == 0) return id;
  }
  return 0;
}

void ReferenceMark(const Texts& texts, const std::vector<int>& order, std::vector<char>& marks) {
  if (order.empty()) return;
  int previous = order[0];
  std::string head = texts[order[0]];
  bool flag = false;
  for (std::size_t k = 1; k < order.size(); ++k) {
    int current = order[k];
    if (CompareFolded(texts[current], head) == 0) {
      marks[previous] = 'D';
      marks[current] = 'D';
    } else {
      if (marks[previous] != 'D') marks[previous] = 'U';
      head = texts[current];
      flag = true;
    }
    previous = current;
  }
  if (flag && marks[previous] != 'D') marks[previous] = 'U';
}

// Gap filling read literally: linear searches for the neighbours, a scan over the gap.
bool ReferenceFillGaps(const Texts& oldTexts, const Texts& newTexts, MatchState& state,
                       bool firstCycle) {
  const int oldCount = static_cast<int>(oldTexts.size()) - 1;
  const int newCount = static_cast<int>(newTexts.size()) - 1;
  bool blankSkipped = false;
  for (int c = 1; c <= newCount; ++c) {
    if (!Eligible(state, c)) continue;
    if (firstCycle && ReferenceBlank(newTexts[c])) {
      blankSkipped = true;
      continue;
    }
    int low = 0;
    for (int d = c - 1; d >= 1; --d) {
      if (state.NewLink[d] != 0) {
        low = state.NewLink[d];
        break;
      }
    }
    int high = oldCount + 1;
    for (int d = c + 1; d <= newCount; ++d) {
      if (state.NewLink[d] != 0) {
        high = state.NewLink[d];
        break;
      }
    }
    for (int t = low + 1; t <= high - 1; ++t) {
      if (state.OldLink[t] == 0 && oldTexts[t] == newTexts[c]) {
        state.Link(c, t);
        break;
      }
    }
  }
  return blankSkipped;
}

void ReferenceExtend(const Texts& oldTexts, const Texts& newTexts, MatchState& state) {
  const int oldCount = static_cast<int>(oldTexts.size()) - 1;
  const int newCount = static_cast<int>(newTexts.size()) - 1;
  for (int c = 2; c <= newCount; ++c) {
    if (state.NewLink[c - 1] == 0 || !Eligible(state, c)) continue;
    int t = state.NewLink[c - 1] + 1;
    if (t <= oldCount && state.OldLink[t] == 0 && oldTexts[t] == newTexts[c]) state.Link(c, t);
  }
  for (int c = newCount - 1; c >= 1; --c) {
    if (state.NewLink[c + 1] == 0 || !Eligible(state, c)) continue;
    int t = state.NewLink[c + 1] - 1;
    if (t >= 1 && state.OldLink[t] == 0 && oldTexts[t] == newTexts[c]) state.Link(c, t);
  }
}

std::vector<int> Range(int count) {
  std::vector<int> ids;
  for (int id = 1; id <= count; ++id) ids.push_back(id);
  return ids;
}

MatchState ReferenceMatch(const Texts& oldTexts, const Texts& newTexts) {
  const int oldCount = static_cast<int>(oldTexts.size()) - 1;
  const int newCount = static_cast<int>(newTexts.size()) - 1;
  MatchState state;
  state.Reset(oldCount, newCount);
  if (oldCount == 0 || newCount == 0) return state;

  const std::vector<int> oldOrder = ReferenceOrder(oldTexts, Range(oldCount));
  ReferenceMark(oldTexts, oldOrder, state.OldMarks);
  ReferenceMark(newTexts, ReferenceOrder(newTexts, Range(newCount)), state.NewMarks);
  for (int c = 1; c <= newCount; ++c) {
    if (state.NewMarks[c] != 'U') continue;
    int i = ReferenceSeek(oldTexts, oldOrder, newTexts[c]);
    if (i == 0) continue;
    if (state.OldMarks[i] == 'U') {
      state.Link(c, i);
    } else {
      state.NewMarks[c] = 'M';
    }
  }

  ReferenceExtend(oldTexts, newTexts, state);
  if (ReferenceFillGaps(oldTexts, newTexts, state, true)) {
    ReferenceExtend(oldTexts, newTexts, state);
    ReferenceFillGaps(oldTexts, newTexts, state, false);
  }

  std::vector<int> oldLeft, newLeft;
  for (int i = 1; i <= oldCount; ++i) {
    if (state.OldLink[i] == 0 && state.OldMarks[i] != 'U') oldLeft.push_back(i);
  }
  for (int j = 1; j <= newCount; ++j) {
    if (state.NewLink[j] == 0 && state.NewMarks[j] != 'U') newLeft.push_back(j);
  }
  if (oldLeft.empty() || newLeft.empty()) return state;
  std::fill(state.OldMarks.begin(), state.OldMarks.end(), '\0');
  std::fill(state.NewMarks.begin(), state.NewMarks.end(), '\0');
  const std::vector<int> oldLeftOrder = ReferenceOrder(oldTexts, oldLeft);
  ReferenceMark(oldTexts, oldLeftOrder, state.OldMarks);
  ReferenceMark(newTexts, ReferenceOrder(newTexts, newLeft), state.NewMarks);
  for (int j : newLeft) {
    if (state.NewMarks[j] != 'U') continue;
    int i = ReferenceSeek(oldTexts, oldLeftOrder, newTexts[j]);
    if (i != 0 && state.OldMarks[i] == 'U') state.Link(j, i);
  }
  return state;
}

// Random small files over a few texts with case variants, blanks and a NUL line.
class RandomFiles {
 public:
  explicit RandomFiles(unsigned seed) : random_(seed) {}

  std::vector<std::string> File(int maxLines) {
    static const std::string kTexts[] = {
        "a", "A", "b", "B", "c", "", " ", "  ", std::string(1, '\0'), "a ", "\x82\x60", "\x82\x81"};
    std::vector<std::string> lines;
    const int count = static_cast<int>(random_() % (maxLines + 1));
    const int variety = 2 + static_cast<int>(random_() % 11);
    for (int k = 0; k < count; ++k) lines.push_back(kTexts[random_() % variety]);
    return lines;
  }
  unsigned Next() { return static_cast<unsigned>(random_()); }

 private:
  std::mt19937 random_;
};

Texts WithSlotZero(const std::vector<std::string>& lines) {
  Texts texts = {""};
  texts.insert(texts.end(), lines.begin(), lines.end());
  return texts;
}

std::string Describe(const std::vector<std::string>& oldLines,
                     const std::vector<std::string>& newLines) {
  return "old " + ::testing::PrintToString(oldLines) + "\nnew " +
         ::testing::PrintToString(newLines);
}

TEST(MatchingReference, EngineGivesTheLinksAndMarksOfThePlainReading) {
  RandomFiles random(20240601);
  for (int round = 0; round < 600; ++round) {
    const std::vector<std::string> oldLines = random.File(14);
    const std::vector<std::string> newLines = random.File(14);
    MatchRun run(oldLines, newLines);
    const MatchState expected = ReferenceMatch(WithSlotZero(oldLines), WithSlotZero(newLines));
    ASSERT_EQ(run.flow, Flow::kContinue);
    ASSERT_EQ(run.state.NewLink, expected.NewLink) << Describe(oldLines, newLines);
    ASSERT_EQ(run.state.OldLink, expected.OldLink) << Describe(oldLines, newLines);
    ASSERT_EQ(run.state.NewMarks, expected.NewMarks) << Describe(oldLines, newLines);
    ASSERT_EQ(run.state.OldMarks, expected.OldMarks) << Describe(oldLines, newLines);
  }
}

// Gap filling from arbitrary states, crossing links included, in both cycles.
TEST(MatchingReference, GapFillingMatchesTheLinearScanFromAnyState) {
  RandomFiles random(77);
  for (int round = 0; round < 600; ++round) {
    const std::vector<std::string> oldLines = random.File(16);
    const std::vector<std::string> newLines = random.File(16);
    LineTable oldText = MakeTable(oldLines);
    LineTable newText = MakeTable(newLines);
    const MatchTexts texts = PrepareMatchTexts(oldText, newText);
    MatchState state;
    state.Reset(oldText.Count(), newText.Count());
    std::vector<int> freeOld = Range(oldText.Count());
    std::shuffle(freeOld.begin(), freeOld.end(), std::mt19937(random.Next()));
    for (int j = 1; j <= newText.Count(); ++j) {
      state.NewMarks[j] = "\0UDM"[random.Next() % 4];
      if (!freeOld.empty() && random.Next() % 3 == 0) {
        state.Link(j, freeOld.back());
        freeOld.pop_back();
      }
    }
    MatchState expected = state;
    RunFlags flags;
    RecordingHost host(flags);
    ProgressMeter meter(host, flags);
    for (GapCycle cycle : {GapCycle::kFirst, GapCycle::kSecond}) {
      const GapFillResult result = FillGaps(texts, state, cycle, meter);
      const bool skipped = ReferenceFillGaps(WithSlotZero(oldLines), WithSlotZero(newLines),
                                             expected, cycle == GapCycle::kFirst);
      ASSERT_EQ(result.blankSkipped, skipped) << Describe(oldLines, newLines);
      ASSERT_EQ(state.NewLink, expected.NewLink) << Describe(oldLines, newLines);
      ASSERT_EQ(state.OldLink, expected.OldLink) << Describe(oldLines, newLines);
    }
  }
}

}  // namespace
}  // namespace verko
