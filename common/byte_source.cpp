#include "common/byte_source.h"

#include <algorithm>
#include <cstring>

namespace verko {

Status TextSource::Read(char* buffer, std::size_t size, std::size_t* got) {
  *got = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), *got);
  text_.remove_prefix(*got);
  return Status::Ok();
}

bool TextSource::ReadInPlace(std::size_t size, std::string_view* piece) {
  *piece = text_.substr(0, size);
  text_.remove_prefix(piece->size());
  return true;
}

Status HeadThenRest::Read(char* buffer, std::size_t size, std::size_t* got) {
  if (head_.empty()) return rest_.Read(buffer, size, got);
  *got = std::min(size, head_.size());
  std::memcpy(buffer, head_.data(), *got);
  head_.remove_prefix(*got);
  return Status::Ok();
}

Status ReadAllBytes(ByteSource& source, std::string& content, const std::atomic<bool>* stop,
                    std::uint64_t most) {
  constexpr std::size_t kPiece = 64 * 1024;
  // Room for the whole known length at once (and a piece more, to see the end or that the
  // file grew), so a large file is neither copied as the text grows nor read in small
  // pieces; without a known length the room doubles as needed.
  const std::size_t start = content.size();
  std::size_t size = start;
  const std::uint64_t length =
      std::min({source.Length(), most, static_cast<std::uint64_t>(content.max_size() / 4)});
  content.resize(size + static_cast<std::size_t>(length) + kPiece);
  for (;;) {
    const std::uint64_t left = most - (size - start);
    if (left == 0) break;
    if (content.size() - size < kPiece) content.resize(std::max(content.size() * 2, size + kPiece));
    std::size_t got = 0;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(content.size() - size, left));
    Status status = source.Read(content.data() + size, want, &got);
    if (!status.ok()) {
      content.resize(size);
      return status;
    }
    size += got;
    if (got == 0 || (stop && *stop)) break;
  }
  content.resize(size);
  return Status::Ok();
}

}  // namespace verko
