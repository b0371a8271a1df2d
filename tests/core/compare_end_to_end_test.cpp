// Whole comparisons from files to the report: the golden reports, and properties that must
// hold for any pair of files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <random>

#include "common/encoding.h"
#include "compare/compare_run.h"
#include "compare/lines/line_functions.h"
#include "tests/support/golden.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::MaskDate;
using test_support::ReadFile;
using test_support::ReadGolden;
using test_support::ScriptedHost;
using test_support::TempDir;
using test_support::WriteFile;

std::string Cp932Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += ToCp932(line) + "\r\n";
  return out;
}

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() : host(flags) { options.workPath = dir.Path(); }

  // Compares two files that carry the given names inside the test folder (the names may
  // hold backslashes: they are ordinary characters here) and returns the report.
  std::string Compare(const std::string& oldName, const std::vector<std::string>& oldLines,
                      const std::string& newName, const std::vector<std::string>& newLines) {
    WriteFile(dir.File(oldName), Cp932Lines(oldLines));
    WriteFile(dir.File(newName), Cp932Lines(newLines));
    char cwd[4096];
    EXPECT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(chdir(dir.Path().c_str()), 0);
    CompareRequest request{oldName, newName, "result.txt", options, {}};
    result = ExecuteCompare(request, RunMode::kBatch, host, flags);
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(result.status, kStatusDone) << result.message.text;
    return ReadFile(dir.File("result.txt"));
  }

  TempDir dir;
  RunFlags flags;
  ScriptedHost host;
  CompareOptions options;
  CompareResult result;
};

TEST_F(EndToEndTest, CompleteSampleMatchesGolden) {
  std::string report =
      Compare("C:\\data\\old.txt", {"alpha", "bravo", "charlie", "delta"}, "C:\\data\\new.txt",
              {"alpha", "bravo 2", "charlie", "delta", "echo"});
  EXPECT_EQ(MaskDate(report), MaskDate(ReadGolden("report_sample_full.txt")));
}

TEST_F(EndToEndTest, WorkedExampleMatchesGoldenInBothModes) {
  const std::vector<std::string> oldLines = {"a", "b", "c", "d", "e", "f", "g", "h"};
  const std::vector<std::string> newLines = {"a", "c", "d", "e", "f", "g", "b", "h"};
  std::string full = Compare("old.txt", oldLines, "new.txt", newLines);
  options.diffOnly = true;
  options.contextLines = 1;
  std::string diffOnly = Compare("old.txt", oldLines, "new.txt", newLines);
  EXPECT_EQ(MaskDate(full), MaskDate(ReadGolden("report_worked_full.txt")));
  EXPECT_EQ(MaskDate(diffOnly), MaskDate(ReadGolden("report_worked_diff.txt")));
  EXPECT_EQ(result.counts.CountCommon, 7);
  EXPECT_EQ(result.counts.CountMoved, 1);
}

// The JSON lists the lines of the report's walk, gaps and moved partners included, and keeps
// a byte that is not valid in its file as an escape.
TEST_F(EndToEndTest, JsonListsTheWorkedExampleAsTheReportDoes) {
  options.format = ResultFormat::kJson;
  options.diffOnly = true;
  options.contextLines = 1;
  WriteFile(dir.File("old.txt"), "a\nb\nc\nd\ne\nf\ng\nh\xFF\n");
  WriteFile(dir.File("new.txt"), "a\nc\nd\ne\nf\ng\nb\nh\xFF\n");
  CompareRequest request{dir.File("old.txt"), dir.File("new.txt"), dir.File("r.json"), options, {}};
  result = ExecuteCompare(request, RunMode::kBatch, host, flags);
  ASSERT_EQ(result.status, kStatusDone) << result.message.text;
  const std::string json = ReadFile(dir.File("r.json"));
  std::string kinds;
  for (std::size_t at = 0; (at = json.find("\"kind\":\"", at)) != std::string::npos;) {
    at += 8;
    kinds += json.substr(at, json.find('"', at) - at) + " ";
  }
  EXPECT_EQ(kinds, "common moved-old common gap common moved-new common ");
  EXPECT_NE(json.find("{\"kind\":\"moved-old\",\"old\":{\"line\":2,\"part\":0},"
                      "\"new\":{\"line\":7,\"part\":0},\"text\":\"b\"}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("\"text\":\"h\\udcff\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"moved\":{\"lines\":1,\"words\":1}"), std::string::npos) << json;
}

// The body of a full-mode report: for each body line its marker and the numbers in the old
// and new columns (0 where the column is blank).
struct BodyLine {
  std::string marker;
  int oldNo = 0, newNo = 0;
};

std::vector<BodyLine> ParseBody(const std::string& report) {
  std::vector<BodyLine> body;
  std::size_t pos = 0;
  int lineIndex = 0;
  const std::string rule = "======================";
  while (pos < report.size()) {
    std::size_t end = report.find("\r\n", pos);
    std::string line = report.substr(pos, end - pos);
    pos = end + 2;
    if (++lineIndex <= 10) continue;  // the header
    if (line == rule) break;
    auto number = [&](std::size_t at) {
      std::string field = line.substr(at, 6);
      for (char& c : field) {
        if (c == '(' || c == ')') c = ' ';
      }
      return field.find_first_not_of(' ') == std::string::npos ? 0 : std::stoi(field);
    };
    body.push_back({line.substr(0, 2), number(2), number(11)});
  }
  return body;
}

TEST_F(EndToEndTest, EveryLineIsAccountedForInRandomPairs) {
  std::mt19937 random(20261207);
  const std::vector<std::string> vocabulary = {
      "alpha",    "Alpha",        "beta",       "",       "  ",     "}",   "{",    "return 0;",
      "漢字の行", "カタカナ　行", "int x = 1;", "ＡＢＣ", "ａｂｃ", "end", "end ", "x y z"};
  for (int round = 0; round < 300; ++round) {
    auto randomLines = [&](int maxLines) {
      std::vector<std::string> lines(random() % maxLines);
      int distinct = 2 + random() % (vocabulary.size() - 1);
      for (auto& line : lines) {
        int pick = random() % (distinct + 6);
        line = pick < distinct ? vocabulary[pick] : "line " + std::to_string(random() % 40);
      }
      return lines;
    };
    std::vector<std::string> oldLines = randomLines(40), newLines = randomLines(40);
    if (round % 3 == 0) {  // often the new file is an edit of the old one
      newLines = oldLines;
      for (int e = 0; e < 4 && !newLines.empty(); ++e) {
        std::size_t at = random() % newLines.size();
        if (random() % 2) {
          newLines.erase(newLines.begin() + at);
        } else {
          newLines.insert(newLines.begin() + at, "inserted " + std::to_string(e));
        }
      }
    }
    options.trimTail = round % 2 == 0;
    std::string report = Compare("old.txt", oldLines, "new.txt", newLines);
    const ReportCounts& c = result.counts;
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_EQ(result.oldLineCount, static_cast<int>(oldLines.size()));
    EXPECT_EQ(result.oldLineCount, c.CountCommon + c.CountDeleted + c.CountMoved);
    EXPECT_EQ(result.newLineCount, c.CountCommon + c.CountAdded + c.CountMoved);

    NormalizeOptions normalize;
    normalize.trimTail = options.trimTail;
    auto words = [&](const std::vector<std::string>& lines) {
      int32_t total = 0;
      for (const auto& line : lines) total += WordCountTC(NormalizeLine(ToCp932(line), normalize));
      return total;
    };
    EXPECT_EQ(words(oldLines), c.WordsCommon + c.WordsDeleted + c.WordsMoved);
    EXPECT_EQ(words(newLines), c.WordsCommon + c.WordsAdded + c.WordsMoved);

    std::map<int, int> oldSeen, newSeen;
    for (const BodyLine& line : ParseBody(report)) {
      if (line.marker == "  " || line.marker == "- " || line.marker == "<-") ++oldSeen[line.oldNo];
      if (line.marker == "  " || line.marker == "+ " || line.marker == ">+") ++newSeen[line.newNo];
    }
    ASSERT_EQ(oldSeen.size(), oldLines.size());
    ASSERT_EQ(newSeen.size(), newLines.size());
    for (const auto& [number, count] : oldSeen) EXPECT_EQ(count, 1) << "old " << number;
    for (const auto& [number, count] : newSeen) EXPECT_EQ(count, 1) << "new " << number;
  }
}

// A random file of lines from a small vocabulary (so lines repeat), in CP932 or UTF-8, with
// lines that only a fold makes equal (letter case, width, wave-dash twins, blanks), each
// ended by LF or CR LF (or, when asked, now and then by CR alone), the last one sometimes by
// nothing.
std::vector<std::string> RandomRawLines(std::mt19937& random, int most, bool utf8 = false,
                                        bool loneCr = false) {
  static const std::vector<std::string> vocabulary = {
      "alpha",    "Alpha",  "beta", "",         "  ",  "}",    "return 0;",
      "漢字の行", "ａｂｃ", "abc",  "end ",     "x y", "x  y", " x y",
      "波〜線",   "波～線", "ｶﾀｶﾅ", "カタカナ", "−１", "－１"};
  std::vector<std::string> lines(random() % most);
  for (auto& line : lines) {
    const std::string& word = vocabulary[random() % vocabulary.size()];
    line = random() % 3 ? (utf8 ? word : ToCp932(word)) : "line " + std::to_string(random() % 30);
    line += loneCr && random() % 8 == 0 ? "\r" : random() % 4 ? "\n" : "\r\n";
  }
  return lines;
}

std::string Joined(std::vector<std::string> lines, bool lastEnded) {
  if (!lastEnded && !lines.empty()) lines.back().erase(lines.back().find_first_of("\r\n"));
  std::string out;
  for (const auto& line : lines) out += line;
  return out;
}

TEST_F(EndToEndTest, UnifiedDiffPatchesTheOldFileIntoTheNewOne) {
  std::mt19937 random(25);
  options.format = ResultFormat::kUnified;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Every fold drawn: a patch is exact whatever the comparison takes as equal.
    options.caseSensitive = random() % 2;
    options.trimTail = random() % 2;
    options.trimTop = random() % 3 == 0;
    options.compress = random() % 3 == 0;
    options.ignoreWidth = random() % 2;
    options.split = random() % 4 == 0;
    options.splitWidth = 20 + static_cast<int>(random() % 10);
    // Some pairs are read as UTF-8 (CP932 bytes then invalid), some with a byte order mark.
    const bool utf8 = round % 5 == 0;
    // Now and then a line ends in CR alone, which patch reads as no line end at all.
    const bool loneCr = round % 10 == 9;
    std::vector<std::string> oldLines = RandomRawLines(random, 40, utf8 && random() % 2, loneCr),
                             newLines = oldLines;
    // Blocks moved, removed, inserted; a line end changed.
    for (int edit = 0; edit < 4 && !newLines.empty(); ++edit) {
      const std::size_t at = random() % newLines.size();
      const std::size_t length = 1 + random() % std::min<std::size_t>(5, newLines.size() - at);
      std::vector<std::string> block(newLines.begin() + at, newLines.begin() + at + length);
      newLines.erase(newLines.begin() + at, newLines.begin() + at + length);
      switch (random() % 4) {
        case 0:
        case 1:
          newLines.insert(newLines.begin() + random() % (newLines.size() + 1), block.begin(),
                          block.end());
          break;
        case 2:
          block = RandomRawLines(random, 4, utf8);
          newLines.insert(newLines.begin() + at, block.begin(), block.end());
          break;
        default:
          break;
      }
    }
    if (!newLines.empty() && random() % 5 == 0) {
      std::string& line = newLines[random() % newLines.size()];
      line = line.ends_with("\r\n") ? line.substr(0, line.size() - 2) + "\n"
                                    : line.substr(0, line.size() - 1) + "\r\n";
    }
    std::string oldBytes = Joined(oldLines, random() % 3),
                newBytes = Joined(newLines, random() % 3);
    options.oldEncoding = options.newEncoding =
        utf8 ? EncodingChoice::kUtf8 : EncodingChoice::kCp932;
    if (utf8 && random() % 2) oldBytes.insert(0, "\xEF\xBB\xBF");
    if (utf8 && random() % 2) newBytes.insert(0, "\xEF\xBB\xBF");
    options.diffOnly = round % 4 == 0;
    options.contextLines = 1 + round % 9;
    WriteFile(dir.File("old.txt"), oldBytes);
    WriteFile(dir.File("new.txt"), newBytes);
    CompareRequest request{
        dir.File("old.txt"), dir.File("new.txt"), dir.File("p.diff"), options, {}};
    result = ExecuteCompare(request, RunMode::kBatch, host, flags);
    if (loneCr && result.status == kStatusFailed) {
      EXPECT_NE(result.message.text.find(" 行目が CR だけで終わっています"), std::string::npos);
      continue;
    }
    ASSERT_EQ(result.status, kStatusDone) << result.message.text;
    const std::string diff = ReadFile(dir.File("p.diff"));
    if (diff.empty()) {
      EXPECT_EQ(oldBytes, newBytes);
      continue;
    }
    const std::string command = "patch -s -f -o " + dir.File("patched.txt") + " " +
                                dir.File("old.txt") + " " + dir.File("p.diff");
    ASSERT_EQ(std::system(command.c_str()), 0) << diff;
    ASSERT_EQ(ReadFile(dir.File("patched.txt")), newBytes) << diff;
  }
}

}  // namespace
}  // namespace verko
