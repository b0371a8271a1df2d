#include "compare/lines/work_trees.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>

#include "common/text_fold.h"
#include "compare/lines/text_sort.h"
#include "platform/sqlite_btree_builder.h"
#include "platform/sqlite_record.h"

namespace verko {
namespace {

Status OutOfOrder(const std::string& tree) {
  return Status::Error("作業用データベースの索引の順序が正しくありません。(" + tree + ")");
}

// The bytes of the rows' texts: with a few bytes per row for the header and the numbers,
// what the records of a tree take.
std::size_t TextBytes(const WorkTableContent& table) {
  std::size_t bytes = 0;
  for (const LineRecord* row : table.rows) bytes += row->Text.size();
  return bytes;
}

// Header and integer bytes of one record, at most: a header of up to five bytes and three
// integers of up to three bytes (LineIDs and line numbers stay below 2^23), or an integer
// key and a rowid.
constexpr std::size_t kRecordOverhead = 16;

// The table's rows as row records, rowid 1, 2, 3 ... in the order appended.
Status BuildTableTree(const WorkTableContent& table, TreeBuffers& buffers, PageRun* run) {
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
Status BuildLineIdOrder(const WorkTableContent& table, TreeBuffers& buffers, PageRun* run) {
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
std::vector<uint32_t> RowsInGivenTextOrder(const WorkTableContent& table) {
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
Status BuildTextOrder(const WorkTableContent& table, const TextFold& fold, TreeBuffers& buffers,
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
Status WriteTree(WorkContent& content, PageRun& tree, uint32_t& root) {
  if (root != 0) content.writtenTreeRebuilt = true;
  root = 0;
  if (content.file == nullptr || content.writtenTreeRebuilt) return Status::Ok();
  Status status = content.file->Place(&tree, &root);
  if (status.ok()) content.buffers.GiveBack(std::exchange(tree, PageRun{}));
  return status;
}

Status BuildTrees(WorkContent& content, WorkTableContent& table) {
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

}  // namespace

Status BuildAllTrees(WorkContent& content, bool whileIdle) {
  for (WorkTableContent& table : content.tables) {
    if (whileIdle && table.rows.empty()) continue;
    Status status = BuildTrees(content, table);
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

void RebuildForOneWrite(WorkContent& content) {
  content.file->DiscardPlaced();
  content.file = nullptr;
  for (WorkTableContent& table : content.tables) {
    table.rowTreesBuilt = table.textTreeBuilt = false;
    table.tableRoot = table.lineIdOrderRoot = table.textOrderRoot = 0;
  }
}

std::vector<SchemaEntry> TakeSchemaEntries(WorkContent& content) {
  std::vector<SchemaEntry> entries;
  for (const WorkSchemaItem& item : content.schema) {
    WorkTableContent& table = content.tables[item.table];
    SchemaEntry entry;
    entry.type = item.tree == WorkSchemaItem::Tree::kTable ? "table" : "index";
    entry.name = item.name;
    entry.tableName = table.name;
    entry.sql = item.sql;
    switch (item.tree) {
      case WorkSchemaItem::Tree::kTable:
        entry.tree = std::move(table.table);
        entry.placedRoot = std::exchange(table.tableRoot, 0);
        break;
      case WorkSchemaItem::Tree::kLineIdOrder:
        entry.tree = std::move(table.lineIdOrder);
        entry.placedRoot = std::exchange(table.lineIdOrderRoot, 0);
        break;
      case WorkSchemaItem::Tree::kTextOrder:
        entry.tree = std::move(table.textOrderTree);
        entry.placedRoot = std::exchange(table.textOrderRoot, 0);
        break;
    }
    table.rowTreesBuilt = table.textTreeBuilt = false;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace verko
