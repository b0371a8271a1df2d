#include "common/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/fresh_file.h"
#include "common/system_error.h"

namespace verko {
namespace {

Status FileError(const std::string& path, int errnum) {
  return Status::Error("ファイル「" + path + "」を書き込めません。\n" + SystemErrorText(errnum));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes `bytes` beside `path` and renames the complete file over it, with `mode`.
Status ReplaceWhenComplete(const std::string& path, std::string_view bytes, mode_t mode) {
  FreshFile fresh;
  if (!CreateFreshFile(path, &fresh)) return FileError(path, errno);
  std::string temp = fresh.tempPath;
  const bool written =
      WriteAll(fresh.fd, bytes) && ::fchmod(fresh.fd, mode) == 0 && ::fsync(fresh.fd) == 0;
  int errnum = errno;
  // An unnamed file gets a name of its own beside the path, to be renamed over it.
  for (int attempt = 0; written && temp.empty() && attempt < 100; ++attempt) {
    const std::string name =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    if (LinkUnnamedFile(fresh.fd, name)) temp = name;
    errnum = errno;
    if (errnum != EEXIST) break;
  }
  ::close(fresh.fd);
  if (!written || temp.empty()) {
    if (!temp.empty()) ::unlink(temp.c_str());
    return FileError(path, errnum);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    errnum = errno;
    ::unlink(temp.c_str());
    return FileError(path, errnum);
  }
  return Status::Ok();
}

}  // namespace

std::string LineFile::Bytes() const {
  std::string bytes = bom ? std::string(kUtf8Bom) : std::string();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bytes += lines[i];
    if (i + 1 < lines.size() || endsWithLineEnd) bytes += lineEnd;
  }
  return bytes;
}

Status ReadLineFile(const std::string& path, TextEncoding encoding, LineFile* file) {
  if (IsUtf16(encoding)) {
    return Status::Error("UTF-16 のファイル「" + path + "」は書き戻せないため、編集できません。");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Error("ファイル「" + path + "」を読めません。");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  *file = LineFile();
  file->encoding = encoding;
  std::string_view rest(bytes);
  if (encoding == TextEncoding::kUtf8 && HasUtf8Bom(rest)) {
    file->bom = true;
    rest.remove_prefix(kUtf8Bom.size());
  }
  bool lineEndSeen = false;
  file->endsWithLineEnd = rest.empty();
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of("\r\n");
    file->lines.emplace_back(rest.substr(0, std::min(end, rest.size())));
    if (end == std::string_view::npos) {
      file->endsWithLineEnd = false;
      break;
    }
    const std::size_t length = rest.substr(end, 2) == "\r\n" ? 2 : 1;
    if (!lineEndSeen) file->lineEnd = std::string(rest.substr(end, length));
    lineEndSeen = true;
    rest.remove_prefix(end + length);
    file->endsWithLineEnd = rest.empty();
  }
  return Status::Ok();
}

bool EncodeLine(std::string_view utf8, TextEncoding encoding, std::string* bytes,
                std::string* missing) {
  bytes->clear();
  missing->clear();
  uint32_t codePoint = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const std::size_t length = DecodeCharacter(utf8, pos, TextEncoding::kUtf8, &codePoint);
    const std::string_view character = utf8.substr(pos, std::max<std::size_t>(length, 1));
    if (length == 0 || !EncodeCharacter(codePoint, encoding, bytes)) {
      if (missing->find(character) == std::string::npos) *missing += character;
    }
    pos += std::max<std::size_t>(length, 1);
  }
  return missing->empty();
}

Status WriteLineFile(const std::string& path, const LineFile& file) {
  // A link is followed: the file it names is the one edited.
  char resolved[PATH_MAX];
  const std::string target = ::realpath(path.c_str(), resolved) ? resolved : path;
  struct stat info;
  if (::stat(target.c_str(), &info) != 0) return FileError(path, errno);
  const std::string backup = target + ".orig";
  struct stat existing;
  if (::lstat(backup.c_str(), &existing) != 0) {
    std::ifstream in(target, std::ios::binary);
    const std::string former((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return Status::Error("ファイル「" + path + "」を読めません。");
    if (Status kept = ReplaceWhenComplete(backup, former, info.st_mode & 07777); !kept.ok()) {
      return kept;
    }
  }
  return ReplaceWhenComplete(target, file.Bytes(), info.st_mode & 07777);
}

}  // namespace verko
