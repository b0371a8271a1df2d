#include "common/cp932.h"

namespace verko {

std::size_t CharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) ++count;
  return count;
}

std::size_t ByteOffsetOfChar(std::string_view text, std::size_t chars) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < chars && pos < text.size(); ++i) pos += CharLengthAt(text, pos);
  return pos;
}

}  // namespace verko
