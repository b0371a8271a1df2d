#include "compare/compare_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "batch/pair_outcome.h"
#include "common/encoding.h"
#include "compare/line_intake.h"
#include "tests/support/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::ScriptedHost;
using test_support::TempDir;
using test_support::WriteFile;

// Lines joined with CR LF, converted to CP932.
std::string Cp932Lines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* line : lines) out += ToCp932(line) + "\r\n";
  return out;
}

class CompareRunTest : public ::testing::Test {
 protected:
  CompareRunTest() : host(flags) {
    request.oldName = dir.File("old.txt");
    request.newName = dir.File("new.txt");
    request.resultName = dir.File("result.txt");
    request.options.workPath = dir.Path();
    WriteFile(request.oldName, Cp932Lines({"alpha", "bravo", "charlie", "delta"}));
    WriteFile(request.newName, Cp932Lines({"alpha", "bravo 2", "charlie", "delta", "echo"}));
  }

  CompareResult Run(RunMode mode = RunMode::kInteractive) {
    return ExecuteCompare(request, mode, host, flags);
  }

  TempDir dir;
  RunFlags flags;
  ScriptedHost host;
  CompareRequest request;
};

// A former result file, longer than any report here: a run writes over it, and nothing of
// it may remain after what the run wrote.
constexpr std::size_t kFormerResultSize = 200000;

TEST_F(CompareRunTest, CompletesAndWritesReportWithStatistics) {
  WriteFile(request.resultName, std::string(kFormerResultSize, '\x01'));
  CompareResult result = Run();
  ASSERT_EQ(result.status, kStatusDone) << result.message.text;
  EXPECT_EQ(result.counts.CountCommon, 3);
  EXPECT_EQ(result.counts.CountDeleted, 1);
  EXPECT_EQ(result.counts.CountAdded, 2);
  std::string report = FromCp932(ReadFile(request.resultName));
  EXPECT_NE(report.find("+               2    | bravo 2\r\n-      2             | bravo\r\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(report.find('\x01'), std::string::npos);
  EXPECT_EQ(host.progress.back(), 100);
  EXPECT_EQ(host.LastPhase(), "処理完了");
  EXPECT_FALSE(host.locked);
  EXPECT_FALSE(flags.CompareRunning);
  ASSERT_EQ(host.histories.size(), 1u);
  EXPECT_TRUE(host.displayShown && host.displayFinished);
}

TEST_F(CompareRunTest, NameChecksRefuseInOrder) {
  struct Case {
    std::string oldName, newName, resultName;
    const char* text;
  } cases[] = {
      {"", "", "r", "旧ファイルが指定されていません。"},
      {"o", "", "r", "新ファイルが指定されていません。"},
      {"o", "n", "", "結果ファイルが指定されていません。"},
      {"C:\\A.TXT", "C:\\A.TXT", "r", "旧ファイルと新ファイルが同じです。"},
  };
  for (const auto& c : cases) {
    request.oldName = c.oldName;
    request.newName = c.newName;
    request.resultName = c.resultName;
    CompareResult result = Run();
    EXPECT_EQ(result.status, kStatusFailed);
    EXPECT_EQ(result.message.text, c.text);
    EXPECT_EQ(result.message.title, "ファイル指定ミス");
    EXPECT_EQ(result.message.icon, MessageIcon::kExclamation);
    EXPECT_FALSE(host.displayShown);
    EXPECT_FALSE(host.locked);
  }
  // Names of files that do not exist are not the same file unless spelt alike.
  request.resultName = dir.File("r.txt");
  for (const char* newName : {"C:\\.\\A.TXT", "c:\\a.txt"}) {
    request.oldName = "C:\\A.TXT";
    request.newName = newName;
    EXPECT_EQ(Run().message.title, "ファイルを開けない") << newName;
  }
}

// Only two names that lead to one file on disk are refused as the same; names that differ
// in letter case or in any character are two files here and are compared.
TEST_F(CompareRunTest, SameFileMeansSameDeviceAndInode) {
  const std::string other = Cp932Lines({"alpha"});
  struct Case {
    std::string oldName, newName;
    bool same;
  } cases[] = {
      {"Case.txt", "case.txt", false},
      {"caf\xC3\xA9.txt", "caf\xC3\xA8.txt", false},      // café and cafè
      {"x\xF0\x9F\x98\x80", "x\xF0\x9F\x98\x81", false},  // two different emoji
      {"a.txt", "./a.txt", true},
      {"a.txt", "hard-link.txt", true},
      {"a.txt", "sym-link.txt", true},
  };
  WriteFile(dir.File("a.txt"), other);
  ASSERT_EQ(link(dir.File("a.txt").c_str(), dir.File("hard-link.txt").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("a.txt").c_str(), dir.File("sym-link.txt").c_str()), 0);
  for (const auto& c : cases) {
    if (!c.same) {
      WriteFile(dir.File(c.oldName), other);
      WriteFile(dir.File(c.newName), other);
    }
    request.oldName = dir.File(c.oldName);
    request.newName = dir.File(c.newName);
    CompareResult result = Run(RunMode::kBatch);
    if (c.same) {
      EXPECT_EQ(result.message.text, "旧ファイルと新ファイルが同じです。") << c.newName;
    } else {
      EXPECT_EQ(result.status, kStatusDone) << c.newName << ": " << result.message.text;
    }
  }
}

TEST_F(CompareRunTest, ResultNamingAnInputIsRefusedAndTheInputKeepsItsBytes) {
  const std::string oldBytes = ReadFile(request.oldName);
  mkdir(dir.File("sub").c_str(), 0755);
  request.resultName = dir.File("sub/../old.txt");
  CompareResult result = Run(RunMode::kBatch);
  EXPECT_EQ(result.status, kStatusFailed);
  EXPECT_EQ(result.message.text, "結果ファイルに旧ファイルと同じファイルが指定されています。");
  EXPECT_EQ(ReadFile(request.oldName), oldBytes);

  ASSERT_EQ(symlink(request.newName.c_str(), dir.File("link.txt").c_str()), 0);
  request.resultName = dir.File("link.txt");
  result = Run(RunMode::kBatch);
  EXPECT_EQ(result.message.text, "結果ファイルに新ファイルと同じファイルが指定されています。");
}

TEST_F(CompareRunTest, DeclinedOverwriteKeepsTheResultFile) {
  WriteFile(request.resultName, "keep me");
  host.answerOverwrite = false;
  CompareResult result = Run();
  EXPECT_EQ(result.status, kStatusOverwriteDeclined);
  EXPECT_EQ(ReadFile(request.resultName), "keep me");
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            "比較結果を\n  " + request.resultName + "\nに上書きしてよろしいですか？");
  // The work database is created before the checks, whatever they decide.
  struct stat st;
  EXPECT_EQ(stat(dir.File("VerkoText.mdb").c_str(), &st), 0);
}

TEST_F(CompareRunTest, BatchModeOverwritesWithoutQuestionAndKeepsHistories) {
  WriteFile(request.resultName, "old result");
  EXPECT_EQ(Run(RunMode::kBatch).status, kStatusDone);
  EXPECT_TRUE(host.questions.empty());
  EXPECT_TRUE(host.histories.empty());
  EXPECT_NE(ReadFile(request.resultName), "old result");
}

TEST_F(CompareRunTest, OpenFailuresNameTheFileAndTheReason) {
  mkdir(dir.File("folder").c_str(), 0755);
  WriteFile(dir.File("plain"), "x");
  struct Case {
    std::string* field;
    std::string value;
    const char* role;
    const char* reason;
  } cases[] = {
      {&request.oldName, dir.File("missing.txt"), "旧ファイル", "見つかりません"},
      {&request.newName, dir.File("folder"), "新ファイル", "フォルダが指定されています"},
      {&request.resultName, dir.File("nofolder/result.txt"), "結果ファイル", "見つかりません"},
      {&request.resultName, dir.File("plain/result.txt"), "結果ファイル", "フォルダではない"},
  };
  for (const auto& c : cases) {
    std::string saved = *c.field;
    *c.field = c.value;
    CompareResult result = Run(RunMode::kBatch);
    EXPECT_EQ(result.status, kStatusFailed) << c.value;
    EXPECT_EQ(result.message.title, "ファイルを開けない");
    EXPECT_EQ(
        result.message.text.rfind(
            std::string(c.role) + "\n   " + c.value + "\nを開くことができません。\n\n理由： ", 0),
        0u)
        << result.message.text;
    EXPECT_NE(result.message.text.find(c.reason), std::string::npos) << result.message.text;
    EXPECT_FALSE(host.displayShown);
    *c.field = saved;
  }
}

TEST_F(CompareRunTest, UnusableWorkFolderFailsWithAMessage) {
  WriteFile(dir.File("plain"), "x");
  for (std::string work : {dir.File("nowhere") + "/", dir.File("plain") + "/"}) {
    request.options.workPath = work;
    CompareResult result = Run(RunMode::kBatch);
    EXPECT_EQ(result.status, kStatusFailed);
    EXPECT_EQ(result.message.title, "比較処理でエラー");
    EXPECT_NE(result.message.text.find(work + "VerkoText.mdb"), std::string::npos);
    EXPECT_NE(result.message.text.find("理由： "), std::string::npos);
    EXPECT_FALSE(host.locked);
  }
}

// A work folder typed without its final "/" still holds the database.
TEST_F(CompareRunTest, WorkFolderWithoutFinalSlashHoldsTheDatabase) {
  std::filesystem::create_directory(dir.File("work"));
  request.options.workPath = dir.File("work");
  ASSERT_EQ(Run(RunMode::kBatch).status, kStatusDone);
  EXPECT_TRUE(std::filesystem::exists(dir.File("work/VerkoText.mdb")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("workVerkoText.mdb")));
}

TEST_F(CompareRunTest, WorkDatabaseNamedAsInputIsNotDeleted) {
  WriteFile(dir.File("VerkoText.mdb"), "precious");
  request.oldName = dir.File("VerkoText.mdb");
  EXPECT_EQ(Run().status, kStatusFailed);
  EXPECT_EQ(ReadFile(dir.File("VerkoText.mdb")), "precious");
}

TEST_F(CompareRunTest, CancelWhileReadingLeavesAnEmptyResult) {
  std::string big;
  for (int i = 0; i < 3000; ++i) big += "line " + std::to_string(i) + "\r\n";
  WriteFile(request.newName, big);
  // The first progress step of the new file (the old file is small: one step of 15).
  host.onProgress = [](ScriptedHost& h) {
    if (h.progress.back() > 15) h.RequestCancel();
  };
  WriteFile(request.resultName, std::string(kFormerResultSize, '\x01'));
  CompareResult result = Run();
  EXPECT_EQ(result.status, kStatusCancelled);
  EXPECT_EQ(ReadFile(request.resultName), "");
  EXPECT_FALSE(host.locked);
  EXPECT_FALSE(flags.CancelRequested);
  EXPECT_FALSE(flags.CompareRunning);
}

TEST_F(CompareRunTest, CancelDuringReportKeepsTheLinesWrittenSoFar) {
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += "line " + std::to_string(i) + "\r\n";
  WriteFile(request.oldName, lines);
  WriteFile(request.newName, lines);
  host.onProgress = [](ScriptedHost& h) {
    if (h.LastPhase() == "結果出力中" && h.progress.back() < 100) h.RequestCancel();
  };
  WriteFile(request.resultName, std::string(kFormerResultSize, '\x01'));
  CompareResult result = Run();
  EXPECT_EQ(result.status, kStatusCancelled);
  std::string report = ReadFile(request.resultName);
  EXPECT_EQ(report.find('\x01'), std::string::npos);
  EXPECT_NE(report.find("OLD#"), std::string::npos);
  EXPECT_EQ(report.find(ToCp932("統計情報")), std::string::npos);
}

TEST_F(CompareRunTest, LineLimitIsShownOncePerFileAndTheRestIgnored) {
  std::string exact, over;
  for (int i = 1; i <= kMaxLines; ++i) exact += std::to_string(i) + "\r\n";
  over = exact + "one more\r\nand another\r\n";
  WriteFile(request.oldName, exact);
  WriteFile(request.newName, over);
  CompareResult result = Run(RunMode::kBatch);
  ASSERT_EQ(result.status, kStatusDone) << result.message.text;
  ASSERT_EQ(host.limitMessages.size(), 1u);
  EXPECT_EQ(host.limitMessages[0],
            "行数制限オーバー: 新ファイル: 処理できる最大行数（32000）を超えました。\n"
            "それ以降のテキストは無視して続行します。");
  EXPECT_EQ(result.oldLineCount, kMaxLines);
  EXPECT_EQ(result.newLineCount, kMaxLines);
  EXPECT_EQ(result.counts.Differences(), 0);
  // No differences among the lines compared, but the comparison is not complete.
  EXPECT_FALSE(result.oldCut.cut());
  EXPECT_EQ(result.newCut.line, kMaxLines + 1);
  EXPECT_EQ(OutcomeOf(result), PairOutcome::kCut);
  EXPECT_EQ(PairOutcomeLine(result, "r.txt"),
            "打ち切り: r.txt  新ファイルは 32001 行目から後を比較していません。");
}

TEST_F(CompareRunTest, LineWhosePartsCrossTheLimitKeepsThePartsThatFit) {
  std::string lines;
  for (int i = 1; i <= kMaxLines - 2; ++i) lines += "x\r\n";
  lines += std::string(600, 'a') + "\r\nlast\r\n";  // three parts at the width 250
  WriteFile(request.oldName, lines);
  CompareResult result = Run(RunMode::kBatch);
  ASSERT_EQ(result.status, kStatusDone);
  EXPECT_EQ(result.oldLineCount, kMaxLines);
  ASSERT_EQ(host.limitMessages.size(), 1u);
  EXPECT_EQ(host.limitMessages[0].find("行数制限オーバー: 旧ファイル"), 0u);
  EXPECT_EQ(result.oldCut.line, kMaxLines - 1);
  EXPECT_TRUE(result.oldCut.withinLine);
  EXPECT_EQ(LineLimitCutText(result), "旧ファイルは 31999 行目の途中から後を比較していません。");
}

// Whatever fails inside a run (here the host runs out of memory while the bar is drawn)
// ends it with status -1, the message and its reason, and the end of run performed.
TEST_F(CompareRunTest, AnyFailureInsideTheRunEndsItWithAMessage) {
  struct Case {
    std::function<void()> fail;
    const char* reason;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "メモリが不足しています。"},
      {[] { throw std::system_error(EAGAIN, std::generic_category()); },
       "システムの資源が一時的に不足しています。"},
      {[] { throw std::runtime_error("broken"); }, "broken"},
  };
  for (const auto& c : cases) {
    host.onProgress = [&c](ScriptedHost& h) {
      if (h.LastPhase() == "比較処理中") c.fail();
    };
    CompareResult result = Run();
    EXPECT_EQ(result.status, kStatusFailed);
    EXPECT_EQ(result.message.title, "比較処理でエラー");
    EXPECT_EQ(result.message.text,
              std::string("比較処理中にエラーが起きました。\n\n理由： ") + c.reason);
    EXPECT_FALSE(host.locked);
    EXPECT_FALSE(flags.CompareRunning);
    EXPECT_TRUE(host.displayFinished);
    host.displayFinished = false;
  }
}

// A split pattern that backtracks without end on a long line: the search gives up, counts
// as no match, the run says so once and completes.
TEST_F(CompareRunTest, SplitPatternTooSlowForALineIsSaidOnce) {
  const std::string slow = std::string(100000, 'a') + "\r\n";
  WriteFile(request.oldName, slow + slow);
  WriteFile(request.newName, slow);
  request.options.splitChar = "(a|aa)+c";
  const auto start = std::chrono::steady_clock::now();
  CompareResult result = Run(RunMode::kBatch);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(result.status, kStatusDone) << result.message.text;
  EXPECT_EQ(result.oldLineCount, 2 * 400);  // cut by characters: 250 bytes a part
  ASSERT_EQ(host.warnings.size(), 1u);
  EXPECT_EQ(host.warnings[0].find("行の分割文字: 旧ファイル 1 行目: "), 0u) << host.warnings[0];
}

// A cancel is seen between the pieces of a line too: a wide line whose every cut takes a
// search of some thousand characters ahead (about ten seconds for the 32000 parts) does
// not hold the run until it is cut completely.
TEST_F(CompareRunTest, CancelIsSeenWithinALine) {
  WriteFile(request.oldName, std::string(1 << 20, 'x') + "\r\n");
  request.options.split = true;
  request.options.splitWidth = 20;
  request.options.splitChar = "x(?=[^z]{0,3000}z)";
  host.onProgress = [](ScriptedHost& h) {
    if (h.progress.back() >= 15) h.RequestCancel();  // the old file is read, not yet cut
  };
  const auto start = std::chrono::steady_clock::now();
  CompareResult result = Run(RunMode::kBatch);
  EXPECT_EQ(result.status, kStatusCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_LT(result.oldLineCount, 1000);
}

// A name holding a line break or another control character must not break the report's
// header lines: each such character is shown as "?".
TEST_F(CompareRunTest, ControlCharactersOfNamesAreShownAsQuestionMarks) {
  const std::string oldName = dir.File("two\nlines\t\x1b.txt");
  const std::string newName = dir.File("c1\xC2\x85.txt");
  WriteFile(oldName, ReadFile(request.oldName));
  WriteFile(newName, ReadFile(request.newName));
  request.oldName = oldName;
  request.newName = newName;
  ASSERT_EQ(Run().status, kStatusDone);
  std::string report = ReadFile(request.resultName);
  EXPECT_NE(report.find("\r\n" + ToCp932("旧ファイル = " + dir.File("two?lines??.txt")) + "\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\r\n" + ToCp932("新ファイル = " + dir.File("c1?.txt")) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(report.find("lines\t"), std::string::npos);
}

TEST_F(CompareRunTest, EditorStartsWithTheResultPathAsOneArgument) {
  request.resultName = dir.File("my result.txt");
  request.options.displayWithEditor = true;
  request.options.editorSetting = "xdg-open %1";
  ASSERT_EQ(Run().status, kStatusDone);
  EXPECT_EQ(host.editorProgram, "xdg-open");
  EXPECT_EQ(host.editorArgs, std::vector<std::string>{request.resultName});

  // Two files without lines give a report without lines: no editor.
  host.editorProgram.clear();
  WriteFile(request.oldName, "");
  WriteFile(request.newName, "");
  ASSERT_EQ(Run().status, kStatusDone);
  EXPECT_TRUE(host.editorProgram.empty());
}

TEST_F(CompareRunTest, EmptyFileAgainstLinesGivesOnlyAddedOrDeletedLines) {
  WriteFile(request.oldName, "");
  CompareResult result = Run(RunMode::kBatch);
  ASSERT_EQ(result.status, kStatusDone);
  EXPECT_EQ(result.counts.CountAdded, 5);
  EXPECT_EQ(result.counts.Lines(), 5);

  WriteFile(request.oldName, Cp932Lines({"a", "b"}));
  WriteFile(request.newName, "");
  result = Run(RunMode::kBatch);
  EXPECT_EQ(result.counts.CountDeleted, 2);
  EXPECT_EQ(result.counts.Lines(), 2);
}

}  // namespace
}  // namespace verko

namespace verko {
namespace {

// A run that fails inside (an allocation failure in the middle of matching, here thrown by
// the host) finishes its work database before the line tables its writer reads go away. Under
// the sanitizer builds a wrong order shows as a use after free or a data race.
TEST_F(CompareRunTest, UnwindingRunFinishesTheDatabaseBeforeItsTables) {
  std::string oldText, newText;
  for (int i = 0; i < 30000; ++i) {
    oldText += "line " + std::to_string(i * 7 % 30011) + "\r\n";
    newText += "line " + std::to_string(i * 11 % 30011) + "\r\n";
  }
  WriteFile(request.oldName, oldText);
  WriteFile(request.newName, newText);
  host.onProgress = [](ScriptedHost& h) {
    if (h.LastPhase() == "比較処理中") throw std::bad_alloc();
  };
  // The run catches the failure at its boundary and ends with the reason.
  CompareResult result = Run();
  EXPECT_EQ(result.status, kStatusFailed);
  EXPECT_NE(result.message.text.find("メモリが不足しています。"), std::string::npos);
  // The database written as far as the run came is whole and under its name; no other file
  // of the run is left.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"VerkoText.mdb", "new.txt", "old.txt", "result.txt"}));
}

}  // namespace
}  // namespace verko
