// The result file of a comparison: created (or emptied, keeping its mode, owner and links)
// when the run opens its files, and written with every error (a full disk, a failing
// device) reported, never lost. A run that writes nothing (refused, cancelled before the
// report) leaves it empty; one killed while it writes leaves the head of its report.
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
