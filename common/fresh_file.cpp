#include "common/fresh_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "common/path_parts.h"

namespace verko {
namespace {

// The name an unnamed file is linked through; without /proc it cannot be linked at all.
constexpr const char* kOwnDescriptors = "/proc/self/fd/";

int OpenUnnamed(const std::string& path) {
  if (::access(kOwnDescriptors, X_OK) != 0) return -1;
  const std::string folder = DirPart(path);
  int fd;
  do {
    fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

int OpenNamed(const std::string& path, std::string* tempPath) {
  // A name nobody else uses: another writer of the same path makes its own, and a link
  // planted at a guessed name is refused rather than followed.
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  int fd = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = path + ".tmp-";
    for (int i = 0; i < 10; ++i) *tempPath += kLetters[random() % (sizeof kLetters - 1)];
    do {
      fd = ::open(tempPath->c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EEXIST) break;
  }
  if (fd < 0) tempPath->clear();
  return fd;
}

}  // namespace

bool CreateFreshFile(const std::string& path, FreshFile* file) {
  file->tempPath.clear();
  file->fd = OpenUnnamed(path);
  // A file system without unnamed files (EOPNOTSUPP, EISDIR on old kernels) gets a named
  // one; a folder that refuses files refuses both, and says why with the named one.
  if (file->fd < 0) file->fd = OpenNamed(path, &file->tempPath);
  return file->fd >= 0;
}

bool LinkUnnamedFile(int fd, const std::string& path) {
  const std::string self = kOwnDescriptors + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace verko
