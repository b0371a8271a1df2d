// The result file of a comparison: created when the run opens its files, and written with
// every error (a full disk, a failing device) reported, never lost. An existing file is
// written over and cut to what was written when it is closed, so a run that writes nothing
// (refused, cancelled before the report) leaves it empty, as truncating it at the start
// would; writing over the pages a file already has costs less than giving them up and
// allocating new ones.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/status.h"

namespace verko {

class ResultFile {
 public:
  ResultFile() = default;
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;
  ~ResultFile() { (void)Close(); }

  Status Open(const std::string& path);
  Status Write(std::string_view bytes);
  // Counts nothing as written: the file is cut to empty when closed.
  void Discard() { written_ = 0; }
  // Closes the file; reports a failure of the last writes that only closing reveals.
  Status Close();
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  bool regular_ = false;  // a regular file is cut to its written length when closed
  std::uint64_t written_ = 0;
};

// Whether two paths name the same existing file (same device and inode), however spelt.
bool IsSameFile(const std::string& a, const std::string& b);
// Whether anything exists at the path (a file or a folder).
bool PathExists(const std::string& path);

}  // namespace verko
