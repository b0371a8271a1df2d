#include "compare/lines/work_database.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <vector>

#include "common/encoding.h"
#include "common/text_collation.h"
#include "platform/record_store.h"
#include "tests/support/query_file.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

class WorkDatabaseTest : public testing::Test {
 protected:
  std::string DbPath() const { return folder_.Path() + kWorkDatabaseName; }

  std::unique_ptr<WorkDatabase> CreateOrFail(int splitWidth = 250) {
    Status status = Status::Ok();
    auto db = WorkDatabase::Open(DbPath(), splitWidth, &status);
    EXPECT_NE(db, nullptr) << status.reason();
    return db;
  }

  // Every row of `sql` as its columns joined by "|", a null shown as NULL.
  std::vector<std::string> Query(const std::string& sql) { return QueryFile(DbPath(), sql); }

  static std::vector<std::string> QueryFile(const std::string& path, const std::string& sql) {
    return test_support::QueryFile(path, sql);
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

// The rows of `texts` (1-based positions listed in `ids`, all when empty) in the order of
// the collation, equal texts in the listed order: what TextOrder must give.
std::vector<std::string> TextOrderOf(const LineTable& lines, std::vector<int> ids) {
  if (ids.empty()) {
    ids.resize(lines.Count());
    std::iota(ids.begin(), ids.end(), 1);
  }
  std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
    return CompareFolded(lines.Line(a).Text, lines.Line(b).Text) < 0;
  });
  std::vector<std::string> rows;
  for (int id : ids) rows.push_back(std::to_string(id) + "|" + std::string(lines.Line(id).Text));
  return rows;
}

std::vector<std::string> RowsOf(const LineTable& lines, std::vector<int> ids) {
  std::vector<std::string> rows;
  for (int id : ids) {
    const LineRecord& r = lines.Line(id);
    rows.push_back(std::to_string(r.LineID) + "|" + std::to_string(r.LineNo) + "|" +
                   std::to_string(r.PartNo) + "|" + std::string(r.Text));
  }
  return rows;
}

struct FileCase {
  const char* name;
  std::vector<std::string> (*texts)();
};

std::vector<std::string> NoTexts() {
  return {};
}
std::vector<std::string> OneText() {
  return {"only"};
}
std::vector<std::string> SpecialTexts() {
  return {ToCp932("表示　ソフト"),
          "",
          std::string(1, '\0'),
          "\x81",
          ToCp932("ａＢｃ"),
          ToCp932("ＡＢＣ"),
          "abc",
          "ABC",
          std::string("a\0b", 3),
          ""};
}
// Long texts give few index entries a page, so the text index gets several interior levels.
std::vector<std::string> ManyLongTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < 40000; ++i) {
    texts.push_back(std::string(200, static_cast<char>('a' + i * 7 % 26)) +
                    std::to_string(i * 7919 % 40000) + (i % 3 == 0 ? "X" : "x"));
  }
  return texts;
}
std::vector<std::string> ManyEqualTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < 32000; ++i) {
    texts.push_back((i % 2 ? "Line " : "LINE ") + std::to_string(i % 16));
  }
  return texts;
}

class WorkDatabaseFileTest : public WorkDatabaseTest,
                             public testing::WithParamInterface<FileCase> {};

TEST_P(WorkDatabaseFileTest, FileIsSoundAndItsIndexesGiveTheRowsInOrder) {
  LineTable lines = MakeTable(GetParam().texts());
  // The leftover tables take every third line, listed in descending order.
  std::vector<int> all(lines.Count());
  std::iota(all.begin(), all.end(), 1);
  std::vector<int> leftover;
  for (int id = lines.Count(); id >= 1; id -= 3) leftover.push_back(id);
  {
    auto db = CreateOrFail();
    ASSERT_NE(db, nullptr);
    db->AppendAllLines("OldText", lines);
    db->AppendAllLines("NewText", lines);
    db->CreateTextOrderIndex("OldText");
    db->CreateLineTable("OldText2");
    db->CreateLineTable("NewText2");
    db->AppendLines("OldText2", lines, leftover);
    db->AppendLines("NewText2", lines, leftover);
    db->CreateTextOrderIndex("NewText2");
    ASSERT_TRUE(db->Finish().ok());
  }
  EXPECT_EQ(Query("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(Query("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"),
            (std::vector<std::string>{"NewText2_LineIdOrder", "NewText2_TextOrder",
                                      "NewText_LineIdOrder", "OldText2_LineIdOrder",
                                      "OldText_LineIdOrder", "OldText_TextOrder"}));
  EXPECT_EQ(Query("SELECT LineID, LineNo, PartNo, Text FROM OldText INDEXED BY "
                  "OldText_LineIdOrder WHERE LineID > 0 ORDER BY LineID"),
            RowsOf(lines, all));
  EXPECT_EQ(Query("SELECT LineID, Text FROM OldText INDEXED BY OldText_TextOrder "
                  "ORDER BY Text COLLATE VerkoText"),
            TextOrderOf(lines, {}));
  EXPECT_EQ(Query("SELECT LineID, LineNo, PartNo, Text FROM NewText2 ORDER BY rowid"),
            RowsOf(lines, leftover));
  // Equal texts follow the rowids, that is the order the lines were listed in.
  EXPECT_EQ(Query("SELECT LineID, Text FROM NewText2 INDEXED BY NewText2_TextOrder "
                  "ORDER BY Text COLLATE VerkoText"),
            TextOrderOf(lines, leftover));
  if (lines.Count() > 0) {
    const int id = (lines.Count() + 1) / 2;
    EXPECT_EQ(Query("SELECT LineID, LineNo, PartNo, Text FROM NewText INDEXED BY "
                    "NewText_LineIdOrder WHERE LineID = " +
                    std::to_string(id)),
              RowsOf(lines, {id}));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkDatabaseFileTest,
                         testing::Values(FileCase{"Empty", NoTexts}, FileCase{"OneRow", OneText},
                                         FileCase{"Special", SpecialTexts},
                                         FileCase{"ManyLong", ManyLongTexts},
                                         FileCase{"ManyEqual", ManyEqualTexts}),
                         [](const testing::TestParamInfo<FileCase>& info) {
                           return std::string(info.param.name);
                         });

// The same content stored through SQLite's own statements, as the work database once was.
void WriteThroughSqlite(const std::string& path, const LineTable& oldLines,
                        const LineTable& newLines, const std::vector<int>& leftover,
                        bool oldTextOrder) {
  Status status = Status::Ok();
  auto db = Database::Open(path, Database::OpenMode::kCreate, &status);
  ASSERT_NE(db, nullptr) << status.reason();
  auto createTable = [&](const std::string& t) {
    return db->Exec("CREATE TABLE \"" + t +
                    "\" (LineID SMALLINT, LineNo SMALLINT, PartNo SMALLINT, Text VARCHAR(250));"
                    "CREATE UNIQUE INDEX \"" +
                    t + "_LineIdOrder\" ON \"" + t + "\" (LineID);");
  };
  auto insert = [&](const std::string& t, const LineTable& lines, const std::vector<int>& ids) {
    Statement statement;
    ASSERT_TRUE(db->Prepare("INSERT INTO \"" + t + "\" VALUES (?,?,?,?)", &statement).ok());
    for (int id : ids) {
      const LineRecord& r = lines.Line(id);
      statement.BindInt(1, r.LineID);
      statement.BindInt(2, r.LineNo);
      statement.BindInt(3, r.PartNo);
      statement.BindText(4, r.Text);
      ASSERT_TRUE(statement.Run().ok());
    }
  };
  auto textOrder = [&](const std::string& t) {
    return db->Exec("CREATE INDEX \"" + t + "_TextOrder\" ON \"" + t +
                    "\" (Text COLLATE VerkoText);");
  };
  auto all = [](const LineTable& lines) {
    std::vector<int> ids(lines.Count());
    std::iota(ids.begin(), ids.end(), 1);
    return ids;
  };
  ASSERT_TRUE(db->Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;").ok());
  ASSERT_TRUE(createTable("OldText").ok());
  ASSERT_TRUE(createTable("NewText").ok());
  insert("OldText", oldLines, all(oldLines));
  insert("NewText", newLines, all(newLines));
  if (oldTextOrder) {
    ASSERT_TRUE(textOrder("OldText").ok());
  }
  ASSERT_TRUE(textOrder("NewText").ok());
  ASSERT_TRUE(createTable("OldText2").ok());
  insert("OldText2", oldLines, leftover);
  ASSERT_TRUE(textOrder("OldText2").ok());
  ASSERT_TRUE(db->Exec("COMMIT;").ok());
}

TEST_F(WorkDatabaseTest, RandomContentReadsAsIfStoredThroughSqlite) {
  const std::vector<std::string> pieces = {"a",
                                           "A",
                                           "b",
                                           "B",
                                           " ",
                                           "\t",
                                           ToCp932("ａ"),
                                           ToCp932("Ａ"),
                                           ToCp932("表"),
                                           std::string(1, '\0'),
                                           "\x81",
                                           "\xb1",
                                           "z"};
  std::mt19937 random(20240607);
  for (int round = 0; round < 6; ++round) {
    auto randomTable = [&](int count) {
      LineTable lines;
      for (int i = 0; i < count; ++i) {
        std::string text;
        int length = random() % 8 == 0 ? 60 + random() % 200 : random() % 6;
        for (int k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
        lines.Append(i + 1, static_cast<int>(random() % 3), text);
      }
      return lines;
    };
    LineTable oldLines = randomTable(static_cast<int>(random() % 3000));
    LineTable newLines = randomTable(static_cast<int>(random() % 3000));
    std::vector<int> leftover;
    for (int id = 1; id <= oldLines.Count(); ++id) {
      if (random() % 4 == 0) leftover.push_back(id);
    }
    std::shuffle(leftover.begin(), leftover.end(), random);
    const bool oldTextOrder = round % 2 == 0;
    {
      auto db = CreateOrFail();
      ASSERT_NE(db, nullptr);
      db->AppendAllLines("OldText", oldLines);
      db->AppendAllLines("NewText", newLines);
      if (oldTextOrder) db->CreateTextOrderIndex("OldText");
      db->CreateTextOrderIndex("NewText");
      db->CreateLineTable("OldText2");
      db->AppendLines("OldText2", oldLines, leftover);
      db->CreateTextOrderIndex("OldText2");
      ASSERT_TRUE(db->Finish().ok());
    }
    const std::string reference = folder_.Path() + "reference.db";
    std::filesystem::remove(reference);
    WriteThroughSqlite(reference, oldLines, newLines, leftover, oldTextOrder);
    EXPECT_EQ(Query("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    std::vector<std::string> queries = {
        "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY rowid"};
    for (const char* table : {"OldText", "NewText", "OldText2"}) {
      const std::string t = table;
      queries.push_back("SELECT rowid, LineID, LineNo, PartNo, Text, typeof(Text) FROM " + t +
                        " ORDER BY rowid");
      queries.push_back("SELECT rowid, LineID FROM " + t + " INDEXED BY " + t +
                        "_LineIdOrder WHERE LineID > 0 ORDER BY LineID");
      if (t != "OldText" || oldTextOrder) {
        queries.push_back("SELECT rowid, Text FROM " + t + " INDEXED BY " + t +
                          "_TextOrder ORDER BY Text COLLATE VerkoText");
        queries.push_back("SELECT Text, count(*) FROM " + t + " INDEXED BY " + t +
                          "_TextOrder GROUP BY Text COLLATE VerkoText");
      }
    }
    for (const std::string& sql : queries) {
      EXPECT_EQ(Query(sql), QueryFile(reference, sql)) << "round " << round << ": " << sql;
    }
  }
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
  // A file beside the database is not the run's to delete, whatever its name.
  std::ofstream(DbPath() + "-journal") << "the user's";
  auto db = CreateOrFail();
  ASSERT_NE(db, nullptr);
  ASSERT_TRUE(db->Finish().ok());
  EXPECT_EQ(test_support::ReadFile(DbPath() + "-journal"), "the user's");
  // SQLite would take that file for the database's journal: moved aside to read it.
  std::filesystem::rename(DbPath() + "-journal", DbPath() + ".users");
  EXPECT_EQ(Query("SELECT type, name FROM sqlite_master ORDER BY name"),
            (std::vector<std::string>{"table|NewText", "index|NewText_LineIdOrder", "table|OldText",
                                      "index|OldText_LineIdOrder"}));
  EXPECT_EQ(Query("SELECT count(*) FROM OldText"), std::vector<std::string>{"0"});
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
                       std::to_string(r.PartNo) + "|" + std::string(r.Text));
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
    EXPECT_EQ(WorkDatabase::Open(path, 250, &status), nullptr) << path;
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

TEST_F(WorkDatabaseTest, ARefusedAppendStoresNoneOfItsRows) {
  LineTable lines = MakeTable({"one", "two"});
  // A record that is missing, a LineID given twice: each after rows that were fine.
  for (const std::vector<int>& ids : {std::vector<int>{1, 2, 3}, std::vector<int>{1, 2, 1}}) {
    auto db = CreateOrFail();
    ASSERT_NE(db, nullptr);
    db->AppendLines("OldText", lines, ids);
    EXPECT_FALSE(db->Finish().ok());
    EXPECT_EQ(Query("SELECT count(*) FROM OldText"), std::vector<std::string>{"0"});
  }
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

namespace verko {
namespace {

// Matching hands over the text order it already has; the file must come out exactly as
// when the store sorts the texts itself, and an order that is not one falls back to that.
TEST_F(WorkDatabaseTest, GivenTextOrderWritesTheSameFileAsSorting) {
  const std::vector<std::string> texts = {"b", "A", "a", ToCp932("ａ"), "", "B", "a", "c "};
  LineTable lines = MakeTable(texts);
  std::vector<int> order(texts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i) + 1;
  std::stable_sort(order.begin(), order.end(),
                   [&](int x, int y) { return CompareFolded(texts[x - 1], texts[y - 1]) < 0; });
  auto write = [&](std::vector<int> given) {
    auto db = CreateOrFail();
    db->AppendAllLines("OldText", lines);
    if (given.empty()) {
      db->CreateTextOrderIndex("OldText");
    } else {
      db->CreateTextOrderIndex("OldText", given);
    }
    EXPECT_TRUE(db->Finish().ok());
    return test_support::ReadFile(DbPath());
  };
  const std::string sorted = write({});
  EXPECT_EQ(write(order), sorted);
  EXPECT_EQ(write({1, 1, 2, 3, 4, 5, 6, 7}), sorted);  // not an order: sorted again
}

// The file is made under a name of its own and takes the database's name only when
// complete: while it is written the former database stays whole, only the user may read
// it, and an index whose keys come out of order fails the run instead of making a damaged
// file.
TEST_F(WorkDatabaseTest, FileTakesItsNameOnlyWhenCompleteAndInOrder) {
  LineTable lines = MakeTable({"a", "b", "c"});
  {
    auto db = CreateOrFail();
    db->AppendAllLines("OldText", lines);
    ASSERT_TRUE(db->Finish().ok());
  }
  const std::string former = test_support::ReadFile(DbPath());
  auto folderNames = [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  };

  auto db = CreateOrFail();
  db->AppendAllLines("NewText", lines);
  // The former file loses its name at once, with no temporary name that a kill would leave
  // behind; the new file has no name until it is complete, where the file system allows.
  const int probe = open(folder_.Path().c_str(), O_TMPFILE | O_RDWR, 0600);
  EXPECT_EQ(folderNames().size(), probe >= 0 ? 0u : 1u);
  if (probe >= 0) close(probe);
  EXPECT_FALSE(std::filesystem::exists(DbPath()));
  db->CreateTextOrderIndex("NewText", {3, 1, 2});  // every row once, but not in text order
  Status status = db->Finish();
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("NewText_TextOrder"), std::string::npos) << status.reason();
  // Nothing half-written takes the name, and nothing is left beside it.
  EXPECT_TRUE(folderNames().empty());
  EXPECT_FALSE(former.empty());

  db = CreateOrFail();
  db->AppendAllLines("NewText", lines);
  db->CreateTextOrderIndex("NewText", {1, 2, 3});
  ASSERT_TRUE(db->Finish().ok());
  EXPECT_EQ(Query("SELECT count(*) FROM NewText"), std::vector<std::string>{"3"});
  EXPECT_EQ(Query("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(std::filesystem::status(DbPath()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(folderNames(), std::vector<std::string>{kWorkDatabaseName});
}

}  // namespace
}  // namespace verko
