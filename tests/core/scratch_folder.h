// A temporary folder for tests that touch the file system: made under /tmp when the test
// starts and removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace verko {

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = "/tmp/verko-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool Made() const { return !path_.empty(); }
  // The folder with a trailing separator, ready to take a file name.
  std::string Path() const { return path_ + "/"; }

 private:
  std::string path_;
};

}  // namespace verko
