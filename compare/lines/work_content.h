// The content of the work database as its queued writes leave it: the line tables with
// their rows, the schema in creation order, and the trees last built from them. The trees
// are built by work_trees.h; the writes are queued, and the file written, by WorkDatabase.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/status.h"
#include "common/text_fold.h"
#include "compare/lines/line_table.h"
#include "platform/sqlite_file_writer.h"
#include "platform/sqlite_page_run.h"

namespace verko {

// What the database file will hold for one line table: its rows in rowid order (rowid 1
// is rows[0]) and the trees last built from them.
struct WorkTableContent {
  std::string name;
  std::vector<const LineRecord*> rows;
  std::vector<bool> lineIdUsed;  // LineIdOrder is a unique index
  bool textOrder = false;
  std::vector<int> textOrderLineIds;  // the text order as matching found it; may be empty
  // Whether the trees below match rows (and textOrder): a text index asked for after the
  // rows were written adds its tree without building the others again.
  bool rowTreesBuilt = false;
  bool textTreeBuilt = false;
  PageRun table;
  PageRun lineIdOrder;
  PageRun textOrderTree;
  // Root pages of the trees above once written to the file (their pages then released);
  // 0 while a tree is held in memory.
  uint32_t tableRoot = 0;
  uint32_t lineIdOrderRoot = 0;
  uint32_t textOrderRoot = 0;
};

// One row of sqlite_schema, in creation order as SQLite keeps them.
struct WorkSchemaItem {
  enum class Tree { kTable, kLineIdOrder, kTextOrder };
  std::size_t table;  // index into the tables
  Tree tree;
  std::string name;
  std::string sql;
};

// Page memory that building one tree leaves for the next, so that each tree does not take
// fresh memory from the system. Only the largest is kept: trees are built one at a time,
// so one run's memory serves them all.
struct TreeBuffers {
  PageRun spare;

  PageRun TakePages() { return std::exchange(spare, PageRun{}); }
  void GiveBack(PageRun run) {
    if (run.pages.capacity() > spare.pages.capacity()) spare = std::move(run);
  }
};

// The content of the whole file, changed by the queued writes in order.
struct WorkContent {
  int splitWidth = 0;
  TextFold fold;  // decides the order of the text indexes
  std::vector<WorkTableContent> tables;
  std::vector<WorkSchemaItem> schema;
  // Where each tree is written as soon as it is built, so the pages of a whole run are
  // never held at once; null: trees stay in memory until the file is written.
  SqliteFileWriter* file = nullptr;
  // A tree that was written was built again (rows appended to a written table): its old
  // pages would be left unused, so the whole file is written anew at the end.
  bool writtenTreeRebuilt = false;
  TreeBuffers buffers;
};

// Index names are shared by all tables of an SQLite database, so each table's index
// carries the table's name in front: "OldText_LineIdOrder", "NewText_TextOrder".
std::string IndexName(const std::string& table, const char* index);

// The table of that name (SQLite's names ignore the case of ASCII letters); null if none.
WorkTableContent* FindTable(WorkContent& content, const std::string& name);

// The failure of a statement, in the words the database's own message would give.
Status DatabaseError(const std::string& message);
Status NoSuchTable(const std::string& table);

// Adds an empty line table with its LineIdOrder index; refused when the name is taken.
Status AddLineTable(WorkContent& content, const std::string& name);

// Appends `count` records of `source`, `recordAt(i)` giving the i-th, all or none: a
// missing record or a LineID already in the table refuses the whole append. The rows go
// straight into the table (no copy of them is built first) and are taken back on a refusal.
template <typename RecordAt>
Status AppendRecords(WorkContent& content, const std::string& name, int count, RecordAt recordAt) {
  WorkTableContent* table = FindTable(content, name);
  if (table == nullptr) return NoSuchTable(name);
  std::vector<const LineRecord*>& rows = table->rows;
  std::vector<bool>& used = table->lineIdUsed;
  const std::size_t before = rows.size();
  auto refuse = [&](Status status) {
    for (std::size_t i = before; i < rows.size(); ++i) used[rows[i]->LineID] = false;
    rows.resize(before);
    return status;
  };
  rows.reserve(before + static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) {
    const LineRecord* record = recordAt(i);
    if (record == nullptr) return refuse(Status::Error("記録する行がありません。(" + name + ")"));
    const std::size_t id = static_cast<std::size_t>(std::max(record->LineID, 0));
    if (id >= used.size()) used.resize(std::max(id + 1, used.size() * 2));
    if (used[id] || record->LineID < 0) {
      return refuse(
          Status::Error("記録しようとした値がデータベースの制約に反しています。"
                        "(UNIQUE constraint failed: " +
                        table->name + ".LineID)"));
    }
    used[id] = true;
    rows.push_back(record);
  }
  if (rows.size() == before) return Status::Ok();
  table->rowTreesBuilt = table->textTreeBuilt = false;
  return Status::Ok();
}

// Adds the TextOrder index of a table, in the text order matching found when
// `lineIdsInOrder` lists it; refused when the table has one already.
Status AddTextOrder(WorkContent& content, const std::string& name,
                    std::vector<int> lineIdsInOrder = {});

}  // namespace verko
