// Character structure of code page 932 (Shift-JIS) text held as bytes.
// A lead byte (0x81-0x9F, 0xE0-0xFC) takes the next byte with it when that byte can be a
// trail byte (0x40-0x7E, 0x80-0xFC), and the pair counts as one character; every other byte
// is a character of its own. So a lead byte before an ASCII control, blank, digit or mark
// (below 0x40), DEL or 0xFD-0xFF stands alone, and that byte stands as itself, as the WHATWG
// Shift_JIS decoder reads them; a lead byte at the very end of a text stands alone too.
// Nothing here validates or converts.
#pragma once

#include <cstddef>
#include <string_view>

namespace verko {

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Every lead byte can be a trail byte too: the scans that pair runs of lead bytes rely on it.
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Byte length of the character that starts at `pos` (1 or 2). Requires pos < text.size().
inline std::size_t CharLengthAt(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() &&
                 IsTrailByte(static_cast<unsigned char>(text[pos + 1]))
             ? 2
             : 1;
}

// True when the byte at `q` starts a character, given that `boundary` (<= q) does, found
// from the bytes before q rather than by walking from the boundary. A byte that cannot be a
// lead byte ends a character, so the run of possible lead bytes just before q pairs up from
// its start: q starts a character after an even run, or after an odd one when it cannot be
// a trail byte. Requires q < text.size().
bool StartsCharacter(std::string_view text, std::size_t boundary, std::size_t q);

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
