#include "compare/work_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/encoding.h"
#include "platform/record_store.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

class WorkDatabaseTest : public testing::Test {
 protected:


  std::string DbPath() const { return folder_.Path() + kWorkDatabaseName; }

  std::unique_ptr<WorkDatabase> CreateOrFail(int splitWidth = 250) {
    Status status = Status::Ok();
    auto db = WorkDatabase::Create(DbPath(), splitWidth, &status);
    EXPECT_NE(db, nullptr) << status.reason();
    return db;
  }

  // Every row of `sql` as its columns joined by "|", a null shown as NULL.
  std::vector<std::string> Query(const std::string& sql) {
    Status status = Status::Ok();
    auto db = Database::Open(DbPath(), Database::OpenMode::kReadOnly, &status);
    if (db == nullptr) return {"error: " + status.reason()};
    Statement query;
    status = db->Prepare(sql, &query);
    std::vector<std::string> rows;
    bool hasRow = false;
    while (status.ok() && (status = query.Step(&hasRow)).ok() && hasRow) {
      std::string row;
      for (int column = 0; column < query.ColumnCount(); ++column) {
        if (column > 0) row += "|";
        row += query.ColumnIsNull(column) ? "NULL" : query.ColumnText(column);
      }
      rows.push_back(row);
    }
    if (!status.ok()) rows.push_back("error: " + status.reason());
    return rows;
  }

  test_support::TempDir folder_;
};

LineTable MakeTable(const std::vector<std::string>& texts) {
  LineTable table;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    table.Append(static_cast<int>(i) + 1, 0, texts[i]);
  }
  return table;
}

TEST_F(WorkDatabaseTest, TablesHaveTheFourFieldsWithTheTextSizedBySplitWidth) {
  for (int splitWidth : {80, 250}) {
    auto db = CreateOrFail(splitWidth);
    ASSERT_NE(db, nullptr);
    ASSERT_TRUE(db->Finish().ok());
    const std::string text = "3|Text|VARCHAR(" + std::to_string(splitWidth) + ")|0|NULL|0";
    const std::vector<std::string> expected = {"0|LineID|SMALLINT|0|NULL|0",
                                               "1|LineNo|SMALLINT|0|NULL|0",
                                               "2|PartNo|SMALLINT|0|NULL|0", text};
    for (const char* table : {"OldText", "NewText"}) {
      EXPECT_EQ(Query(std::string("SELECT cid, name, type, \"notnull\", dflt_value, pk FROM "
                                  "pragma_table_info('") +
                      table + "')"),
                expected)
          << table << " " << splitWidth;
      EXPECT_EQ(
          Query(std::string("SELECT name, \"unique\" FROM pragma_index_list('") + table + "')"),
          std::vector<std::string>{std::string(table) + "_LineIdOrder|1"});
    }
  }
}

TEST_F(WorkDatabaseTest, SecondCreateReplacesTheFormerRun) {
  LineTable lines = MakeTable({"one", "two"});
  {
    auto db = CreateOrFail();
    ASSERT_NE(db, nullptr);
    db->AppendAllLines("OldText", lines);
    db->CreateLineTable("OldText2");
    db->CreateTextOrderIndex("OldText");
    ASSERT_TRUE(db->Finish().ok());
  }
  std::ofstream(DbPath() + "-journal") << "left over";
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  ASSERT_TRUE(db->Finish().ok());
  EXPECT_EQ(Query("SELECT type, name FROM sqlite_master ORDER BY name"),
            (std::vector<std::string>{"table|NewText", "index|NewText_LineIdOrder", "table|OldText",
                                      "index|OldText_LineIdOrder"}));
  EXPECT_EQ(Query("SELECT count(*) FROM OldText"), std::vector<std::string>{"0"});
  EXPECT_FALSE(std::filesystem::exists(DbPath() + "-journal"));
}

TEST_F(WorkDatabaseTest, RecordsRoundTripByteForByte) {
  const std::vector<std::string> texts = {ToCp932("表示　ソフト"), "", std::string(1, '\0'), "\x81",
                                          "plain ASCII"};
  LineTable lines = MakeTable(texts);
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  db->AppendAllLines("NewText", lines);
  ASSERT_TRUE(db->Finish().ok());

  std::vector<std::string> expected;
  for (const LineRecord& r : lines.Records()) {
    expected.push_back(std::to_string(r.LineID) + "|" + std::to_string(r.LineNo) + "|" +
                       std::to_string(r.PartNo) + "|" + r.Text);
  }
  // An empty text comes back as "", a null would show as NULL.
  EXPECT_EQ(Query("SELECT LineID, LineNo, PartNo, Text FROM NewText ORDER BY rowid"), expected);
}

TEST_F(WorkDatabaseTest, ManyLinesSpanSeveralInsertsAndAppendLinesKeepsTheListedOrder) {
  std::vector<std::string> texts;
  for (int i = 1; i <= 250; ++i) texts.push_back("line " + std::to_string(i));
  LineTable lines;
  for (std::size_t i = 0; i < texts.size(); ++i) lines.Append(7, static_cast<int>(i), texts[i]);
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  db->AppendAllLines("OldText", lines);
  db->CreateLineTable("OldText2");
  db->AppendLines("OldText2", lines, {5, 2, 250, 101});
  ASSERT_TRUE(db->Finish().ok());
  EXPECT_EQ(Query("SELECT count(*), min(LineID), max(LineID), sum(LineID) FROM OldText"),
            std::vector<std::string>{"250|1|250|31375"});
  EXPECT_EQ(Query("SELECT LineID, LineNo, PartNo, Text FROM OldText2 ORDER BY rowid"),
            (std::vector<std::string>{"5|7|4|line 5", "2|7|1|line 2", "250|7|249|line 250",
                                      "101|7|100|line 101"}));
}

TEST_F(WorkDatabaseTest, TextOrderIndexKeepsEqualTextsAdjacent) {
  const std::vector<std::string> texts = {"abc", "b", "ABC", ToCp932("Ａ"), "a",  ToCp932("ａ"),
                                          "Abc", "",  "B",   "aBc ",        "abc"};
  LineTable lines = MakeTable(texts);
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  db->AppendAllLines("OldText", lines);
  db->AppendAllLines("NewText", lines);
  db->CreateTextOrderIndex("OldText");
  db->CreateTextOrderIndex("NewText");
  ASSERT_TRUE(db->Finish().ok());

  for (const char* table : {"OldText", "NewText"}) {
    EXPECT_EQ(Query(std::string("SELECT name, \"unique\" FROM pragma_index_list('") + table +
                    "') ORDER BY name"),
              (std::vector<std::string>{std::string(table) + "_LineIdOrder|1",
                                        std::string(table) + "_TextOrder|0"}));
    EXPECT_EQ(Query(std::string("SELECT name, coll FROM pragma_index_xinfo('") + table +
                    "_TextOrder') WHERE key"),
              std::vector<std::string>{"Text|VerkoText"});
  }
  // Folded texts in order, equal ones in LineID order: each group of equal texts is one
  // stretch, as the matching's walk over the index needs.
  EXPECT_EQ(Query("SELECT Text FROM OldText INDEXED BY OldText_TextOrder "
                  "ORDER BY Text COLLATE VerkoText"),
            (std::vector<std::string>{"", "a", "abc", "ABC", "Abc", "abc", "aBc ", "b", "B",
                                      ToCp932("Ａ"), ToCp932("ａ")}));
  EXPECT_EQ(Query("SELECT count(*) FROM NewText WHERE Text = 'abc' COLLATE VerkoText"),
            std::vector<std::string>{"4"});
  EXPECT_EQ(
      Query("SELECT count(*) FROM NewText WHERE Text = '" + ToCp932("ａ") + "' COLLATE VerkoText"),
      std::vector<std::string>{"2"});
}

TEST_F(WorkDatabaseTest, CreateFailsWithAReasonWhereNoFileCanBeMade) {
  std::ofstream(folder_.Path() + "plain.txt") << "x";
  std::filesystem::create_directory(folder_.Path() + "VerkoText.mdb");
  for (const std::string& path :
       {folder_.Path() + "missing/VerkoText.mdb", folder_.Path() + "plain.txt/VerkoText.mdb",
        folder_.Path() + "VerkoText.mdb"}) {
    Status status = Status::Ok();
    EXPECT_EQ(WorkDatabase::Create(path, 250, &status), nullptr) << path;
    EXPECT_FALSE(status.ok()) << path;
    EXPECT_FALSE(status.reason().empty()) << path;
  }
}

TEST_F(WorkDatabaseTest, FirstWriteFailureIsReportedAndLaterWritesAreSkipped) {
  LineTable lines = MakeTable({"one", "two"});
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  db->AppendAllLines("OldText", lines);
  db->AppendLines("NoSuchTable", lines, {1});
  db->CreateLineTable("OldText2");
  db->AppendAllLines("NewText", lines);
  Status status = db->Finish();
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("no such table: NoSuchTable"), std::string::npos)
      << status.reason();
  EXPECT_EQ(db->Finish().reason(), status.reason());  // finishing again changes nothing
  EXPECT_EQ(Query("SELECT count(*) FROM OldText"), std::vector<std::string>{"2"});
  EXPECT_EQ(Query("SELECT count(*) FROM NewText"), std::vector<std::string>{"0"});
  EXPECT_EQ(Query("SELECT count(*) FROM sqlite_master WHERE name = 'OldText2'"),
            std::vector<std::string>{"0"});
}

TEST_F(WorkDatabaseTest, DestroyingWithoutFinishStillWritesEverything) {
  LineTable lines = MakeTable({"one", "two", "three"});
  {
    auto db = CreateOrFail();
    ASSERT_NE(db, nullptr);
    db->AppendAllLines("NewText", lines);
  }
  EXPECT_EQ(Query("SELECT count(*) FROM NewText"), std::vector<std::string>{"3"});
}

}  // namespace
}  // namespace verko
