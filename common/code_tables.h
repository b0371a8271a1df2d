// The character tables of the two Japanese byte encodings, taken from iconv when the program
// is built: code page 932 as iconv's "CP932" (the Windows table, so 〜, －, ∥, ￠, ￡, ￢ and
// the NEC and IBM extensions round-trip) and EUC-JP as iconv's "EUC-JP-MS", whose table
// agrees with CP932's. Conversions use only what a code decodes to, so text converted out
// and back in is the text it was.
#pragma once

#include <cstdint>
#include <span>

namespace verko {

struct Cp932Table {
  // The code point of each code (single bytes at their value, double-byte characters at
  // (lead << 8) | trail); 0 = not a character, apart from code 0 itself.
  std::span<const uint16_t> toUnicode;
  // The code of each BMP code point that some code decodes to (the code iconv writes for
  // it when several decode to it); 0 = none. Every CP932 character lies in the BMP.
  std::span<const uint16_t> fromUnicode;
  // The UTF-8 bytes of each code's character, first byte lowest, with their count (1 to 3)
  // in bits 24 and 25 and bit 31 set for a single-byte character; 0 = not a character (as
  // in toUnicode). The rows of the half-width katakana (0xA1xx to 0xDFxx) repeat that
  // katakana, so that two bytes of text starting beyond ASCII can be looked up as they are.
  std::span<const uint32_t> toUtf8;
};

struct EucJpTable {
  // Code point of a two-byte code at (b1 << 8) | b2 and of a three-byte code 8F b2 b3 at
  // 0x10000 + ((b2 << 8) | b3); 0 = not a character. Half-width katakana (8E xx) and
  // ASCII are computed, not held.
  std::span<const uint32_t> toUnicode;
  // The bytes of each BMP code point (two or three bytes packed, first byte highest);
  // 0 = none.
  std::span<const uint32_t> fromUnicode;
  // The CP932 code of the character of each two-byte code at (b1 << 8) | b2; 0 = none
  // (no character, or one CP932 does not hold).
  std::span<const uint16_t> toCp932;
  // The EUC-JP bytes of the character of each CP932 code, laid out as Cp932Table::toUtf8
  // (single-byte characters marked, katakana rows repeated); 0 = none.
  std::span<const uint32_t> fromCp932;
};

// The tables: constant data of the program, never built at run time.
const Cp932Table& Cp932Codes();
const EucJpTable& EucJpCodes();

}  // namespace verko
