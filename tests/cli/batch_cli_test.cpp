// verko-cli --batch as a user runs it: a stored list compared pair by pair, placeholder rows
// skipped, a failing pair reported without stopping the rest, and the exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_list_store.h"
#include "common/path_parts.h"
#include "compare/line_intake.h"
#include "platform/record_store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

using Outcome = test_support::CliOutcome;

class BatchCliTest : public ::testing::Test {
 protected:
  BatchCliTest() : dbPath(dir.File("lists.mdb")) {
    std::filesystem::copy_file(DeliveredDb(), dbPath);
    for (const char* sub : {"old", "new", "result"})
      std::filesystem::create_directory(dir.File(sub));
    WriteFile(dir.File("old/a.txt"), "alpha\r\nbravo\r\n");
    WriteFile(dir.File("new/a.txt"), "alpha\r\nbravo 2\r\n");
    WriteFile(dir.File("old/b.txt"), "same\r\n");
    WriteFile(dir.File("new/b.txt"), "same\r\n");
    Status opened = Status::Ok();
    store = BatchListStore::Open(dbPath, &opened);
    EXPECT_TRUE(opened.ok()) << opened.reason();
    EXPECT_TRUE(store->AddList("Mary's list", &batchId).ok());
    BatchListSettings settings;
    settings.oldPath = dir.File("old") + "/";
    settings.newPath = dir.File("new") + "/";
    settings.resultPath = dir.File("result") + "/";
    EXPECT_TRUE(store->SaveSettings(batchId, settings).ok());
  }

  static std::string DeliveredDb() { return DirPart(VERKO_CLI_PATH) + "VerkoBatchList.mdb"; }

  Outcome Run(std::vector<std::string> args) { return test_support::CliRunner(dir).Run(args); }

  Outcome RunList() { return Run({"--batch", "Mary's list", "--batch-db", dbPath}); }

  TempDir dir;
  std::string dbPath;
  std::unique_ptr<BatchListStore> store;
  int32_t batchId = 0;
};

TEST_F(BatchCliTest, DeliveredDatabaseLiesBesideTheProgram) {
  std::unique_ptr<BatchListStore> delivered;
  Status opened = Status::Ok();
  delivered = BatchListStore::Open(DeliveredDb(), &opened);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  EXPECT_TRUE(delivered->ListExists(1));
}

TEST_F(BatchCliTest, CompletePairsRunPlaceholdersAreSkippedAndErrorsDoNotStopTheRun) {
  const std::string U(UnpairedMark), D(UndecidedMark);
  ASSERT_TRUE(store
                  ->AddPairs(batchId, {{0, "a.txt", "a.txt", "ra.txt"},
                                       {0, "0missing.txt", "a.txt", "rm.txt"},
                                       {0, "b.txt", U, D},
                                       {0, "b.txt", "b.txt", "rb.txt"}})
                  .ok());
  Outcome outcome = RunList();
  EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
  EXPECT_NE(outcome.err.find("0missing.txt"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("比較処理でエラー"), std::string::npos);
  EXPECT_NE(outcome.out.find("比較 2 組、エラー 1 組、スキップ 1 組"), std::string::npos)
      << outcome.out;
  EXPECT_NE(ReadFile(dir.File("result/ra.txt")).find("bravo 2"), std::string::npos);
  EXPECT_FALSE(ReadFile(dir.File("result/rb.txt")).empty());

  std::vector<PairRow> rows;
  ASSERT_TRUE(store->ReadPairs(batchId, &rows).ok());
  ASSERT_TRUE(store->DeletePair(rows[0].pairId).ok());  // the missing file, first by name
  outcome = RunList();
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("バッチ処理完了: 比較 2 組、エラー 0 組、スキップ 1 組"),
            std::string::npos)
      << outcome.out;
}

// One line per pair, in list order, with the outcome a script can act on; a pair cut at the
// line limit is not counted as compared and makes the exit status 2.
TEST_F(BatchCliTest, EachPairPrintsItsOutcome) {
  std::string limitLines;
  for (int i = 0; i <= kMaxLines; ++i) limitLines += "x\r\n";
  WriteFile(dir.File("old/c.txt"), limitLines);
  WriteFile(dir.File("new/c.txt"), "x\r\n");
  const std::string U(UnpairedMark), D(UndecidedMark);
  ASSERT_TRUE(store
                  ->AddPairs(batchId, {{0, "a.txt", "a.txt", "ra.txt"},
                                       {0, "b.txt", "b.txt", "rb.txt"},
                                       {0, "c.txt", "c.txt", "rc.txt"},
                                       {0, "d.txt", U, D},
                                       {0, "e.txt", "e.txt", "re.txt"}})
                  .ok());
  Outcome outcome = RunList();
  EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
  const std::string result = dir.File("result") + "/";
  const std::string e = dir.File("old/e.txt");
  EXPECT_EQ(
      outcome.out,
      "相違あり: " + result + "ra.txt\n" + "相違なし: " + result + "rb.txt\n" +
          "打ち切り: " + result + "rc.txt  旧ファイルは 32001 行目から後を比較していません。\n" +
          "スキップ: " + result + D + "\n" + "エラー: " + result + "re.txt  旧ファイル " + e +
          " を開くことができません。 理由： ファイルまたはフォルダが見つかりません。\n" +
          "バッチ処理完了: 比較 2 組、エラー 1 組、スキップ 1 組（《未ペア》または《未定》）、"
          "打ち切り 1 組、キャンセル 0 組\n");
}

TEST_F(BatchCliTest, PairInterruptedByCtrlCIsCountedAsCancelled) {
  ASSERT_EQ(mkfifo(dir.File("old/f.txt").c_str(), 0644), 0);
  WriteFile(dir.File("new/f.txt"), "x\r\n");
  ASSERT_TRUE(store->AddPairs(batchId, {{0, "f.txt", "f.txt", "rf.txt"}}).ok());
  test_support::CliRunner runner(dir);
  pid_t pid = runner.Start({"--batch", "Mary's list", "--batch-db", dbPath});
  int writer = open(dir.File("old/f.txt").c_str(), O_WRONLY);  // verko-cli is reading it
  ASSERT_GE(writer, 0);
  usleep(100 * 1000);
  kill(pid, SIGINT);
  Outcome outcome = runner.Wait(pid);
  close(writer);
  EXPECT_EQ(outcome.exitCode, 130) << outcome.err;
  EXPECT_NE(outcome.out.find("キャンセル: " + dir.File("result") + "/rf.txt\n"), std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("エラー 0 組"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("キャンセル 1 組"), std::string::npos) << outcome.out;
}

// As on a system without SQLite, Oniguruma and libxlsxwriter: two files still compare (no
// library is needed), and what needs one says which library is missing.
TEST_F(BatchCliTest, WithoutTheSystemLibrariesFilesCompareAndABatchSaysWhatIsMissing) {
  ASSERT_TRUE(store->AddPairs(batchId, {{0, "a.txt", "a.txt", "a.txt"}}).ok());
  test_support::CliLaunch launch;
  const char* asan = getenv("ASAN_OPTIONS");  // the preload comes before the sanitizer
  launch.env = {{"LD_PRELOAD", VERKO_HIDE_LIBRARIES},
                {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0"}};
  const test_support::CliRunner runner(dir);
  Outcome pair =
      runner.Run({dir.File("old/a.txt"), dir.File("new/a.txt"), dir.File("r.txt")}, launch);
  EXPECT_EQ(pair.exitCode, 1) << pair.err;
  EXPECT_NE(ReadFile(dir.File("r.txt")).find("bravo 2"), std::string::npos);
  struct {
    std::vector<std::string> args;
    const char* missing;
  } const kNeeds[] = {
      {{"--batch", "Mary's list", "--batch-db", dbPath},
       "ライブラリ libsqlite3.so.0 を読み込めません"},
      {{"--split-chars=x", "a", "b", "c"}, "ライブラリ libonig.so.5 を読み込めません"},
      {{"--format=xlsx", dir.File("old/a.txt"), dir.File("new/a.txt"), dir.File("r.xlsx")},
       "ライブラリ libxlsxwriter.so.4 を読み込めません"},
  };
  for (const auto& need : kNeeds) {
    Outcome outcome = runner.Run(need.args, launch);
    EXPECT_EQ(outcome.exitCode, 2) << need.args[0];
    EXPECT_NE(outcome.err.find(need.missing), std::string::npos) << outcome.err;
  }
  // Without ICU, changed words are marked by character, and the run says so once.
  Outcome json =
      runner.Run({"--format=json", dir.File("old/a.txt"), dir.File("new/a.txt"), "-"}, launch);
  EXPECT_EQ(json.exitCode, 1) << json.err;
  EXPECT_NE(json.out.find("\"changes\""), std::string::npos) << json.out;
  const std::string notice = "変更箇所を文字単位で示します。ライブラリ libicuuc.so.";
  ASSERT_NE(json.err.find(notice), std::string::npos) << json.err;
  EXPECT_EQ(json.err.find(notice, json.err.find(notice) + 1), std::string::npos) << json.err;
}

TEST_F(BatchCliTest, RefusedRunsExitWithTwo) {
  Outcome empty = RunList();
  EXPECT_EQ(empty.exitCode, 2);
  EXPECT_NE(empty.err.find("ファイルリストの内容が空です。"), std::string::npos) << empty.err;

  ASSERT_TRUE(store->AddPairs(batchId, {{0, "a.txt", "a.txt", "a.txt"}}).ok());
  BatchListSettings settings;
  settings.oldPath = settings.newPath = settings.resultPath = dir.File("old") + "/";
  ASSERT_TRUE(store->SaveSettings(batchId, settings).ok());
  const std::string before = ReadFile(dir.File("old/a.txt"));
  Outcome same = RunList();
  EXPECT_EQ(same.exitCode, 2);
  EXPECT_NE(same.err.find("旧ファイルと新ファイルが同一です。"), std::string::npos) << same.err;
  EXPECT_EQ(ReadFile(dir.File("old/a.txt")), before);

  Outcome unknown = Run({"--batch", "nobody", "--batch-db", dbPath});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("バッチリスト「nobody」が見つかりません。"), std::string::npos);
  Outcome missingDb = Run({"--batch", "x", "--batch-db", dir.File("none.mdb")});
  EXPECT_EQ(missingDb.exitCode, 2);
  EXPECT_NE(missingDb.err.find("オープンできません"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.mdb")));

  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {"--batch", "x", "a", "b", "c"}, {"--batch-db", dbPath, "a", "b", "c"}, {"--batch"}}) {
    Outcome outcome = Run(args);
    EXPECT_EQ(outcome.exitCode, 2) << args[0];
    EXPECT_NE(outcome.err.find("verko-cli: "), std::string::npos);
  }
}

}  // namespace
}  // namespace verko
