#include "compare/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/system_error.h"

namespace verko {

Status InputFile::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    int err = errno;
    ::close(fd);
    return Status::Error(SystemErrorText(err));
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Status::Error(SystemErrorText(EISDIR));
  }
  fd_ = fd;
  return Status::Ok();
}

Status InputFile::ReadAll(std::string& content) {
  content.clear();
  struct stat st;
  if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) content.reserve(st.st_size);
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n == 0) return Status::Ok();
    if (n < 0) {
      if (errno == EINTR) continue;
      return Status::Error(SystemErrorText(errno));
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace verko
