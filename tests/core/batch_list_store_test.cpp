// The batch-list database: lists, settings with empty text as null, pairs in OldFile order,
// compaction through Temp.mdb, and where the database lives.
#include "batch/batch_list_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "batch/batch_db_location.h"
#include "common/path_parts.h"
#include "tests/core/batch_test_support.h"
#include "tests/support/scoped_env.h"

namespace verko {
namespace {

using test_support::MakeBatchListDb;
using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

class BatchListStoreTest : public ::testing::Test {
 protected:
  BatchListStoreTest() : path(dir.File("VerkoBatchList.mdb")) {
    MakeBatchListDb(path);
    Status status = Status::Ok();
    store = BatchListStore::Open(path, &status);
    EXPECT_TRUE(status.ok()) << status.reason();
  }

  // A field read back raw, to see null as null.
  std::string RawField(const std::string& sql) {
    Status status = Status::Ok();
    auto db = Database::Open(path, Database::OpenMode::kReadOnly, &status);
    Statement statement;
    bool hasRow = false;
    EXPECT_TRUE(db->Prepare(sql, &statement).ok());
    EXPECT_TRUE(statement.Step(&hasRow).ok());
    return statement.ColumnIsNull(0) ? "<null>" : statement.ColumnText(0);
  }

  TempDir dir;
  std::string path;
  std::unique_ptr<BatchListStore> store;
};

TEST_F(BatchListStoreTest, DeliveredFileHoldsTheDefaultList) {
  std::vector<std::pair<int32_t, std::string>> lists;
  ASSERT_TRUE(store->ReadListNames(&lists).ok());
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].first, 1);
  EXPECT_EQ(lists[0].second, "既定のリスト");
}

TEST_F(BatchListStoreTest, NamesWithApostrophesAreBoundNotSpliced) {
  int32_t id = 0;
  ASSERT_TRUE(store->AddList("John's list", &id).ok());
  EXPECT_GT(id, 1);
  EXPECT_EQ(store->FindListByName("John's list"), id);
  EXPECT_EQ(store->FindListByName("JOHN'S LIST"), id);  // letter case of A-Z ignored
  EXPECT_EQ(store->FindListByName("x' OR '1'='1"), std::nullopt);
  ASSERT_TRUE(store->RenameList(id, "O'Brien").ok());
  EXPECT_EQ(store->FindListByName("O'Brien"), id);
}

TEST_F(BatchListStoreTest, EmptySettingsAreStoredAsNullAndReadBackEmpty) {
  BatchListSettings s;
  s.oldPath = "/old/";
  s.pairingMethod = 3;
  s.pairingFname = "*_a";
  s.resultMethod = 5;
  s.initNo = "";
  ASSERT_TRUE(store->SaveSettings(1, s).ok());
  EXPECT_EQ(RawField("SELECT NewPath FROM BatchListGroup WHERE BatchID = 1"), "<null>");
  EXPECT_EQ(RawField("SELECT PairingExt2 FROM BatchListGroup WHERE BatchID = 1"), "<null>");
  std::optional<BatchListSettings> loaded;
  ASSERT_TRUE(store->LoadSettings(1, &loaded).ok());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->batchName, "既定のリスト");
  EXPECT_EQ(loaded->oldPath, "/old/");
  EXPECT_EQ(loaded->newPath, "");
  EXPECT_EQ(loaded->pairingMethod, 3);
  EXPECT_EQ(loaded->pairingFname, "*_a");
  EXPECT_EQ(loaded->resultMethod, 5);
  EXPECT_EQ(loaded->initNo, "0");

  struct {
    const char* text;
    const char* readBack;
  } initNos[] = {{"12abc", "12"},
                 {" -3", "-3"},
                 {"2.6", "3"},
                 {"abc", "0"},
                 {"99999999999", "2147483647"},
                 // Halves go to the even neighbour, as the naming numbers them.
                 {"2.5", "2"},
                 {"3.5", "4"},
                 {"-2.5", "-2"}};
  for (const auto& c : initNos) {
    s.initNo = c.text;
    ASSERT_TRUE(store->SaveSettings(1, s).ok());
    ASSERT_TRUE(store->LoadSettings(1, &loaded).ok());
    EXPECT_EQ(loaded->initNo, c.readBack) << c.text;
  }
  ASSERT_TRUE(store->LoadSettings(99, &loaded).ok());
  EXPECT_FALSE(loaded);
}

TEST_F(BatchListStoreTest, PairsComeSortedByOldFileAndStayWithTheirList) {
  int32_t other = 0;
  ASSERT_TRUE(store->AddList("other", &other).ok());
  ASSERT_TRUE(
      store
          ->AddPairs(1, {{0, "c.txt", "c2.txt", "r3"},
                         {0, "a.txt", std::string(UnpairedMark), std::string(UndecidedMark)},
                         {0, std::string(UnpairedMark), "n.txt", std::string(UndecidedMark)},
                         {0, "a.txt", "dup", "r1"}})
          .ok());
  ASSERT_TRUE(store->AddPairs(other, {{0, "b.txt", "b2.txt", "rb"}}).ok());
  std::vector<PairRow> rows;
  ASSERT_TRUE(store->ReadPairs(1, &rows).ok());
  std::vector<std::string> order;
  for (const auto& row : rows) order.push_back(row.oldFile + "/" + row.newFile);
  EXPECT_EQ(order, (std::vector<std::string>{"a.txt/《未ペア》", "a.txt/dup", "c.txt/c2.txt",
                                             "《未ペア》/n.txt"}));

  // Letter case is folded as the work database orders texts, not raw bytes ("B" < "a").
  int32_t cased = 0;
  ASSERT_TRUE(store->AddList("cased", &cased).ok());
  ASSERT_TRUE(store
                  ->AddPairs(cased, {{0, "B.txt", "1", "r"},
                                     {0, "a.txt", "2", "r"},
                                     {0, "C.txt", "3", "r"},
                                     {0, "b.txt", "4", "r"}})
                  .ok());
  std::vector<PairRow> casedRows;
  ASSERT_TRUE(store->ReadPairs(cased, &casedRows).ok());
  std::vector<std::string> casedOrder;
  for (const auto& row : casedRows) casedOrder.push_back(row.oldFile);
  EXPECT_EQ(casedOrder, (std::vector<std::string>{"a.txt", "B.txt", "b.txt", "C.txt"}));

  ASSERT_TRUE(store->SetPairField(rows[0].pairId, PairField::kResultFile, "x.vk").ok());
  EXPECT_FALSE(store->SetPairField(rows[0].pairId, PairField::kResultFile, "").ok());
  ASSERT_TRUE(store->DeletePair(rows[1].pairId).ok());
  ASSERT_TRUE(store->ReadPairs(1, &rows).ok());
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].resultFile, "x.vk");

  ASSERT_TRUE(store->DeleteList(other).ok());
  EXPECT_EQ(
      RawField("SELECT count(*) FROM BatchListContent WHERE BatchID = " + std::to_string(other)),
      "0");
  ASSERT_TRUE(store->ClearPairs(1).ok());
  ASSERT_TRUE(store->ReadPairs(1, &rows).ok());
  EXPECT_TRUE(rows.empty());
}

TEST(BatchListStoreOpen, MissingOrForeignFilesAreRefusedWithAReason) {
  TempDir dir;
  Status missing = Status::Ok();
  std::unique_ptr<BatchListStore> store = BatchListStore::Open(dir.File("none.mdb"), &missing);
  EXPECT_FALSE(missing.ok());
  EXPECT_FALSE(missing.reason().empty());
  EXPECT_FALSE(store);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.mdb")));  // never created
  WriteFile(dir.File("text.mdb"), "not a database at all, just some text........");
  Status foreign = Status::Ok();
  store = BatchListStore::Open(dir.File("text.mdb"), &foreign);
  EXPECT_FALSE(foreign.ok());
  EXPECT_FALSE(store);
}

TEST_F(BatchListStoreTest, CompactionReplacesTheFileAndRemovesALeftoverTemp) {
  std::vector<PairRow> many(2000, PairRow{0, "old-file-name.txt", "new.txt", "r.vk"});
  ASSERT_TRUE(store->AddPairs(1, many).ok());
  ASSERT_TRUE(store->ClearPairs(1).ok());
  ASSERT_TRUE(store->AddPairs(1, {{0, "kept.txt", "n.txt", "r.vk"}}).ok());
  store.reset();
  const auto before = std::filesystem::file_size(path);
  WriteFile(dir.File("Temp.mdb"), "left over from an earlier run");

  Status status = CompactBatchListDb(path);
  ASSERT_TRUE(status.ok()) << status.reason();
  EXPECT_LT(std::filesystem::file_size(path), before);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Temp.mdb")));
  Status opened = Status::Ok();
  store = BatchListStore::Open(path, &opened);
  ASSERT_TRUE(opened.ok()) << opened.reason();
  std::vector<PairRow> rows;
  ASSERT_TRUE(store->ReadPairs(1, &rows).ok());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].oldFile, "kept.txt");
}

TEST_F(BatchListStoreTest, FailedCompactionLeavesTheOriginalIntact) {
  ASSERT_TRUE(store->AddPairs(1, {{0, "kept.txt", "n.txt", "r.vk"}}).ok());
  store.reset();
  const std::string original = ReadFile(path);
  // A folder named Temp.mdb that is not empty can be neither removed nor written over.
  std::filesystem::create_directory(dir.File("Temp.mdb"));
  WriteFile(dir.File("Temp.mdb") + "/inside", "x");

  Status status = CompactBatchListDb(path);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("Temp.mdb"), std::string::npos) << status.reason();
  EXPECT_EQ(ReadFile(path), original);
  EXPECT_EQ(ReadFile(dir.File("Temp.mdb") + "/inside"), "x");

  // A database that cannot be read leaves no Temp.mdb behind and is not touched either.
  std::filesystem::remove_all(dir.File("Temp.mdb"));
  WriteFile(dir.File("broken.mdb"), "not a database at all, just some text........");
  EXPECT_FALSE(CompactBatchListDb(dir.File("broken.mdb")).ok());
  EXPECT_FALSE(std::filesystem::exists(dir.File("Temp.mdb")));
  EXPECT_EQ(ReadFile(dir.File("broken.mdb")), "not a database at all, just some text........");
}

TEST(BatchListDbLocation, TheListsLiveInTheUserDataFolderSeededOnce) {
  TempDir dir;
  const std::string appDir = dir.File("app") + "/";
  std::filesystem::create_directory(appDir);
  WriteFile(appDir + "VerkoBatchList.mdb", "delivered");

  // A writable program folder is not the user's: the lists go to the data folder, which
  // XDG_DATA_HOME names when it is absolute, else ~/.local/share.
  struct {
    std::string home;
    std::optional<std::string> xdgDataHome;
    std::string expected;
  } cases[] = {
      {dir.File("h1"), std::nullopt, dir.File("h1") + "/.local/share/Verko/VerkoBatchList.mdb"},
      {dir.File("h2"), "relative/data", dir.File("h2") + "/.local/share/Verko/VerkoBatchList.mdb"},
      {dir.File("h3"), dir.File("data"), dir.File("data") + "/Verko/VerkoBatchList.mdb"}};
  for (auto& c : cases) {
    std::filesystem::create_directory(c.home);
    test_support::ScopedEnv env;
    env.Set("HOME", c.home).Set("XDG_DATA_HOME", c.xdgDataHome ? c.xdgDataHome->c_str() : nullptr);
    std::string path;
    Status status = LocateBatchListDb(appDir, &path);
    ASSERT_TRUE(status.ok()) << status.reason();
    EXPECT_EQ(path, c.expected);
    EXPECT_EQ(ReadFile(path), "delivered");
    struct stat st;
    ASSERT_EQ(stat(DirPart(path).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the data folder is the user's own";
    WriteFile(path, "the user's lists");
    ASSERT_TRUE(LocateBatchListDb(appDir, &path).ok());
    EXPECT_EQ(ReadFile(path), "the user's lists");  // never seeded over
    EXPECT_EQ(ReadFile(appDir + "VerkoBatchList.mdb"), "delivered");
    for (const auto& entry : std::filesystem::directory_iterator(DirPart(path))) {
      EXPECT_EQ(entry.path().filename(), "VerkoBatchList.mdb") << "no temporary copy left";
    }
  }

  // Nothing to seed from: a clear failure that names the delivered file, and no file.
  test_support::ScopedEnv env;
  env.Set("XDG_DATA_HOME", dir.File("empty"));
  std::string path;
  Status status = LocateBatchListDb(dir.File("noapp") + "/", &path);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find(dir.File("noapp")), std::string::npos) << status.reason();
  EXPECT_EQ(path, dir.File("empty") + "/Verko/VerkoBatchList.mdb");
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("empty") + "/Verko"));
}

// Compaction rewrites the file itself: what the user set on it stays, and another
// program's transaction is never undone.
TEST_F(BatchListStoreTest, CompactionKeepsModeLinkAndOtherProgramsRows) {
  std::vector<PairRow> many(2000, PairRow{0, "old-file-name.txt", "new.txt", "r.vk"});
  ASSERT_TRUE(store->AddPairs(1, many).ok());
  ASSERT_TRUE(store->ClearPairs(1).ok());
  store.reset();
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  const std::string link = dir.File("link.mdb");
  std::filesystem::create_symlink(path, link);
  const auto before = std::filesystem::file_size(path);

  Status status = CompactBatchListDb(link);
  ASSERT_TRUE(status.ok()) << status.reason();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_LT(std::filesystem::file_size(path), before) << "the link's target is compacted";
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // Read-only: neither widened nor replaced, and the reason says so.
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const std::string readOnly = ReadFile(path);
  status = CompactBatchListDb(path);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("読み取り専用"), std::string::npos) << status.reason();
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_EQ(ReadFile(path), readOnly);
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);

  // Another program in the middle of a write transaction: compaction gives up, saying why,
  // and that program's row is there after its commit.
  Status opened = Status::Ok();
  auto other = Database::Open(path, Database::OpenMode::kReadWrite, &opened);
  ASSERT_TRUE(other) << opened.reason();
  ASSERT_TRUE(other
                  ->Exec("BEGIN IMMEDIATE; INSERT INTO BatchListContent (BatchID, OldFile, "
                         "NewFile, ResultFile) VALUES (1, 'theirs.txt', 'n', 'r')")
                  .ok());
  status = CompactBatchListDb(path);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("使用中"), std::string::npos) << status.reason();
  ASSERT_TRUE(other->Exec("COMMIT").ok());
  // An idle connection does not hold compaction up, and sees the compacted file after it.
  ASSERT_TRUE(CompactBatchListDb(path).ok());
  ASSERT_TRUE(other
                  ->Exec("INSERT INTO BatchListContent (BatchID, OldFile, NewFile, "
                         "ResultFile) VALUES (1, 'later.txt', 'n', 'r')")
                  .ok());
  other.reset();
  EXPECT_EQ(RawField("SELECT group_concat(OldFile) FROM (SELECT OldFile FROM BatchListContent "
                     "ORDER BY OldFile)"),
            "later.txt,theirs.txt");
}

// A folder the user may not write: compaction says so, not that a file is missing.
TEST_F(BatchListStoreTest, CompactionInAReadOnlyFolderGivesTheRealReason) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as a user without root's rights";
  store.reset();
  constexpr uid_t kOther = 65534;
  const std::string folder = dir.File("lists");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  const std::string db = folder + "/VerkoBatchList.mdb";
  std::filesystem::copy_file(path, db);
  ASSERT_EQ(chown(folder.c_str(), kOther, kOther), 0);
  ASSERT_EQ(chown(db.c_str(), kOther, kOther), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);  // the child writes its answer here
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  const std::string reasonFile = dir.File("reason");
  pid_t pid = fork();
  if (pid == 0) {
    if (setgid(kOther) != 0 || setuid(kOther) != 0) _exit(126);
    Status status = CompactBatchListDb(db);
    std::FILE* out = std::fopen(reasonFile.c_str(), "w");
    if (out == nullptr) _exit(125);
    std::fputs(status.ok() ? "ok" : status.reason().c_str(), out);
    std::fclose(out);
    _exit(0);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  chmod(dir.Path().c_str(), 0700);
  if (WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 126) GTEST_SKIP() << "no other user here";
  const std::string reason = ReadFile(reasonFile);
  EXPECT_NE(reason.find("アクセスが拒否されました"), std::string::npos) << reason;
  EXPECT_EQ(reason.find("見つかりません"), std::string::npos) << reason;
  chmod(folder.c_str(), 0755);
}

TEST(BatchListDbLocation, SeedingFailuresGiveTheSystemsReasonInJapanese) {
  TempDir dir;
  WriteFile(dir.File("plain"), "x");
  const struct {
    std::string delivered, user, reason, names;
  } kCases[] = {
      {dir.File("missing.mdb"), dir.File("user") + "/VerkoBatchList.mdb",
       "ファイルまたはフォルダが見つかりません。", dir.File("missing.mdb")},
      {dir.File("plain"), dir.File("plain") + "/Verko/VerkoBatchList.mdb",
       "パスの途中にフォルダではないものがあります。", dir.File("plain")},
  };
  for (const auto& c : kCases) {
    Status status = SeedBatchListDb(c.delivered, c.user);
    EXPECT_FALSE(status.ok()) << c.user;
    EXPECT_EQ(status.reason().rfind(c.reason, 0), 0u) << status.reason();
    EXPECT_NE(status.reason().find(c.names), std::string::npos) << status.reason();
    EXPECT_FALSE(std::filesystem::exists(c.user)) << c.user;
  }
}

}  // namespace
}  // namespace verko
