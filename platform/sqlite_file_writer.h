// Writes SQLite 3 database files directly in the file format, for data that is already in
// b-tree order: each table and index b-tree is loaded bottom up in one pass (leaves left to
// right, then the interior levels), without statements, journal or collation calls. The
// caller supplies the rows and index entries in order; the file is one SQLite opens as is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace verko {

// The page size of the files written here.
inline constexpr uint32_t kSqlitePageSize = 4096;

// One record in SQLite's record format: a header of serial types, then the values. The
// values are only noted as they are added and encoded once, when the record is written,
// so a text is copied once, straight to where the record goes. Reusable: Clear() empties it.
class RecordEncoder {
 public:
  // A record holds at most this many values (AddInt and AddText throw beyond it).
  static constexpr int kMaxColumns = 8;

  void Clear() {
    count_ = 0;
    typeBytes_ = 0;
    bodyBytes_ = 0;
  }
  void AddInt(int64_t value);
  // Stored as a TEXT value with exactly these bytes (an empty view is '', never NULL). The
  // bytes must stay unchanged until the record has been written.
  void AddText(std::string_view bytes);

  std::size_t Size() const;
  void AppendTo(std::string* out) const;
  // Writes the record's Size() bytes at `out`.
  void WriteTo(char* out) const;

 private:
  // A value as noted: its serial type, and the integer or where the text's bytes are (the
  // length of either follows from the type).
  struct Column {
    uint64_t type;
    union {
      int64_t value;
      const char* text;
    };
  };
  Column& Next();
  std::size_t HeaderBytes() const;

  Column columns_[kMaxColumns];
  int count_ = 0;
  std::size_t typeBytes_ = 0;  // the serial types as varints
  std::size_t bodyBytes_ = 0;
};

// The pages of one b-tree. Page numbers inside count from 0 within the run until the file
// places the run; `links` lists where they are stored.
struct PageRun {
  std::string pages;            // PageCount() pages of kSqlitePageSize bytes
  std::vector<uint32_t> links;  // byte offsets of 4-byte page numbers to relocate
  uint32_t root = 0;            // the root page within the run

  uint32_t PageCount() const { return static_cast<uint32_t>(pages.size() / kSqlitePageSize); }
  // Empties the run, keeping its memory for the next tree.
  void Clear() {
    pages.clear();
    links.clear();
    root = 0;
  }
};

// Builds a table b-tree from its rows, given in rowid order: each row goes onto its leaf
// page as it is added, so the rows are never held apart from the pages.
class TableTreeBuilder {
 public:
  // The tree's pages go into the memory of `reuse` (a run no longer needed) when given.
  explicit TableTreeBuilder(PageRun reuse = {});
  ~TableTreeBuilder();
  TableTreeBuilder(const TableTreeBuilder&) = delete;
  TableTreeBuilder& operator=(const TableTreeBuilder&) = delete;
  // Adds the row; a rowid that does not follow the last one is refused (false), in every
  // build, so that a caller's fault can never make a damaged tree.
  bool Add(int64_t rowid, const RecordEncoder& record);
  // Page memory for `rows` records of `bytes` in all, so that adding them copies no page.
  void Reserve(std::size_t rows, std::size_t bytes);
  // The tree; the builder is used up.
  PageRun Build();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Builds an index b-tree from its entries (key values, then the rowid), given in index
// order: each entry goes onto its leaf page as it is added, only the few that divide the
// leaves are kept for the levels above.
class IndexTreeBuilder {
 public:
  explicit IndexTreeBuilder(PageRun reuse = {});
  ~IndexTreeBuilder();
  IndexTreeBuilder(const IndexTreeBuilder&) = delete;
  IndexTreeBuilder& operator=(const IndexTreeBuilder&) = delete;
  // The texts of the record must stay unchanged until Build(): an entry is written onto
  // its page a little later, once it is known whether it divides two leaves.
  void Add(const RecordEncoder& record);
  // Page memory for `entries` records of `bytes` in all.
  void Reserve(std::size_t entries, std::size_t bytes);
  PageRun Build();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One row of sqlite_schema with the b-tree it describes.
struct SchemaEntry {
  std::string type;  // "table" or "index"
  std::string name;
  std::string tableName;  // the table itself, or the table an index is on
  std::string sql;        // the CREATE statement as SQLite records it (no trailing ';')
  PageRun tree;
  // The root page of a tree already written by Place() (the tree itself is then empty);
  // 0 when `tree` is to be written.
  uint32_t placedRoot = 0;
};

// A database file being written. The whole content is replaced by each Write().
class SqliteFileWriter {
 public:
  // Creates (or truncates) the file at `path` and writes it in place. On failure returns
  // null and sets *status to the system's reason.
  static std::unique_ptr<SqliteFileWriter> Create(const std::string& path, Status* status);
  // Creates a fresh file under a temporary name beside `path` (exclusive create, never
  // through a symbolic link, readable and writable by the user only); Commit() renames it
  // to `path`. So `path` never names a half-written file, and writers side by side never
  // write into each other's file. The reason of a failure names `path`.
  static std::unique_ptr<SqliteFileWriter> CreateBeside(const std::string& path, Status* status);
  // Closes, ignoring errors, and removes a temporary file that was not committed.
  ~SqliteFileWriter();
  SqliteFileWriter(const SqliteFileWriter&) = delete;
  SqliteFileWriter& operator=(const SqliteFileWriter&) = delete;

  // Writes a tree now, on the pages after those placed before (from page 2 on), and sets
  // *root to its root page; the tree is left empty, its memory kept for reuse. A schema
  // entry names it by that root, so a database can be written tree by tree as each is
  // built.
  Status Place(PageRun* tree, uint32_t* root);
  // Forgets the trees placed since the last Write(): the next Write() covers their pages.
  void DiscardPlaced() { nextPage_ = 2; }
  // Writes the database of `schema` (sqlite_schema on page 1 in the listed order, then each
  // tree not yet placed, after the placed ones) and truncates the file to it. The trees'
  // page numbers are relocated in place. The next Place() starts again at page 2.
  Status Write(std::vector<SchemaEntry>* schema);
  // Closes the file; later calls fail.
  Status Close();
  // Closes the file and, when it was made by CreateBeside, renames it over `path`
  // (replacing what is there, a link itself and not its target). On failure the temporary
  // file is removed.
  Status Commit();

 private:
  Status PutInPlace();
  SqliteFileWriter(int fd, std::string path, std::string tempPath)
      : fd_(fd), path_(std::move(path)), tempPath_(std::move(tempPath)) {}
  Status WriteBytes(const char* data, std::size_t size, uint64_t offset);
  Status SystemError(int errnum) const;
  void RemoveTemporary();

  int fd_;
  std::string path_;
  std::string tempPath_;  // empty when written in place, and once renamed or removed
  uint32_t changeCounter_ = 0;
  int64_t nextPage_ = 2;  // the first page after the placed trees
};

}  // namespace verko
