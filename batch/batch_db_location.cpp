#include "batch/batch_db_location.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/path_parts.h"
#include "common/system_error.h"

namespace verko {
namespace {

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : DirPart(exe.string());
}

std::string UserDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data == '/') return WithSlash(data) + "Verko/";
  const char* home = std::getenv("HOME");
  if (home && *home) return WithSlash(home) + ".local/share/Verko/";
  return std::string();
}

std::string ChooseBatchListDbPath(const std::string& appDir, bool appDirWritable,
                                  const std::string& userDataDir) {
  if (appDirWritable || userDataDir.empty()) return WithSlash(appDir) + kBatchListDbName;
  return WithSlash(userDataDir) + kBatchListDbName;
}

Status LocateBatchListDb(const std::string& appDir, std::string* path) {
  const std::string delivered = WithSlash(appDir) + kBatchListDbName;
  bool writable = ::access(WithSlash(appDir).c_str(), W_OK) == 0;
  *path = ChooseBatchListDbPath(appDir, writable, UserDataFolder());
  if (*path == delivered) return Status::Ok();

  return SeedBatchListDb(delivered, *path);
}

Status SeedBatchListDb(const std::string& delivered, const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(path, ec)) return Status::Ok();
  fs::create_directories(DirPart(path), ec);
  if (ec) return Status::Error(DirPart(path) + ": " + SystemErrorText(ec.value()));
  const std::string partial = path + ".part";
  fs::copy_file(delivered, partial, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(partial, path, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    return Status::Error(delivered + ": " + SystemErrorText(ec.value()));
  }
  return Status::Ok();
}

}  // namespace verko
