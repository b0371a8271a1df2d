// verko-cli as a user runs it: exit codes, messages, and files it must never touch.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/encoding.h"
#include "compare/line_intake.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

using Outcome = test_support::CliOutcome;

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    oldPath = dir.File("old.txt");
    newPath = dir.File("new.txt");
    resultPath = dir.File("result.txt");
    WriteFile(oldPath, "alpha\r\nbravo\r\ncharlie\r\n");
    WriteFile(newPath, "alpha\r\nbravo 2\r\ncharlie\r\n");
  }

  pid_t Start(std::vector<std::string> args) { return test_support::CliRunner(dir).Start(args); }
  Outcome Wait(pid_t pid) { return test_support::CliRunner(dir).Wait(pid); }
  Outcome Run(std::vector<std::string> args) { return Wait(Start(std::move(args))); }

  TempDir dir;
  std::string oldPath, newPath, resultPath;
};

TEST_F(CliTest, ExitCodeTellsWhetherTheFilesDiffer) {
  Outcome same = Run({oldPath, oldPath + "", resultPath});  // refused: same names
  EXPECT_EQ(same.exitCode, 2);
  EXPECT_NE(same.err.find("旧ファイルと新ファイルが同じです。"), std::string::npos);

  WriteFile(dir.File("copy.txt"), ReadFile(oldPath));
  Outcome equal = Run({oldPath, dir.File("copy.txt"), resultPath});
  EXPECT_EQ(equal.exitCode, 0) << equal.err;

  Outcome differ = Run({oldPath, newPath, resultPath});
  EXPECT_EQ(differ.exitCode, 1) << differ.err;
  EXPECT_NE(differ.out.find(resultPath), std::string::npos);
  EXPECT_NE(ReadFile(resultPath).find("bravo 2"), std::string::npos);

  Outcome quiet = Run({"--quiet", oldPath, newPath, resultPath});
  EXPECT_EQ(quiet.exitCode, 1);
  EXPECT_EQ(quiet.out, "");

  // What counts: letter case only with --case-sensitive, width only without --ignore-width.
  struct Case {
    const char* oldText;
    const char* newText;
    std::vector<std::string> options;
    int exitCode;
  };
  for (const Case& c : std::vector<Case>{
           {"abc\n", "ABC\n", {}, 0},
           {"abc\n", "ABC\n", {"--case-sensitive"}, 1},
           {"ＡＢＣ１２３\nｶﾀｶﾅ\nｶﾞﾊﾟｳﾞ\n", "ABC123\nカタカナ\nガパヴ\n", {}, 1},
           {"ＡＢＣ１２３\nｶﾀｶﾅ\nｶﾞﾊﾟｳﾞ\n", "ABC123\nカタカナ\nガパヴ\n", {"--ignore-width"}, 0},
           {"ＡＢＣ\n", "abc\n", {"--ignore-width", "--case-sensitive"}, 1},
           {"ＡＢＣ\n", "abc\n", {"--ignore-width"}, 0},
       }) {
    // A second line: a file of one line has no unique line to anchor on.
    WriteFile(dir.File("a.txt"), ToCp932(std::string(c.oldText) + "end\n"));
    WriteFile(dir.File("b.txt"), ToCp932(std::string(c.newText) + "end\n"));
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {dir.File("a.txt"), dir.File("b.txt"), resultPath});
    Outcome run = Run(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.oldText << " / " << c.newText;
    // The report keeps each side's own text.
    EXPECT_NE(ReadFile(resultPath).find(ToCp932(c.oldText).substr(0, 3)), std::string::npos);
  }
}

// The last of ten lines moved to the top: by default the nine others are reported as moved;
// with the fewest moves only that line, and the statistics still add up.
TEST_F(CliTest, FewestMovesReportsOnlyTheLinesThatLeftTheirOrder) {
  std::string oldText, newText = "line 10\r\n";
  for (int i = 1; i <= 10; ++i) oldText += "line " + std::to_string(i) + "\r\n";
  newText += oldText.substr(0, oldText.rfind("line 10"));
  WriteFile(oldPath, oldText);
  WriteFile(newPath, newText);
  for (const auto& [option, moved, common] :
       {std::tuple("--quiet", "9", "1"), {"--fewest-moves", "1", "9"}}) {
    ASSERT_EQ(Run({option, "--quiet", oldPath, newPath, resultPath}).exitCode, 1) << option;
    const std::string report = ReadFile(resultPath);
    EXPECT_NE(report.find(ToCp932(std::string("移動行 　　　　　　　：      ") + moved + " 行")),
              std::string::npos)
        << option;
    EXPECT_NE(report.find(ToCp932(std::string("一致行 　　　　　　　：      ") + common + " 行")),
              std::string::npos)
        << option;
  }
}

TEST_F(CliTest, InvalidOptionsAreRefusedBeforeAnythingIsWritten) {
  std::vector<std::vector<std::string>> cases = {
      {"--split", "19", oldPath, newPath, resultPath},
      {"--split", "251", oldPath, newPath, resultPath},
      {"--diff-only", "abc", oldPath, newPath, resultPath},
      {"--diff-only", "10", oldPath, newPath, resultPath},
      {"--split-chars", "[", oldPath, newPath, resultPath},
      {"--format", "pdf", oldPath, newPath, resultPath},
      {"--bogus", oldPath, newPath, resultPath},
      {oldPath, newPath},
      {"--split"},
  };
  for (const auto& args : cases) {
    Outcome outcome = Run(args);
    EXPECT_EQ(outcome.exitCode, 2) << args[0];
    EXPECT_NE(outcome.err.find("verko-cli: "), std::string::npos);
    EXPECT_FALSE(test_support::ReadFile(resultPath).size()) << args[0];
    EXPECT_NE(access(resultPath.c_str(), F_OK), 0) << args[0];
  }
  Outcome help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("使い方"), std::string::npos);
}

TEST_F(CliTest, BadFilesGiveAClearMessage) {
  mkdir(dir.File("folder").c_str(), 0755);
  WriteFile(dir.File("plain"), "x");
  struct Case {
    std::vector<std::string> args;
    const char* expected;
  } cases[] = {
      {{dir.File("missing.txt"), newPath, resultPath}, "を開くことができません。"},
      {{dir.File("folder"), newPath, resultPath}, "フォルダが指定されています。"},
      {{oldPath, newPath, dir.File("nofolder/r.txt")}, "結果ファイル"},
      {{oldPath, newPath, dir.File("plain/r.txt")}, "結果ファイル"},
      {{oldPath, newPath, dir.File("folder")}, "結果ファイル"},
  };
  for (const auto& c : cases) {
    Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.exitCode, 2) << c.args[0] << " " << c.args[2];
    EXPECT_NE(outcome.err.find("ファイルを開けない"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.expected), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(ReadFile(dir.File("plain")), "x");
  Outcome file = Run({"--work-dir", oldPath, oldPath, newPath, resultPath});
  EXPECT_NE(file.err.find(oldPath + " はフォルダではありません。"), std::string::npos) << file.err;
}

TEST_F(CliTest, ResultThatIsTheOldFileIsRefusedAndTheOldFileKeepsItsBytes) {
  const std::string before = ReadFile(oldPath);
  Outcome outcome = Run({oldPath, newPath, dir.Path() + "./old.txt"});
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find("結果ファイルに旧ファイルと同じファイルが指定されています。"),
            std::string::npos);
  EXPECT_EQ(ReadFile(oldPath), before);
}

TEST_F(CliTest, BinaryAndHugeInputsGiveAReport) {
  std::string binary("\0\0\x81\r\n\xFF\xFE\xFD\x80\x81\n\x82", 13);
  WriteFile(dir.File("binary"), binary);
  Outcome outcome = Run({dir.File("binary"), newPath, resultPath});
  EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
  EXPECT_NE(ReadFile(resultPath).find(std::string("\xFF\xFE\xFD\x80\x81")), std::string::npos);

  WriteFile(dir.File("huge"), std::string(10 * 1024 * 1024, 'y'));
  outcome = Run({dir.File("huge"), newPath, resultPath});
  EXPECT_EQ(outcome.exitCode, 2) << outcome.err;  // cut at the line limit: not complete
  EXPECT_NE(outcome.err.find("行数制限オーバー"), std::string::npos);
  EXPECT_NE(ReadFile(resultPath).find(ToCp932("統計情報")), std::string::npos);
}

TEST_F(CliTest, InterruptEndsTheRunAsCancelled) {
  // The old file is a pipe: verko-cli waits in its read until we have sent Ctrl-C.
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  pid_t pid = Start({fifo, newPath, resultPath});
  int writer = open(fifo.c_str(), O_WRONLY);  // returns once verko-cli has opened it
  ASSERT_GE(writer, 0);
  usleep(100 * 1000);
  kill(pid, SIGINT);
  // verko-cli stops waiting in its read at once, so it may have closed the pipe already:
  // the lines written after Ctrl-C may find no reader.
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += "line\r\n";
  signal(SIGPIPE, SIG_IGN);
  (void)!write(writer, lines.data(), lines.size());
  close(writer);
  Outcome outcome = Wait(pid);
  EXPECT_EQ(outcome.exitCode, 130) << outcome.err;
  EXPECT_EQ(ReadFile(resultPath), "");
}

TEST_F(CliTest, ComparisonCutAtTheLineLimitExitsTwoAndSaysWhere) {
  // Two 40,000-line files that differ only at line 35,000: nothing there was compared.
  std::string oldLines, newLines;
  for (int i = 1; i <= 40000; ++i) {
    std::string line = std::to_string(i) + "\r\n";
    oldLines += line;
    newLines += i == 35000 ? "changed\r\n" : line;
  }
  WriteFile(oldPath, oldLines);
  WriteFile(newPath, newLines);
  Outcome outcome = Run({oldPath, newPath, resultPath});
  EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
  EXPECT_NE(outcome.err.find("旧ファイルは 32001 行目から後を比較していません。"),
            std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("新ファイルは 32001 行目から後を比較していません。"),
            std::string::npos);
  EXPECT_NE(ReadFile(resultPath).find(ToCp932("統計情報")), std::string::npos);
  EXPECT_EQ(Run({oldPath, newPath, "-"}).out.find("結果ファイル = "), std::string::npos);
}

// Limits of the system end a run with its message and exit status 2, never with an abort
// (134) or a signal (153 for the file-size limit); an endless input does not exhaust memory.
TEST_F(CliTest, SystemLimitsEndTheRunWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than these limits allow";
#endif
  std::string big;
  for (int i = 0; i < kMaxLines; ++i) big += std::to_string(i) + std::string(200, 'x') + "\r\n";
  WriteFile(dir.File("big1.txt"), big);
  WriteFile(dir.File("big2.txt"), "changed\r\n" + big);
  const std::vector<std::string> bigPair{dir.File("big1.txt"), dir.File("big2.txt"), resultPath};
  struct Case {
    const char* limits;
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {"ulimit -v 400000",
       {"/dev/zero", newPath, resultPath},
       "旧ファイルは 1 行目の途中から後を比較していません。"},
      // Runs that decode read an endless input only as far as the line limit can reach.
      {"ulimit -v 600000",
       {"--encoding", "utf-8", "/dev/zero", newPath, resultPath},
       "旧ファイルは 1 行目の途中から後を比較していません。"},
      {"ulimit -v 600000",
       {"--encoding", "auto", "/dev/zero", newPath, resultPath},
       "旧ファイルは 1 行目の途中から後を比較していません。"},
      {"ulimit -v 40000", bigPair, "メモリが不足しています。"},
      // Every thread would need a gigabyte of stack: none can start, and the run does the
      // work of its threads itself, to the end (here the cut of the longer file).
      {"ulimit -v 300000; ulimit -s 1000000", bigPair,
       "新ファイルは 32001 行目から後を比較していません。"},
      {"ulimit -v 300000; ulimit -s 1000000",
       {"--encoding", "utf-8", bigPair[0], bigPair[1], resultPath},
       "新ファイルは 32001 行目から後を比較していません。"},
      {"ulimit -f 100", bigPair, "ファイルが大きすぎます。"},
  };
  for (const auto& c : cases) {
    test_support::CliLaunch launch;
    launch.limits = c.limits;
    Outcome outcome = test_support::CliRunner(dir).Run(c.args, launch);
    EXPECT_EQ(outcome.exitCode, 2) << c.limits << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << c.limits << "\n" << outcome.err;
  }
}

// The temporary files left in the work folder.
long LeftBehind(const TempDir& dir) {
  return std::ranges::count_if(std::filesystem::directory_iterator(dir.Path()), [](auto& entry) {
    return entry.path().string().find(".tmp-") != std::string::npos;
  });
}

TEST_F(CliTest, TerminationSignalsEndTheRunAsCancelled) {
  for (auto [signal, exitCode] : {std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    pid_t pid = Start({fifo, newPath, resultPath});
    int writer = open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    usleep(100 * 1000);
    kill(pid, signal);
    Outcome outcome = Wait(pid);
    close(writer);
    unlink(fifo.c_str());
    EXPECT_EQ(outcome.exitCode, exitCode) << outcome.err;
    EXPECT_NE(outcome.err.find("比較処理を中止しました。"), std::string::npos);
    EXPECT_EQ(LeftBehind(dir), 0);
  }
}

// Killed outright (kill -9, the out-of-memory killer) at one of its writes or as it puts
// the work database in place, a run leaves the former report whole or the head of its own,
// never its head on the former one's tail, and no temporary file.
TEST_F(CliTest, KilledRunLeavesNoSpliceAndNoTemporaryFile) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "needs strace to kill at a call";
  // A pair of `lines` lines, every third one changed.
  auto writePair = [&](const std::string& name, int lines) {
    std::string oldText, newText;
    for (int i = 0; i < lines; ++i) {
      oldText += name + std::to_string(i) + "\r\n";
      newText += name + std::to_string(i % 3 ? i : -i) + "\r\n";
    }
    WriteFile(dir.File(name + "1"), oldText);
    WriteFile(dir.File(name + "2"), newText);
    return std::vector<std::string>{dir.File(name + "1"), dir.File(name + "2"), resultPath};
  };
  const std::vector<std::string> formerPair = writePair("former", 30000);
  const std::vector<std::string> nextPair = writePair("next", 20000);
  for (const char* call : {"write:signal=KILL:when=1", "write:signal=KILL:when=2",
                           "write:signal=KILL:when=3", "linkat,rename,renameat2:signal=KILL"}) {
    ASSERT_EQ(Run(formerPair).exitCode, 1);
    const std::string former = ReadFile(resultPath);
    test_support::CliLaunch launch;
    launch.wrapper = std::string("strace -f -qq -o /dev/null -e inject=") + call;
    Outcome killed = test_support::CliRunner(dir).Run(nextPair, launch);
    EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << call << "\n" << killed.err;
    // The former report whole, or the new one's head with no line of the former after it.
    const std::string left = ReadFile(resultPath);
    EXPECT_TRUE(left == former || left.find("former") == std::string::npos) << call;
    EXPECT_EQ(LeftBehind(dir), 0) << call;
  }
}

// Killed as it removes the former work database, a run leaves no temporary file; the next
// run removes what killed runs left under our own naming, and nothing else.
TEST_F(CliTest, KilledAtTheFormerDatabaseLeavesNothingBehind) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "needs strace to kill at a call";
  ASSERT_EQ(Run({oldPath, newPath, resultPath}).exitCode, 1);  // the former database
  test_support::CliLaunch launch;
  launch.wrapper = "strace -f -qq -o /dev/null -e inject=unlink:signal=KILL";
  const Outcome killed = test_support::CliRunner(dir).Run({oldPath, newPath, resultPath}, launch);
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << killed.err;
  EXPECT_EQ(LeftBehind(dir), 0);
  const std::string left = dir.File("VerkoText.mdb.tmp-AbCdEf1234");
  const std::vector<std::string> alike = {dir.File("VerkoText.mdb.tmp-short"),
                                          dir.File("Other.mdb.tmp-AbCdEf1234")};
  for (const std::string& path : alike) WriteFile(path, "mine");
  WriteFile(left, "left by a run killed while it wrote");
  ASSERT_EQ(Run({oldPath, newPath, resultPath}).exitCode, 1);
  EXPECT_FALSE(std::filesystem::exists(left));
  for (const std::string& path : alike) EXPECT_EQ(ReadFile(path), "mine");
}

// A table or data result replaces the former one whole or not at all: killed at its write,
// as it names its new file or at the rename that puts it in place, a run leaves the former
// result or the complete new one, and what it left beside goes with the next run. The new
// file keeps the former's mode, and a link stays a link. A run refused after it opened the
// result (a patch of lines ended by CR alone) leaves the former result as it was.
TEST_F(CliTest, TablesAndDataReplaceTheFormerResultWholeOrNotAtAll) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "needs strace to kill at a call";
  std::string oldText, newText;
  for (int i = 0; i < 20000; ++i) {
    oldText += "line " + std::to_string(i) + "\r\n";
    newText += "line " + std::to_string(i % 3 ? i : -i) + "\r\n";
  }
  WriteFile(oldPath, oldText);
  WriteFile(newPath, newText);
  // Each format, with how a whole result of it ends.
  for (const auto& f : {std::pair{"html", "</html>\n"}, std::pair{"json", "}\n"}}) {
    const std::string result = dir.File((std::string("table.") + f.first).c_str());
    for (const char* call :
         {"write:signal=KILL:when=1", "linkat:signal=KILL", "rename:signal=KILL"}) {
      WriteFile(result, "former");
      test_support::CliLaunch launch;
      launch.wrapper = std::string("strace -f -qq -o /dev/null -e inject=") + call;
      const Outcome killed =
          test_support::CliRunner(dir).Run({"--format", f.first, oldPath, newPath, result}, launch);
      EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << f.first << " " << call << "\n" << killed.err;
      const std::string left = ReadFile(result);
      EXPECT_TRUE(left == "former" || (left.size() > 100000 && left.ends_with(f.second)))
          << f.first << " " << call << ": " << left.size() << " bytes";
    }
    ASSERT_EQ(Run({"--format", f.first, oldPath, newPath, result}).exitCode, 1);
    EXPECT_EQ(LeftBehind(dir), 0) << f.first;
  }
  // Through a link, onto a file of mode 0640; refused, the former result stays.
  const std::string target = dir.File("kept.diff"), link = dir.File("link.diff");
  WriteFile(target, "former");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(Run({"--format", "unified", oldPath, newPath, link}).exitCode, 1);
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  const std::string patch = ReadFile(target);
  EXPECT_TRUE(patch.starts_with("--- ")) << patch.substr(0, 40);
  WriteFile(oldPath, "alpha\rbravo\r");
  const Outcome refused = Run({"--format", "unified", oldPath, newPath, link});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("1 行目が CR だけで終わっています"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFile(target), patch);
}

// Standard output that takes nothing (a full disk) or is closed is said on standard error
// with status 2; a report to closed standard output is refused, never written elsewhere. A
// reader that goes away ends the run quietly with the status of a closed pipe.
TEST_F(CliTest, StandardOutputFailuresAreErrors) {
  std::filesystem::create_directories(dir.File("o"));
  std::filesystem::create_directories(dir.File("n"));
  std::string longText;
  for (int i = 0; i < 20000; ++i) longText += "line " + std::to_string(i) + "\r\n";
  WriteFile(dir.File("long.txt"), longText);
  const std::string full = "exec 1>/dev/full", says = "標準出力に書き込むことができません。";
  struct Case {
    std::string limits;
    std::vector<std::string> args;
    int exitCode;
    std::string says;  // empty: nothing on standard error
  } cases[] = {
      {full, {"--help"}, 2, says},
      {full, {dir.File("o"), dir.File("n"), dir.File("r")}, 2, says},
      {full, {oldPath, newPath, "-"}, 2, says},
      {"exec 1>&-", {oldPath, newPath, "-"}, 2, "標準出力が閉じられている"},
      {"mkfifo " + dir.File("pipe") + " && (head -c 1 " + dir.File("pipe") +
           " >/dev/null &) && exec 1>" + dir.File("pipe"),
       {dir.File("long.txt"), newPath, "-"},
       141,
       ""},
  };
  for (const auto& c : cases) {
    test_support::CliLaunch launch;
    launch.limits = c.limits;
    Outcome outcome = test_support::CliRunner(dir).Run(c.args, launch);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.limits << " " << c.args.back() << "\n"
                                            << outcome.err;
    EXPECT_EQ(outcome.err.empty(), c.says.empty()) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(LeftBehind(dir), 0);
  // The database the closed descriptor's number would have gone to holds no report.
  EXPECT_EQ(ReadFile(dir.File("VerkoText.mdb")).find("OLD#"), std::string::npos);
}

// A pipe without a writer is waited for; Ctrl-C during that wait says why in Japanese.
// A named pipe without a writer opens at once; the wait for its writer is a read that
// Ctrl+C cancels.
TEST_F(CliTest, InterruptedWaitForAPipeEndsAsACancel) {
  std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  pid_t pid = Start({fifo, newPath, resultPath});
  usleep(300 * 1000);
  kill(pid, SIGINT);
  Outcome outcome = Wait(pid);
  EXPECT_EQ(outcome.exitCode, 130) << outcome.err;
  EXPECT_NE(outcome.err.find("比較処理を中止しました。"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("errno"), std::string::npos);
}

TEST_F(CliTest, CommandLineConventions) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;  // expected exactly; "*" accepts any text
  } cases[] = {
      {{"--version"}, 0, "verko-cli Ver 1.10.042\n", ""},
      {{"--quiet", "--split=80", "--diff-only=2", oldPath, newPath, resultPath}, 1, "", ""},
      {{"--bogus", oldPath, newPath, resultPath},
       2,
       "",
       "verko-cli: 不明なオプションです: --bogus\n"
       "詳しくは verko-cli --help を参照してください。\n"},
      {{oldPath, newPath, resultPath, "--split"},
       2,
       "",
       "verko-cli: --split には値が必要です。\n詳しくは verko-cli --help を参照してください。\n"},
      {{"--quiet=yes", oldPath, newPath, resultPath},
       2,
       "",
       "verko-cli: --quiet は値をとりません。\n詳しくは verko-cli --help を参照してください。\n"},
      {{"--split=300", oldPath, newPath, resultPath}, 2, "", "*"},
      {{"--format=xlsx", oldPath, newPath, "-"}, 2, "", "*"},  // a workbook is not text
  };
  for (const auto& c : cases) {
    Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.args[0] << "\n" << outcome.err;
    if (c.out != "*") {
      EXPECT_EQ(outcome.out, c.out) << c.args[0];
    }
    if (c.err != "*") {
      EXPECT_EQ(outcome.err, c.err) << c.args[0];
    }
  }
}

// A 改め文 drafted by verko-cli, applied back by it, gives the new file; a pair whose
// articles cannot all be amended word by word says how many it wrote whole; an instruction
// that does not apply ends with exit 2, naming it, and writes nothing.
TEST_F(CliTest, AmendmentDraftedAndAppliedBackGivesTheNewFile) {
  const std::string laws = std::string(VERKO_TEST_DATA_DIR) + "/laws/";
  const std::string amendment = dir.File("amend.txt"), applied = dir.File("applied.txt");
  for (const char* pair : {"A07_jutaku-kinyu-shien-kiko-ho", "B02_shigen-yuko-riyo-sokushin-ho"}) {
    SCOPED_TRACE(pair);
    const std::string oldLaw = laws + pair + "/old.txt", newLaw = laws + pair + "/new.txt";
    Outcome drafted = Run({"--format", "aratame", oldLaw, newLaw, amendment});
    ASSERT_EQ(drafted.exitCode, 1) << drafted.err;
    const bool whole =
        drafted.err.find("「次のように改める」で全文を書きました") != std::string::npos;
    EXPECT_EQ(whole, std::string(pair).starts_with("B02")) << drafted.err;
    Outcome back = Run({"--apply-aratame", amendment, oldLaw, applied});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadFile(applied), ReadFile(newLaw));
  }
  WriteFile(amendment, "　　第九百条中「存在しない」を「字句」に改める。\n");
  std::filesystem::remove(applied);
  Outcome refused =
      Run({"--apply-aratame", amendment, laws + "A07_jutaku-kinyu-shien-kiko-ho/old.txt", applied});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("第九百条"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(applied));
}

}  // namespace
}  // namespace verko
