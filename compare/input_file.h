// An input file of a comparison: opened when the run opens its files (so a missing file, a
// folder or an unreadable file is refused before anything is written) and read whole in
// the read phase.
#pragma once

#include <string>

#include "common/status.h"

namespace verko {

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { Close(); }

  // Opens the file for reading; a folder is refused as "is a directory".
  Status Open(const std::string& path);
  // Reads the whole content. Requires a successful Open.
  Status ReadAll(std::string& content);
  void Close();

 private:
  int fd_ = -1;
};

}  // namespace verko
