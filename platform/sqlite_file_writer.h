// Writes SQLite 3 database files directly in the file format: page 1 with the file header
// and sqlite_schema, then the table and index b-trees the builders made, without statements,
// journal or collation calls. The file is one SQLite opens as is.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/status.h"
#include "platform/sqlite_page_run.h"

namespace verko {

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
  // Creates a fresh file in the folder of `path`, readable and writable by the user only:
  // unnamed where the file system allows (a program killed meanwhile leaves nothing), else
  // under a temporary name (exclusive create, never through a symbolic link). Commit() puts
  // it at `path`. So `path` never names a half-written file, and writers running at the same
  // time never write into each other's file. Reasons of failures are the system's alone: the
  // caller names the file.
  static std::unique_ptr<SqliteFileWriter> CreateBeside(const std::string& path, Status* status);
  // Closes, ignoring errors, and removes a temporary file that was not committed.
  ~SqliteFileWriter();
  SqliteFileWriter(const SqliteFileWriter&) = delete;
  SqliteFileWriter& operator=(const SqliteFileWriter&) = delete;

  // Writes a tree at once, on the pages that follow the trees placed since the last Write()
  // (the first from page 2), and sets *root to its root page; the tree is left empty, its
  // memory kept for reuse. A schema entry names it by that root, so a database can be
  // written tree by tree as each is built.
  Status Place(PageRun* tree, uint32_t* root);
  // Forgets the trees placed since the last Write(): the next Place() or Write() writes
  // over their pages.
  void DiscardPlaced() { nextPage_ = 2; }
  // Writes the database of `schema` (sqlite_schema on page 1 in the listed order, then each
  // tree not yet placed, after the placed ones) and truncates the file to it. The trees'
  // page numbers are relocated in place. After it, Place() begins a new database at page 2.
  Status Write(std::vector<SchemaEntry>* schema);
  // Closes the file; later calls fail.
  Status Close();
  // Closes the file and, when it was made by CreateBeside, puts it at `path`, replacing
  // what is there (a symbolic link itself, not its target). On failure a temporary file is
  // removed.
  Status Commit();

 private:
  Status PutInPlace();
  Status LinkInPlace();
  SqliteFileWriter(int fd, std::string path, std::string tempPath)
      : fd_(fd), path_(std::move(path)), tempPath_(std::move(tempPath)) {}
  Status WriteBytes(const char* data, std::size_t size, uint64_t offset);
  Status SystemError(int errnum) const;
  void RemoveTemporary();

  int fd_;
  std::string path_;
  std::string tempPath_;  // empty when written in place, and once renamed or removed
  bool unnamed_ = false;  // made by CreateBeside without a name, not yet put in place
  uint32_t changeCounter_ = 0;
  int64_t nextPage_ = 2;  // the first page after the placed trees
};

}  // namespace verko
