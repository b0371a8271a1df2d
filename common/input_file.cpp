#include "common/input_file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/system_error.h"

namespace verko {

Status InputFile::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  return Adopt(fd);
}

Status InputFile::OpenStandardInput() {
  Close();
  const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  return Adopt(fd);
}

Status InputFile::Adopt(int fd) {
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
  length_ = 0;
  if (S_ISREG(st.st_mode)) {
    // Standard input may stand inside its file, after what an earlier reader took.
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at < st.st_size) length_ = static_cast<std::uint64_t>(st.st_size - at);
  }
  return Status::Ok();
}

Status InputFile::Read(char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  for (;;) {
    if (length_ == 0 && (stop_ || alsoStop_)) {
      // A pipe or device may deliver nothing for ever: wait in steps of 100 ms.
      pollfd wait{fd_, POLLIN, 0};
      const int ready = ::poll(&wait, 1, 100);
      if (Stopped()) return Status::Error(SystemErrorText(EINTR));
      if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    }
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) {
      *got = static_cast<std::size_t>(n);
      return Status::Ok();
    }
    if (errno != EINTR || Stopped()) return Status::Error(SystemErrorText(errno));
  }
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace verko
