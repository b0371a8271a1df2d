// Character structure of code page 932 (Shift-JIS) text held as bytes.
// A lead byte (0x81-0x9F, 0xE0-0xFC) takes the next byte with it and the pair counts as one
// character; every other byte is a character of its own. A lead byte at the very end of a
// text stands alone. Nothing here validates or converts.
#pragma once

#include <cstddef>
#include <string_view>

namespace verko {

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Byte length of the character that starts at `pos` (1 or 2). Requires pos < text.size().
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// Number of characters of the text.
std::size_t CharCount(std::string_view text);

// Byte offset of the character with 0-based index `chars`; text.size() when the text has
// no more characters than that.
std::size_t ByteOffsetOfChar(std::string_view text, std::size_t chars);

// Byte length of a text (a double-byte character counts 2).
inline int ByteLength(std::string_view text) {
  return static_cast<int>(text.size());
}

}  // namespace verko
