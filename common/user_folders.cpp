#include "common/user_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "common/system_error.h"

namespace verko {
namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// A variable of the XDG base folders counts only when it holds an absolute path.
std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? WithSlash(value) : std::string();
}

}  // namespace

std::string HomeFolder() {
  if (std::string home = AbsoluteVariable("HOME"); !home.empty()) return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return WithSlash(found->pw_dir);
  }
  return std::string();
}

std::string XdgFolder(const char* variable, const char* underHome) {
  if (std::string folder = AbsoluteVariable(variable); !folder.empty()) return folder;
  std::string home = HomeFolder();
  return home.empty() ? std::string() : WithSlash(home + underHome);
}

std::string RuntimeFolder() {
  return AbsoluteVariable("XDG_RUNTIME_DIR");
}

Status MakePrivateFolder(const std::string& folder) {
  if (folder.empty()) return Status::Error(SystemErrorText(ENOENT));
  // Each level from the top down; only the missing ones are made.
  for (std::size_t end = folder.find('/', 1); end != std::string::npos;
       end = folder.find('/', end + 1)) {
    const std::string level = folder.substr(0, end);
    if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) {
      return Status::Error(SystemErrorText(errno) + "(" + level + ")");
    }
  }
  if (folder.back() != '/' && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return Status::Error(SystemErrorText(errno) + "(" + folder + ")");
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) {
    return Status::Error(SystemErrorText(errno) + "(" + folder + ")");
  }
  if (!S_ISDIR(st.st_mode)) return Status::Error(SystemErrorText(ENOTDIR) + "(" + folder + ")");
  return Status::Ok();
}

Status CheckPrivateFolder(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    return Status::Error(SystemErrorText(errno) + "(" + folder + ")");
  }
  const std::string named = "フォルダ " + folder + " ";
  if (S_ISLNK(st.st_mode)) {
    return Status::Error(
        named +
        "はシンボリックリンクです。リンクを削除するか、別の作業フォルダを指定してください。");
  }
  if (!S_ISDIR(st.st_mode)) return Status::Error(SystemErrorText(ENOTDIR) + "(" + folder + ")");
  if (st.st_uid != ::geteuid()) {
    return Status::Error(named + "は他のユーザーのものです。別の作業フォルダを指定してください。");
  }
  if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    return Status::Error(
        named + "は他のユーザーも開けます。chmod 700 で本人だけのフォルダにしてください。");
  }
  return Status::Ok();
}

Status MakePrivateFile(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Status::Error(SystemErrorText(errno));
  struct stat st;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
             (st.st_mode & (S_IRWXG | S_IRWXO)) != 0 && ::fchmod(fd, 0600) != 0) {
    err = errno;
  }
  ::close(fd);
  return err == 0 ? Status::Ok() : Status::Error(SystemErrorText(err));
}

}  // namespace verko
