#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "compare/compare_host.h"
#include "compare/lines/line_functions.h"
#include "compare/lines/line_table.h"
#include "compare/lines/progress.h"
#include "matching/match_state.h"
#include "report/report_lines.h"
#include "report/report_writer.h"
#include "tests/support/golden.h"
#include "tests/support/scripted_host.h"

namespace verko {
namespace {

// The compare host of these tests: records progress and phases, cancels when told.
using FakeHost = test_support::ScriptedHost;

// One line per string (UTF-8, stored as CP932), LineNo = LineID, not split.
LineTable MakeTable(const std::vector<std::string>& lines) {
  LineTable table;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    table.Append(static_cast<int>(i) + 1, 0, ToCp932(lines[i]));
  }
  return table;
}

// One line per character: "abc" is the three lines a, b, c.
LineTable LettersTable(std::string_view letters) {
  std::vector<std::string> lines;
  for (char c : letters) lines.emplace_back(1, c);
  return MakeTable(lines);
}

// Links every new line to the first unlinked old line of the same text, as matching would
// for distinct texts.
MatchState LinkByText(const LineTable& oldText, const LineTable& newText) {
  MatchState state;
  state.Reset(oldText.Count(), newText.Count());
  for (int j = 1; j <= newText.Count(); ++j) {
    for (int i = 1; i <= oldText.Count(); ++i) {
      if (state.OldLink[i] == 0 && oldText.Line(i).Text == newText.Line(j).Text) {
        state.Link(j, i);
        break;
      }
    }
  }
  return state;
}

struct ReportRun {
  Flow flow = Flow::kContinue;
  std::string out;
  ReportCounts counts;
  MatchState state;
  std::vector<int> progress;
  std::vector<std::string> phases;
};

ReportRun RunReport(const LineTable& oldText, const LineTable& newText, MatchState state,
                    bool diffOnly, int contextLines = 1, int cancelAtShow = 0,
                    bool fewestMoves = false) {
  RunFlags flags;
  FakeHost host(flags);
  host.cancelAtShow = cancelAtShow;
  ProgressMeter meter(host, flags);
  ReportSettings settings;
  settings.oldName = "old.txt";
  settings.newName = "new.txt";
  settings.dateTime = "2024/02/29 23:59:58";
  settings.diffOnly = diffOnly;
  settings.contextLines = contextLines;
  settings.fewestMoves = fewestMoves;
  ReportRun run;
  run.flow = WriteReport(oldText, newText, state, settings, meter, run.out, run.counts);
  run.state = std::move(state);
  run.progress = host.progress;
  run.phases = host.phases;
  return run;
}

ReportRun RunLetters(std::string_view oldLetters, std::string_view newLetters, bool diffOnly,
                     int contextLines = 1, bool fewestMoves = false) {
  LineTable oldText = LettersTable(oldLetters), newText = LettersTable(newLetters);
  return RunReport(oldText, newText, LinkByText(oldText, newText), diffOnly, contextLines, 0,
                   fewestMoves);
}

std::vector<std::string> SplitLines(const std::string& cp932) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < cp932.size()) {
    std::size_t end = cp932.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(FromCp932(cp932.substr(pos)) + "<no CR LF>");
      break;
    }
    lines.push_back(FromCp932(cp932.substr(pos, end - pos)));
    pos = end + 2;
  }
  return lines;
}

// The body lines (UTF-8): after the ten header lines, before the statistics block.
std::vector<std::string> BodyOf(const std::string& out) {
  std::vector<std::string> lines = SplitLines(out);
  std::size_t end = lines.size();
  while (end > 0 && lines[end - 1] != "統計情報：") --end;
  if (end < 13) return {"<no statistics>"};
  end -= 3;  // separator, empty line and title of the statistics
  if (lines[end - 1] == "相違点は見つかりませんでした!!") --end;
  return std::vector<std::string>(lines.begin() + 10, lines.begin() + end);
}

// The body in short: "=a" common, "-a" deleted, "+a" added, ">a" moved at the new
// position, "<a" moved at the old position, "|" separator.
std::string Summary(const std::string& out) {
  std::string summary;
  for (const std::string& line : BodyOf(out)) {
    if (!summary.empty()) summary += ' ';
    if (line == "======================") {
      summary += '|';
      continue;
    }
    std::string marker = line.substr(0, 2);
    char kind = marker == "  "   ? '='
                : marker == "- " ? '-'
                : marker == "+ " ? '+'
                : marker == ">+" ? '>'
                : marker == "<-" ? '<'
                                 : '?';
    summary += kind + line.substr(23);
  }
  return summary;
}

TEST(ReportWalk, CompleteSampleMatchesGolden) {
  LineTable oldText = MakeTable({"alpha", "bravo", "charlie", "delta"});
  LineTable newText = MakeTable({"alpha", "bravo 2", "charlie", "delta", "echo"});
  MatchState state = LinkByText(oldText, newText);
  RunFlags flags;
  FakeHost host(flags);
  ProgressMeter meter(host, flags);
  ReportSettings settings{"C:\\data\\old.txt", "C:\\data\\new.txt", "1999/12/01 09:05:07"};
  std::string out;
  ReportCounts counts;
  ASSERT_EQ(WriteReport(oldText, newText, state, settings, meter, out, counts), Flow::kContinue);
  EXPECT_EQ(out,
            test_support::ReadGolden("report_sample_full.txt"));  // byte for byte, date included
}

TEST(ReportWalk, WorkedExampleMatchesGoldenInBothModes) {
  for (bool diffOnly : {false, true}) {
    ReportRun run = RunLetters("abcdefgh", "acdefgbh", diffOnly, 1);
    const char* golden = diffOnly ? "report_worked_diff.txt" : "report_worked_full.txt";
    EXPECT_EQ(test_support::MaskDate(run.out),
              test_support::MaskDate(test_support::ReadGolden(golden)))
        << golden;
    EXPECT_EQ(run.counts.CountCommon, 7);
    EXPECT_EQ(run.counts.CountMoved, 1);
  }
}

TEST(ReportWalk, IdenticalFilesMatchGoldenInBothModes) {
  for (bool diffOnly : {false, true}) {
    LineTable oldText = MakeTable({"one", "two words", ""});
    LineTable newText = MakeTable({"one", "two words", ""});
    ReportRun run = RunReport(oldText, newText, LinkByText(oldText, newText), diffOnly, 3);
    const char* golden = diffOnly ? "report_identical_diff.txt" : "report_identical_full.txt";
    EXPECT_EQ(test_support::MaskDate(run.out),
              test_support::MaskDate(test_support::ReadGolden(golden)))
        << golden;
  }
}

TEST(ReportWalk, BodyFollowsContextRule) {
  struct Case {
    const char* oldLetters;
    const char* newLetters;
    bool diffOnly;
    int context;
    const char* body;
    bool fewestMoves = false;
    int moved = -1;  // the moved count, where it matters
  } cases[] = {
      // Common lines between two differences: 2N+1 written whole, one more gives a separator.
      {"abcde", "XabcdeY", true, 2, "+X =a =b =c =d =e +Y"},
      {"abcdef", "XabcdefY", true, 2, "+X =a =b | =e =f +Y"},
      {"abc", "XabcY", true, 1, "+X =a =b =c +Y"},
      {"abcd", "XabcdY", true, 1, "+X =a | =d +Y"},
      // Before the first difference at most N lines, no separator; after the last, N lines.
      {"abcdefgh", "abcdXefgh", true, 2, "=c =d +X =e =f"},
      {"abc", "aXbc", true, 3, "=a +X =b =c"},
      // Deleted lines at the end.
      {"abcdefg", "abcde", true, 1, "=e -f -g"},
      {"abcdefg", "abcde", true, 3, "=c =d =e -f -g"},
      {"abcdefg", "Xabcde", true, 1, "+X =a | =e -f -g"},
      {"abcd", "Xabc", true, 1, "+X =a =b =c -d"},
      {"abcdefg", "abcde", false, 1, "=a =b =c =d =e -f -g"},
      // Deleted lines at the start, alone or after leading added lines.
      {"DEabc", "abc", true, 1, "-D -E =a"},
      {"DEabc", "abc", false, 1, "-D -E =a =b =c"},
      {"Dab", "Xab", true, 1, "+X -D =a"},
      // A changed block: added lines first, then the replaced old lines.
      {"abPQcd", "abRcd", false, 1, "=a =b +R -P -Q =c =d"},
      // A common line after a gap counts towards the trailing context.
      {"aDbcd", "abcd", true, 1, "=a -D =b"},
      {"aDbcd", "abcd", true, 2, "=a -D =b =c"},
      // A moved line after held-back lines, and one moved up.
      {"abcdefgh", "acdefgbh", true, 1, "=a <b =c | =g >b =h"},
      {"abcdefgh", "abcdefgh", true, 1, ""},
      {"abcd", "dabc", false, 1, "<a <b <c =d >a >b >c"},
      {"abcd", "bacd", true, 1, "<a =b >a =c"},
      // The fewest moves: only the lines out of the longest chain in order are moved, and
      // a moved line's old place may come after its new one.
      {"abcdefghij", "jabcdefghi", false, 1,
       "<a <b <c <d <e <f <g <h <i =j >a >b >c >d >e >f >g >h >i", false, 9},
      {"abcdefghij", "jabcdefghi", false, 1, ">j =a =b =c =d =e =f =g =h =i <j", true, 1},
      {"abcdefghij", "jabcdefghi", true, 1, ">j =a | =i <j", true, 1},
      {"abcd", "dabc", false, 1, ">d =a =b =c <d", true, 1},
      {"abcdefg", "adefbcg", false, 1, "=a <b <c =d =e =f >b >c =g", true, 2},  // a block down
      {"abcdefg", "aefbcdg", false, 1, "=a >e >f =b =c =d <e <f =g", true, 2},  // a block up
      {"abcdefg", "aefbcdg", false, 1, "=a <b <c <d =e =f >b >c >d =g", false, 3},
      {"abcdefg", "efgabcd", true, 1, ">e >f >g =a | =d <e <f <g", true, 3},  // two swapped
      {"abcdefg", "efgabcd", true, 1, "<a <b <c <d =e =f =g >a >b >c >d", false, 4},
      {"abcd", "dcba", false, 1, ">d >c >b =a <b <c <d", true, 3},  // everything reversed
      {"abPQcd", "abRcd", false, 1, "=a =b +R -P -Q =c =d", true, 0},
  };
  for (const auto& c : cases) {
    ReportRun run = RunLetters(c.oldLetters, c.newLetters, c.diffOnly, c.context, c.fewestMoves);
    EXPECT_EQ(Summary(run.out), c.body)
        << c.oldLetters << " -> " << c.newLetters << (c.diffOnly ? " diff-only " : " full ")
        << c.context << (c.fewestMoves ? " fewest moves" : "");
    if (c.moved >= 0) {
      EXPECT_EQ(run.counts.CountMoved, c.moved) << c.oldLetters << " -> " << c.newLetters;
    }
  }
}

TEST(ReportWalk, EmptyFiles) {
  struct Case {
    const char* oldLetters;
    const char* newLetters;
    const char* body;
  } cases[] = {{"", "ab", "+a +b"}, {"ab", "", "-a -b"}, {"", "", ""}};
  for (const auto& c : cases) {
    for (bool diffOnly : {false, true}) {
      ReportRun run = RunLetters(c.oldLetters, c.newLetters, diffOnly, 2);
      EXPECT_EQ(run.flow, Flow::kContinue);
      EXPECT_EQ(Summary(run.out), c.body) << "'" << c.oldLetters << "' -> '" << c.newLetters << "'";
    }
  }
  ReportRun full = RunLetters("", "", false);
  std::vector<std::string> lines = SplitLines(full.out);
  ASSERT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines[10], "======================");
  EXPECT_EQ(lines[13], "　旧ファイルの行数（分割後）：      0 行          0 words");
  EXPECT_EQ(lines[19], "　　　移動行 　　　　　　　：      0 行          0 words");
  ReportRun diff = RunLetters("", "", true);
  lines = SplitLines(diff.out);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[10], "相違点は見つかりませんでした!!");
  EXPECT_EQ(lines[15], "　新ファイルの行数（分割後）：      0 行         0 words");
}

TEST(ReportWalk, NoDifferenceListingShowsOldTexts) {
  // Texts equal under the index collation but not byte for byte.
  LineTable oldText = MakeTable({"ABC", "x"});
  LineTable newText = MakeTable({"abc"});
  MatchState state;
  state.Reset(1, 1);
  state.Link(1, 1);
  LineTable oldOne = MakeTable({"ABC"});
  EXPECT_EQ(Summary(RunReport(oldOne, newText, state, false).out), "=ABC");
  state.Reset(2, 1);
  state.Link(1, 1);
  EXPECT_EQ(Summary(RunReport(oldText, newText, state, false).out), "=abc -x");
}

TEST(ReportWalk, HeaderCarriesFileNamesAndTitle) {
  LineTable oldText = LettersTable("a"), newText = LettersTable("a");
  RunFlags flags;
  FakeHost host(flags);
  ProgressMeter meter(host, flags);
  ReportSettings settings{"/home/ユーザー/旧.txt", "/tmp/new file.txt", "2000/01/02 03:04:05"};
  std::string out = "kept";
  ReportCounts counts;
  MatchState state = LinkByText(oldText, newText);
  WriteReport(oldText, newText, state, settings, meter, out, counts);
  ASSERT_EQ(out.substr(0, 4), "kept");
  std::vector<std::string> lines = SplitLines(out.substr(4));
  EXPECT_EQ(lines[0], "Verko（テキストファイル比較） Ver 1.10  Molvanex");
  EXPECT_EQ(lines[2], "旧ファイル = /home/ユーザー/旧.txt");
  EXPECT_EQ(lines[3], "新ファイル = /tmp/new file.txt");
  EXPECT_EQ(lines[5], "比較日時 = 2000/01/02 03:04:05");
  EXPECT_EQ(lines[8], "    OLD#     NEW#");
}

TEST(ReportLines, FormsAlignNumbersPartsAndText) {
  LineRecord oldLine{1, 12, 2, "old"};
  LineRecord newLine{1, 14, 2, "new"};
  LineRecord oldWhole{1, 3, 0, std::string_view("\0", 1)};
  LineRecord newWhole{1, 32000, 10, ""};
  std::string out;
  AppendCommonLine(out, oldLine, newLine, newLine);
  AppendCommonLine(out, oldWhole, newWhole, oldWhole);
  AppendDeletedLine(out, oldLine);
  AppendAddedLine(out, newWhole);
  AppendMovedNewLine(out, oldLine, newLine);
  AppendMovedOldLine(out, oldWhole, newWhole);
  EXPECT_EQ(out,
            "      12~2     14~2  | new\r\n"
            "       3    3200010  | \r\n"
            "-     12~2           | old\r\n"
            "+           3200010  | \r\n"
            ">+(   12~2 )   14~2  | new\r\n"
            "<-     3   (3200010 )| \r\n");
}

TEST(ReportWalk, ShowsProgressAndPhases) {
  ReportRun run = RunLetters("abc", "abd", false);
  EXPECT_EQ(run.progress, (std::vector<int>{7, 13, 20, 100}));
  EXPECT_EQ(run.phases, (std::vector<std::string>{"結果出力中", "処理完了"}));
}

TEST(ReportWalk, CancelAtProgressStepLeavesTruncatedReport) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 40; ++i) lines.push_back("n" + std::to_string(i));
  LineTable oldText = MakeTable(std::vector<std::string>{}), newText = MakeTable(lines);
  MatchState state;
  state.Reset(0, 40);
  ReportRun run = RunReport(oldText, newText, state, false, 1, /*cancelAtShow=*/3);
  EXPECT_EQ(run.flow, Flow::kStop);
  EXPECT_EQ(run.progress, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(run.phases, (std::vector<std::string>{"結果出力中"}));
  std::vector<std::string> written = SplitLines(run.out);
  ASSERT_EQ(written.size(), 16u);  // the header and the added lines 1 to 6
  EXPECT_EQ(written.back(), "+               6    | n6");
}

// Old and new line numbers of one body line (columns 3-8 and 12-17, where a moved form puts
// a parenthesis in front of a 5-wide number), 0 where the form has none.
std::pair<int, int> NumbersOf(const std::string& line) {
  auto number = [](std::string field) {
    if (field[0] == '(' || field[0] == ')') field = field.substr(1);
    return field.find_first_not_of(' ') == std::string::npos ? 0 : std::stoi(field);
  };
  return {number(line.substr(2, 6)), number(line.substr(11, 6))};
}

TEST(ReportWalk, RandomPairingsKeepCountsAndListEveryLineOnce) {
  std::mt19937 random(20240229);
  const char* words[] = {"a", "b c", "", "d e f", "g"};
  int rounds[4] = {};  // rounds with a common, deleted, added and moved line: all forms covered
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> oldLines, newLines;
    int oldCount = random() % 25, newCount = random() % 25;
    for (int i = 0; i < oldCount; ++i) oldLines.push_back(words[random() % 5]);
    for (int j = 0; j < newCount; ++j) newLines.push_back(words[random() % 5]);
    LineTable oldText = MakeTable(oldLines), newText = MakeTable(newLines);
    MatchState state;
    state.Reset(oldCount, newCount);
    for (int j = 1; j <= newCount; ++j) {
      if (oldCount == 0 || random() % 4 == 0) continue;
      int i = 1 + random() % oldCount;
      if (oldText.Line(i).Text == newText.Line(j).Text) state.Link(j, i);
    }
    int32_t oldWords = 0, newWords = 0;
    for (const auto& r : oldText.Records()) oldWords += WordCountTC(r.Text);
    for (const auto& r : newText.Records()) newWords += WordCountTC(r.Text);

    ReportRun full = RunReport(oldText, newText, state, false);
    ReportRun diff = RunReport(oldText, newText, state, true, 1 + round % 3);
    // The fewest moves never move more lines than the first link met in new-file order.
    ReportRun fewestFull = RunReport(oldText, newText, state, false, 1, 0, true);
    ReportRun fewestDiff = RunReport(oldText, newText, state, true, 1 + round % 3, 0, true);
    EXPECT_LE(fewestFull.counts.CountMoved, full.counts.CountMoved) << round;
    rounds[0] += full.counts.CountCommon > 0;
    rounds[1] += full.counts.CountDeleted > 0;
    rounds[2] += full.counts.CountAdded > 0;
    rounds[3] += full.counts.CountMoved > 0;
    for (const ReportRun* run : {&full, &diff, &fewestFull, &fewestDiff}) {
      const ReportCounts& c = run->counts;
      EXPECT_EQ(oldCount, c.CountCommon + c.CountDeleted + c.CountMoved) << round;
      EXPECT_EQ(newCount, c.CountCommon + c.CountAdded + c.CountMoved) << round;
      EXPECT_EQ(oldWords, c.WordsCommon + c.WordsDeleted + c.WordsMoved) << round;
      EXPECT_EQ(newWords, c.WordsCommon + c.WordsAdded + c.WordsMoved) << round;
      for (int i = 1; i <= oldCount; ++i) EXPECT_EQ(run->state.OldMarks[i], 'P') << round;
    }

    for (const auto& [fullRun, diffRun] : {std::pair(&full, &diff), {&fewestFull, &fewestDiff}}) {
      // Full mode lists every old line once on the old side and every new line once on the
      // new side, new lines in new-file order.
      std::vector<int> oldSeen(oldCount + 1), newSeen(newCount + 1);
      int lastNew = 0;
      std::vector<std::string> fullBody = BodyOf(fullRun->out);
      for (const std::string& line : fullBody) {
        std::string marker = line.substr(0, 2);
        auto [oldNo, newNo] = NumbersOf(line);
        if (marker == "  " || marker == "- " || marker == "<-") ++oldSeen[oldNo];
        if (marker == "  " || marker == "+ " || marker == ">+") {
          ++newSeen[newNo];
          EXPECT_GT(newNo, lastNew) << round;
          lastNew = newNo;
        }
      }
      for (int i = 1; i <= oldCount; ++i) EXPECT_EQ(oldSeen[i], 1) << round << " old " << i;
      for (int j = 1; j <= newCount; ++j) EXPECT_EQ(newSeen[j], 1) << round << " new " << j;

      // Difference-only mode keeps every difference and a subsequence of the full body.
      std::size_t at = 0;
      for (const std::string& line : BodyOf(diffRun->out)) {
        if (line == "======================") continue;
        while (at < fullBody.size() && fullBody[at] != line) {
          EXPECT_EQ(fullBody[at].substr(0, 2), "  ") << round << ": dropped " << fullBody[at];
          ++at;
        }
        ASSERT_LT(at, fullBody.size()) << round << ": unexpected " << line;
        ++at;
      }
    }
  }
  for (int n : rounds) EXPECT_GT(n, 50);
}

}  // namespace
}  // namespace verko
