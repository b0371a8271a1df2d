#include "platform/sqlite_file_writer.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "common/fresh_file.h"
#include "common/system_error.h"
#include "platform/sqlite_format.h"
#include "platform/sqlite_page_filler.h"
#include "platform/sqlite_record.h"

namespace verko {
namespace {

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

std::unique_ptr<SqliteFileWriter> SqliteFileWriter::Create(const std::string& path,
                                                           Status* status) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    *status = Status::Error(SystemErrorText(errno));
    return nullptr;
  }
  *status = Status::Ok();
  return std::unique_ptr<SqliteFileWriter>(new SqliteFileWriter(fd, path, std::string()));
}

std::unique_ptr<SqliteFileWriter> SqliteFileWriter::CreateBeside(const std::string& path,
                                                                 Status* status) {
  FreshFile file;
  if (!CreateFreshFile(path, &file)) {
    *status = Status::Error(SystemErrorText(errno));
    return nullptr;
  }
  *status = Status::Ok();
  auto writer = std::unique_ptr<SqliteFileWriter>(
      new SqliteFileWriter(file.fd, path, std::move(file.tempPath)));
  writer->unnamed_ = writer->tempPath_.empty();
  return writer;
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
  return Status::Error(SystemErrorText(errnum));
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
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。");
  // Page 1 holds the file header and sqlite_schema; the trees follow in schema order.
  std::vector<int64_t> bases;  // the first page of each tree
  int64_t next = nextPage_;
  for (const SchemaEntry& entry : *schema) {
    bases.push_back(next);
    next += entry.tree.PageCount();
  }
  nextPage_ = 2;
  if (next - 1 > 0x7fffffff) return SystemError(EFBIG);
  const uint32_t pageCount = static_cast<uint32_t>(next - 1);

  PageRun firstPage;
  RunBuilder builder(&firstPage);
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
    if (used > kUsableSize || record.size() > kMaxLocalTableLeaf) {
      return Status::Error("データベースの定義が大きすぎます。");
    }
    schemaPage.AddCell(record, rowid, 0);
  }
  schemaPage.Finish();
  ++changeCounter_;
  WriteFileHeader(&firstPage.pages[0], pageCount, changeCounter_);

  Status status = WriteBytes(firstPage.pages.data(), firstPage.pages.size(), 0);
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
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。");
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
  if (fd_ < 0) return Status::Error("データベースファイルが閉じられています。");
  int result = ::close(fd_);
  fd_ = -1;
  // The descriptor is released even when close reports an error, so it is not retried.
  if (result != 0 && errno != EINTR) return SystemError(errno);
  return Status::Ok();
}

Status SqliteFileWriter::Commit() {
  if (unnamed_) {
    Status status = fd_ >= 0 ? LinkInPlace() : Close();
    if (fd_ >= 0) {
      Status closed = Close();
      if (status.ok()) status = closed;
    }
    unnamed_ = false;
    return status;
  }
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

// The unnamed file takes the path, in place of what stands there (the former database, a
// link). Another writer that puts its file there in between is replaced in turn, as a
// rename over it would; a folder there stays, and the commit fails.
Status SqliteFileWriter::LinkInPlace() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (LinkUnnamedFile(fd_, path_)) return Status::Ok();
    if (errno != EEXIST) return SystemError(errno);
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) return SystemError(errno);
  }
  return SystemError(EEXIST);
}

// A file already at the path is exchanged with the finished one, and the former file,
// now under the temporary name, is removed. ext4 protects programs that replace a file by
// a rename without syncing it: a rename over an existing file makes the kernel write the
// new file out at once, which costs more than writing it. An exchange is just as atomic
// and does not trigger that. Without a regular file or link at the path, or where the
// file system cannot exchange, a plain rename does the job.
Status SqliteFileWriter::PutInPlace() {
  struct stat existing;
  const bool replaces = ::lstat(path_.c_str(), &existing) == 0 &&
                        (S_ISREG(existing.st_mode) || S_ISLNK(existing.st_mode));
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
