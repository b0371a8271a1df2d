#include "common/text_collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "common/cp932.h"
#include "common/cp932_blocks.h"

namespace verko {
namespace {

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

// The capitals of the current block of `blocks` (bit k: a capital starts at byte k): an
// A-Z byte, or a full-width Latin, Greek or Cyrillic capital as FoldDoubleByte folds them,
// that starts a character.
std::uint64_t CapitalsOf(Cp932Blocks& blocks) {
  using Bytes = Cp932Blocks::Bytes;
  std::uint64_t lead = 0, trail = 0, capitals = 0;
  for (int part = 0; part < blocks.Parts(); ++part) {
    Bytes b, next;
    blocks.Load(part, &b, &next);
    const auto capital = (static_cast<Bytes>(b - 'A') < 26) |
                         ((b == 0x82) & (static_cast<Bytes>(next - 0x60) < 0x1a)) |
                         ((b == 0x83) & (static_cast<Bytes>(next - 0x9f) < 0x18)) |
                         ((b == 0x84) & (static_cast<Bytes>(next - 0x40) < 0x21));
    lead |= Cp932Blocks::BitsOf(Cp932Blocks::LeadFlags(b)) << (16 * part);
    trail |= Cp932Blocks::BitsOf(Cp932Blocks::TrailFlags(b)) << (16 * part);
    capitals |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(capital)) << (16 * part);
  }
  return capitals & blocks.Starts(lead, trail);
}

}  // namespace

void FoldCapitals(std::string_view cp932, char* copy) {
  Cp932Blocks blocks(cp932);
  while (blocks.Next()) {
    for (std::uint64_t capitals = CapitalsOf(blocks); capitals != 0; capitals &= capitals - 1) {
      const std::size_t pos = blocks.Base() + static_cast<std::size_t>(__builtin_ctzll(capitals));
      const auto b = static_cast<unsigned char>(cp932[pos]);
      if (b <= 'Z') {
        copy[pos] = static_cast<char>(b + 0x20);
      } else {
        auto trail = static_cast<unsigned char>(cp932[pos + 1]);
        FoldDoubleByte(b, trail);
        copy[pos + 1] = static_cast<char>(trail);
      }
    }
  }
}

std::string FoldCase(std::string_view cp932) {
  std::string out(cp932);
  FoldCapitals(cp932, out.data());
  return out;
}

bool HasFoldableCapital(std::string_view cp932) {
  Cp932Blocks blocks(cp932);
  while (blocks.Next()) {
    if (CapitalsOf(blocks) != 0) return true;
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
  // its start: after an odd run the byte before starts a character in both texts (with the
  // differing byte as its trail byte, or standing alone where that byte cannot be one).
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
