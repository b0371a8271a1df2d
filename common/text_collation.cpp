#include "common/text_collation.h"

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

}  // namespace

std::string FoldCase(std::string_view cp932) {
  std::string out(cp932);
  for (std::size_t pos = 0; pos < out.size();) {
    auto b = static_cast<unsigned char>(out[pos]);
    if (CharLengthAt(out, pos) == 2) {
      auto trail = static_cast<unsigned char>(out[pos + 1]);
      FoldDoubleByte(b, trail);
      out[pos + 1] = static_cast<char>(trail);
      pos += 2;
    } else {
      if (b >= 'A' && b <= 'Z') out[pos] = static_cast<char>(b + 0x20);
      pos += 1;
    }
  }
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
  if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) return 0;
  std::string fa = FoldCase(a);
  std::string fb = FoldCase(b);
  return fa.compare(fb) < 0 ? -1 : (fa == fb ? 0 : 1);
}

}  // namespace verko
