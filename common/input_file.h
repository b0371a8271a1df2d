// An input file of a comparison: opened when the run opens its files (so a missing file, a
// folder or an unreadable file is refused before anything is written) and read piece by
// piece in the read phase.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

#include "common/byte_source.h"
#include "common/status.h"

namespace verko {

class InputFile : public ByteSource {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override { Close(); }

  // Opens the file for reading; a folder is refused as "is a directory". Never waits: a
  // named pipe without a writer opens at once, and its reads wait for the writer.
  Status Open(const std::string& path);
  // Reads standard input (descriptor 0) from where it stands; closing the file leaves
  // descriptor 0 open.
  Status OpenStandardInput();
  // Requires a successful Open. A read that a signal interrupted is repeated, unless a stop
  // flag is set: then it fails (a pipe that never delivers must not hold a cancel up). A
  // pipe or device is waited for in short steps, so a stop is seen even without a signal.
  Status Read(char* buffer, std::size_t size, std::size_t* got) override;
  // Called on the reading thread, at most every kWaitStep, while a pipe or device is waited
  // for or read (never for a regular file): the window serves its events there, so it
  // answers however slowly a writer sends. Must outlive the reads.
  void SetWhileWaiting(std::function<void()> whileWaiting) {
    whileWaiting_ = std::move(whileWaiting);
  }
  static constexpr std::chrono::milliseconds kWaitStep{50};
  // The flags that end a read; must outlive the reads. Either may be null.
  void SetStopFlag(const std::atomic<bool>* stop, const std::atomic<bool>* alsoStop = nullptr) {
    stop_ = stop;
    alsoStop_ = alsoStop;
  }
  // Whether the file opened is a regular file, not a pipe, a device or a socket.
  bool IsRegular() const { return regular_; }
  // The size of a regular file when it was opened; 0 for a device or a pipe.
  std::uint64_t Length() const override { return length_; }
  void Close();

 private:
  // Takes `fd` (closed on failure) once it is known not to be a folder.
  Status Adopt(int fd);

  // Whether the file is waited for before it is read: a pipe, a device, a socket.
  bool Waits() const { return !regular_; }
  void ServeWhileWaiting();

  int fd_ = -1;
  bool regular_ = true;
  std::uint64_t length_ = 0;
  std::function<void()> whileWaiting_;
  std::chrono::steady_clock::time_point served_{};
  const std::atomic<bool>* stop_ = nullptr;
  const std::atomic<bool>* alsoStop_ = nullptr;
  bool Stopped() const { return (stop_ && *stop_) || (alsoStop_ && *alsoStop_); }
};

}  // namespace verko
