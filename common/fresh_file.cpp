#include "common/fresh_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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

// `path` + ".tmp-" + ten random letters.
std::string TemporaryName(const std::string& path, std::random_device& random) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = path + ".tmp-";
  for (int i = 0; i < 10; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return name;
}

int OpenNamed(const std::string& path, std::string* tempPath) {
  // A name nobody else uses: another writer of the same path makes its own, and a link
  // planted at a guessed name is refused rather than followed.
  std::random_device random;
  int fd = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = TemporaryName(path, random);
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

bool MoveAside(const std::string& path, std::string* asidePath) {
  asidePath->clear();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TemporaryName(path, random);
    // NOREPLACE keeps whatever stands at the chosen name (another writer's file).
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0) {
      *asidePath = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool LinkUnnamedFile(int fd, const std::string& path) {
  const std::string self = kOwnDescriptors + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace verko
