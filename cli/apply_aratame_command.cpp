#include "cli/apply_aratame_command.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "report/aratame_applier.h"

namespace verko {
namespace {

bool ReadWhole(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream bytes;
  bytes << in.rdbuf();
  *text = bytes.str();
  return !in.bad();
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

}  // namespace

int RunApplyAratame(const std::string& amendment, const std::string& old, const std::string& result,
                    std::FILE* err) {
  if (SameFile(result, amendment) || SameFile(result, old)) {
    std::fprintf(err, "verko-cli: 結果ファイル %s は改め文または旧ファイルと同じファイルです。\n",
                 result.c_str());
    return 2;
  }
  std::string amendmentText, oldText;
  for (auto [path, text] : {std::pair{&amendment, &amendmentText}, std::pair{&old, &oldText}}) {
    if (!ReadWhole(*path, text)) {
      std::fprintf(err, "verko-cli: %s を読めません。\n", path->c_str());
      return 2;
    }
  }
  std::vector<std::string> lines = SplitLines(oldText);
  std::string error;
  if (!ApplyAratame(amendmentText, &lines, &error)) {
    std::fprintf(err, "verko-cli: %s\n", error.c_str());
    return 2;
  }
  std::string lineEnd = oldText.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string out;
  for (const std::string& line : lines) out += line + lineEnd;
  std::string temporary = result + ".verko-tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << out;
    file.flush();
    if (!file) {
      std::filesystem::remove(temporary);
      std::fprintf(err, "verko-cli: %s に書き込めません。\n", result.c_str());
      return 2;
    }
  }
  std::error_code moved;
  std::filesystem::rename(temporary, result, moved);
  if (moved) {
    std::filesystem::remove(temporary);
    std::fprintf(err, "verko-cli: %s に書き込めません（%s）。\n", result.c_str(),
                 moved.message().c_str());
    return 2;
  }
  return 0;
}

}  // namespace verko
