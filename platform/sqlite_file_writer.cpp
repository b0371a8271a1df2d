#include "platform/sqlite_file_writer.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <utility>

#include "common/fresh_file.h"
#include "common/system_error.h"

namespace verko {
namespace {

constexpr uint32_t kUsable = kSqlitePageSize;  // no reserved bytes at the end of pages
constexpr uint32_t kFileHeaderSize = 100;
constexpr uint32_t kOverflowData = kUsable - 4;
// How much of a payload a cell keeps on its own page; the rest goes to overflow pages.
constexpr uint32_t kMinLocal = (kUsable - 12) * 32 / 255 - 23;
constexpr uint32_t kMaxLocalTableLeaf = kUsable - 35;
constexpr uint32_t kMaxLocalIndex = (kUsable - 12) * 64 / 255 - 23;
// SQLite counts a cell as at least four bytes, so a shorter one is padded to that.
constexpr uint32_t kMinCellSize = 4;
constexpr uint32_t kCellPointerSize = 2;

enum PageType : uint8_t {
  kIndexInterior = 2,
  kTableInterior = 5,
  kIndexLeaf = 10,
  kTableLeaf = 13,
};

bool IsLeaf(PageType type) {
  return type == kIndexLeaf || type == kTableLeaf;
}

uint32_t PageHeaderSize(PageType type) {
  return IsLeaf(type) ? 8 : 12;
}

void Put2(char* out, uint32_t value) {
  out[0] = static_cast<char>(value >> 8);
  out[1] = static_cast<char>(value);
}

void Put4(char* out, uint32_t value) {
  out[0] = static_cast<char>(value >> 24);
  out[1] = static_cast<char>(value >> 16);
  out[2] = static_cast<char>(value >> 8);
  out[3] = static_cast<char>(value);
}

uint32_t Get4(const char* in) {
  const auto* b = reinterpret_cast<const unsigned char*>(in);
  return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
}

int VarintLength(uint64_t value) {
  if (value > 0x00ffffffffffffffULL) return 9;
  int length = 1;
  while (value > 0x7f) {
    value >>= 7;
    ++length;
  }
  return length;
}

// SQLite's varint of a value above 0x7f (see PutVarint).
int PutLongVarint(uint64_t value, char* out) {
  if (value > 0x00ffffffffffffffULL) {
    out[8] = static_cast<char>(value & 0xff);
    value >>= 8;
    for (int i = 7; i >= 0; --i) {
      out[i] = static_cast<char>((value & 0x7f) | 0x80);
      value >>= 7;
    }
    return 9;
  }
  char buffer[9];
  int length = 0;
  do {
    buffer[length++] = static_cast<char>((value & 0x7f) | 0x80);
    value >>= 7;
  } while (value != 0);
  buffer[0] = static_cast<char>(buffer[0] & 0x7f);
  for (int i = 0; i < length; ++i) out[i] = buffer[length - 1 - i];
  return length;
}

// SQLite's varint: big-endian groups of 7 bits, the high bit set on all but the last byte;
// a ninth byte, when needed, carries 8 bits. Most varints written are one or two bytes.
inline int PutVarint(uint64_t value, char* out) {
  if (value <= 0x7f) {
    out[0] = static_cast<char>(value);
    return 1;
  }
  if (value <= 0x3fff) {
    out[0] = static_cast<char>(0x80 | (value >> 7));
    out[1] = static_cast<char>(value & 0x7f);
    return 2;
  }
  return PutLongVarint(value, out);
}

uint32_t LocalPayload(uint32_t payload, uint32_t maxLocal) {
  if (payload <= maxLocal) return payload;
  uint32_t local = kMinLocal + (payload - kMinLocal) % kOverflowData;
  return local <= maxLocal ? local : kMinLocal;
}

uint32_t MaxLocal(PageType type) {
  return type == kTableLeaf ? kMaxLocalTableLeaf : kMaxLocalIndex;
}

// Bytes the cell takes on its page (without its pointer).
uint32_t CellSize(PageType type, uint32_t payload, int64_t rowid) {
  uint32_t size = 0;
  if (!IsLeaf(type)) size += 4;
  if (type == kTableInterior) {
    size += VarintLength(static_cast<uint64_t>(rowid));
  } else {
    uint32_t local = LocalPayload(payload, MaxLocal(type));
    size += VarintLength(payload) + local + (local < payload ? 4 : 0);
    if (type == kTableLeaf) size += VarintLength(static_cast<uint64_t>(rowid));
  }
  return size < kMinCellSize ? kMinCellSize : size;
}

// Appends pages to a run and fills them; every page number written is recorded as a link.
class RunBuilder {
 public:
  explicit RunBuilder(PageRun* run) : run_(*run) {}

  uint32_t NewPage() {
    run_.pages.append(kSqlitePageSize, '\0');
    return run_.PageCount() - 1;
  }

  void PutPageNumber(std::size_t offset, uint32_t page) {
    Put4(&run_.pages[offset], page);
    run_.links.push_back(static_cast<uint32_t>(offset));
  }

  // Stores `rest` on a chain of new overflow pages and returns the first.
  uint32_t WriteOverflow(std::string_view rest) {
    uint32_t first = run_.PageCount();
    while (!rest.empty()) {
      uint32_t page = NewPage();
      std::size_t start = std::size_t{page} * kSqlitePageSize;
      std::size_t chunk = std::min<std::size_t>(rest.size(), kOverflowData);
      std::memcpy(&run_.pages[start + 4], rest.data(), chunk);
      rest.remove_prefix(chunk);
      if (!rest.empty()) PutPageNumber(start, page + 1);
    }
    return first;
  }

  char* At(std::size_t offset) { return &run_.pages[offset]; }

 private:
  PageRun& run_;
};

// One b-tree page being filled: cell pointers grow from the header, cell contents grow down
// from the end of the page, and the free space between them stays unallocated.
class PageFiller {
 public:
  PageFiller(RunBuilder* builder, PageType type, uint32_t headerOffset = 0)
      : builder_(*builder),
        type_(type),
        page_(builder->NewPage()),
        headerOffset_(headerOffset),
        contentStart_(kUsable) {}

  uint32_t Page() const { return page_; }

  // Takes room for a cell of `size` bytes below the cells so far and adds its pointer;
  // where in the run the cell goes.
  std::size_t StartCell(uint32_t size) {
    contentStart_ -= size;
    const std::size_t pageStart = std::size_t{page_} * kSqlitePageSize;
    Put2(builder_.At(pageStart + headerOffset_ + PageHeaderSize(type_) +
                     kCellPointerSize * cellCount_),
         contentStart_);
    ++cellCount_;
    return pageStart + contentStart_;
  }

  // Adds a cell. `payload` is absent on table interior pages, `rowid` on index pages,
  // `leftChild` on leaf pages.
  void AddCell(std::string_view payload, int64_t rowid, uint32_t leftChild) {
    const uint32_t payloadSize = static_cast<uint32_t>(payload.size());
    std::size_t at = StartCell(CellSize(type_, payloadSize, rowid));
    if (!IsLeaf(type_)) {
      builder_.PutPageNumber(at, leftChild);
      at += 4;
    }
    if (type_ == kTableInterior) {
      PutVarint(static_cast<uint64_t>(rowid), builder_.At(at));
      return;
    }
    at += PutVarint(payloadSize, builder_.At(at));
    if (type_ == kTableLeaf) at += PutVarint(static_cast<uint64_t>(rowid), builder_.At(at));
    const uint32_t local = LocalPayload(payloadSize, MaxLocal(type_));
    std::memcpy(builder_.At(at), payload.data(), local);
    at += local;
    if (local < payloadSize) {
      uint32_t first = builder_.WriteOverflow(payload.substr(local));
      builder_.PutPageNumber(at, first);
    }
  }

  // Adds a leaf cell of `record` (its Size() given as `payloadSize`, `cellSize` the cell's
  // size), encoded straight onto the page. A record too long for the page goes the way of
  // AddCell, through `scratch`.
  void AddRecordCell(const RecordEncoder& record, uint32_t payloadSize, uint32_t cellSize,
                     int64_t rowid, std::string& scratch) {
    if (LocalPayload(payloadSize, MaxLocal(type_)) < payloadSize) {
      scratch.clear();
      record.AppendTo(&scratch);
      AddCell(scratch, rowid, 0);
      return;
    }
    char* at = builder_.At(StartCell(cellSize));
    at += PutVarint(payloadSize, at);
    if (type_ == kTableLeaf) at += PutVarint(static_cast<uint64_t>(rowid), at);
    record.WriteTo(at);
  }

  // Writes the page header; `rightChild` only on interior pages.
  void Finish(uint32_t rightChild = 0) {
    char* header = builder_.At(std::size_t{page_} * kSqlitePageSize + headerOffset_);
    header[0] = static_cast<char>(type_);
    Put2(header + 1, 0);  // no freeblocks
    Put2(header + 3, cellCount_);
    Put2(header + 5, contentStart_);
    header[7] = 0;  // no fragmented bytes
    if (!IsLeaf(type_)) {
      builder_.PutPageNumber(std::size_t{page_} * kSqlitePageSize + headerOffset_ + 8, rightChild);
    }
  }

 private:
  RunBuilder& builder_;
  const PageType type_;
  const uint32_t page_;
  const uint32_t headerOffset_;
  uint32_t contentStart_;
  uint32_t cellCount_ = 0;
};

// A stretch [begin, end) of the items of one b-tree level that go on one page.
struct Group {
  uint32_t begin;
  uint32_t end;
};

uint32_t PageCapacity(PageType type) {
  return kUsable - PageHeaderSize(type);
}

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

std::string_view RecordAt(const std::string& records, const std::vector<uint32_t>& ends,
                          uint32_t i) {
  uint32_t begin = i == 0 ? 0 : ends[i - 1];
  return std::string_view(records).substr(begin, ends[i] - begin);
}

// Adds `base` to every page number of the run.
void RelocateRun(PageRun* run, int64_t base) {
  for (uint32_t offset : run->links) {
    char* at = &run->pages[offset];
    Put4(at, static_cast<uint32_t>(Get4(at) + base));
  }
}

void WriteFileHeader(char* header, uint32_t pageCount, uint32_t changeCounter) {
  std::memcpy(header, "SQLite format 3", 16);  // with its terminating NUL
  Put2(header + 16, kSqlitePageSize);
  header[18] = 1;  // legacy (rollback journal) write and read versions
  header[19] = 1;
  header[20] = 0;   // no reserved bytes per page
  header[21] = 64;  // payload fractions, fixed by the format
  header[22] = 32;
  header[23] = 32;
  Put4(header + 24, changeCounter);
  Put4(header + 28, pageCount);
  Put4(header + 32, 0);  // no freelist
  Put4(header + 36, 0);
  Put4(header + 40, changeCounter);  // schema cookie: changes with every write
  Put4(header + 44, 4);              // schema format 4
  Put4(header + 48, 0);
  Put4(header + 52, 0);  // no auto-vacuum
  Put4(header + 56, 1);  // UTF-8
  Put4(header + 60, 0);
  Put4(header + 64, 0);
  Put4(header + 68, 0);
  std::memset(header + 72, 0, 20);
  Put4(header + 92, changeCounter);  // the page count above is valid for this change
  Put4(header + 96, SQLITE_VERSION_NUMBER);
}

}  // namespace

RecordEncoder::Column& RecordEncoder::Next() {
  if (count_ == kMaxColumns) throw std::length_error("a record of more than eight values");
  return columns_[count_++];
}

namespace {

// The serial type of an integer by the number of bits of its magnitude (SQLite stores it
// in 1, 2, 3, 4, 6 or 8 bytes with one bit to spare for the sign), with its byte count.
struct IntType {
  uint8_t type;
  uint8_t bytes;
};
constexpr IntType IntTypeForBits(int bits) {
  return bits <= 7    ? IntType{1, 1}
         : bits <= 15 ? IntType{2, 2}
         : bits <= 23 ? IntType{3, 3}
         : bits <= 31 ? IntType{4, 4}
         : bits <= 47 ? IntType{5, 6}
                      : IntType{6, 8};
}
constexpr auto kIntTypes = [] {
  std::array<IntType, 65> types{};
  for (int bits = 0; bits <= 64; ++bits) types[bits] = IntTypeForBits(bits);
  return types;
}();

}  // namespace

void RecordEncoder::AddInt(int64_t value) {
  Column& column = Next();
  column.value = value;
  typeBytes_ += 1;
  if (value == 0 || value == 1) {
    column.type = 8 + static_cast<uint64_t>(value);  // constants in schema format 4
    return;
  }
  const uint64_t magnitude = static_cast<uint64_t>(value < 0 ? ~value : value);
  const IntType type = kIntTypes[magnitude == 0 ? 0 : 64 - __builtin_clzll(magnitude)];
  column.type = type.type;
  bodyBytes_ += type.bytes;
}

void RecordEncoder::AddText(std::string_view bytes) {
  Column& column = Next();
  column.type = 13 + 2 * static_cast<uint64_t>(bytes.size());
  column.text = bytes.data();
  typeBytes_ += static_cast<std::size_t>(VarintLength(column.type));
  bodyBytes_ += bytes.size();
}

std::size_t RecordEncoder::HeaderBytes() const {
  // The header size counts its own varint, which may grow by the byte it adds.
  std::size_t header = typeBytes_ + 1;
  if (VarintLength(header) > 1) header = typeBytes_ + VarintLength(typeBytes_ + 2);
  return header;
}

std::size_t RecordEncoder::Size() const {
  return HeaderBytes() + bodyBytes_;
}

void RecordEncoder::AppendTo(std::string* out) const {
  const std::size_t start = out->size();
  out->resize(start + Size());
  WriteTo(out->data() + start);
}

void RecordEncoder::WriteTo(char* out) const {
  // The bytes of an integer of serial types 0 to 9 (NULL, 1 to 8 bytes, the constants).
  static constexpr uint8_t kIntBytes[10] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
  char* types = out;
  char* body = out + HeaderBytes();
  types += PutVarint(HeaderBytes(), types);
  for (int i = 0; i < count_; ++i) {
    const Column& column = columns_[i];
    types += PutVarint(column.type, types);
    if (column.type >= 13) {
      const std::size_t bytes = (column.type - 13) / 2;
      if (bytes != 0) std::memcpy(body, column.text, bytes);
      body += bytes;
    } else {
      // An integer, big-endian in as many bytes as its type says.
      const uint32_t bytes = kIntBytes[column.type];
      const uint64_t bits = static_cast<uint64_t>(column.value);
      for (uint32_t k = 0; k < bytes; ++k)
        body[k] = static_cast<char>(bits >> (8 * (bytes - 1 - k)));
      body += bytes;
    }
  }
}

namespace {

// Page memory for records of `bytes` in all, `count` of them: with cell headers and the
// space pages leave unused.
std::size_t PageBytesFor(std::size_t count, std::size_t bytes) {
  return (bytes + 16 * count) * 9 / 8 + kSqlitePageSize;
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
  RunBuilder builder{&run};
  std::optional<PageFiller> leaf;
  uint32_t used = 0;  // bytes of the open leaf's cells and their pointers
  bool any = false;   // a row was added
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
  Impl& t = *impl_;
  if (t.any && rowid <= t.lastRowid) return false;
  const auto payloadSize = static_cast<uint32_t>(record.Size());
  const uint32_t cellSize = CellSize(kTableLeaf, payloadSize, rowid);
  const uint32_t cost = cellSize + kCellPointerSize;
  // A leaf takes rows while they fit, and always at least one.
  if (t.leaf && t.used > 0 && t.used + cost > PageCapacity(kTableLeaf)) {
    t.leaf->Finish();
    t.pages.push_back(t.leaf->Page());
    t.keys.push_back(t.lastRowid);
    t.leaf.reset();
  }
  if (!t.leaf) {
    t.leaf.emplace(&t.builder, kTableLeaf);
    t.used = 0;
  }
  t.leaf->AddRecordCell(record, payloadSize, cellSize, rowid, t.scratch);
  t.used += cost;
  t.lastRowid = rowid;
  t.any = true;
  return true;
}

void TableTreeBuilder::Reserve(std::size_t rows, std::size_t bytes) {
  impl_->run.pages.reserve(PageBytesFor(rows, bytes));
  impl_->pages.reserve(rows / 16 + 1);
  impl_->keys.reserve(rows / 16 + 1);
}

PageRun TableTreeBuilder::Build() {
  Impl& t = *impl_;
  if (!t.leaf) t.leaf.emplace(&t.builder, kTableLeaf);  // an empty table: one empty leaf
  t.leaf->Finish();
  std::vector<uint32_t> pages = std::move(t.pages);
  std::vector<int64_t> keys = std::move(t.keys);
  pages.push_back(t.leaf->Page());
  keys.push_back(t.lastRowid);
  t.leaf.reset();
  std::vector<uint32_t> costs;
  while (pages.size() > 1) {
    costs.resize(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      costs[i] = CellSize(kTableInterior, 0, keys[i]) + kCellPointerSize;
    }
    std::vector<uint32_t> upperPages;
    std::vector<int64_t> upperKeys;
    for (const Group& group : GroupChildren(costs, PageCapacity(kTableInterior))) {
      PageFiller interior(&t.builder, kTableInterior);
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
  t.run.root = pages.front();
  return std::move(t.run);
}

// Entries are placed on leaves as GroupWithDividers would place them: an entry that does not
// fit on the open leaf divides it from the next. Only the end can change an earlier choice
// (a last entry that would divide nothing goes onto a leaf of its own, the entry before it
// dividing instead), so the last two choices wait before their bytes are written.
struct IndexTreeBuilder::Impl {
  struct Waiting {
    RecordEncoder record;
    uint32_t size = 0;     // of the record
    uint32_t cost = 0;     // of its cell with the cell's pointer
    bool divides = false;  // goes up as the divider after the open leaf
  };

  PageRun run;
  RunBuilder builder{&run};
  std::optional<PageFiller> leaf;
  bool leafFull = false;  // a divider closed the open leaf: the next entry opens a new one
  uint32_t used = 0;      // of the leaf as the choices made so far fill it
  Waiting waiting[3];     // a ring: the oldest at waiting[oldest]
  int oldest = 0;
  int waitingCount = 0;
  std::vector<uint32_t> pages;  // the leaves finished, in order
  std::string dividers;         // the records between them
  std::vector<uint32_t> dividerEnds;
  std::string scratch;  // a record too long for its leaf, encoded whole

  Waiting& Waiter(int k) { return waiting[(oldest + k) % 3]; }

  // Chooses for the entry just added, the newest waiting.
  void Choose() {
    Waiting& entry = Waiter(waitingCount - 1);
    entry.divides = used + entry.cost > PageCapacity(kIndexLeaf);
    used = entry.divides ? 0 : used + entry.cost;
  }

  // Writes the oldest waiting entry as chosen.
  void WriteOldest() {
    Waiting& entry = waiting[oldest];
    if (entry.divides) {
      entry.record.AppendTo(&dividers);
      dividerEnds.push_back(static_cast<uint32_t>(dividers.size()));
      leafFull = true;
    } else {
      if (leafFull || !leaf) OpenLeaf();
      leaf->AddRecordCell(entry.record, entry.size, entry.cost - kCellPointerSize, 0, scratch);
    }
    oldest = (oldest + 1) % 3;
    --waitingCount;
  }

  void OpenLeaf() {
    if (leaf) {
      leaf->Finish();
      pages.push_back(leaf->Page());
    }
    leaf.emplace(&builder, kIndexLeaf);
    leafFull = false;
  }
};

IndexTreeBuilder::IndexTreeBuilder(PageRun reuse) : impl_(std::make_unique<Impl>()) {
  impl_->run = std::move(reuse);
  impl_->run.Clear();
}

IndexTreeBuilder::~IndexTreeBuilder() = default;

void IndexTreeBuilder::Add(const RecordEncoder& record) {
  Impl& t = *impl_;
  Impl::Waiting& entry = t.Waiter(t.waitingCount++);
  entry.record = record;
  entry.size = static_cast<uint32_t>(record.Size());
  entry.cost = CellSize(kIndexLeaf, entry.size, 0) + kCellPointerSize;
  t.Choose();
  if (t.waitingCount == 3) t.WriteOldest();
}

void IndexTreeBuilder::Reserve(std::size_t entries, std::size_t bytes) {
  impl_->run.pages.reserve(PageBytesFor(entries, bytes));
  impl_->pages.reserve(entries / 16 + 1);
}

PageRun IndexTreeBuilder::Build() {
  Impl& t = *impl_;
  // A last entry that would divide nothing: the entry before it (on the same leaf, as an
  // entry after a divider always fits) divides instead, and the last gets a leaf alone.
  if (t.waitingCount == 2 && t.Waiter(1).divides) {
    t.Waiter(0).divides = true;
    t.Waiter(1).divides = false;
  }
  while (t.waitingCount > 0) t.WriteOldest();
  if (!t.leaf || t.leafFull) t.OpenLeaf();  // no entries: one empty leaf
  t.leaf->Finish();
  t.pages.push_back(t.leaf->Page());
  t.leaf.reset();
  std::vector<uint32_t> entries(t.dividerEnds.size());
  for (uint32_t i = 0; i < entries.size(); ++i) entries[i] = i;
  t.run.root = BuildIndexLevels(t.builder, t.dividers, t.dividerEnds, std::move(entries),
                                std::move(t.pages));
  return std::move(t.run);
}

std::unique_ptr<SqliteFileWriter> SqliteFileWriter::Create(const std::string& path,
                                                           Status* status) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    *status = Status::Error(SystemErrorText(errno) + "(" + path + ")");
    return nullptr;
  }
  *status = Status::Ok();
  return std::unique_ptr<SqliteFileWriter>(new SqliteFileWriter(fd, path, std::string()));
}

std::unique_ptr<SqliteFileWriter> SqliteFileWriter::CreateBeside(const std::string& path,
                                                                 Status* status) {
  std::string tempPath;
  const int fd = CreateFreshFile(path, &tempPath);
  if (fd < 0) {
    *status = Status::Error(SystemErrorText(errno) + "(" + path + ")");
    return nullptr;
  }
  *status = Status::Ok();
  return std::unique_ptr<SqliteFileWriter>(new SqliteFileWriter(fd, path, std::move(tempPath)));
}

SqliteFileWriter::~SqliteFileWriter() {
  (void)Close();
  RemoveTemporary();
}

void SqliteFileWriter::RemoveTemporary() {
  if (tempPath_.empty()) return;
  ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

Status SqliteFileWriter::SystemError(int errnum) const {
  return Status::Error(SystemErrorText(errnum) + "(" + path_ + ")");
}

Status SqliteFileWriter::WriteBytes(const char* data, std::size_t size, uint64_t offset) {
  while (size > 0) {
    ssize_t written = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      return SystemError(errno);
    }
    if (written == 0) return SystemError(ENOSPC);
    data += written;
    size -= static_cast<std::size_t>(written);
    offset += static_cast<uint64_t>(written);
  }
  return Status::Ok();
}

Status SqliteFileWriter::Write(std::vector<SchemaEntry>* schema) {
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。(" + path_ + ")");
  // Page 1 holds the file header and sqlite_schema; the trees follow in schema order.
  std::vector<int64_t> bases;
  int64_t next = nextPage_;
  for (const SchemaEntry& entry : *schema) {
    bases.push_back(next);
    next += entry.tree.PageCount();
  }
  nextPage_ = 2;
  if (next - 1 > 0x7fffffff) return SystemError(EFBIG);
  const uint32_t pageCount = static_cast<uint32_t>(next - 1);

  PageRun first;
  RunBuilder builder(&first);
  PageFiller schemaPage(&builder, kTableLeaf, kFileHeaderSize);
  uint32_t used = kFileHeaderSize + PageHeaderSize(kTableLeaf);
  RecordEncoder encoder;
  std::string record;
  for (std::size_t i = 0; i < schema->size(); ++i) {
    const SchemaEntry& entry = (*schema)[i];
    encoder.Clear();
    encoder.AddText(entry.type);
    encoder.AddText(entry.name);
    encoder.AddText(entry.tableName);
    encoder.AddInt(entry.placedRoot != 0 ? int64_t{entry.placedRoot} : bases[i] + entry.tree.root);
    encoder.AddText(entry.sql);
    record.clear();
    encoder.AppendTo(&record);
    const int64_t rowid = static_cast<int64_t>(i) + 1;
    used += CellSize(kTableLeaf, static_cast<uint32_t>(record.size()), rowid) + kCellPointerSize;
    // The schema stays on page 1 whole: it is a few short statements.
    if (used > kUsable || record.size() > kMaxLocalTableLeaf) {
      return Status::Error("データベースの定義が大きすぎます。(" + path_ + ")");
    }
    schemaPage.AddCell(record, rowid, 0);
  }
  schemaPage.Finish();
  ++changeCounter_;
  WriteFileHeader(&first.pages[0], pageCount, changeCounter_);

  Status status = WriteBytes(first.pages.data(), first.pages.size(), 0);
  for (std::size_t i = 0; status.ok() && i < schema->size(); ++i) {
    PageRun& tree = (*schema)[i].tree;
    if ((*schema)[i].placedRoot != 0) continue;
    RelocateRun(&tree, bases[i]);
    status = WriteBytes(tree.pages.data(), tree.pages.size(),
                        static_cast<uint64_t>(bases[i] - 1) * kSqlitePageSize);
    RelocateRun(&tree, -bases[i]);
  }
  if (status.ok() &&
      ::ftruncate(fd_, static_cast<off_t>(uint64_t{pageCount} * kSqlitePageSize)) != 0) {
    status = SystemError(errno);
  }
  return status;
}

Status SqliteFileWriter::Place(PageRun* tree, uint32_t* root) {
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。(" + path_ + ")");
  const int64_t base = nextPage_;
  if (base + tree->PageCount() - 1 > 0x7fffffff) return SystemError(EFBIG);
  RelocateRun(tree, base);
  Status status = WriteBytes(tree->pages.data(), tree->pages.size(),
                             static_cast<uint64_t>(base - 1) * kSqlitePageSize);
  if (!status.ok()) {
    RelocateRun(tree, -base);
    return status;
  }
  nextPage_ += tree->PageCount();
  *root = static_cast<uint32_t>(base + tree->root);
  tree->Clear();
  return Status::Ok();
}

Status SqliteFileWriter::Close() {
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。(" + path_ + ")");
  int result = ::close(fd_);
  fd_ = -1;
  // The descriptor is released even when close reports an error, so it is not retried.
  if (result != 0 && errno != EINTR) return SystemError(errno);
  return Status::Ok();
}

Status SqliteFileWriter::Commit() {
  Status status = Close();
  if (tempPath_.empty()) return status;
  if (status.ok()) status = PutInPlace();
  if (status.ok()) {
    tempPath_.clear();
  } else {
    RemoveTemporary();
  }
  return status;
}

// A file already at the path is exchanged with the finished one, and the former file,
// now under the temporary name, is removed. ext4 protects programs that replace a file by
// a rename without syncing it: a rename over an existing file makes the kernel write the
// new file out at once, which costs more than writing it. An exchange is just as atomic
// and does not trigger that. Without a regular file or link at the path, or where the
// file system cannot exchange, a plain rename does the job.
Status SqliteFileWriter::PutInPlace() {
  struct stat st;
  const bool replaces =
      ::lstat(path_.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
  if (replaces &&
      ::renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE) == 0) {
    if (::unlink(tempPath_.c_str()) == 0) return Status::Ok();
    // What was exchanged in meanwhile cannot be removed (a folder): it goes back.
    const int error = errno;
    ::renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE);
    return SystemError(error);
  }
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) return SystemError(errno);
  return Status::Ok();
}

}  // namespace verko
