// The UTF-8 form of a code point: the one encoder of the program (the decoding of files,
// the working text and the tables made at build time all write UTF-8 through it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace verko {

// Writes the UTF-8 bytes of `cp` (a code point up to 0x10FFFF) at `to`, which must have
// room for four; returns their number (1 to 4).
constexpr std::size_t PutUtf8(uint32_t cp, char* to) {
  if (cp < 0x80) {
    to[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    to[0] = static_cast<char>(0xC0 | (cp >> 6));
    to[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    to[0] = static_cast<char>(0xE0 | (cp >> 12));
    to[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    to[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  to[0] = static_cast<char>(0xF0 | (cp >> 18));
  to[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  to[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  to[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

// Appends the UTF-8 bytes of `cp` to `out`.
inline void AppendUtf8(uint32_t cp, std::string* out) {
  char bytes[4];
  out->append(bytes, PutUtf8(cp, bytes));
}

}  // namespace verko
