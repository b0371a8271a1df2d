// verko-cli as a user runs it: exit codes, messages, and files it must never touch.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/encoding.h"
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
}

TEST_F(CliTest, InvalidOptionsAreRefusedBeforeAnythingIsWritten) {
  std::vector<std::vector<std::string>> cases = {
      {"--split", "19", oldPath, newPath, resultPath},
      {"--split", "251", oldPath, newPath, resultPath},
      {"--diff-only", "abc", oldPath, newPath, resultPath},
      {"--diff-only", "10", oldPath, newPath, resultPath},
      {"--split-chars", "[", oldPath, newPath, resultPath},
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
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += "line\r\n";
  ASSERT_EQ(write(writer, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  close(writer);
  Outcome outcome = Wait(pid);
  EXPECT_EQ(outcome.exitCode, 130) << outcome.err;
  EXPECT_EQ(ReadFile(resultPath), "");
}

}  // namespace
}  // namespace verko
