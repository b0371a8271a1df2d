#include "compare/result_file.h"

#include <sys/stat.h>

namespace verko {

Status ResultFile::Open(const std::string& path, ResultPlacement placement) {
  (void)Close(Unwritten::kKeep);
  placement_ = placement;
  wrote_ = failed_ = discarded_ = false;
  return placement == ResultPlacement::kBeside ? file_.Open(path) : file_.OpenInPlace(path);
}

Status ResultFile::Write(std::string_view bytes) {
  wrote_ = true;
  Status status = file_.Write(bytes);
  failed_ = failed_ || !status.ok();
  return status;
}

void ResultFile::Discard() {
  discarded_ = true;
  file_.Discard();
}

Status ResultFile::Close(Unwritten unwritten) {
  if (!file_.IsOpen()) return Status::Ok();
  const bool beside = placement_ == ResultPlacement::kBeside;
  if (beside ? (!wrote_ || failed_ || discarded_)
             : (!wrote_ && !discarded_ && unwritten == Unwritten::kKeep)) {
    file_.Abandon();
    return Status::Ok();
  }
  return file_.Commit();
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace verko
