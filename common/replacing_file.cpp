#include "common/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "common/system_error.h"

namespace verko {
namespace {

// The mode a new file gets: 0666 less the umask. The umask is read, not set and restored:
// it is the whole process's, and runs side by side make files meanwhile.
mode_t NewFileMode() {
  unsigned mask = 022;
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[128];
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
    }
    std::fclose(status);
  }
  return 0666 & ~static_cast<mode_t>(mask);
}

bool IsLink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The file that `path` leads to through its links; the path itself when it is no link.
std::string TargetOf(const std::string& path) {
  if (!IsLink(path)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string target(real);
  std::free(real);
  return target;
}

}  // namespace

Status ReplacingFile::Open(const std::string& path) {
  Abandon();
  target_ = TargetOf(path);
  written_ = 0;
  emptied_ = false;
  struct stat st;
  const bool exists = ::stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return Status::Error(SystemErrorText(EISDIR));
  // A device or a pipe is no file to replace; a link that leads nowhere yet is written
  // through, so that it stays a link.
  if ((exists && !S_ISREG(st.st_mode)) || (!exists && IsLink(target_))) return OpenTargetInPlace();
  // What a writer of this file killed between naming its new file and the rename left.
  RemoveLeftFreshFiles(target_);
  if (!CreateFreshFile(target_, &fresh_)) {
    const int error = errno;
    // A folder that takes no new file may still let the file itself be written.
    if (exists && (error == EACCES || error == EPERM)) return OpenTargetInPlace();
    return Status::Error(SystemErrorText(error));
  }
  fd_ = fresh_.fd;
  // The former file's owner where the system allows (a group of the user's, or as root); a
  // change of owner clears the set-ID bits, so the mode comes after it.
  if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0) {
      // Not allowed: the new file is the user's own.
    }
  }
  (void)::fchmod(fd_, exists ? st.st_mode & 07777 : NewFileMode());
  return Status::Ok();
}

Status ReplacingFile::OpenInPlace(const std::string& path) {
  Abandon();
  target_ = path;
  written_ = 0;
  emptied_ = false;
  return OpenTargetInPlace();
}

Status ReplacingFile::OpenTargetInPlace() {
  int fd;
  do {
    fd = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  struct stat st;
  fd_ = fd;
  inPlace_ = true;
  regular_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  return Status::Ok();
}

Status ReplacingFile::Write(std::string_view bytes) {
  if (inPlace_ && regular_ && !emptied_) {
    if (::ftruncate(fd_, 0) != 0) return Status::Error(SystemErrorText(errno));
    emptied_ = true;
  }
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error(SystemErrorText(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    written_ += static_cast<std::uint64_t>(n);
  }
  return Status::Ok();
}

Status ReplacingFile::Commit() {
  if (fd_ < 0) return Status::Ok();
  int error = 0;
  if (inPlace_) {
    if (regular_ && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    inPlace_ = false;
    return error == 0 ? Status::Ok() : Status::Error(SystemErrorText(error));
  }
  // An unnamed file takes a name of its own first: the rename puts it in place in one step.
  if (!NameFreshFile(&fresh_, target_)) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error == 0 && ::rename(fresh_.tempPath.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    Abandon();
    return Status::Error(SystemErrorText(error));
  }
  fresh_ = FreshFile();
  return Status::Ok();
}

void ReplacingFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!inPlace_ && !fresh_.tempPath.empty()) ::unlink(fresh_.tempPath.c_str());
  fresh_ = FreshFile();
  inPlace_ = false;
}

Status ReplaceFileWith(const std::string& path, std::string_view bytes) {
  ReplacingFile file;
  Status status = file.Open(path);
  if (status.ok()) status = file.Write(bytes);
  if (status.ok()) status = file.Commit();
  return status;
}

}  // namespace verko
