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

}  // namespace verko
