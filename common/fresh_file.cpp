#include "common/fresh_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string_view>

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

constexpr std::size_t kTemporaryLetters = 10;
constexpr std::string_view kLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

bool IsTemporaryLetter(char c) {
  return kLetters.find(c) != std::string_view::npos;
}

// `path` + ".tmp-" + ten random letters.
std::string TemporaryName(const std::string& path, std::random_device& random) {
  std::string name = path + ".tmp-";
  for (std::size_t i = 0; i < kTemporaryLetters; ++i) name += kLetters[random() % kLetters.size()];
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
  if (fd < 0) {
    tempPath->clear();
    return fd;
  }
  // Held while the file is open, so that another run tells it from one a killed run left.
  (void)::flock(fd, LOCK_EX | LOCK_NB);
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

int RemoveKeepingOpen(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  struct stat st;
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    fd = -1;
  }
  if (::unlink(path.c_str()) != 0) {
    const int error = errno;
    if (fd >= 0) ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

void RemoveLeftFreshFiles(const std::string& path) {
  const std::string folder = DirPart(path);
  const std::string prefix = FileNamePart(path) + ".tmp-";
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + kTemporaryLetters || !name.starts_with(prefix) ||
        !std::ranges::all_of(name.substr(prefix.size()), IsTemporaryLetter)) {
      continue;
    }
    const std::string left = folder + std::string(name);
    const int fd = ::open(left.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    // A writer that lives holds its file's lock: only what nobody holds is left behind.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      ::unlink(left.c_str());
    }
    ::close(fd);
  }
  ::closedir(dir);
}

bool NameFreshFile(FreshFile* file, const std::string& path) {
  if (!file->tempPath.empty()) return true;
  // Held from before it has a name, as a named fresh file is (see RemoveLeftFreshFiles).
  (void)::flock(file->fd, LOCK_EX | LOCK_NB);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TemporaryName(path, random);
    if (LinkUnnamedFile(file->fd, name)) {
      file->tempPath = std::move(name);
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
