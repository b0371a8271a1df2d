#include "platform/sqlite_file_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "platform/record_store.h"
#include "platform/sqlite_btree_builder.h"
#include "platform/sqlite_record.h"
#include "tests/support/query_file.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

struct Row {
  int64_t key;
  std::string text;
};

// A table t (k INTEGER, v TEXT) with an index on each column, written by the writer.
Status WriteTable(const std::string& path, const std::vector<Row>& rows) {
  TableTreeBuilder table;
  IndexTreeBuilder byKey;
  IndexTreeBuilder byText;
  RecordEncoder record;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    record.Clear();
    record.AddInt(rows[i].key);
    record.AddText(rows[i].text);
    table.Add(static_cast<int64_t>(i) + 1, record);
  }
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rows[a].key < rows[b].key; });
  for (std::size_t i : order) {
    record.Clear();
    record.AddInt(rows[i].key);
    record.AddInt(static_cast<int64_t>(i) + 1);
    byKey.Add(record);
  }
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return rows[a].text < rows[b].text; });
  for (std::size_t i : order) {
    record.Clear();
    record.AddText(rows[i].text);
    record.AddInt(static_cast<int64_t>(i) + 1);
    byText.Add(record);
  }
  std::vector<SchemaEntry> schema;
  schema.push_back({"table", "t", "t", "CREATE TABLE t (k INTEGER, v TEXT)", table.Build()});
  schema.push_back({"index", "t_k", "t", "CREATE INDEX t_k ON t (k)", byKey.Build()});
  schema.push_back({"index", "t_v", "t", "CREATE INDEX t_v ON t (v)", byText.Build()});
  Status status = Status::Ok();
  auto file = SqliteFileWriter::Create(path, &status);
  if (file == nullptr) return status;
  status = file->Write(&schema);
  if (!status.ok()) return status;
  return file->Close();
}

std::vector<std::string> Query(const std::string& path, const std::string& sql) {
  return test_support::QueryFile(path, sql);
}

// Checks the file's structure, then that both indexes give the rows in their order.
void ExpectReadsBack(const std::string& path, const std::vector<Row>& rows) {
  EXPECT_EQ(Query(path, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  std::vector<std::string> expected;
  for (const Row& row : rows) expected.push_back(std::to_string(row.key) + "|" + row.text);
  EXPECT_EQ(Query(path, "SELECT k, v FROM t ORDER BY rowid"), expected);
  std::vector<Row> sorted = rows;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Row& a, const Row& b) { return a.key < b.key; });
  expected.clear();
  for (const Row& row : sorted) expected.push_back(std::to_string(row.key));
  EXPECT_EQ(Query(path, "SELECT k FROM t INDEXED BY t_k WHERE k IS NOT NULL ORDER BY k"), expected);
  sorted = rows;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Row& a, const Row& b) { return a.text < b.text; });
  expected.clear();
  for (const Row& row : sorted) expected.push_back(row.text);
  EXPECT_EQ(Query(path, "SELECT v FROM t INDEXED BY t_v WHERE v IS NOT NULL ORDER BY v"), expected);
}

TEST(SqliteFileWriter, IntegersKeepTheirValueAtEverySizeBoundary) {
  test_support::TempDir folder;
  std::vector<Row> rows;
  for (int64_t value : {int64_t{0},
                        int64_t{1},
                        int64_t{2},
                        int64_t{-1},
                        int64_t{127},
                        int64_t{128},
                        int64_t{-128},
                        int64_t{-129},
                        int64_t{32767},
                        int64_t{32768},
                        int64_t{-32769},
                        int64_t{8388607},
                        int64_t{8388608},
                        int64_t{-8388609},
                        int64_t{2147483647},
                        int64_t{2147483648},
                        int64_t{-2147483649},
                        int64_t{0x7fffffffffff},
                        int64_t{0x800000000000},
                        std::numeric_limits<int64_t>::max(),
                        std::numeric_limits<int64_t>::min()}) {
    rows.push_back({value, "n" + std::to_string(value)});
  }
  ASSERT_TRUE(WriteTable(folder.File("ints.db"), rows).ok());
  ExpectReadsBack(folder.File("ints.db"), rows);
  EXPECT_EQ(Query(folder.File("ints.db"), "SELECT count(*) FROM t WHERE typeof(k) = 'integer'"),
            std::vector<std::string>{std::to_string(rows.size())});
}

TEST(SqliteFileWriter, LongValuesGoToOverflowPages) {
  // Around the local limits of table leaves (4061 bytes) and index cells (1002 bytes), and
  // long enough for chains of several overflow pages; a text of 8185 bytes has the last
  // serial type of two bytes.
  test_support::TempDir folder;
  std::vector<Row> rows;
  int64_t key = 0;
  for (std::size_t size : {0,    1,    488,  489,  1000, 1001, 1002, 1003, 4058,  4059,
                           4060, 4061, 4062, 4100, 8150, 8185, 8186, 8200, 20000, 100000}) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
      text.push_back(static_cast<char>('a' + (i * 7 + size) % 26));
    rows.push_back({key++, text});
  }
  for (int copy = 0; copy < 200; ++copy) rows.push_back({key++ % 7, rows[copy % 20].text});
  ASSERT_TRUE(WriteTable(folder.File("long.db"), rows).ok());
  ExpectReadsBack(folder.File("long.db"), rows);
}

TEST(SqliteFileWriter, ManyRowsMakeSeveralLevels) {
  test_support::TempDir folder;
  std::vector<Row> rows;
  for (int i = 0; i < 30000; ++i) {
    rows.push_back({(i * 7919) % 30011, std::string(180, static_cast<char>('a' + i % 26)) +
                                            std::to_string(i * 31 % 1000)});
  }
  ASSERT_TRUE(WriteTable(folder.File("many.db"), rows).ok());
  ExpectReadsBack(folder.File("many.db"), rows);
}

TEST(SqliteFileWriter, EveryRowCountAroundTheFirstLeavesReadsBack) {
  // Entries of one size fill each leaf alike: among these counts the last entry falls
  // just after a full leaf, where it would divide nothing.
  test_support::TempDir folder;
  for (int count = 1; count <= 90; ++count) {
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i)
      rows.push_back({i, std::string(100, 'a') + std::to_string(100 + i)});
    const std::string path = folder.File("n" + std::to_string(count) + ".db");
    ASSERT_TRUE(WriteTable(path, rows).ok());
    ExpectReadsBack(path, rows);
  }
}

TEST(SqliteFileWriter, RewritingReplacesTheWholeContent) {
  test_support::TempDir folder;
  const std::string path = folder.File("again.db");
  std::vector<Row> rows;
  for (int i = 0; i < 3000; ++i) rows.push_back({i, "row " + std::to_string(i)});
  ASSERT_TRUE(WriteTable(path, rows).ok());
  rows.resize(2);
  ASSERT_TRUE(WriteTable(path, rows).ok());
  ExpectReadsBack(path, rows);
}

TEST(SqliteFileWriter, WriteFailuresComeBackWithTheReason) {
  // Every write to /dev/full fails for lack of space.
  Status status = Status::Ok();
  auto file = SqliteFileWriter::Create("/dev/full", &status);
  ASSERT_NE(file, nullptr) << status.reason();
  std::vector<SchemaEntry> schema;
  schema.push_back(
      {"table", "t", "t", "CREATE TABLE t (k INTEGER, v TEXT)", TableTreeBuilder().Build()});
  status = file->Write(&schema);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("ディスクの空き容量が不足しています。"), std::string::npos)
      << status.reason();
  EXPECT_TRUE(file->Close().ok());
  EXPECT_FALSE(file->Write(&schema).ok());

  test_support::TempDir folder;
  EXPECT_EQ(SqliteFileWriter::Create(folder.File("missing/x.db"), &status), nullptr);
  EXPECT_NE(status.reason().find("見つかりません"), std::string::npos) << status.reason();
}

}  // namespace
}  // namespace verko
