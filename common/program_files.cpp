#include "common/program_files.h"

#include <filesystem>
#include <system_error>

#include "common/path_parts.h"

// The installed data folder seen from the installed programs' folder; the build passes the
// one its install rules use.
#ifndef VERKO_DATA_FROM_PROGRAM
#define VERKO_DATA_FROM_PROGRAM "../share/verko/"
#endif

namespace verko {

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : DirPart(exe.string());
}

std::string DeliveredFile(const std::string& programFolder, const std::string& name) {
  return ProgramFileIn(programFolder, name, VERKO_DATA_FROM_PROGRAM);
}

std::string ProgramFileIn(const std::string& programFolder, const std::string& name,
                          const std::string& installedFolder) {
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  const std::string beside = folder + name;
  std::error_code ec;
  if (std::filesystem::is_regular_file(beside, ec)) return beside;
  const std::string installed = folder + installedFolder + name;
  if (std::filesystem::is_regular_file(installed, ec)) {
    return std::filesystem::path(installed).lexically_normal().string();
  }
  return beside;
}

}  // namespace verko
