// The encoding options of verko-cli as a user runs them: exit codes, the report's bytes,
// refusals and warnings.
#include <gtest/gtest.h>

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

struct Case {
  const char* name;
  std::string oldBytes, newBytes;
  std::vector<std::string> options;
  int exitCode;
  const char* inReport;  // bytes the report must hold ("" = none)
  const char* inStderr;  // text stderr must hold ("" = stderr empty)
};

TEST(CliEncodings, OptionsChooseHowFilesAreReadAndTheReportIsWritten) {
  const std::string text = "比較 ～\r\n🍣 sushi\r\n";
  const Case cases[] = {
      {"utf-8 both", text, text, {"--encoding", "utf-8"}, 0, "🍣 sushi", ""},
      {"name in capitals", text, text + "more\r\n", {"--encoding", "UTF8"}, 1, "| more", ""},
      {"cp932 against its utf-8 form",
       ToCp932("比較 ～\r\n∥￢\r\n"),
       "比較 ～\r\n∥￢\r\n",
       {"--old-encoding", "sjis", "--new-encoding", "utf-8"},
       0,
       "∥￢",
       ""},
      {"auto", ToCp932("比較\r\n"), "比較\r\n", {"--encoding", "auto"}, 0, "| 比較", ""},
      {"report cannot hold a line",
       text,
       text,
       {"--encoding", "utf-8", "--report-encoding", "cp932"},
       2,
       "",
       "🍣 sushi"},
      {"wave-dash family against its cp932 copy",
       "〜‖−¢£¬—\r\nend\r\n",
       "\x81\x60\x81\x61\x81\x7c\x81\x91\x81\x92\x81\xca\x81\x5c\r\nend\r\n",
       {"--old-encoding", "utf-8", "--new-encoding", "cp932"},
       0,
       "| 〜‖−¢£¬—",
       "波ダッシュなど表記の異なる同じ文字: 1 行（旧 1）"},
      {"wave dash into a cp932 report",
       "〜 wave\r\n",
       "〜 wave\r\n",
       {"--encoding", "utf-8", "--report-encoding", "cp932"},
       0,
       "| \x81\x60 wave",
       ""},
      {"unknown encoding", text, text, {"--encoding", "latin1"}, 2, "", "latin1"},
      {"invalid bytes warned",
       "ok\r\nbad\xFF\r\n",
       "ok\r\nbad\xFF\r\n",
       {"--encoding", "utf-8"},
       0,
       "bad\xFF",
       "旧ファイルの 1 行は UTF-8"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteFile(dir.File("old.txt"), c.oldBytes);
    WriteFile(dir.File("new.txt"), c.newBytes);
    std::vector<std::string> args = c.options;
    args.insert(args.begin(), "--quiet");
    for (const char* file : {"old.txt", "new.txt", "result.txt"}) args.push_back(dir.File(file));
    const test_support::CliOutcome outcome = test_support::CliRunner(dir).Run(args);
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.name << "\n" << outcome.err;
    const std::string report = ReadFile(dir.File("result.txt"));
    if (*c.inReport != '\0') {
      EXPECT_NE(report.find(c.inReport), std::string::npos) << c.name << "\n" << report;
    } else {
      EXPECT_EQ(report, "") << c.name;
    }
    if (*c.inStderr != '\0') {
      EXPECT_NE(outcome.err.find(c.inStderr), std::string::npos) << c.name << "\n" << outcome.err;
    } else {
      EXPECT_EQ(outcome.err, "") << c.name;
    }
  }
}

// "auto" gives the report the encoding it finds would give, whether the first 64 KB tell
// it (a CP932 file is then taken in as it is read) or only what comes later.
TEST(CliEncodings, AutoReportsAsTheEncodingItFinds) {
  std::string ascii;
  for (int i = 0; i < 3000; ++i) ascii += "int value" + std::to_string(i) + " = 0;\r\n";
  const std::string japanese = "// 比較の結果を書く\r\n";
  const std::string edited = "int changed = 1;\r\n";
  const struct {
    const char* name;
    std::string oldBytes, newBytes;
    const char* encoding;
  } cases[] = {
      {"cp932 from the start", ToCp932(japanese) + ascii, ToCp932(japanese) + edited + ascii,
       "cp932"},
      {"cp932 after 64 KB", ascii + ToCp932(japanese), edited + ascii + ToCp932(japanese), "cp932"},
      {"utf-8 after 64 KB", ascii + japanese, ascii + edited + japanese, "utf-8"},
      {"cp932 against ascii", ToCp932(japanese) + ascii, ascii + edited, "cp932"},
  };
  for (const auto& c : cases) {
    std::string reports[2];
    for (int named = 0; named < 2; ++named) {
      TempDir dir;
      WriteFile(dir.File("old.txt"), c.oldBytes);
      WriteFile(dir.File("new.txt"), c.newBytes);
      const test_support::CliOutcome outcome = test_support::CliRunner(dir).Run(
          {"--quiet", "--encoding", named ? c.encoding : "auto", dir.File("old.txt"),
           dir.File("new.txt"), dir.File("result.txt")});
      EXPECT_EQ(outcome.exitCode, 1) << c.name << "\n" << outcome.err;
      // Without the lines naming the files and the date, which differ between the runs.
      std::string report = ReadFile(dir.File("result.txt"));
      reports[named] = report.substr(report.find("======"));
    }
    EXPECT_EQ(reports[0], reports[1]) << c.name;
  }
}

}  // namespace
}  // namespace verko
