#include "batch/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace verko {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// An open regular file, closed when it goes.
class OpenFile {
 public:
  // Non-blocking, so that a pipe put in a file's place is refused rather than waited on.
  explicit OpenFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)) {
    struct stat st;
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
      size_ = static_cast<std::size_t>(st.st_size);
      ok_ = true;
    }
  }
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  bool ok() const { return ok_; }
  std::size_t size() const { return size_; }

  // Fills `buffer` with up to `want` bytes; the count read, or -1 on an error.
  long Read(char* buffer, std::size_t want) {
    std::size_t got = 0;
    while (got < want) {
      const ssize_t n = ::read(fd_, buffer + got, want - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
  }

 private:
  int fd_;
  std::size_t size_ = 0;
  bool ok_ = false;
};

bool HoldsNul(const char* bytes, long count) {
  return count > 0 &&
         std::memchr(bytes, '\0', std::min<std::size_t>(count, kBinaryProbeBytes)) != nullptr;
}

}  // namespace

FileBytes CompareFileBytes(const std::string& oldPath, const std::string& newPath) {
  FileBytes bytes;
  OpenFile oldFile(oldPath), newFile(newPath);
  if (!oldFile.ok() || !newFile.ok()) return bytes;
  // Kept for the thread's next pair: a folder run compares many.
  thread_local std::vector<char> oldBuffer(kChunk), newBuffer(kChunk);
  const bool sameSize = oldFile.size() == newFile.size();
  // Files of different sizes differ: only their heads are read, to tell binary ones.
  const std::size_t first = sameSize ? kChunk : kBinaryProbeBytes;
  long oldGot = oldFile.Read(oldBuffer.data(), first);
  long newGot = newFile.Read(newBuffer.data(), first);
  if (oldGot < 0 || newGot < 0) return bytes;
  bytes.binary = HoldsNul(oldBuffer.data(), oldGot) || HoldsNul(newBuffer.data(), newGot);
  bytes.readable = true;
  if (!sameSize) return bytes;
  // The sizes were taken at the opening; a file that grows or shrinks meanwhile shows as a
  // difference in what is read.
  for (;;) {
    if (oldGot != newGot ||
        std::memcmp(oldBuffer.data(), newBuffer.data(), static_cast<std::size_t>(oldGot)) != 0) {
      return bytes;
    }
    if (oldGot < static_cast<long>(kChunk)) break;
    oldGot = oldFile.Read(oldBuffer.data(), kChunk);
    newGot = newFile.Read(newBuffer.data(), kChunk);
    if (oldGot < 0 || newGot < 0) {
      bytes.readable = false;
      return bytes;
    }
  }
  bytes.equal = true;
  return bytes;
}

bool PairLooksBinary(const std::string& oldPath, const std::string& newPath) {
  OpenFile oldFile(oldPath), newFile(newPath);
  if (!oldFile.ok() || !newFile.ok()) return false;
  char oldHead[kBinaryProbeBytes], newHead[kBinaryProbeBytes];
  const long oldGot = oldFile.Read(oldHead, kBinaryProbeBytes);
  const long newGot = newFile.Read(newHead, kBinaryProbeBytes);
  if (oldGot < 0 || newGot < 0) return false;
  return HoldsNul(oldHead, oldGot) || HoldsNul(newHead, newGot);
}

}  // namespace verko
