#include "batch/batch_db_location.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/fresh_file.h"
#include "common/path_parts.h"
#include "common/system_error.h"
#include "common/user_folders.h"

namespace verko {
namespace {

Status FileError(int errnum, const std::string& path) {
  return Status::Error(SystemErrorText(errnum) + "(" + path + ")");
}

// Copies everything readable from `in` to `out`, flushed to the disk.
Status CopyContent(int in, int out, const std::string& from, const std::string& to) {
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileError(errno, from);
    if (got == 0) break;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return FileError(errno, to);
      done += put;
    }
  }
  if (::fsync(out) != 0) return FileError(errno, to);
  return Status::Ok();
}

// Gives the finished copy (under a temporary name) its name unless a file has taken it
// meanwhile (another program seeding at the same moment): that one is kept. An unnamed copy
// is linked the same way, where nothing stands.
Status PutInPlace(const std::string& temp, const std::string& path) {
  if (::link(temp.c_str(), path.c_str()) == 0 || errno == EEXIST) return Status::Ok();
  // File systems without hard links: a rename, still only where nothing is.
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) return Status::Ok();
  if (::rename(temp.c_str(), path.c_str()) != 0) return FileError(errno, path);
  return Status::Ok();
}

}  // namespace

std::string UserDataFolder() {
  std::string data = XdgFolder("XDG_DATA_HOME", ".local/share");
  return data.empty() ? std::string() : data + "Verko/";
}

std::string DeliveredBatchListDb(const std::string& programFolder) {
  return DeliveredFile(programFolder, kBatchListDbName);
}

Status LocateBatchListDb(const std::string& programFolder, std::string* path) {
  const std::string folder = UserDataFolder();
  *path = folder + kBatchListDbName;
  if (folder.empty()) return Status::Error("ユーザーのデータフォルダがわかりません。(HOME)");
  return SeedBatchListDb(DeliveredBatchListDb(programFolder), *path);
}

Status SeedBatchListDb(const std::string& delivered, const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) return Status::Ok();
  Status status = MakePrivateFolder(DirPart(path));
  if (!status.ok()) return status;
  const int in = ::open(delivered.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return FileError(errno, delivered);
  FreshFile out;
  if (!CreateFreshFile(path, &out)) {
    status = FileError(errno, path);
    ::close(in);
    return status;
  }
  status = CopyContent(in, out.fd, delivered, path);
  ::close(in);
  // An unnamed copy is linked before it is closed: it has no other name to be found by.
  if (status.ok() && out.tempPath.empty() && !LinkUnnamedFile(out.fd, path) && errno != EEXIST) {
    status = FileError(errno, path);
  }
  if (::close(out.fd) != 0 && status.ok()) status = FileError(errno, path);
  if (!out.tempPath.empty()) {
    if (status.ok()) status = PutInPlace(out.tempPath, path);
    ::unlink(out.tempPath.c_str());
  }
  return status;
}

}  // namespace verko
