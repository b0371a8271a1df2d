#include "common/user_folders.h"

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

}  // namespace verko
