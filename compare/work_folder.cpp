#include "compare/work_folder.h"

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
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return WithSlash(home);
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return WithSlash(found->pw_dir);
  }
  return std::string();
}

std::string DefaultWorkFolder() {
  if (std::string runtime = AbsoluteVariable("XDG_RUNTIME_DIR"); !runtime.empty()) {
    return runtime + "verko/";
  }
  if (std::string cache = AbsoluteVariable("XDG_CACHE_HOME"); !cache.empty()) {
    return cache + "Verko/";
  }
  std::string home = HomeFolder();
  return home.empty() ? std::string() : home + ".cache/Verko/";
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
  if (::stat(folder.c_str(), &st) != 0) return Status::Error(SystemErrorText(errno));
  if (!S_ISDIR(st.st_mode)) return Status::Error(SystemErrorText(ENOTDIR) + "(" + folder + ")");
  return Status::Ok();
}

}  // namespace verko
