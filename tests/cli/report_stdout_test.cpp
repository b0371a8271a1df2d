// verko-cli with "-" as its result: the report on standard output, converted to the
// terminal's encoding on a terminal, and marked in colour as --color and NO_COLOR say.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "tests/support/cli_runner.h"
#include "tests/support/golden.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::CliOutcome;
using test_support::MaskDate;
using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

using Env = std::vector<std::pair<std::string, std::optional<std::string>>>;

class ReportStdoutTest : public ::testing::Test {
 protected:
  ReportStdoutTest() {
    oldPath = dir.File("old.txt");
    newPath = dir.File("new.txt");
    WriteFile(oldPath, ToCp932("一行目\r\n消える行\r\n動く行\r\n三\r\n四\r\n"));
    WriteFile(newPath, ToCp932("一行目\r\n三\r\n四\r\n動く行\r\n増えた行\r\n"));
  }

  CliOutcome Run(std::vector<std::string> args, Env env = {}, std::string limits = "") {
    test_support::CliLaunch launch;
    launch.env = std::move(env);
    launch.limits = std::move(limits);
    test_support::CliRunner runner(dir);
    return runner.Wait(runner.Start(std::move(args), launch));
  }

  // Runs verko-cli with standard output and error on a terminal; returns what it got.
  std::string RunOnTerminal(std::vector<std::string> args, const Env& env, int* exitCode) {
    args.insert(args.begin(), {VERKO_CLI_PATH, "--work-dir", dir.Path()});
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid == 0) {
      for (const auto& [name, value] : env) {
        value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
      }
      test_support::ExecArgs(args);
    }
    std::string out;
    char buffer[4096];
    for (;;) {
      ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;  // EIO once the program has ended
      out.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(master);
    *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
  }

  TempDir dir;
  std::string oldPath, newPath;
};

TEST_F(ReportStdoutTest, DashWritesTheReportToStandardOutputAsTheFileWouldHoldIt) {
  CliOutcome toFile = Run({oldPath, newPath, dir.File("result.txt")});
  ASSERT_EQ(toFile.exitCode, 1) << toFile.err;
  CliOutcome toStdout = Run({oldPath, newPath, "-"});
  EXPECT_EQ(toStdout.exitCode, 1) << toStdout.err;
  EXPECT_EQ(MaskDate(toStdout.out), MaskDate(ReadFile(dir.File("result.txt"))));
  EXPECT_EQ(toStdout.err, "");
  EXPECT_FALSE(std::filesystem::exists("-"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("-")));

  CliOutcome same = Run({oldPath, oldPath + "", "-"});
  EXPECT_EQ(same.exitCode, 2);
  EXPECT_EQ(same.out, "");
  WriteFile(dir.File("copy.txt"), ReadFile(oldPath));
  CliOutcome equal = Run({oldPath, dir.File("copy.txt"), "-", "--diff-only", "1"});
  EXPECT_EQ(equal.exitCode, 0);
  EXPECT_NE(equal.out.find(ToCp932("相違点は見つかりませんでした!!")), std::string::npos);
}

TEST_F(ReportStdoutTest, ColorMarksEachKindOfLineWhenAskedOrOnATerminal) {
  const std::string red = "\x1b[31m", green = "\x1b[32m", magenta = "\x1b[35m", cyan = "\x1b[36m",
                    reset = "\x1b[0m";
  struct Case {
    std::vector<std::string> options;
    const char* noColor;
    bool colored;
  } cases[] = {
      {{}, nullptr, false},  // not a terminal
      {{"--color"}, nullptr, false},
      {{"--color=auto"}, nullptr, false},
      {{"--color=never"}, nullptr, false},
      {{"--color=always"}, nullptr, true},
      {{"--color=always"}, "1", true},  // NO_COLOR turns only auto off
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options) + (c.noColor ? " NO_COLOR" : ""));
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {oldPath, newPath, "-"});
    CliOutcome outcome =
        Run(args, {{"NO_COLOR", c.noColor ? std::optional<std::string>(c.noColor) : std::nullopt}});
    ASSERT_EQ(outcome.exitCode, 1) << outcome.err;
    const std::string& out = outcome.out;
    EXPECT_EQ(out.find('\x1b') != std::string::npos, c.colored);
    if (!c.colored) continue;
    EXPECT_NE(out.find(red + "-      2             | " + ToCp932("消える行") + reset + "\r\n"),
              std::string::npos);
    EXPECT_NE(out.find(green + "+               5    | "), std::string::npos);
    EXPECT_NE(out.find(magenta + "<-     3   (    4   )| "), std::string::npos);
    EXPECT_NE(out.find(cyan + ">+(    3   )    4    | " + ToCp932("動く行") + reset + "\r\n"),
              std::string::npos);
    EXPECT_NE(out.find("\r\n       1        1    | "), std::string::npos);  // common: plain
    EXPECT_EQ(out.find(reset + reset), std::string::npos);
  }
  CliOutcome wrong = Run({"--color=sometimes", oldPath, newPath, "-"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_NE(wrong.err.find("--color"), std::string::npos);
  EXPECT_EQ(wrong.out, "");
}

TEST_F(ReportStdoutTest, OnATerminalTheReportIsInTheLocaleEncodingAndColouredByDefault) {
  struct Case {
    const char* option;
    const char* noColor;
    bool colored;
    const char *locale = "C.UTF-8", *term = "xterm";
  } cases[] = {
      {nullptr, nullptr, true},
      {nullptr, "1", false},
      {nullptr, "", true},  // an empty NO_COLOR does not count
      {"--color=never", nullptr, false},
      {nullptr, nullptr, false, "C", "dumb"},  // a locale without Japanese: UTF-8 all the same
      {"--color=always", nullptr, true, "POSIX", "dumb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    std::vector<std::string> args = {oldPath, newPath, "-"};
    if (c.option) args.insert(args.begin(), c.option);
    const Env env = {
        {"LC_ALL", c.locale},
        {"TERM", c.term},
        {"NO_COLOR", c.noColor ? std::optional<std::string>(c.noColor) : std::nullopt}};
    int exitCode = -1;
    const std::string out = RunOnTerminal(args, env, &exitCode);
    EXPECT_EQ(exitCode, 1) << out;
    EXPECT_EQ(out.compare(out.rfind("100%") + 4, 4, "\r\x1b[K"), 0) << out;  // progress cleared
    EXPECT_NE(out.find("統計情報："), std::string::npos);
    EXPECT_NE(out.find("消える行"), std::string::npos);
    EXPECT_EQ(out.find(ToCp932("統計情報：")), std::string::npos);
    EXPECT_EQ(out.find("\x1b[31m-      2") != std::string::npos, c.colored);
  }
}

// The changed characters of a deleted line and the added line it became stand out in
// reverse video, in the report's encoding or the terminal's; never without colour.
TEST_F(ReportStdoutTest, ColorMarksTheChangedCharactersOfAChangedLine) {
  WriteFile(oldPath, ToCp932("作成者 山田太郎\r\n"));
  WriteFile(newPath, ToCp932("作成者 鈴木太郎\r\n"));
  const std::string on = "\x1b[7m", off = "\x1b[27m";
  auto marked = [&](std::string_view before, std::string_view changed, std::string_view after) {
    return std::string(before).append(on).append(changed).append(off).append(after) + "\x1b[0m";
  };
  CliOutcome piped = Run({"--color=always", oldPath, newPath, "-"});
  EXPECT_NE(piped.out.find("\x1b[31m-      1             | " +
                           marked(ToCp932("作成者 "), ToCp932("山田"), ToCp932("太郎"))),
            std::string::npos)
      << piped.out;
  EXPECT_NE(piped.out.find("\x1b[32m+               1    | " +
                           marked(ToCp932("作成者 "), ToCp932("鈴木"), ToCp932("太郎"))),
            std::string::npos);
  EXPECT_EQ(Run({"--color=never", oldPath, newPath, "-"}).out.find('\x1b'), std::string::npos);
  int exitCode = -1;
  const std::string terminal =
      RunOnTerminal({oldPath, newPath, "-"}, {{"LC_ALL", "C.UTF-8"}, {"TERM", "xterm"}}, &exitCode);
  EXPECT_NE(terminal.find(marked("作成者 ", "鈴木", "太郎")), std::string::npos) << terminal;
}

// "-" as an input reads standard input (named so in the header); doubtful uses are refused.
TEST_F(ReportStdoutTest, DashAsAnInputReadsStandardInput) {
  const std::string report = MaskDate(Run({oldPath, newPath, "-"}).out);
  const std::string before = ReadFile(newPath);
  struct Case {
    std::string limits;
    std::vector<std::string> args;
    int exitCode;
    std::string says;  // on standard error
  } cases[] = {
      {"cat " + oldPath + " |", {"-", newPath, "-"}, 1, ""},  // a pipe into verko-cli
      {"exec <" + oldPath, {"-", newPath, "-"}, 1, ""},
      {"", {"-", "-", "-"}, 2, "旧ファイルと新ファイルの両方に標準入力（-）"},
      {"exec <" + newPath, {"-", oldPath, newPath}, 2, "結果ファイルに旧ファイルと同じ"},
      {"exec <" + newPath + " >>" + newPath, {"-", oldPath, "-"}, 2, "旧ファイルと同じ"},
      {"exec <" + dir.Path(), {"-", newPath, "-"}, 2, "旧ファイル\n   標準入力\nを開く"},
      {"exec <&-", {newPath, "-", "-"}, 2, "標準入力が閉じられているため、新ファイル"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limits + " " + testing::PrintToString(c.args));
    CliOutcome outcome = Run(c.args, {}, c.limits);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    if (c.exitCode != 1) continue;
    EXPECT_EQ(MaskDate(outcome.out),
              std::string(report).replace(report.find(oldPath), oldPath.size(), "-"));
  }
  EXPECT_EQ(ReadFile(newPath), before);
}

// A report appended to one of the compared files would damage it.
TEST_F(ReportStdoutTest, StandardOutputOnAnInputFileIsRefused) {
  const std::string before = ReadFile(oldPath);
  pid_t pid = fork();
  if (pid == 0) {
    int out = open(oldPath.c_str(), O_WRONLY | O_APPEND);
    int err = open(dir.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execl(VERKO_CLI_PATH, VERKO_CLI_PATH, "--work-dir", dir.Path().c_str(), oldPath.c_str(),
          newPath.c_str(), "-", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(ReadFile(oldPath), before);
  EXPECT_NE(ReadFile(dir.File("stderr")).find("旧ファイルと同じファイル"), std::string::npos);
}

}  // namespace
}  // namespace verko
