#include "compare/work_folder.h"

#include "common/user_folders.h"

namespace verko {

std::string DefaultWorkFolder() {
  if (std::string runtime = RuntimeFolder(); !runtime.empty()) return runtime + "verko/";
  std::string cache = XdgFolder("XDG_CACHE_HOME", ".cache");
  return cache.empty() ? std::string() : cache + "Verko/";
}

Status PrepareWorkFolder(const std::string& folder) {
  if (folder.empty()) return Status::Ok();
  const std::string own = DefaultWorkFolder();
  if (own.empty() || (folder != own && folder + "/" != own)) return Status::Ok();
  Status status = MakePrivateFolder(own);
  return status.ok() ? CheckPrivateFolder(own) : status;
}

}  // namespace verko
