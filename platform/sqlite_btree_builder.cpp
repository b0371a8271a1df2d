#include "platform/sqlite_btree_builder.h"

#include <cassert>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sqlite_format.h"
#include "platform/sqlite_page_filler.h"

namespace verko {
namespace {

// A stretch [begin, end) of the items of one b-tree level that go on one page.
struct Group {
  uint32_t begin;
  uint32_t end;
};

// Groups index entries into pages where each entry between two pages moves up a level as
// their divider (an index b-tree holds every entry exactly once). `costs` are the cell
// sizes with their pointers. Every group is non-empty, except the only one of no entries.
std::vector<Group> GroupWithDividers(const std::vector<uint32_t>& costs, uint32_t capacity) {
  const uint32_t count = static_cast<uint32_t>(costs.size());
  std::vector<Group> groups;
  uint32_t begin = 0;
  uint32_t used = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (used + costs[i] <= capacity) {
      used += costs[i];
      continue;
    }
    // A cell is at most a quarter page, so a page always takes several.
    assert(i > begin);
    groups.push_back({begin, i});  // entry i becomes the divider
    begin = i + 1;
    used = 0;
  }
  groups.push_back({begin, count});
  // When the last entry became a divider, the last page would be empty: the entry before
  // it becomes the divider instead, and the last page holds the last entry.
  if (groups.size() > 1 && groups.back().begin == groups.back().end) {
    Group& before = groups[groups.size() - 2];
    assert(before.end - before.begin >= 2);
    before.end -= 1;
    groups.back().begin = before.end + 1;
  }
  return groups;
}

// Groups the children of a table level into interior pages: each child but a page's last
// takes a cell (`costs[i]`), the last is the page's right child. Every page gets at least
// two children, so at least one cell.
std::vector<Group> GroupChildren(const std::vector<uint32_t>& costs, uint32_t capacity) {
  const uint32_t count = static_cast<uint32_t>(costs.size());
  std::vector<Group> groups;
  uint32_t begin = 0;
  uint32_t used = 0;
  for (uint32_t i = 1; i < count; ++i) {
    if (used + costs[i - 1] > capacity) {
      groups.push_back({begin, i});
      begin = i;
      used = 0;
    } else {
      used += costs[i - 1];
    }
  }
  groups.push_back({begin, count});
  if (groups.size() > 1 && groups.back().end - groups.back().begin == 1) {
    // Hundreds of children fit a page, so the page before can spare one.
    groups[groups.size() - 2].end -= 1;
    groups.back().begin -= 1;
  }
  return groups;
}

// Record i of `records`, the records one after another, each ending where `ends` says.
std::string_view RecordAt(const std::string& records, const std::vector<uint32_t>& ends,
                          uint32_t i) {
  uint32_t begin = i == 0 ? 0 : ends[i - 1];
  return std::string_view(records).substr(begin, ends[i] - begin);
}

// Page memory for records of `bytes` in all, `count` of them: with cell headers and the
// space pages leave unused.
std::size_t PageBytesFor(std::size_t count, std::size_t bytes) {
  return (bytes + 16 * count) * 9 / 8 + kSqlitePageSize;
}

// Room in `run` for records of `bytes` in all, `count` of them. The memory of one tree is
// kept for the next (the other file's, an index), so a large tree's fresh memory is taken
// with a quarter more: a somewhat larger next tree then fits, and room never written costs
// nothing. A small tree's memory is taken exactly: it comes from memory the run has freed
// before, where a larger request would take fresh memory from the system.
void ReservePages(PageRun& run, std::size_t count, std::size_t bytes) {
  constexpr std::size_t kLargeTree = 1 << 20;
  const std::size_t need = PageBytesFor(count, bytes);
  if (run.pages.capacity() >= need) return;
  run.pages.reserve(need >= kLargeTree ? need + need / 4 : need);
}

// The interior levels of an index b-tree above `children`: entry i (the record of
// `entries[i]`) lies between children[i] and children[i + 1].
uint32_t BuildIndexLevels(RunBuilder& builder, const std::string& records,
                          const std::vector<uint32_t>& ends, std::vector<uint32_t> entries,
                          std::vector<uint32_t> children) {
  std::vector<uint32_t> costs;
  while (children.size() > 1) {
    costs.resize(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
      uint32_t size = static_cast<uint32_t>(RecordAt(records, ends, entries[i]).size());
      costs[i] = CellSize(kIndexInterior, size, 0) + kCellPointerSize;
    }
    std::vector<uint32_t> pages;
    std::vector<uint32_t> dividers;
    for (const Group& group : GroupWithDividers(costs, PageCapacity(kIndexInterior))) {
      PageFiller page(&builder, kIndexInterior);
      for (uint32_t i = group.begin; i < group.end; ++i) {
        page.AddCell(RecordAt(records, ends, entries[i]), 0, children[i]);
      }
      page.Finish(children[group.end]);
      pages.push_back(page.Page());
      if (group.end < entries.size()) dividers.push_back(entries[group.end]);
    }
    entries = std::move(dividers);
    children = std::move(pages);
  }
  return children.front();
}

}  // namespace

struct TableTreeBuilder::Impl {
  PageRun run;
  RunBuilder runBuilder{&run};
  std::optional<PageFiller> leaf;
  uint32_t used = 0;  // bytes of the open leaf's cells and their pointers
  bool hasRows = false;
  int64_t lastRowid = 0;
  std::string scratch;          // a record too long for its leaf, encoded whole
  std::vector<uint32_t> pages;  // the leaves finished, in order
  std::vector<int64_t> keys;    // the largest rowid on each
};

TableTreeBuilder::TableTreeBuilder(PageRun reuse) : impl_(std::make_unique<Impl>()) {
  impl_->run = std::move(reuse);
  impl_->run.Clear();
}

TableTreeBuilder::~TableTreeBuilder() = default;

bool TableTreeBuilder::Add(int64_t rowid, const RecordEncoder& record) {
  Impl& tree = *impl_;
  if (tree.hasRows && rowid <= tree.lastRowid) return false;
  const auto payloadSize = static_cast<uint32_t>(record.Size());
  const uint32_t cellSize = CellSize(kTableLeaf, payloadSize, rowid);
  const uint32_t cost = cellSize + kCellPointerSize;
  // A leaf takes rows while they fit, and always at least one.
  if (tree.leaf && tree.used > 0 && tree.used + cost > PageCapacity(kTableLeaf)) {
    tree.leaf->Finish();
    tree.pages.push_back(tree.leaf->Page());
    tree.keys.push_back(tree.lastRowid);
    tree.leaf.reset();
  }
  if (!tree.leaf) {
    tree.leaf.emplace(&tree.runBuilder, kTableLeaf);
    tree.used = 0;
  }
  tree.leaf->AddRecordCell(record, payloadSize, cellSize, rowid, tree.scratch);
  tree.used += cost;
  tree.lastRowid = rowid;
  tree.hasRows = true;
  return true;
}

void TableTreeBuilder::Reserve(std::size_t rows, std::size_t bytes) {
  ReservePages(impl_->run, rows, bytes);
  impl_->pages.reserve(rows / 16 + 1);
  impl_->keys.reserve(rows / 16 + 1);
}

PageRun TableTreeBuilder::Build() {
  Impl& tree = *impl_;
  // An empty table is one empty leaf.
  if (!tree.leaf) tree.leaf.emplace(&tree.runBuilder, kTableLeaf);
  tree.leaf->Finish();
  std::vector<uint32_t> pages = std::move(tree.pages);
  std::vector<int64_t> keys = std::move(tree.keys);
  pages.push_back(tree.leaf->Page());
  keys.push_back(tree.lastRowid);
  tree.leaf.reset();
  std::vector<uint32_t> costs;
  while (pages.size() > 1) {
    costs.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      costs[i] = CellSize(kTableInterior, 0, keys[i]) + kCellPointerSize;
    }
    std::vector<uint32_t> upperPages;
    std::vector<int64_t> upperKeys;
    for (const Group& group : GroupChildren(costs, PageCapacity(kTableInterior))) {
      PageFiller interior(&tree.runBuilder, kTableInterior);
      for (uint32_t i = group.begin; i + 1 < group.end; ++i) {
        interior.AddCell({}, keys[i], pages[i]);
      }
      interior.Finish(pages[group.end - 1]);
      upperPages.push_back(interior.Page());
      upperKeys.push_back(keys[group.end - 1]);
    }
    pages = std::move(upperPages);
    keys = std::move(upperKeys);
  }
  tree.run.root = pages.front();
  return std::move(tree.run);
}

// Entries are placed on leaves as GroupWithDividers would place them: an entry that does not
// fit on the open leaf divides it from the next. Only the end can change an earlier choice
// (a last entry that would divide nothing goes onto a leaf of its own, the entry before it
// dividing instead), so the last two entries stay pending, placed but not yet written.
struct IndexTreeBuilder::Impl {
  // An entry whose place is chosen and whose bytes are not yet on a page.
  struct PendingEntry {
    RecordEncoder record;
    uint32_t size = 0;     // of the record
    uint32_t cost = 0;     // of its cell with the cell's pointer
    bool divides = false;  // goes up as the divider after the open leaf
  };
  // Room for the two entries that stay pending and the one being added.
  static constexpr int kPendingSlots = 3;

  PageRun run;
  RunBuilder runBuilder{&run};
  std::optional<PageFiller> leaf;
  bool leafFull = false;  // a divider closed the open leaf: the next entry opens a new one
  uint32_t used = 0;      // of the leaf as the choices made so far fill it
  PendingEntry pending[kPendingSlots];  // a ring: the oldest at pending[oldest]
  int oldest = 0;
  int pendingCount = 0;
  std::vector<uint32_t> pages;  // the leaves finished, in order
  std::string dividers;         // the records between them
  std::vector<uint32_t> dividerEnds;
  std::string scratch;  // a record too long for its leaf, encoded whole

  // The pending entry `age` places after the oldest.
  PendingEntry& PendingAt(int age) {
    const int slot = oldest + age;
    return pending[slot < kPendingSlots ? slot : slot - kPendingSlots];
  }

  // Chooses for the entry just added, the newest pending.
  void Choose() {
    PendingEntry& entry = PendingAt(pendingCount - 1);
    entry.divides = used + entry.cost > PageCapacity(kIndexLeaf);
    used = entry.divides ? 0 : used + entry.cost;
  }

  // Writes the oldest pending entry as chosen.
  void WriteOldest() {
    PendingEntry& entry = pending[oldest];
    if (entry.divides) {
      entry.record.AppendTo(&dividers);
      dividerEnds.push_back(static_cast<uint32_t>(dividers.size()));
      leafFull = true;
    } else {
      if (leafFull || !leaf) OpenLeaf();
      leaf->AddRecordCell(entry.record, entry.size, entry.cost - kCellPointerSize, 0, scratch);
    }
    oldest = oldest + 1 < kPendingSlots ? oldest + 1 : 0;
    --pendingCount;
  }

  void OpenLeaf() {
    if (leaf) {
      leaf->Finish();
      pages.push_back(leaf->Page());
    }
    leaf.emplace(&runBuilder, kIndexLeaf);
    leafFull = false;
  }
};

IndexTreeBuilder::IndexTreeBuilder(PageRun reuse) : impl_(std::make_unique<Impl>()) {
  impl_->run = std::move(reuse);
  impl_->run.Clear();
}

IndexTreeBuilder::~IndexTreeBuilder() = default;

void IndexTreeBuilder::Add(const RecordEncoder& record) {
  Impl& tree = *impl_;
  Impl::PendingEntry& entry = tree.PendingAt(tree.pendingCount++);
  entry.record = record;
  entry.size = static_cast<uint32_t>(record.Size());
  entry.cost = CellSize(kIndexLeaf, entry.size, 0) + kCellPointerSize;
  tree.Choose();
  if (tree.pendingCount == Impl::kPendingSlots) tree.WriteOldest();
}

void IndexTreeBuilder::Reserve(std::size_t entries, std::size_t bytes) {
  ReservePages(impl_->run, entries, bytes);
  impl_->pages.reserve(entries / 16 + 1);
}

PageRun IndexTreeBuilder::Build() {
  Impl& tree = *impl_;
  // A last entry that would divide nothing: the entry before it (on the same leaf, as an
  // entry after a divider always fits) divides instead, and the last gets a leaf alone.
  if (tree.pendingCount == 2 && tree.PendingAt(1).divides) {
    tree.PendingAt(0).divides = true;
    tree.PendingAt(1).divides = false;
  }
  while (tree.pendingCount > 0) tree.WriteOldest();
  if (!tree.leaf || tree.leafFull) tree.OpenLeaf();  // no entries: one empty leaf
  tree.leaf->Finish();
  tree.pages.push_back(tree.leaf->Page());
  tree.leaf.reset();
  std::vector<uint32_t> entries(tree.dividerEnds.size());
  for (uint32_t i = 0; i < entries.size(); ++i) entries[i] = i;
  tree.run.root = BuildIndexLevels(tree.runBuilder, tree.dividers, tree.dividerEnds,
                                   std::move(entries), std::move(tree.pages));
  return std::move(tree.run);
}

}  // namespace verko
