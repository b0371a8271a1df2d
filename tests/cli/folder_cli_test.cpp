// verko-cli on two folders as a user runs it: same-named files paired and compared into the
// result folder, subfolders with -r, --files, the printed lines and the exit status, and runs
// of several pairs at once that write what single runs write.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_list_store.h"
#include "common/encoding.h"
#include "common/path_parts.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

namespace fs = std::filesystem;
using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;
using Outcome = test_support::CliOutcome;

// A report without its date line, the one line that differs between two runs.
std::string WithoutDate(const std::string& report) {
  const std::string label = ToCp932("比較日時");
  std::string kept;
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(label, 0) != 0) kept += line + "\n";
  }
  return kept;
}

std::string Lines(int count, const std::string& text) {
  std::string lines;
  for (int i = 0; i < count; ++i) lines += text + std::to_string(i % 97) + "\r\n";
  return lines;
}

class FolderCliTest : public ::testing::Test {
 protected:
  FolderCliTest() {
    for (const char* sub : {"old", "old/sub", "old/gone", "new", "new/sub", "new/extra"}) {
      fs::create_directories(dir.File(sub));
    }
    WriteFile(dir.File("old/equal.txt"), "alpha\r\nbravo\r\n");
    WriteFile(dir.File("new/equal.txt"), "alpha\r\nbravo\r\n");
    WriteFile(dir.File("old/differ.log"), "one\r\ntwo\r\n");
    WriteFile(dir.File("new/differ.log"), "one\r\n2\r\n");
    WriteFile(dir.File("old/old-only.txt"), "x\r\n");
    WriteFile(dir.File("new/new-only.txt"), "y\r\n");
    WriteFile(dir.File("old/sub/deep.txt"), "s\r\nt\r\n");
    WriteFile(dir.File("new/sub/deep.txt"), "t\r\ns\r\n");
    WriteFile(dir.File("old/gone/g.txt"), "g\r\n");
    WriteFile(dir.File("new/extra/e.txt"), "e\r\n");
  }

  Outcome Run(std::vector<std::string> args) { return test_support::CliRunner(dir).Run(args); }
  Outcome RunFolders(std::vector<std::string> options, const std::string& result = "res") {
    options.insert(options.end(), {dir.File("old"), dir.File("new"), dir.File(result)});
    return Run(options);
  }

  // The folder run's report of `name` is byte for byte the report of that pair run alone.
  void ExpectSameAsSingleRun(const std::string& name, const std::string& result = "res") {
    Outcome single = Run({dir.File("old/" + name), dir.File("new/" + name), dir.File("single")});
    ASSERT_LE(single.exitCode, 1) << single.err;
    const std::string report = ReadFile(dir.File(result + "/" + name));
    EXPECT_FALSE(report.empty()) << name;
    EXPECT_EQ(WithoutDate(report), WithoutDate(ReadFile(dir.File("single")))) << name;
  }

  TempDir dir;
};

TEST_F(FolderCliTest, PairsFilesByNameAndPrintsOneLinePerPairThenOneSidedFilesThenASummary) {
  struct Case {
    std::vector<std::string> options;
    std::string out;
    std::vector<std::string> compared;  // result files that must match single runs
    int exitCode = 1;
  } cases[] = {
      {{},
       "相違あり: differ.log\n相違なし: equal.txt\n旧フォルダのみ: old-only.txt\n"
       "新フォルダのみ: new-only.txt\n"
       "フォルダ比較完了: 比較 2 組（相違なし 1、相違あり 1、打ち切り 0、エラー 0、キャンセル 0）"
       "、旧フォルダのみ 1 件、新フォルダのみ 1 件\n",
       {"differ.log", "equal.txt"}},
      {{"-r"},
       "相違あり: differ.log\n相違なし: equal.txt\n相違あり: sub/deep.txt\n"
       "旧フォルダのみ: gone/g.txt\n旧フォルダのみ: old-only.txt\n"
       "新フォルダのみ: extra/e.txt\n新フォルダのみ: new-only.txt\n"
       "フォルダ比較完了: 比較 3 組（相違なし 1、相違あり 2、打ち切り 0、エラー 0、キャンセル 0）"
       "、旧フォルダのみ 2 件、新フォルダのみ 2 件\n",
       {"differ.log", "equal.txt", "sub/deep.txt"}},
      {{"--recursive", "--files", "*.txt", "--files", "e*"},
       "相違なし: equal.txt\n相違あり: sub/deep.txt\n"
       "旧フォルダのみ: gone/g.txt\n旧フォルダのみ: old-only.txt\n"
       "新フォルダのみ: extra/e.txt\n新フォルダのみ: new-only.txt\n"
       "フォルダ比較完了: 比較 2 組（相違なし 1、相違あり 1、打ち切り 0、エラー 0、キャンセル 0）"
       "、旧フォルダのみ 2 件、新フォルダのみ 2 件\n",
       {"equal.txt", "sub/deep.txt"}},
      {{"--files", "e?ual.*", "--quiet"},
       "フォルダ比較完了: 比較 1 組（相違なし 1、相違あり 0、打ち切り 0、エラー 0、キャンセル 0）"
       "、旧フォルダのみ 0 件、新フォルダのみ 0 件\n",
       {"equal.txt"},
       0},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir.File("res"));
    Outcome outcome = RunFolders(c.options);
    const std::string label = c.options.empty() ? "(none)" : c.options[0];
    EXPECT_EQ(outcome.out, c.out) << label;
    EXPECT_EQ(outcome.exitCode, c.exitCode) << label << outcome.err;
    for (const std::string& name : c.compared) ExpectSameAsSingleRun(name);
    // Nothing is written for a file outside the comparison or a folder not walked.
    std::size_t written = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.File("res"))) {
      written += entry.is_regular_file();
    }
    EXPECT_EQ(written, c.compared.size()) << label;
  }
  EXPECT_FALSE(fs::exists(dir.File("res/gone")));
}

TEST_F(FolderCliTest, ExitStatusTellsSameDifferentOrFailed) {
  fs::create_directories(dir.File("a"));
  fs::create_directories(dir.File("b"));
  WriteFile(dir.File("a/same.txt"), "same\r\n");
  WriteFile(dir.File("b/same.txt"), "same\r\n");
  const std::string a = dir.File("a"), b = dir.File("b");
  Outcome equal = Run({"-r", a, b, dir.File("r1")});
  EXPECT_EQ(equal.exitCode, 0) << equal.out << equal.err;

  WriteFile(dir.File("b/more.txt"), "more\r\n");  // one side only
  EXPECT_EQ(Run({a, b, dir.File("r2")}).exitCode, 1);
  // In another format each result takes the old file's name and the format's extension.
  EXPECT_EQ(Run({"--format=json", a, b, dir.File("r2j")}).exitCode, 1);
  EXPECT_TRUE(fs::exists(dir.File("r2j/same.txt.json")));

  // A link that leads nowhere and a link to itself fail on their own lines; the others go on.
  fs::create_symlink(dir.File("a/nowhere"), dir.File("a/broken.txt"));
  WriteFile(dir.File("b/broken.txt"), "x\r\n");
  fs::create_symlink("loop.txt", dir.File("a/loop.txt"));
  fs::create_symlink("loop.txt", dir.File("b/loop.txt"));
  Outcome failed = Run({a, b, dir.File("r3")});
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_NE(failed.out.find("エラー: broken.txt  旧ファイル " + a + "/broken.txt を開くことが"),
            std::string::npos)
      << failed.out;
  EXPECT_NE(failed.out.find("エラー: loop.txt  旧ファイル"), std::string::npos) << failed.out;
  EXPECT_NE(failed.out.find("シンボリックリンクが循環しています。"), std::string::npos);
  EXPECT_NE(failed.out.find("相違なし: same.txt"), std::string::npos);
  fs::remove(dir.File("a/broken.txt"));
  fs::remove(dir.File("a/loop.txt"));
  fs::remove(dir.File("b/loop.txt"));

  // A subfolder link back to its own folder is reported once and not walked.
  fs::create_directories(dir.File("a/sub"));
  fs::create_directory_symlink("..", dir.File("a/sub/up"));
  Outcome looped = Run({"-r", a, b, dir.File("r4")});
  EXPECT_EQ(looped.exitCode, 2);
  EXPECT_NE(looped.out.find("エラー: sub/up/  旧フォルダ"), std::string::npos) << looped.out;
  EXPECT_NE(looped.out.find("比較できないフォルダ 1 件"), std::string::npos);

  // A file cut at the line limit is not "no differences".
  WriteFile(dir.File("a/long.txt"), Lines(32100, "line"));
  WriteFile(dir.File("b/long.txt"), Lines(32100, "line"));
  Outcome cut = Run({"--files", "long.txt", a, b, dir.File("r5")});
  EXPECT_EQ(cut.exitCode, 2);
  EXPECT_NE(cut.out.find("打ち切り: long.txt  旧ファイル"), std::string::npos) << cut.out;
}

TEST_F(FolderCliTest, FoldersThatCannotWorkAreRefusedBeforeAnythingIsWritten) {
  WriteFile(dir.File("plain"), "x");
  struct Case {
    std::vector<std::string> args;
    const char* expected;
  } cases[] = {
      {{dir.File("old"), dir.File("new"), dir.File("old/res")}, "が旧フォルダと同じか、その中に"},
      {{dir.File("old"), dir.File("new"), dir.File("new")}, "が新フォルダと同じか、その中に"},
      {{dir.File("old"), dir.File("old/../old"), dir.File("res")}, "旧フォルダと新フォルダが同じ"},
      {{dir.File("old"), dir.File("new"), dir.File("plain")}, "はフォルダではありません。"},
      {{dir.File("old"), dir.File("new"), dir.File("plain/res")}, "を作成できません。"},
      {{dir.File("old"), dir.File("plain"), dir.File("res")}, "フォルダが指定されています。"},
      {{dir.File("plain"), dir.File("new"), dir.File("res")}, "フォルダが指定されています。"},
      {{"-r", dir.File("plain"), dir.File("plain2"), dir.File("res")}, "フォルダを比較するとき"},
      {{"--jobs", "0", dir.File("old"), dir.File("new"), dir.File("res")}, "ペアの数が無効"},
  };
  for (const Case& c : cases) {
    Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.exitCode, 2) << c.expected;
    EXPECT_NE(outcome.err.find(c.expected), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out, "") << c.expected;
  }
  EXPECT_FALSE(fs::exists(dir.File("res")));
  EXPECT_FALSE(fs::exists(dir.File("old/res")));
  EXPECT_EQ(ReadFile(dir.File("plain")), "x");
}

TEST_F(FolderCliTest, AResultThatWouldOverwriteAnInputIsRefusedOnItsLine) {
  // The result folder holds the new folder, and the old folder a subfolder of that name: the
  // result of "new/a.txt" would be the new folder's own a.txt.
  fs::create_directories(dir.File("o/new"));
  fs::create_directories(dir.File("r/new/new"));
  WriteFile(dir.File("o/a.txt"), "old a\r\n");
  WriteFile(dir.File("o/new/a.txt"), "old new/a\r\n");
  WriteFile(dir.File("r/new/a.txt"), "new a\r\n");
  WriteFile(dir.File("r/new/new/a.txt"), "new new/a\r\n");
  Outcome outcome = Run({"-r", dir.File("o"), dir.File("r/new"), dir.File("r")});
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.out.find("相違あり: a.txt\nエラー: new/a.txt  結果ファイル"), std::string::npos)
      << outcome.out;
  EXPECT_EQ(ReadFile(dir.File("r/new/a.txt")), "new a\r\n");
}

TEST_F(FolderCliTest, NamesHoldingWildcardsPairOnlyWithTheSameName) {
  fs::create_directories(dir.File("w/old"));
  fs::create_directories(dir.File("w/new"));
  for (const char* name : {"w/old/a*.txt", "w/new/ab.txt", "w/old/q?.txt", "w/new/q?.txt"}) {
    WriteFile(dir.File(name), "x\r\n");
  }
  Outcome outcome = Run({"--quiet", dir.File("w/old"), dir.File("w/new"), dir.File("w/res")});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_NE(outcome.out.find("比較 1 組（相違なし 1、"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("旧フォルダのみ 1 件、新フォルダのみ 1 件"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir.File("w/res/q?.txt")));
  EXPECT_FALSE(fs::exists(dir.File("w/res/a*.txt")));
}

TEST_F(FolderCliTest, SeveralPairsAtOnceWriteWhatOnePairAtATimeWrites) {
  std::vector<std::string> names;
  for (int i = 0; i < 16; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    WriteFile(dir.File("old/" + name), Lines(300 + 700 * (i % 5), "text " + std::to_string(i)));
    WriteFile(dir.File("new/" + name), Lines(300 + 500 * (i % 3), "text " + std::to_string(i)));
    names.push_back(name);
  }
  Outcome one = RunFolders({"-r", "--jobs", "1"}, "res1");
  Outcome four = RunFolders({"-r", "--jobs", "4"}, "res4");
  Outcome cores = RunFolders({"-r"}, "res");
  EXPECT_EQ(one.exitCode, 1);
  EXPECT_EQ(four.exitCode, 1);
  EXPECT_EQ(four.out, one.out);
  EXPECT_EQ(cores.out, one.out);
  names.push_back("sub/deep.txt");
  for (const std::string& name : names) {
    EXPECT_EQ(WithoutDate(ReadFile(dir.File("res4/" + name))),
              WithoutDate(ReadFile(dir.File("res1/" + name))))
        << name;
    ExpectSameAsSingleRun(name);
  }
}

TEST_F(FolderCliTest, BatchListsRunAtOnceInListOrderWithChainedPairsInTurn) {
  const std::string dbPath = dir.File("lists.mdb");
  fs::copy_file(DirPart(VERKO_CLI_PATH) + "VerkoBatchList.mdb", dbPath);
  std::unique_ptr<BatchListStore> store;
  Status opened = Status::Ok();
  store = BatchListStore::Open(dbPath, &opened);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  int32_t batchId = 0;
  ASSERT_TRUE(store->AddList("chain", &batchId).ok());
  BatchListSettings settings;
  settings.oldPath = dir.File("old") + "/";
  settings.newPath = dir.File("new") + "/";
  settings.resultPath = dir.File("new") + "/";
  ASSERT_TRUE(store->SaveSettings(batchId, settings).ok());
  // The first pair writes r.txt, which the second compares; the third writes r.txt again.
  WriteFile(dir.File("old/big.txt"), Lines(3000, "big"));
  WriteFile(dir.File("new/big.txt"), Lines(3000, "large"));
  ASSERT_TRUE(store
                  ->AddPairs(batchId, {{0, "big.txt", "big.txt", "r.txt"},
                                       {0, "differ.log", "r.txt", "chained.txt"},
                                       {0, "equal.txt", "equal.txt", "r.txt"}})
                  .ok());
  store.reset();
  std::string outs[2];
  for (int i = 0; i < 2; ++i) {
    Outcome outcome = Run({"--jobs", i == 0 ? "1" : "4", "--batch", "chain", "--batch-db", dbPath});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    outs[i] = outcome.out;
    // The second pair read the first pair's whole report, not the third's.
    const std::string chained = ReadFile(dir.File("new/chained.txt"));
    EXPECT_NE(chained.find(dir.File("new/big.txt")), std::string::npos) << i;
    EXPECT_NE(chained.find("| big96"), std::string::npos) << i;
    EXPECT_EQ(chained.find("equal.txt"), std::string::npos) << i;
    EXPECT_NE(ReadFile(dir.File("new/r.txt")).find("bravo"), std::string::npos) << i;
  }
  EXPECT_EQ(outs[1], outs[0]);
}

TEST_F(FolderCliTest, InterruptStopsNewPairsCancelsRunningOnesAndExitsWith130) {
  for (int i = 0; i < 24; ++i) {
    const std::string name = "big" + std::to_string(i + 10) + ".txt";
    WriteFile(dir.File("old/" + name), Lines(30000, "old"));
    WriteFile(dir.File("new/" + name), Lines(30000, "new"));
  }
  test_support::CliRunner runner(dir);
  pid_t pid = runner.Start({"--jobs", "2", dir.File("old"), dir.File("new"), dir.File("res")});
  // Ctrl-C once the first pair's line is out.
  for (int i = 0; i < 2000 && ReadFile(dir.File("stdout")).empty(); ++i) usleep(5000);
  kill(pid, SIGINT);
  Outcome outcome = runner.Wait(pid);
  EXPECT_EQ(outcome.exitCode, 130) << outcome.out;
  EXPECT_NE(outcome.out.find("\nフォルダ比較中断: "), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("、未実行 "), std::string::npos) << outcome.out;
}

}  // namespace
}  // namespace verko
