#include "compare/result_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/system_error.h"

namespace verko {

Status ResultFile::Open(const std::string& path, ResultPlacement placement) {
  (void)Close(Unwritten::kKeep);
  written_ = 0;
  emptied_ = false;
  failed_ = false;
  wrote_ = false;
  if (placement == ResultPlacement::kBeside) return beside_.Open(path);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  struct stat st;
  fd_ = fd;
  regular_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  return Status::Ok();
}

Status ResultFile::Write(std::string_view bytes) {
  if (beside_.IsOpen()) {
    Status status = beside_.Write(bytes);
    failed_ = failed_ || !status.ok();
    wrote_ = true;
    return status;
  }
  if (regular_ && !emptied_) {
    if (::ftruncate(fd_, 0) != 0) return Status::Error(SystemErrorText(errno));
    emptied_ = true;
  }
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error(SystemErrorText(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    written_ += static_cast<std::uint64_t>(n);
  }
  return Status::Ok();
}

void ResultFile::Discard() {
  written_ = 0;
  failed_ = true;
  // Nothing of the report stays, even where nothing was written yet.
  emptied_ = true;
}

Status ResultFile::Close(Unwritten unwritten) {
  if (beside_.IsOpen()) {
    if (wrote_ && !failed_) return beside_.Commit();
    beside_.Abandon();
    return Status::Ok();
  }
  if (fd_ < 0) return Status::Ok();
  int err = 0;
  const bool cut = emptied_ || unwritten == Unwritten::kEmpty;
  if (regular_ && cut && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0) err = errno;
  if (::close(fd_) != 0 && err == 0) err = errno;
  fd_ = -1;
  return err == 0 ? Status::Ok() : Status::Error(SystemErrorText(err));
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace verko
