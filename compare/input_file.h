// An input file of a comparison: opened when the run opens its files (so a missing file, a
// folder or an unreadable file is refused before anything is written) and read piece by
// piece in the read phase.
#pragma once

#include <atomic>
#include <string>

#include "common/status.h"
#include "compare/byte_source.h"

namespace verko {

class InputFile : public ByteSource {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override { Close(); }

  // Opens the file for reading; a folder is refused as "is a directory".
  Status Open(const std::string& path);
  // Requires a successful Open. A read that a signal interrupted is repeated, unless the
  // stop flag is set: then it fails (a pipe that never delivers must not hold a cancel up).
  Status Read(char* buffer, std::size_t size, std::size_t* got) override;
  // The flag that ends an interrupted read; must outlive the reads.
  void SetStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }
  // The size of a regular file when it was opened; 0 for a device or a pipe.
  std::uint64_t Length() const override { return length_; }
  void Close();

 private:
  int fd_ = -1;
  std::uint64_t length_ = 0;
  const std::atomic<bool>* stop_ = nullptr;
};

}  // namespace verko
