#include "compare/byte_source.h"

#include <algorithm>
#include <cstring>

namespace verko {

Status TextSource::Read(char* buffer, std::size_t size, std::size_t* got) {
  *got = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), *got);
  text_.remove_prefix(*got);
  return Status::Ok();
}

Status ReadAllBytes(ByteSource& source, std::string& content, const std::atomic<bool>* stop) {
  constexpr std::size_t kPiece = 64 * 1024;
  std::size_t got = 0;
  do {
    const std::size_t size = content.size();
    content.resize(size + kPiece);
    Status status = source.Read(content.data() + size, kPiece, &got);
    content.resize(size + (status.ok() ? got : 0));
    if (!status.ok()) return status;
  } while (got > 0 && !(stop && *stop));
  return Status::Ok();
}

}  // namespace verko
