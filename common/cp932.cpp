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

bool StartsCharacter(std::string_view text, std::size_t boundary, std::size_t q) {
  std::size_t k = q;
  while (k > boundary && IsLeadByte(static_cast<unsigned char>(text[k - 1]))) --k;
  return (q - k) % 2 == 0 || !IsTrailByte(static_cast<unsigned char>(text[q]));
}

}  // namespace verko
