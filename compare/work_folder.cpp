#include "compare/work_folder.h"

#include "common/user_folders.h"

namespace verko {

std::string DefaultWorkFolder() {
  if (std::string runtime = RuntimeFolder(); !runtime.empty()) return runtime + "verko/";
  std::string cache = XdgFolder("XDG_CACHE_HOME", ".cache");
  return cache.empty() ? std::string() : cache + "Verko/";
}

}  // namespace verko
