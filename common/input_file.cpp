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
  // Without O_NONBLOCK, opening a named pipe waits until a writer opens it, a wait no stop
  // flag can end; its reads then poll for the writer instead (see Read).
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
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
  regular_ = S_ISREG(st.st_mode);
  if (regular_) {
    // Standard input may stand inside its file, after what an earlier reader took.
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at < st.st_size) length_ = static_cast<std::uint64_t>(st.st_size - at);
  }
  return Status::Ok();
}

Status InputFile::Read(char* buffer, std::size_t size, std::size_t* got) {
  *got = 0;
  for (;;) {
    if (Waits()) {
      // A pipe or device may deliver nothing for ever. It is polled first: a named pipe that
      // no writer has opened yet reads as its end, and one opened without blocking may have
      // nothing to read yet. Without anything to serve the poll waits as long as it takes.
      ServeWhileWaiting();
      if (Stopped()) return Status::Error(SystemErrorText(EINTR));
      const bool steps = stop_ || alsoStop_ || whileWaiting_;
      pollfd wait{fd_, POLLIN, 0};
      const int ready = ::poll(&wait, 1, steps ? static_cast<int>(kWaitStep.count()) : -1);
      if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    }
    ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) {
      *got = static_cast<std::size_t>(n);
      return Status::Ok();
    }
    if (errno == EAGAIN && Waits()) continue;
    if (errno != EINTR || Stopped()) return Status::Error(SystemErrorText(errno));
  }
}

void InputFile::ServeWhileWaiting() {
  if (!whileWaiting_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - served_ < kWaitStep) return;
  served_ = now;
  whileWaiting_();
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace verko
