#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "compare/lines/text_sort.h"
#include "matching/anchor_unique_lines.h"
#include "matching/extend_runs.h"
#include "matching/fill_gaps.h"
#include "matching/mark_occurrences.h"
#include "matching/match_texts.h"
#include "matching/text_index.h"
#include "matching_test_support.h"

namespace verko {
namespace {

using Texts = std::vector<std::string>;

TEST(TextIndex, OrdersByFoldedTextThenLineIdAndSeeksTheFirstEqual) {
  LineTable table = MakeTable({"b", "B", "a", "A ", "b", "ab", "\x82\x60", "\x82\x81"});
  MatchTexts texts = PrepareMatchTexts(table, MakeTable({"B", "zz"}));
  TextIndex index(texts.OldKey, texts.KeyCount, AllLineIds(table.Count()));
  std::vector<int> order;
  for (int pos = 0; pos < index.Count(); ++pos) order.push_back(index.LineIdAt(pos));
  EXPECT_EQ(order, (std::vector<int>{3, 4, 6, 1, 2, 5, 7, 8}));  // "Ａ" folds to "ａ"
  EXPECT_EQ(index.SeekEqual(texts.NewKey[1]), 1);
  EXPECT_EQ(index.SeekEqual(texts.OldKey[4]), 4);
  EXPECT_EQ(index.SeekEqual(texts.NewKey[2]), 0);

  TextIndex subset(texts.OldKey, texts.KeyCount, {2, 4, 5});
  EXPECT_EQ(subset.SeekEqual(texts.NewKey[1]), 2);
  EXPECT_EQ(subset.SeekEqual(texts.OldKey[3]), 0);
}

TEST(SortTextPositions, OrdersLikeUnsignedByteComparison) {
  std::mt19937 random(7);
  // A NUL byte makes texts that differ from a shorter one only by their length.
  const std::string pieces[] = {"",       "a", "ab", "    ", "\x82", "\xff", std::string(1, '\0'),
                                "  line "};
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> owned;
    const int count = static_cast<int>(random() % 3000);  // the larger sorted by radix
    for (int k = 0; k < count; ++k) {
      std::string text;
      for (int p = 0; p < static_cast<int>(random() % 6); ++p) text += pieces[random() % 8];
      owned.push_back(text);
    }
    std::vector<std::string_view> texts(owned.begin(), owned.end());
    std::vector<std::string_view> sorted;
    for (int pos : SortTextPositions(texts)) sorted.push_back(texts[pos]);
    std::vector<std::string_view> expected = texts;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);
  }
}

TEST(MarkOccurrences, MarksUniqueAndRepeatedTextsOfOneFile) {
  struct Case {
    Texts texts;
    const char* marks;
  } cases[] = {
      {{"a", "b", "b"}, "UDD"},  // the last record of the index keeps "D"
      {{"x", "X", "q"}, "DDU"},  // case variants are one text
      {{"only"}, "."},           // a single record is not marked
      {{"s", "S", "s"}, "DDD"},  // all equal: no "U" at all
      {{"b", "a", "c", "a"}, "UDUD"},
      {{"", " ", ""}, "DUD"},
      {{"z", "y"}, "UU"},
  };
  for (const auto& c : cases) {
    LineTable table = MakeTable(c.texts);
    MatchTexts texts = PrepareMatchTexts(table, table);
    TextIndex index(texts.OldKey, texts.KeyCount, AllLineIds(table.Count()));
    std::vector<char> marks(table.Count() + 2, '\0');
    EXPECT_EQ(MarkOccurrences(index, marks, nullptr), Flow::kContinue);
    EXPECT_EQ(MarksOf(marks, table.Count()), c.marks) << ::testing::PrintToString(c.texts);
  }
}

TEST(MatchLines, LinksAsTheStagesPrescribe) {
  struct Case {
    const char* what;
    Texts oldTexts, newTexts;
    std::vector<int> newLinks;
  } cases[] = {
      {"identical files",
       {"a", "", "a", "b", "", "c"},
       {"a", "", "a", "b", "", "c"},
       {1, 2, 3, 4, 5, 6}},
      {"distinct texts absent from the other file", {"a", "b"}, {"c", "d"}, {0, 0}},
      {"repeated in old: M, then gap filling", {"x", "X", "q"}, {"x", "r"}, {1, 0}},
      {"anchor ignores case", {"abc", "q"}, {"ABC", "r"}, {1, 0}},
      {"extension and gaps need exact text", {"k", "abc", "abc"}, {"k", "ABC", "ABC"}, {1, 0, 0}},
      {"a run grows through several lines",
       {"u", "x", "x", "x", "w"},
       {"u", "x", "x", "x", "v"},
       {1, 2, 3, 4, 0}},
      {"no forward step past the last old line", {"A", "B"}, {"B", "A", "A"}, {2, 0, 0}},
      {"blank lines wait for the second cycle",
       {"", "a", "a", ""},
       {"a", "", "a", ""},
       {2, 0, 3, 4}},
      {"leftovers unique on both sides",
       {"X", "Y", "A", "B", "X", "Y"},
       {"A", "B", "X", "Y", "W", "X", "Y"},
       {3, 4, 5, 6, 0, 1, 2}},
      {"one leftover per side stays unlinked",
       {"X", "A", "B", "X", "P"},
       {"A", "B", "X", "Q", "X"},
       {2, 3, 4, 0, 0}},
      {"a unique old line never enters the leftovers", {"z", "k"}, {"k", "z", "z"}, {2, 0, 0}},
  };
  for (const auto& c : cases) {
    MatchRun run(c.oldTexts, c.newTexts);
    EXPECT_EQ(run.flow, Flow::kContinue) << c.what;
    EXPECT_EQ(LinksOf(run.state.NewLink), c.newLinks) << c.what;
    EXPECT_TRUE(LinksArePaired(run.state)) << c.what;
  }
}

TEST(MatchLines, MarksAfterTheMainStagesAndTheLeftoverRound) {
  struct Case {
    Texts oldTexts, newTexts;
    const char* oldMarks;
    const char* newMarks;
  } cases[] = {
      // No leftovers on the new side: the marks of the occurrence scans stay, "M" included.
      {{"x", "X", "q"}, {"x", "r"}, "DDU", "MU"},
      {{"A", "B", "C", "C"}, {"A", "B"}, "UUDD", "UU"},
      // The leftover round clears every mark and re-marks the leftovers only.
      {{"X", "Y", "A", "B", "X", "Y"}, {"A", "B", "X", "Y", "W", "X", "Y"}, "UU....", ".....UU"},
      {{"X", "A", "B", "X", "P"}, {"A", "B", "X", "Q", "X"}, ".....", "....."},
  };
  for (const auto& c : cases) {
    MatchRun run(c.oldTexts, c.newTexts);
    EXPECT_EQ(MarksOf(run.state.OldMarks, run.oldText.Count()), c.oldMarks);
    EXPECT_EQ(MarksOf(run.state.NewMarks, run.newText.Count()), c.newMarks);
  }
}

TEST(MatchLines, RecordsIndexesAndLeftoverTablesInTheWorkStore) {
  struct Case {
    Texts oldTexts, newTexts;
    std::vector<std::string> leftoverCalls;  // after the two main indexes
  } cases[] = {
      {{"X", "Y", "A", "B", "X", "Y"},
       {"A", "B", "X", "Y", "W", "X", "Y"},
       {"CreateLineTable OldText2", "CreateLineTable NewText2", "AppendLines OldText2 1,2",
        "AppendLines NewText2 6,7", "CreateTextOrderIndex OldText2",
        "CreateTextOrderIndex NewText2"}},
      // One side without leftovers: both tables, the other side copied, no index.
      {{"A", "B", "C", "C"},
       {"A", "B"},
       {"CreateLineTable OldText2", "CreateLineTable NewText2", "AppendLines OldText2 3,4",
        "AppendLines NewText2 "}},
      {{"a", "b"},
       {"a", "b"},
       {"CreateLineTable OldText2", "CreateLineTable NewText2", "AppendLines OldText2 ",
        "AppendLines NewText2 "}},
  };
  for (const auto& c : cases) {
    MatchRun run(c.oldTexts, c.newTexts);
    std::vector<std::string> expected = {"CreateTextOrderIndex OldText",
                                         "CreateTextOrderIndex NewText"};
    expected.insert(expected.end(), c.leftoverCalls.begin(), c.leftoverCalls.end());
    EXPECT_EQ(run.store.calls, expected);
  }
}

TEST(MatchLines, EmptyFileSkipsMatchingAndTouchesNothing) {
  const Texts some = {"a", "b", "a"};
  for (const auto& [oldTexts, newTexts] :
       std::vector<std::pair<Texts, Texts>>{{{}, some}, {some, {}}, {{}, {}}}) {
    MatchRun run(oldTexts, newTexts);
    EXPECT_EQ(run.flow, Flow::kContinue);
    EXPECT_EQ(LinksOf(run.state.NewLink), std::vector<int>(newTexts.size(), 0));
    EXPECT_EQ(LinksOf(run.state.OldLink), std::vector<int>(oldTexts.size(), 0));
    EXPECT_EQ(MarksOf(run.state.OldMarks, run.oldText.Count()), std::string(oldTexts.size(), '.'));
    EXPECT_EQ(MarksOf(run.state.NewMarks, run.newText.Count()), std::string(newTexts.size(), '.'));
    EXPECT_TRUE(run.store.calls.empty());
    EXPECT_TRUE(run.host.progress.empty());
    EXPECT_TRUE(run.host.phases.empty());
    EXPECT_EQ(run.meter.Value(), 0);
  }
}

TEST(MatchLines, ShowsEveryStageShareAndLowersBy23BeforeTheSecondCycle) {
  // Four lines each: every per-line step moves the bar; a blank line is held back, so the
  // cycle runs twice; one leftover per side, so the leftover round steps three times.
  MatchRun run({"", "a", "a", ""}, {"a", "", "a", ""});
  EXPECT_EQ(run.host.phases, std::vector<std::string>{"比較処理中"});
  const std::vector<int> cycle = {22, 24, 27, 29, 31, 33, 34, 36, 38, 40, 41, 43};
  std::vector<int> expected = {5, 6, 7, 8, 9, 10, 11, 13, 15, 18, 20};
  expected.insert(expected.end(), cycle.begin(), cycle.end());
  expected.insert(expected.end(), cycle.begin(), cycle.end());
  expected.insert(expected.end(), {44, 45, 46});
  EXPECT_EQ(run.host.progress, expected);
  EXPECT_EQ(run.meter.Value(), 46);
}

TEST(MatchLines, ProgressEndsAtTheSumOfTheRoundedShares) {
  // With five or more lines a scan earns round(4.5 * (n - 1) / n) = 4, every other stage its
  // full share: 5 + 4 + 4 + 9 + 9 + 7 + 7 + 3 = 48. Without leftovers the last 3 are silent.
  struct Case {
    Texts oldTexts, newTexts;
    int lastShown;
  } cases[] = {
      {{"a", "b", "a", "c", "d", ""}, {"a", "b", "a", "c", "d", ""}, 45},
      {{"X", "Y", "A", "B", "X", "Y"}, {"A", "B", "X", "Y", "W", "X", "Y"}, 48},
      {{"", "p", "p", "", "q"}, {"p", "", "p", "", "r"}, 48},  // two cycles
  };
  for (const auto& c : cases) {
    MatchRun run(c.oldTexts, c.newTexts);
    EXPECT_EQ(run.meter.Value(), 48);
    ASSERT_FALSE(run.host.progress.empty());
    EXPECT_EQ(run.host.progress.back(), c.lastShown);
  }
}

TEST(MatchLines, CancelAtAnyProgressStepStopsAtOnce) {
  const Texts oldTexts = {"", "a", "a", "", "x", "y"};
  const Texts newTexts = {"a", "", "a", "", "y", "z"};
  const int steps = static_cast<int>(MatchRun(oldTexts, newTexts).host.progress.size());
  ASSERT_GT(steps, 30);
  for (int cancelAt = 1; cancelAt <= steps; ++cancelAt) {
    MatchRun run(oldTexts, newTexts, cancelAt);
    EXPECT_EQ(run.flow, Flow::kStop) << cancelAt;
    EXPECT_EQ(static_cast<int>(run.host.progress.size()), cancelAt);
    EXPECT_TRUE(LinksArePaired(run.state));
  }
}

// A state in which new line 2 ("t", eligible) lies between new lines 1 and 3, whose
// partners are given (0 = not linked). Old lines 5, 15, 17 and 25 hold "t", old 12 "T"
// (not exactly equal). When both neighbours are linked, new line 4 takes old 15.
int FillGapOfSecondLine(int partnerBefore, int partnerAfter) {
  Texts oldTexts;
  for (int id = 1; id <= 30; ++id) oldTexts.push_back("o" + std::to_string(id));
  for (int id : {5, 15, 17, 25}) oldTexts[id - 1] = "t";
  oldTexts[12 - 1] = "T";
  LineTable oldText = MakeTable(oldTexts);
  LineTable newText = MakeTable({"n1", "t", "n3", "t"});
  MatchTexts texts = PrepareMatchTexts(oldText, newText);
  MatchState state;
  state.Reset(oldText.Count(), newText.Count());
  state.NewMarks = {'\0', 'U', 'D', 'U', 'D', '\0'};
  if (partnerBefore != 0) state.Link(1, partnerBefore);
  if (partnerAfter != 0) state.Link(3, partnerAfter);
  if (partnerBefore != 0 && partnerAfter != 0) state.Link(4, 15);
  RunFlags flags;
  RecordingHost host(flags);
  ProgressMeter meter(host, flags);
  FillGaps(texts, state, GapCycle::kFirst, meter);
  return state.NewLink[2];
}

TEST(FillGaps, SearchesOnlyBetweenThePartnersOfTheNearestLinkedNeighbours) {
  struct Case {
    int before, after, linkedTo;
  } cases[] = {
      {10, 20, 17},  // 12 differs in case, 15 is taken
      {20, 10, 0},   // crossed partners: nothing is scanned
      {16, 17, 0},   // touching partners
      {10, 17, 0},   // the bounds themselves are outside the gap
      {0, 0, 5},     // no linked neighbour: the whole old file
      {5, 0, 15},   {0, 5, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FillGapOfSecondLine(c.before, c.after), c.linkedTo) << c.before << "/" << c.after;
  }
}

TEST(ExtendRuns, GrowsAnAnchorForwardsThenBackwards) {
  // B is unique in both files; A and C occur elsewhere in both.
  LineTable oldText = MakeTable({"A", "B", "C", "A", "C"});
  LineTable newText = MakeTable({"A", "B", "C", "C", "A"});
  MatchTexts texts = PrepareMatchTexts(oldText, newText);
  TextIndex oldIndex(texts.OldKey, texts.KeyCount, AllLineIds(oldText.Count()));
  TextIndex newIndex(texts.NewKey, texts.KeyCount, AllLineIds(newText.Count()));
  MatchState state;
  state.Reset(oldText.Count(), newText.Count());
  RunFlags flags;
  RecordingHost host(flags);
  ProgressMeter meter(host, flags);
  MarkOccurrences(oldIndex, state.OldMarks, nullptr);
  MarkOccurrences(newIndex, state.NewMarks, nullptr);
  AnchorUniqueLines(oldIndex, texts, state, meter);
  EXPECT_EQ(LinksOf(state.NewLink), (std::vector<int>{0, 2, 0, 0, 0}));
  ExtendRuns(texts, state, meter);
  EXPECT_EQ(LinksOf(state.NewLink), (std::vector<int>{1, 2, 3, 0, 0}));
}

// Inputs at the line limit that defeat naive matching: few distinct texts, a file against
// its reversal, and blocks of lines moved around.
std::pair<Texts, Texts> AdversarialInput(int kind) {
  constexpr int kLines = 32000;
  Texts oldTexts, newTexts;
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  if (kind == 0) {
    for (int k = 0; k < kLines; ++k) oldTexts.push_back("text " + std::to_string(next() % 16));
    for (int k = 0; k < kLines; ++k) newTexts.push_back("text " + std::to_string(next() % 16));
  } else if (kind == 1) {
    for (int k = 0; k < kLines; ++k) {
      oldTexts.push_back(k % 3 == 0 ? "" : "line " + std::to_string(next() % 4000));
    }
    newTexts.assign(oldTexts.rbegin(), oldTexts.rend());
  } else {
    constexpr int kBlocks = 200, kBlockLines = 160;
    auto block = [](int b, Texts& out) {
      for (int l = 0; l < kBlockLines; ++l) {
        out.push_back(l % 4 == 0   ? ""
                      : l % 4 == 1 ? "  }"
                                   : "block " + std::to_string(b) + " line " + std::to_string(l));
      }
    };
    std::vector<int> order;
    for (int b = 0; b < kBlocks; ++b) block(b, oldTexts), order.push_back(b);
    for (int b = kBlocks - 1; b > 0; --b) std::swap(order[b], order[next() % (b + 1)]);
    for (int b : order) block(b, newTexts);
  }
  return {oldTexts, newTexts};
}

TEST(MatchLines, InputsAtTheLineLimitStayInBounds) {
  for (int kind = 0; kind < 3; ++kind) {
    auto [oldTexts, newTexts] = AdversarialInput(kind);
    MatchRun run(oldTexts, newTexts);
    EXPECT_EQ(run.flow, Flow::kContinue);
    EXPECT_TRUE(LinksArePaired(run.state)) << kind;
    EXPECT_EQ(run.meter.Value(), 48);
  }
}

}  // namespace
}  // namespace verko
