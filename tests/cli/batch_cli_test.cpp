// verko-cli --batch as a user runs it: a stored list compared pair by pair, placeholder rows
// skipped, a failing pair reported without stopping the rest, and the exit status.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_list_store.h"
#include "common/path_parts.h"
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
