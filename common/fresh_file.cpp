#include "common/fresh_file.h"

#include <fcntl.h>

#include <cerrno>
#include <random>

namespace verko {

int CreateFreshFile(const std::string& path, std::string* tempPath) {
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

}  // namespace verko
