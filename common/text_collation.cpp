#include "common/text_collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/cp932.h"

namespace verko {
namespace {

bool IsDoubleByteCapital(unsigned char lead, unsigned char trail) {
  return (lead == 0x82 && trail >= 0x60 && trail <= 0x79) ||
         (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) ||
         (lead == 0x84 && trail >= 0x40 && trail <= 0x60);
}

// Folds the double-byte character (lead, trail) in place when it is a capital letter.
void FoldDoubleByte(unsigned char lead, unsigned char& trail) {
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) {
    trail = static_cast<unsigned char>(trail + 0x21);  // Ａ-Ｚ -> ａ-ｚ
  } else if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) {
    trail = static_cast<unsigned char>(trail + 0x20);  // Greek Α-Ω -> α-ω
  } else if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {
    // Cyrillic А-Я -> а-я; the small forms skip 0x7F, which is no trail byte.
    int k = trail - 0x40;
    trail = static_cast<unsigned char>(k < 15 ? 0x70 + k : 0x80 + (k - 15));
  }
}

unsigned char FoldAscii(unsigned char b) {
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
}

// The folded character at `pos` as a number that orders like its bytes: the first byte,
// the second (0 for a single byte), then the length in the low bits, so that a single byte
// comes before a double-byte character that it begins.
std::uint32_t FoldedCharAt(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (CharLengthAt(text, pos) == 1) return std::uint32_t{FoldAscii(lead)} << 16 | 1;
  auto trail = static_cast<unsigned char>(text[pos + 1]);
  FoldDoubleByte(lead, trail);
  return std::uint32_t{lead} << 16 | std::uint32_t{trail} << 8 | 2;
}

}  // namespace

void FoldCaseInPlace(char* text, std::size_t size) {
  for (std::size_t pos = 0; pos < size;) {
    auto b = static_cast<unsigned char>(text[pos]);
    if (IsLeadByte(b) && pos + 1 < size) {
      auto trail = static_cast<unsigned char>(text[pos + 1]);
      FoldDoubleByte(b, trail);
      text[pos + 1] = static_cast<char>(trail);
      pos += 2;
    } else {
      if (b >= 'A' && b <= 'Z') text[pos] = static_cast<char>(b + 0x20);
      pos += 1;
    }
  }
}

std::string FoldCase(std::string_view cp932) {
  std::string out(cp932);
  FoldCaseInPlace(out.data(), out.size());
  return out;
}

bool HasFoldableCapital(std::string_view cp932) {
  for (std::size_t pos = 0; pos < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[pos]);
    if (CharLengthAt(cp932, pos) == 2) {
      if (IsDoubleByteCapital(b, static_cast<unsigned char>(cp932[pos + 1]))) return true;
      pos += 2;
    } else {
      if (b >= 'A' && b <= 'Z') return true;
      pos += 1;
    }
  }
  return false;
}

int CompareFolded(std::string_view a, std::string_view b) {
  // Identical bytes fold alike, so the search starts at the first differing byte. A text
  // that is a byte prefix of the other sorts first also once folded: folding never changes
  // a lead byte, and a lead byte at the end of the shorter text stands alone there.
  const std::size_t common = std::min(a.size(), b.size());
  std::size_t pos = 0;
  while (pos + 8 <= common && std::memcmp(a.data() + pos, b.data() + pos, 8) == 0) pos += 8;
  while (pos < common && a[pos] == b[pos]) ++pos;
  if (pos == common) return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  // Back up to the start of the character holding that byte. A byte that cannot be a lead
  // byte ends a character, so the run of possible lead bytes just before it pairs up from
  // its start: an odd run means the differing byte is a trail byte.
  std::size_t run = pos;
  while (run > 0 && IsLeadByte(static_cast<unsigned char>(a[run - 1]))) --run;
  if ((pos - run) % 2 == 1) --pos;
  // From the first differing character on, the folded characters decide. Equal folded
  // characters have equal lengths, so one position serves both texts.
  while (pos < a.size() && pos < b.size()) {
    const std::uint32_t charA = FoldedCharAt(a, pos);
    const std::uint32_t charB = FoldedCharAt(b, pos);
    if (charA != charB) return charA < charB ? -1 : 1;
    pos += charA & 3;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace verko
