#include "platform/record_store.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "common/encoding.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

std::unique_ptr<Database> OpenOrFail(const std::string& path, Database::OpenMode mode) {
  Status status = Status::Ok();
  std::unique_ptr<Database> db = Database::Open(path, mode, &status);
  EXPECT_NE(db, nullptr) << status.reason();
  return db;
}

// The first column of the first row of `sql`, or the failure's reason.
std::string QueryText(Database& db, const std::string& sql) {
  Statement query;
  Status status = db.Prepare(sql, &query);
  bool hasRow = false;
  if (status.ok()) status = query.Step(&hasRow);
  if (!status.ok()) return "error: " + status.reason();
  return hasRow ? query.ColumnText(0) : "no row";
}

TEST(RecordStore, TextsRoundTripByteForByteAndEmptyIsNotNull) {
  test_support::TempDir folder;
  auto db = OpenOrFail(folder.Path() + "t.db", Database::OpenMode::kCreate);
  ASSERT_NE(db, nullptr);
  ASSERT_TRUE(db->Exec("CREATE TABLE T (ID INTEGER, Text VARCHAR(20))").ok());
  const std::vector<std::string> texts = {ToCp932("表示ソフト"), "", std::string(1, '\0'),
                                          std::string("a\0b", 3), "\x82"};
  Statement insert;
  ASSERT_TRUE(db->Prepare("INSERT INTO T VALUES (?, ?)", &insert).ok());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_TRUE(insert.BindInt(1, static_cast<int64_t>(i)).ok());
    ASSERT_TRUE(insert.BindText(2, std::string(texts[i])).ok());  // a temporary: copied
    ASSERT_TRUE(insert.Run().ok());
  }
  ASSERT_TRUE(insert.BindInt(1, 99).ok());
  ASSERT_TRUE(insert.BindNull(2).ok());
  ASSERT_TRUE(insert.Run().ok());

  Statement query;
  ASSERT_TRUE(db->Prepare("SELECT Text, typeof(Text) FROM T ORDER BY ID", &query).ok());
  bool hasRow = false;
  for (const std::string& expected : texts) {
    ASSERT_TRUE(query.Step(&hasRow).ok());
    ASSERT_TRUE(hasRow);
    EXPECT_FALSE(query.ColumnIsNull(0));
    EXPECT_EQ(query.ColumnText(1), "text");
    EXPECT_EQ(query.ColumnText(0), expected);
  }
  ASSERT_TRUE(query.Step(&hasRow).ok());
  ASSERT_TRUE(hasRow);
  EXPECT_TRUE(query.ColumnIsNull(0));
  ASSERT_TRUE(query.Step(&hasRow).ok());
  EXPECT_FALSE(hasRow);
}

TEST(RecordStore, TransactionRollsBackUnlessCommitted) {
  test_support::TempDir folder;
  auto db = OpenOrFail(folder.Path() + "x.db", Database::OpenMode::kCreate);
  ASSERT_NE(db, nullptr);
  ASSERT_TRUE(db->Exec("CREATE TABLE T (V INTEGER)").ok());
  {
    Transaction transaction(*db);
    ASSERT_TRUE(transaction.Begin().ok());
    ASSERT_TRUE(db->Exec("INSERT INTO T VALUES (1)").ok());
  }
  {
    Transaction transaction(*db);
    ASSERT_TRUE(transaction.Begin().ok());
    ASSERT_TRUE(db->Exec("INSERT INTO T VALUES (2)").ok());
    EXPECT_EQ(db->LastInsertRowId(), 1);
    ASSERT_TRUE(transaction.Commit().ok());
  }
  EXPECT_EQ(QueryText(*db, "SELECT group_concat(V) FROM T"), "2");
}

TEST(RecordStore, OpenFailuresNameTheCause) {
  test_support::TempDir folder;
  std::ofstream(folder.Path() + "plain.txt") << "not a folder";
  struct Case {
    std::string path;
    Database::OpenMode mode;
    const char* cause;
  } cases[] = {
      {folder.Path() + "missing/w.db", Database::OpenMode::kCreate,
       "ファイルまたはフォルダが見つかりません。"},
      {folder.Path() + "plain.txt/w.db", Database::OpenMode::kCreate,
       "パスの途中にフォルダではないものがあります。"},
      {folder.Path() + "absent.db", Database::OpenMode::kReadWrite,
       "ファイルまたはフォルダが見つかりません。"},
  };
  for (const auto& c : cases) {
    Status status = Status::Ok();
    EXPECT_EQ(Database::Open(c.path, c.mode, &status), nullptr) << c.path;
    EXPECT_EQ(status.reason().rfind(c.cause, 0), 0u) << status.reason();
    // SQLite's own message follows in parentheses.
    EXPECT_NE(status.reason().find("(unable to open database file)"), std::string::npos)
        << status.reason();
  }
}

TEST(RecordStore, WriteFailuresNameTheCause) {
  test_support::TempDir folder;
  const std::string path = folder.Path() + "w.db";
  std::ofstream(folder.Path() + "text.db") << "This is plain text, long enough to be read as a "
                                              "header of a database file, which it is not.";
  {
    auto db = OpenOrFail(path, Database::OpenMode::kCreate);
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(db->Exec("CREATE TABLE T (V TEXT)").ok());
  }
  auto writer = OpenOrFail(path, Database::OpenMode::kReadWrite);
  auto other = OpenOrFail(path, Database::OpenMode::kReadWrite);
  auto reader = OpenOrFail(path, Database::OpenMode::kReadOnly);
  auto notDatabase = OpenOrFail(folder.Path() + "text.db", Database::OpenMode::kReadWrite);
  ASSERT_TRUE(writer && other && reader && notDatabase);

  ASSERT_TRUE(other->Exec("BEGIN EXCLUSIVE").ok());
  Status busy = writer->Exec("INSERT INTO T VALUES ('x')");
  ASSERT_TRUE(other->Exec("ROLLBACK").ok());
  ASSERT_TRUE(writer->Exec("PRAGMA max_page_count = 2").ok());
  Status full = writer->Exec("INSERT INTO T VALUES (zeroblob(100000))");
  struct Case {
    const char* what;
    Status status;
    const char* cause;
  } cases[] = {
      {"busy", busy, "データベースが他のプログラムで使用中です。(database is locked)"},
      {"full", full, "ディスクの空き容量が不足しています。("},
      {"read-only", reader->Exec("INSERT INTO T VALUES ('x')"),
       "データベースが読み取り専用のため書き込めません。("},
      {"not a database", notDatabase->Exec("SELECT * FROM sqlite_master"),
       "データベースファイルが壊れているか、データベースではありません。("},
      {"no such table", writer->Exec("INSERT INTO Missing VALUES (1)"),
       "データベースの操作に失敗しました。(no such table: Missing)"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.status.ok()) << c.what;
    EXPECT_EQ(c.status.reason().rfind(c.cause, 0), 0u) << c.what << ": " << c.status.reason();
  }
}

}  // namespace
}  // namespace verko
