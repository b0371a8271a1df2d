// Where line intake takes a file's bytes from, piece by piece: an input file, or a text in
// memory. Intake reads only as far as the line limit needs, so an endless input (a device,
// a pipe, a file that grows while it is read) never has to fit into memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/status.h"

namespace verko {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer` and sets *got to their number; 0 at the end.
  virtual Status Read(char* buffer, std::size_t size, std::size_t* got) = 0;
  // The length in bytes when it is known before reading (a regular file), else 0.
  virtual std::uint64_t Length() const = 0;
  // For a source that holds its bytes in memory: sets *piece to the next up to `size` bytes
  // there, as Read would give them but without a copy, and returns true. False for other
  // sources, which are read with Read.
  virtual bool ReadInPlace(std::size_t, std::string_view*) { return false; }
};

// A text in memory as a byte source.
class TextSource : public ByteSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  Status Read(char* buffer, std::size_t size, std::size_t* got) override;
  std::uint64_t Length() const override { return text_.size(); }
  bool ReadInPlace(std::size_t size, std::string_view* piece) override;

 private:
  std::string_view text_;
};

// Bytes already read from a source (its head), then the rest of that source.
class HeadThenRest : public ByteSource {
 public:
  HeadThenRest(std::string_view head, ByteSource& rest) : head_(head), rest_(rest) {}
  Status Read(char* buffer, std::size_t size, std::size_t* got) override;
  std::uint64_t Length() const override { return rest_.Length(); }

 private:
  std::string_view head_;  // what is left of it
  ByteSource& rest_;
};

// Appends everything the source gives to `content`, piece by piece, until its end, a failure,
// (when `stop` is given) until *stop turns true, or once `most` bytes have been appended.
Status ReadAllBytes(ByteSource& source, std::string& content,
                    const std::atomic<bool>* stop = nullptr, std::uint64_t most = UINT64_MAX);

}  // namespace verko
