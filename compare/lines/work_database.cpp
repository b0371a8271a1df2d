#include "compare/lines/work_database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>

#include "common/cp932.h"
#include "common/failure_reason.h"
#include "common/fresh_file.h"
#include "common/own_thread.h"
#include "common/system_error.h"
#include "common/text_fold.h"
#include "compare/lines/text_sort.h"
#include "platform/record_store.h"
#include "platform/sqlite_btree_builder.h"
#include "platform/sqlite_file_writer.h"
#include "platform/sqlite_record.h"

namespace verko {
namespace {

// What the database file will hold for one line table: its rows in rowid order (rowid 1
// is rows[0]) and the trees last built from them.
struct TableContent {
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
struct SchemaItem {
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
struct Content {
  int splitWidth = 0;
  TextFold fold;  // decides the order of the text indexes
  std::vector<TableContent> tables;
  std::vector<SchemaItem> schema;
  // Where each tree is written as soon as it is built, so the pages of a whole run are
  // never held at once; null: trees stay in memory until the file is written.
  SqliteFileWriter* file = nullptr;
  // A tree that was written was built again (rows appended to a written table): its old
  // pages would be left unused, so the whole file is written anew at the end.
  bool writtenTreeRebuilt = false;
  TreeBuffers buffers;
};

using Job = std::function<Status(Content&)>;

// Index names are shared by all tables of an SQLite database, so each table's index
// carries the table's name in front: "OldText_LineIdOrder", "NewText_TextOrder".
std::string IndexName(const std::string& table, const char* index) {
  return table + "_" + index;
}

// The statements as SQLite records them in sqlite_schema: the text as written, without
// the closing ';'.
std::string CreateTableSql(const std::string& table, int splitWidth) {
  return "CREATE TABLE " + QuoteIdentifier(table) +
         " (LineID SMALLINT, LineNo SMALLINT, PartNo SMALLINT, Text VARCHAR(" +
         std::to_string(splitWidth) + "))";
}

std::string CreateLineIdOrderSql(const std::string& table) {
  return "CREATE UNIQUE INDEX " + QuoteIdentifier(IndexName(table, "LineIdOrder")) + " ON " +
         QuoteIdentifier(table) + " (LineID)";
}

std::string CreateTextOrderSql(const std::string& table) {
  return "CREATE INDEX " + QuoteIdentifier(IndexName(table, "TextOrder")) + " ON " +
         QuoteIdentifier(table) + " (Text COLLATE " + kTextCollationName + ")";
}

// SQLite's names ignore the case of ASCII letters.
bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
           return lower(x) == lower(y);
         });
}

TableContent* FindTable(Content& content, const std::string& name) {
  for (TableContent& table : content.tables) {
    if (SameName(table.name, name)) return &table;
  }
  return nullptr;
}

Status DatabaseError(const std::string& message) {
  return Status::Error("データベースの操作に失敗しました。(" + message + ")");
}

Status NoSuchTable(const std::string& table) {
  return DatabaseError("no such table: " + table);
}

Status AddLineTable(Content& content, const std::string& name) {
  if (FindTable(content, name) != nullptr) {
    return DatabaseError("table " + QuoteIdentifier(name) + " already exists");
  }
  const std::size_t index = content.tables.size();
  content.tables.push_back(TableContent{});
  content.tables.back().name = name;
  content.schema.push_back(
      {index, SchemaItem::Tree::kTable, name, CreateTableSql(name, content.splitWidth)});
  content.schema.push_back({index, SchemaItem::Tree::kLineIdOrder, IndexName(name, "LineIdOrder"),
                            CreateLineIdOrderSql(name)});
  return Status::Ok();
}

// Appends `count` records of `source`, `recordAt(i)` giving the i-th, all or none: a
// missing record or a LineID already in the table refuses the whole append. The rows go
// straight into the table (no copy of them is built first) and are taken back on a refusal.
template <typename RecordAt>
Status AppendRecords(Content& content, const std::string& name, int count, RecordAt recordAt) {
  TableContent* table = FindTable(content, name);
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

Status AddTextOrder(Content& content, const std::string& name,
                    std::vector<int> lineIdsInOrder = {}) {
  TableContent* table = FindTable(content, name);
  if (table == nullptr) return NoSuchTable(name);
  const std::string index = IndexName(table->name, "TextOrder");
  if (table->textOrder) return DatabaseError("index " + QuoteIdentifier(index) + " already exists");
  table->textOrder = true;
  table->textOrderLineIds = std::move(lineIdsInOrder);
  table->textTreeBuilt = false;
  content.schema.push_back({static_cast<std::size_t>(table - content.tables.data()),
                            SchemaItem::Tree::kTextOrder, index, CreateTextOrderSql(name)});
  return Status::Ok();
}

Status OutOfOrder(const std::string& tree) {
  return Status::Error("作業用データベースの索引の順序が正しくありません。(" + tree + ")");
}

// The bytes of the rows' texts: with a few bytes per row for the header and the numbers,
// what the records of a tree take.
std::size_t TextBytes(const TableContent& table) {
  std::size_t bytes = 0;
  for (const LineRecord* row : table.rows) bytes += row->Text.size();
  return bytes;
}

// Header and integer bytes of one record, at most: a header of up to five bytes and three
// integers of up to three bytes (LineIDs and line numbers stay below 2^23), or an integer
// key and a rowid.
constexpr std::size_t kRecordOverhead = 16;

// The table's rows as row records, rowid 1, 2, 3 ... in the order appended.
Status BuildTableTree(const TableContent& table, TreeBuffers& buffers, PageRun* run) {
  TableTreeBuilder builder(buffers.TakePages());
  builder.Reserve(table.rows.size(), TextBytes(table) + kRecordOverhead * table.rows.size());
  RecordEncoder record;
  int64_t rowid = 0;
  for (const LineRecord* row : table.rows) {
    record.Clear();
    record.AddInt(row->LineID);
    record.AddInt(row->LineNo);
    record.AddInt(row->PartNo);
    record.AddText(row->Text);
    if (!builder.Add(++rowid, record)) return OutOfOrder(table.name);
  }
  *run = builder.Build();
  return Status::Ok();
}

constexpr std::size_t kPrefetchAhead = 8;

// Entries (key, rowid) of the rows listed in `order` (0-based row positions into `rows`).
// Every entry must follow the one before by `keyOrder` (<0, 0, >0 of two rows' keys), equal
// keys by rowid: an entry out of order would make a tree that SQLite reads wrongly, so it
// fails the write instead. `keyBytes(row)` names the bytes of a row's key that lie outside
// its record (none: empty), so that they are fetched ahead.
template <typename AddKey, typename KeyOrder, typename KeyBytes>
Status BuildIndexTree(const std::vector<const LineRecord*>& rows,
                      const std::vector<uint32_t>& order, AddKey addKey, KeyOrder keyOrder,
                      KeyBytes keyBytes, std::size_t keyTotal, const std::string& name,
                      TreeBuffers& buffers, PageRun* run) {
  IndexTreeBuilder builder(buffers.TakePages());
  builder.Reserve(order.size(), keyTotal + kRecordOverhead * order.size());
  RecordEncoder record;
  for (std::size_t i = 0; i < order.size(); ++i) {
    // Rows in key order lie anywhere in memory: fetching them some entries ahead, the row
    // first and its key once the row is there, lets the cache misses overlap. The fetches
    // stay in this loop: in a function of their own the compiler drops them, as they change
    // nothing it can see.
    if (i + 2 * kPrefetchAhead < order.size())
      __builtin_prefetch(rows[order[i + 2 * kPrefetchAhead]]);
    if (i + kPrefetchAhead < order.size()) {
      const std::string_view bytes = keyBytes(order[i + kPrefetchAhead]);
      if (!bytes.empty()) {
        __builtin_prefetch(bytes.data());
        __builtin_prefetch(bytes.data() + bytes.size() - 1);
      }
    }
    const uint32_t row = order[i];
    if (i > 0) {
      const int keys = keyOrder(order[i - 1], row);
      if (keys > 0 || (keys == 0 && order[i - 1] >= row)) return OutOfOrder(name);
    }
    record.Clear();
    addKey(row, &record);
    record.AddInt(int64_t{row} + 1);
    builder.Add(record);
  }
  *run = builder.Build();
  return Status::Ok();
}

// LineIdOrder: by LineID (unique in a table); rows appended in LineID order need no sort.
Status BuildLineIdOrder(const TableContent& table, TreeBuffers& buffers, PageRun* run) {
  std::vector<uint32_t> order(table.rows.size());
  std::iota(order.begin(), order.end(), 0u);
  const auto& rows = table.rows;
  auto byLineId = [&rows](uint32_t a, uint32_t b) { return rows[a]->LineID < rows[b]->LineID; };
  if (!std::is_sorted(order.begin(), order.end(), byLineId)) {
    std::sort(order.begin(), order.end(), byLineId);
  }
  return BuildIndexTree(
      rows, order,
      [&rows](uint32_t row, RecordEncoder* record) { record->AddInt(rows[row]->LineID); },
      [&rows](uint32_t a, uint32_t b) {
        // A unique index: equal LineIDs are out of order too.
        return rows[a]->LineID < rows[b]->LineID ? -1 : 1;
      },
      [](uint32_t) { return std::string_view(); }, 0, IndexName(table.name, "LineIdOrder"), buffers,
      run);
}

// The row positions in the text order that matching passed on, when it lists every row
// exactly once; empty otherwise.
std::vector<uint32_t> RowsInGivenTextOrder(const TableContent& table) {
  const auto& rows = table.rows;
  const std::vector<int>& ids = table.textOrderLineIds;
  if (ids.size() != rows.size()) return {};
  int maxId = 0;
  for (const LineRecord* row : rows) maxId = std::max(maxId, row->LineID);
  std::vector<int64_t> rowOfId(static_cast<std::size_t>(maxId) + 1, -1);
  for (uint32_t row = 0; row < rows.size(); ++row) rowOfId[rows[row]->LineID] = row;
  std::vector<uint32_t> order;
  order.reserve(ids.size());
  for (int id : ids) {
    if (id < 0 || id > maxId || rowOfId[id] < 0) return {};
    order.push_back(static_cast<uint32_t>(rowOfId[id]));
    rowOfId[id] = -1;  // a LineID listed twice is not an order
  }
  return order;
}

// TextOrder: by the collation of line texts (the folded bytes), equal texts by rowid. The
// order matching found is used when there is one; otherwise the folded texts are sorted
// eight bytes at a time, which stays fast when many lines share a long beginning, and only
// texts that the fold changes are copied to be folded.
Status BuildTextOrder(const TableContent& table, const TextFold& fold, TreeBuffers& buffers,
                      PageRun* run) {
  const auto& rows = table.rows;
  auto addText = [&rows](uint32_t row, RecordEncoder* record) { record->AddText(rows[row]->Text); };
  auto byText = [&rows, &fold](uint32_t a, uint32_t b) {
    return CompareUnderFold(rows[a]->Text, rows[b]->Text, fold);
  };
  auto textOf = [&rows](uint32_t row) { return rows[row]->Text; };
  const std::string name = IndexName(table.name, "TextOrder");
  const std::size_t textBytes = TextBytes(table);
  if (std::vector<uint32_t> given = RowsInGivenTextOrder(table); !given.empty()) {
    return BuildIndexTree(rows, given, addText, byText, textOf, textBytes, name, buffers, run);
  }
  std::vector<std::string> foldedCopies;
  std::vector<std::string_view> folded;
  folded.reserve(rows.size());
  foldedCopies.reserve(rows.size());
  for (const LineRecord* row : rows) {
    if (FoldChangesText(row->Text, fold)) {
      foldedCopies.push_back(FoldText(row->Text, fold));
      folded.push_back(foldedCopies.back());
    } else {
      folded.push_back(row->Text);
    }
  }
  const std::vector<int> positions = SortTextPositions(folded);
  std::vector<uint32_t> order(positions.begin(), positions.end());
  // Equal texts come out together in no particular order: put each group in row order.
  for (std::size_t first = 0; first < order.size();) {
    std::size_t last = first + 1;
    while (last < order.size() && folded[order[last]] == folded[order[first]]) ++last;
    if (last - first > 1) std::sort(order.begin() + first, order.begin() + last);
    first = last;
  }
  return BuildIndexTree(rows, order, addText, byText, textOf, textBytes, name, buffers, run);
}

// Writes a tree just built to the file, when trees are written as they are built.
Status WriteTree(Content& content, PageRun& tree, uint32_t& root) {
  if (root != 0) content.writtenTreeRebuilt = true;
  root = 0;
  if (content.file == nullptr || content.writtenTreeRebuilt) return Status::Ok();
  Status status = content.file->Place(&tree, &root);
  if (status.ok()) content.buffers.GiveBack(std::exchange(tree, PageRun{}));
  return status;
}

Status BuildTrees(Content& content, TableContent& table) {
  if (!table.rowTreesBuilt) {
    // Each tree is written before the next is built, which then reuses its memory.
    Status status = BuildTableTree(table, content.buffers, &table.table);
    if (status.ok()) status = WriteTree(content, table.table, table.tableRoot);
    if (status.ok()) status = BuildLineIdOrder(table, content.buffers, &table.lineIdOrder);
    if (status.ok()) status = WriteTree(content, table.lineIdOrder, table.lineIdOrderRoot);
    if (!status.ok()) return status;
    table.rowTreesBuilt = true;
  }
  if (!table.textTreeBuilt) {
    table.textOrderTree = PageRun{};
    if (table.textOrder) {
      Status status = BuildTextOrder(table, content.fold, content.buffers, &table.textOrderTree);
      if (status.ok()) status = WriteTree(content, table.textOrderTree, table.textOrderRoot);
      if (!status.ok()) return status;
    }
    table.textTreeBuilt = true;
  }
  return Status::Ok();
}

// `whileIdle`: between writes, when tables still empty are left alone (their rows are yet
// to come, and a tree written before them would have to be written again).
Status BuildAllTrees(Content& content, bool whileIdle = false) {
  for (TableContent& table : content.tables) {
    if (whileIdle && table.rows.empty()) continue;
    Status status = BuildTrees(content, table);
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

// After a written tree was built again, every tree is built anew and kept for one write
// of the whole file over the pages written so far.
void RebuildForOneWrite(Content& content) {
  content.file->DiscardPlaced();
  content.file = nullptr;
  for (TableContent& table : content.tables) {
    table.rowTreesBuilt = table.textTreeBuilt = false;
    table.tableRoot = table.lineIdOrderRoot = table.textOrderRoot = 0;
  }
}

// The schema with its trees, ready for the file. The trees move out of the content, so
// its tables count as changed again.
std::vector<SchemaEntry> TakeSchemaEntries(Content& content) {
  std::vector<SchemaEntry> entries;
  for (const SchemaItem& item : content.schema) {
    TableContent& table = content.tables[item.table];
    SchemaEntry entry;
    entry.type = item.tree == SchemaItem::Tree::kTable ? "table" : "index";
    entry.name = item.name;
    entry.tableName = table.name;
    entry.sql = item.sql;
    switch (item.tree) {
      case SchemaItem::Tree::kTable:
        entry.tree = std::move(table.table);
        entry.placedRoot = std::exchange(table.tableRoot, 0);
        break;
      case SchemaItem::Tree::kLineIdOrder:
        entry.tree = std::move(table.lineIdOrder);
        entry.placedRoot = std::exchange(table.lineIdOrderRoot, 0);
        break;
      case SchemaItem::Tree::kTextOrder:
        entry.tree = std::move(table.textOrderTree);
        entry.placedRoot = std::exchange(table.textOrderRoot, 0);
        break;
    }
    table.rowTreesBuilt = table.textTreeBuilt = false;
    entries.push_back(std::move(entry));
  }
  return entries;
}

// A folder at the database's path could never be replaced by the finished file.
Status CheckNotAFolder(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    return Status::Error(SystemErrorText(EISDIR));
  }
  return Status::Ok();
}

}  // namespace

// The file's content and its writer thread. Writes change the content in the order queued;
// after the first failure the remaining ones are skipped and the failure is kept for
// Finish(). While no write waits, the thread builds the b-trees of changed tables, so that
// Finish() has little left to do but write the pages.
class WorkDatabase::Impl {
 public:
  Impl(std::unique_ptr<SqliteFileWriter> file, Content content, bool ownThread,
       std::string formerFile)
      : file_(std::move(file)),
        content_(std::move(content)),
        threadAllowed_(ownThread),
        formerFile_(std::move(formerFile)) {}

  // Without a thread of its own the writes wait, and Finish() does them.
  void StartWriter(bool ownThread) {
    if (writerDecided_) return;
    writerDecided_ = true;
    if (ownThread && threadAllowed_ && StartOwnThread(writer_, [this] { RunJobs(); })) return;
    RemoveFormerFile();
  }

  ~Impl() { Finish(); }

  void Enqueue(Job job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return;  // after Finish nothing more is written
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

  void Complete() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return;
      closing_ = true;
    }
    wake_.notify_one();
  }

  Status Finish() {
    writerDecided_ = true;
    Complete();
    if (writer_.joinable()) {
      writer_.join();
    } else if (!written_) {
      RunJobs();  // without a thread of its own, everything is written now
    }
    written_ = true;
    return failure_;
  }

 private:
  // A failure here (too little memory) must not end the program: it becomes the status
  // that Finish() returns, and the file is written as far as it can be.
  void RunJobs() {
    RemoveFormerFile();
    try {
      RunJobsUntilClosed();
    } catch (...) {
      if (failure_.ok()) failure_ = Status::Error(CurrentFailureReason());
    }
    try {
      WriteFile();
    } catch (...) {
      if (failure_.ok()) failure_ = Status::Error(CurrentFailureReason());
      (void)file_->Close();
    }
  }

  void RunJobsUntilClosed() {
    for (;;) {
      Job job;
      bool idle = false;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (jobs_.empty() && !closing_) idle = true;
        if (!idle) {
          if (jobs_.empty()) break;
          job = std::move(jobs_.front());
          jobs_.pop_front();
        }
      }
      if (idle) {
        // A failure here shows again when the file is written.
        (void)BuildAllTrees(content_, true);
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
        continue;
      }
      if (failure_.ok()) failure_ = job(content_);
    }
  }

  // Writes the file as the content stands (up to the first failure) and puts it in place
  // of the database. A tree that cannot be built in order writes nothing: the temporary
  // file is removed and the database's name is left alone.
  void WriteFile() {
    if (content_.writtenTreeRebuilt) RebuildForOneWrite(content_);
    Status status = BuildAllTrees(content_);
    if (status.ok()) {
      std::vector<SchemaEntry> entries = TakeSchemaEntries(content_);
      status = file_->Write(&entries);
    }
    if (status.ok()) status = file_->Commit();
    file_.reset();
    if (failure_.ok()) failure_ = status;
  }

  // The former database, moved aside when this one began: removed by the writer before it
  // writes (removing a large file takes time, which a thread of its own spends meanwhile).
  void RemoveFormerFile() {
    if (formerFile_.empty()) return;
    ::unlink(formerFile_.c_str());
    formerFile_.clear();
  }

  std::unique_ptr<SqliteFileWriter> file_;
  Content content_;  // used by the writer thread only
  const bool threadAllowed_;
  bool writerDecided_ = false;  // StartWriter or Finish has run (on the caller's thread)
  std::string formerFile_;      // used by one thread at a time: the caller's, then the writer
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;  // guarded by mutex_
  bool closing_ = false;  // guarded by mutex_
  // Written by the writer thread only, read after it has been joined.
  Status failure_ = Status::Ok();
  bool written_ = false;  // Finish has run (on this thread)
  std::thread writer_;
};

std::unique_ptr<WorkDatabase> WorkDatabase::Open(const std::string& path, int splitWidth,
                                                 Status* status, bool ownThread) {
  *status = CheckNotAFolder(path);
  if (!status->ok()) return nullptr;
  // Nothing at the path is deleted: the finished file replaces it by a rename, and files
  // beside it belong to others (another run's, or a user's that only looks like ours).
  std::unique_ptr<SqliteFileWriter> file = SqliteFileWriter::CreateBeside(path, status);
  if (file == nullptr) return nullptr;
  // The former database is moved aside now, so that the finished file takes the free name
  // at once, and removed by the writer; where it cannot be moved, the finished file
  // replaces it when put in place.
  std::string formerFile;
  MoveAside(path, &formerFile);
  // The two empty tables come first, so a run refused later leaves just them.
  Content content;
  content.splitWidth = splitWidth;
  content.file = file.get();
  AddLineTable(content, "OldText");
  AddLineTable(content, "NewText");
  return std::unique_ptr<WorkDatabase>(new WorkDatabase(std::make_unique<Impl>(
      std::move(file), std::move(content), ownThread, std::move(formerFile))));
}

WorkDatabase::WorkDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WorkDatabase::~WorkDatabase() = default;

void WorkDatabase::CreateLineTable(const std::string& table) {
  impl_->Enqueue([table](Content& content) { return AddLineTable(content, table); });
}

void WorkDatabase::AppendLines(const std::string& table, const LineTable& source,
                               std::vector<int> lineIds) {
  impl_->Enqueue([table, &source, lineIds = std::move(lineIds)](Content& content) {
    return AppendRecords(content, table, static_cast<int>(lineIds.size()),
                         [&](int i) -> const LineRecord* {
                           int lineId = lineIds[i];
                           if (lineId < 1 || lineId > source.Count()) return nullptr;
                           return &source.Line(lineId);
                         });
  });
}

void WorkDatabase::AppendAllLines(const std::string& table, const LineTable& source) {
  impl_->Enqueue([table, &source](Content& content) {
    return AppendRecords(content, table, source.Count(),
                         [&](int i) { return &source.Records()[i]; });
  });
}

void WorkDatabase::CreateTextOrderIndex(const std::string& table) {
  impl_->Enqueue([table](Content& content) { return AddTextOrder(content, table); });
}

void WorkDatabase::CreateTextOrderIndex(const std::string& table, std::vector<int> lineIdsInOrder) {
  impl_->Enqueue([table, ids = std::move(lineIdsInOrder)](Content& content) mutable {
    return AddTextOrder(content, table, std::move(ids));
  });
}

void WorkDatabase::StartWriter(bool ownThread) {
  impl_->StartWriter(ownThread);
}

void WorkDatabase::SetTextFold(TextFold fold) {
  impl_->Enqueue([fold = std::move(fold)](Content& content) {
    content.fold = fold;
    return Status::Ok();
  });
}

void WorkDatabase::Complete() {
  impl_->Complete();
}

Status WorkDatabase::Finish() {
  return impl_->Finish();
}

}  // namespace verko
