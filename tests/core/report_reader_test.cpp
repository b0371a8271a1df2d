// Reading a report back: kinds, numbers, texts and moved partners of every body line, the
// statistics, the side-by-side rows, and texts that are not reports, in each encoding.
#include "report/report_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "common/text_encoding.h"
#include "report/report_decoding.h"
#include "report/report_writer.h"
#include "report/side_by_side.h"
#include "tests/core/matching_test_support.h"
#include "tests/support/golden.h"

namespace verko {
namespace {

using test_support::ReadGolden;

ReportDocument ReadBytes(const std::string& bytes) {
  return ReportDocument::Parse(DecodeReportBytes(bytes).utf8);
}

// The body in short: "=" common, "-" deleted, "+" added, "<" moved at the old place, ">"
// at the new place, "|" gap, "!" the no-differences message, "." plain text; each followed
// by the line's text.
std::string Summary(const ReportDocument& document) {
  std::string summary;
  for (int i = 0; i < document.Count(); ++i) {
    static const char kMarks[] = "=-+<>|!.";
    if (!summary.empty()) summary += ' ';
    summary += kMarks[static_cast<int>(document.Line(i).kind)];
    summary += document.TextOf(i);
  }
  return summary;
}

// A report of two lists of texts, matched and written as a run would.
std::string WriteReportOf(const std::vector<std::string>& oldTexts,
                          const std::vector<std::string>& newTexts, bool diffOnly,
                          int contextLines = 1) {
  MatchRun match(oldTexts, newTexts);
  ReportSettings settings;
  settings.oldName = "旧 old.txt";
  settings.newName = "new.txt";
  settings.dateTime = "2024/02/29 23:59:58";
  settings.diffOnly = diffOnly;
  settings.contextLines = contextLines;
  std::string out;
  ReportCounts counts;
  WriteReport(match.oldText, match.newText, match.state, settings, match.meter, out, counts);
  return out;
}

TEST(ReportReader, ReadsEveryGoldenReport) {
  struct Case {
    const char* file;
    const char* summary;
    int common, deleted, added, moved;
  } cases[] = {
      {"report_sample_full.txt", "=alpha +bravo 2 -bravo =charlie =delta +echo", 3, 1, 2, 0},
      {"report_worked_full.txt", "=a <b =c =d =e =f =g >b =h", 7, 0, 0, 1},
      {"report_worked_diff.txt", "=a <b =c | =g >b =h", 7, 0, 0, 1},
      {"report_identical_diff.txt", "!", 3, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ReportDocument document = ReadBytes(ReadGolden(c.file));
    ASSERT_TRUE(document.IsReport());
    EXPECT_EQ(Summary(document), c.summary);
    const ReportStatistics& s = document.Statistics();
    EXPECT_TRUE(s.present);
    EXPECT_EQ(s.common, c.common);
    EXPECT_EQ(s.deleted, c.deleted);
    EXPECT_EQ(s.added, c.added);
    EXPECT_EQ(s.moved, c.moved);
  }
  ReportDocument sample = ReadBytes(ReadGolden("report_sample_full.txt"));
  EXPECT_EQ(sample.Header().oldName, "C:\\data\\old.txt");
  EXPECT_EQ(sample.Header().newName, "C:\\data\\new.txt");
  EXPECT_EQ(sample.Header().dateTime, "1999/12/01 09:05:07");
  EXPECT_EQ(sample.Statistics().newWords, 6);
  EXPECT_TRUE(sample.Statistics().detailed);
}

TEST(ReportReader, BodyLineFormsGiveKindNumbersAndParts) {
  struct Case {
    const char* line;
    bool ok;
    LineKind kind = LineKind::kPlain;
    int oldNo = 0, oldPart = 0, newNo = 0, newPart = 0;
  } cases[] = {
      {"      12~2     14~2  | text", true, LineKind::kCommon, 12, 2, 14, 2},
      {"-  32000             | ", true, LineKind::kDeleted, 32000, 0, 0, 0},
      {"+               710  | x", true, LineKind::kAdded, 0, 0, 7, 10},
      {">+(    2   )    7    | b", true, LineKind::kMovedNew, 2, 0, 7, 0},
      {"<-     223 (    7~9 )| b", true, LineKind::kMovedOld, 2, 23, 7, 9},
      {"      12        14     |", false},  // shorter than the columns
      {"       1        1    ! a", false},  // no bar
      {"-      2        3    | a", false},  // a deleted line with a new number
      {"       1 ~0     1    | a", false},  // part 0 shows as blanks
      {"* x", false},
      {"======================", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ReportLine line;
    ASSERT_EQ(ParseBodyLine(c.line, &line), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(line.kind, c.kind);
    EXPECT_EQ(line.oldNo, c.oldNo);
    EXPECT_EQ(line.oldPart, c.oldPart);
    EXPECT_EQ(line.newNo, c.newNo);
    EXPECT_EQ(line.newPart, c.newPart);
  }
}

// Whatever the files, a full report read back lists every old line once on the left of the
// side-by-side rows and every new line once on the right, each side in file order; the
// kinds agree with the statistics and every moved line is linked to its other place.
TEST(ReportReader, FullReportsOfRandomFilesReadBackCompletely) {
  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::string> oldTexts, newTexts;
    const int oldCount = random() % 14, newCount = random() % 14;
    for (int i = 0; i < oldCount; ++i) oldTexts.push_back(std::string(1, 'a' + random() % 8));
    for (int i = 0; i < newCount; ++i) newTexts.push_back(std::string(1, 'a' + random() % 8));
    ReportDocument document = ReadBytes(WriteReportOf(oldTexts, newTexts, false));
    ASSERT_TRUE(document.IsReport());
    const ReportStatistics& s = document.Statistics();
    EXPECT_EQ(s.oldLines, oldCount);
    EXPECT_EQ(s.newLines, newCount);

    int counts[8] = {};
    for (const ReportLine& line : document.Lines()) ++counts[static_cast<int>(line.kind)];
    if (s.common == oldCount && s.common == newCount) continue;  // listed from the old side
    EXPECT_EQ(counts[static_cast<int>(LineKind::kCommon)], s.common);
    EXPECT_EQ(counts[static_cast<int>(LineKind::kDeleted)], s.deleted);
    EXPECT_EQ(counts[static_cast<int>(LineKind::kAdded)], s.added);
    EXPECT_EQ(counts[static_cast<int>(LineKind::kMovedNew)], s.moved);
    EXPECT_EQ(counts[static_cast<int>(LineKind::kMovedOld)], s.moved);

    SideBySide rows(document);
    std::vector<int> left, right;
    for (const SideBySideRow& row : rows.Rows()) {
      EXPECT_TRUE(row.oldLine >= 0 || row.newLine >= 0);
      if (row.oldLine >= 0) {
        const ReportLine& line = document.Line(row.oldLine);
        left.push_back(line.oldNo);
        EXPECT_EQ(oldTexts[line.oldNo - 1], document.TextOf(row.oldLine));
      }
      if (row.newLine >= 0) {
        const ReportLine& line = document.Line(row.newLine);
        right.push_back(line.newNo);
        EXPECT_EQ(newTexts[line.newNo - 1], document.TextOf(row.newLine));
      }
    }
    std::vector<int> oldOrder(oldCount), newOrder(newCount);
    for (int i = 0; i < oldCount; ++i) oldOrder[i] = i + 1;
    for (int i = 0; i < newCount; ++i) newOrder[i] = i + 1;
    EXPECT_EQ(left, oldOrder);
    EXPECT_EQ(right, newOrder);

    for (int i = 0; i < document.Count(); ++i) {
      const ReportLine& line = document.Line(i);
      const bool moved = line.kind == LineKind::kMovedOld || line.kind == LineKind::kMovedNew;
      ASSERT_EQ(line.partner >= 0, moved);
      if (!moved) continue;
      const ReportLine& other = document.Line(line.partner);
      EXPECT_EQ(other.partner, i);
      EXPECT_NE(other.kind, line.kind);
      EXPECT_EQ(other.oldNo, line.oldNo);
      EXPECT_EQ(other.newNo, line.newNo);
      EXPECT_EQ(rows.Rows()[rows.RowOfLine(i)].oldLine == i ||
                    rows.Rows()[rows.RowOfLine(i)].newLine == i,
                true);
    }
  }
}

TEST(ReportReader, SideBySideFacesDeletedWithAddedAndGivesMovedLinesRowsOfTheirOwn) {
  // New walk: a common, x y added, then (gap) b c deleted, the moved e at its old place, d
  // common, e at its new place.
  ReportDocument document = ReadBytes(
      WriteReportOf({"a", "b", "c", "e", "d", "f"}, {"a", "x", "y", "d", "e", "f"}, false));
  ASSERT_EQ(Summary(document), "=a +x +y -b -c <e =d >e =f");
  SideBySide rows(document);
  std::string shape;
  for (const SideBySideRow& row : rows.Rows()) {
    shape += (row.oldLine >= 0 ? document.TextOf(row.oldLine) : "_");
    shape += (row.newLine >= 0 ? document.TextOf(row.newLine) : "_");
    shape += ' ';
  }
  EXPECT_EQ(shape, "aa bx cy e_ dd _e ff ");
}

TEST(ReportReader, DifferenceOnlyReportKeepsItsGapsAsRowsWithoutLines) {
  std::vector<std::string> oldTexts, newTexts;
  for (char c = 'a'; c <= 'p'; ++c) oldTexts.push_back(std::string(1, c));
  newTexts = oldTexts;
  newTexts[1] = "X";
  newTexts[12] = "Y";
  ReportDocument document = ReadBytes(WriteReportOf(oldTexts, newTexts, true, 2));
  ASSERT_TRUE(document.IsReport());
  EXPECT_EQ(Summary(document), "=a +X -b =c =d | =k =l +Y -m =n =o");
  SideBySide rows(document);
  int gaps = 0;
  for (const SideBySideRow& row : rows.Rows()) gaps += row.gap ? 1 : 0;
  EXPECT_EQ(gaps, 1);
}

TEST(ReportReader, EveryEncodingReadsTheSame) {
  const std::string cp932 = ReadGolden("report_worked_diff.txt");
  const std::string utf8 = FromCp932(cp932);
  struct Case {
    const char* name;
    std::string bytes;
    ReportEncoding encoding;
  } cases[] = {
      {"CP932", cp932, ReportEncoding::kCp932},
      {"UTF-8", utf8, ReportEncoding::kUtf8},
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8, ReportEncoding::kUtf8},
      {"EUC-JP", FromUtf8To("EUC-JP", utf8), ReportEncoding::kEucJp},
      {"LF line ends",
       [&] {
         std::string lf = utf8;
         for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
         return lf;
       }(),
       ReportEncoding::kUtf8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedText decoded = DecodeReportBytes(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding);
    ReportDocument document = ReportDocument::Parse(decoded.utf8);
    ASSERT_TRUE(document.IsReport());
    EXPECT_EQ(Summary(document), "=a <b =c | =g >b =h");
    EXPECT_EQ(document.Header().oldName, "old.txt");
  }
}

// A CP932 report reads as the program's own decoding of its files, for any bytes: invalid
// sequences and a lead byte at the very end included, and a lead byte never takes a line end
// with it, so the viewer shows as many lines as the file holds.
TEST(ReportDecoding, Cp932ReadsAsTheProgramsDecodingForAnyBytes) {
  std::mt19937 random(99);
  const std::string title = ToCp932("Verko（テキストファイル比較） Ver 1.10  Molvanex\r\n");
  const auto lineEnds = [](const std::string& text) {
    return std::count(text.begin(), text.end(), '\n') + std::count(text.begin(), text.end(), '\r');
  };
  for (int round = 0; round < 300; ++round) {
    std::string bytes = title;
    const int length = random() % 64;
    for (int i = 0; i < length; ++i) bytes.push_back(static_cast<char>(random() % 256));
    SCOPED_TRACE(round);
    DecodedText decoded = DecodeReportBytes(bytes);
    ASSERT_EQ(decoded.encoding, ReportEncoding::kCp932);
    EXPECT_EQ(decoded.utf8, DecodeToUtf8(bytes, TextEncoding::kCp932));
    EXPECT_EQ(lineEnds(decoded.utf8), lineEnds(bytes));
  }
}

TEST(ReportReader, TextsThatAreNotReportsStayPlainLines) {
  const std::string worked = FromCp932(ReadGolden("report_worked_full.txt"));
  struct Case {
    const char* name;
    std::string bytes;
    ReportEncoding encoding;
    int lines;
  } cases[] = {
      {"empty file", "", ReportEncoding::kCp932, 0},
      {"Japanese CP932", ToCp932("日本語の文\r\nです\r\n"), ReportEncoding::kCp932, 2},
      {"Japanese EUC-JP", FromUtf8To("EUC-JP", "日本語の文\nです"), ReportEncoding::kEucJp, 2},
      {"a report with a line edited",
       [&] {
         std::string edited = worked;
         edited.replace(edited.find("       3        2    | c"), 3, "xx ");
         return edited;
       }(),
       ReportEncoding::kUtf8, 29},
      {"a report with text after its statistics", worked + "more\r\n", ReportEncoding::kUtf8, 30},
      {"a title line and other text", worked.substr(0, worked.find('\r')) + "\r\nメモ",
       ReportEncoding::kUtf8, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecodedText decoded = DecodeReportBytes(c.bytes);
    EXPECT_EQ(decoded.encoding, c.encoding);
    ReportDocument document = ReportDocument::Parse(decoded.utf8);
    EXPECT_FALSE(document.IsReport());
    EXPECT_EQ(document.Count(), c.lines);
    for (const ReportLine& line : document.Lines()) EXPECT_EQ(line.kind, LineKind::kPlain);
  }
}

// A run cancelled during the report leaves a report without statistics, and perhaps a
// moved line whose other place was never written.
TEST(ReportReader, ReportCutShortIsStillReadWithoutStatistics) {
  const std::string full = FromCp932(ReadGolden("report_worked_full.txt"));
  const std::string cut = full.substr(0, full.find(">+("));
  ReportDocument document = ReportDocument::Parse(cut);
  ASSERT_TRUE(document.IsReport());
  EXPECT_FALSE(document.Statistics().present);
  EXPECT_EQ(Summary(document), "=a <b =c =d =e =f =g");
  EXPECT_EQ(document.Line(1).partner, -1);

  const std::string emptyBody = full.substr(0, full.find("       1 "));
  EXPECT_TRUE(ReportDocument::Parse(emptyBody).IsReport());
  EXPECT_EQ(ReportDocument::Parse(emptyBody).Count(), 0);
}

// A report cut anywhere after its title line (a full disk, a killed run), in any encoding,
// reads as cut short: each body line with text after it (past 10 header lines) as the whole
// report has it, the last as far as it goes, no statistics unless there to the last "words".
TEST(ReportReader, ReportCutAnywhereReadsAsFarAsItGoes) {
  const auto whole = [](std::string_view text) {  // a character cut in two at the end left out
    while (text.ends_with("\uFFFD")) text.remove_suffix(3);
    return text;
  };
  std::vector<std::string> oldTexts = {"日本語", "移動", "b", "c", "d", "e", "f", "g", "h", "削除"};
  for (std::string& text : oldTexts) text = ToCp932(text);
  const std::vector<std::string> newTexts = {oldTexts[0], ToCp932("追加"), "b", "c", "d", "e", "f",
                                             "g",         oldTexts[1],     "h"};
  std::string full = WriteReportOf(oldTexts, newTexts, false);
  full.replace(full.find("       4        4    | c"), 20, "       4~1      412 ");  // parts
  for (const std::string& cp932 :
       {full, WriteReportOf(oldTexts, newTexts, true), WriteReportOf(oldTexts, oldTexts, true)}) {
    const std::string utf8 = FromCp932(cp932);
    for (const std::string& bytes : {cp932, utf8, FromUtf8To("EUC-JP", utf8)}) {
      const ReportDocument complete = ReadBytes(bytes);
      for (std::size_t cut = bytes.find('\r') + 1; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        const DecodedText decoded = DecodeReportBytes(bytes.substr(0, cut));
        ASSERT_EQ(decoded.encoding, DecodeReportBytes(bytes).encoding);
        const ReportDocument document = ReportDocument::Parse(decoded.utf8);
        ASSERT_TRUE(document.IsReport());
        EXPECT_EQ(document.Statistics().present, cut >= bytes.rfind("words") + 5);
        EXPECT_TRUE(complete.Header().oldName.starts_with(whole(document.Header().oldName)));
        std::string_view shown = whole(decoded.utf8);
        shown = shown.substr(0, shown.find_last_not_of("\r\n") + 1);  // to its last text
        const int ended =
            std::clamp<int>(std::count(shown.begin(), shown.end(), '\r') - 10, 0, complete.Count());
        ASSERT_GE(document.Count(), ended);
        ASSERT_LE(document.Count(), std::min(ended + 1, complete.Count()));
        for (int i = 0; i < document.Count(); ++i) {
          const std::string_view line = whole(document.LineString(i));
          EXPECT_EQ(document.Line(i).kind, complete.Line(i).kind);
          EXPECT_EQ(complete.LineString(i).substr(0, i < ended ? line.npos : line.size()), line);
        }
      }
    }
  }
}

TEST(ChangeBlocks, NextAndPreviousStopAtTheFirstRowOfEachBlock) {
  //                         0      1     2     3      4      5     6
  const std::vector<bool> changed = {false, true, true, false, false, true, false};
  struct Case {
    int from, next, previous;
  } cases[] = {
      {-1, 1, -1}, {0, 1, -1}, {1, 5, -1}, {2, 5, 1}, {3, 5, 1}, {5, -1, 1}, {6, -1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    EXPECT_EQ(NextChangeBlock(changed, c.from), c.next);
    EXPECT_EQ(PreviousChangeBlock(changed, c.from), c.previous);
  }
  EXPECT_EQ(NextChangeBlock({}, -1), -1);
  EXPECT_EQ(PreviousChangeBlock({}, 0), -1);
}

}  // namespace
}  // namespace verko
