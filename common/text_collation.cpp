#include "common/text_collation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "common/cp932.h"

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

// Finds the capitals of a text 64 bytes at a time, without walking it character by
// character. For each block it takes three masks, a bit per byte: possible lead bytes, A-Z
// bytes, and bytes that with the next one would make a double-byte capital. A byte that
// cannot be a lead byte ends a character, so a run of possible lead bytes pairs up from its
// start: the trail bytes are those at odd distance from the start of their run, and the
// byte after a run of odd length. A capital is an A-Z byte or a capital pair that starts a
// character (is no trail byte).
class CapitalFinder {
 public:
  explicit CapitalFinder(std::string_view text)
      : text_(reinterpret_cast<const unsigned char*>(text.data())), size_(text.size()) {}

  // The capitals of the next block (bit k: the character starting at Base() + k); false
  // after the last block.
  bool NextBlock(std::uint64_t* capitals) {
    if (next_ >= size_) return false;
    base_ = next_;
    next_ += 64;
    Masks masks;
    if (base_ + 64 < size_) {
      masks = MasksOf(text_ + base_);
    } else {
      // The last block, padded with zero bytes (no lead, no capital).
      unsigned char padded[80] = {};
      std::memcpy(padded, text_ + base_, size_ - base_);
      masks = MasksOf(padded);
    }
    *capitals = (masks.ascii | masks.pair) & ~TrailBytes(masks.lead);
    return true;
  }
  std::size_t Base() const { return base_; }

 private:
  using Bytes = unsigned char __attribute__((vector_size(16)));
  struct Masks {
    std::uint64_t lead = 0, ascii = 0, pair = 0;
  };

  // Bit k set for each byte k of `flags` (each 0 or 0xff).
  static std::uint64_t BitsOf(Bytes flags) {
    constexpr std::uint64_t kLowBits = 0x0101010101010101u;
    constexpr std::uint64_t kGather = 0x0102040810204080u;  // bit 8k -> bit 56 + k
    std::uint64_t low, high;
    std::memcpy(&low, &flags, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&flags) + 8, 8);
    return ((low & kLowBits) * kGather >> 56) | ((high & kLowBits) * kGather >> 56) << 8;
  }

  // The masks of the 64 bytes at `block`; the byte after them must be readable.
  static Masks MasksOf(const unsigned char* block) {
    Masks masks;
    for (int part = 0; part < 4; ++part) {
      Bytes b, next;
      std::memcpy(&b, block + 16 * part, 16);
      std::memcpy(&next, block + 16 * part + 1, 16);
      const auto lead =
          (static_cast<Bytes>(b - 0x81) < 0x1f) | (static_cast<Bytes>(b - 0xe0) < 0x1d);
      const auto ascii = static_cast<Bytes>(b - 'A') < 26;
      // Full-width Latin, Greek and Cyrillic capitals, as FoldDoubleByte folds them.
      const auto pair = ((b == 0x82) & (static_cast<Bytes>(next - 0x60) < 0x1a)) |
                        ((b == 0x83) & (static_cast<Bytes>(next - 0x9f) < 0x18)) |
                        ((b == 0x84) & (static_cast<Bytes>(next - 0x40) < 0x21));
      masks.lead |= BitsOf(reinterpret_cast<const Bytes&>(lead)) << (16 * part);
      masks.ascii |= BitsOf(reinterpret_cast<const Bytes&>(ascii)) << (16 * part);
      masks.pair |= BitsOf(reinterpret_cast<const Bytes&>(pair)) << (16 * part);
    }
    return masks;
  }

  // The trail bytes of the block whose possible lead bytes are `lead`, the run at the end
  // of the block before carried over.
  std::uint64_t TrailBytes(std::uint64_t lead) {
    constexpr std::uint64_t kOddBits = 0xaaaaaaaaaaaaaaaau;
    const std::uint64_t leads = lead & ~carry_;  // a first byte that is a trail leads nothing
    // Runs that start on an even bit keep their odd bits set after the subtraction and the
    // exclusive or; runs that start on an odd bit have their bits turned; so every run has
    // its bits set at odd distance from its start, and the byte after it set for an odd run.
    const std::uint64_t codes = (((leads << 1) | kOddBits) - leads) ^ kOddBits;
    const std::uint64_t trails = codes ^ (lead | carry_);
    carry_ = (codes & lead) >> 63;  // the last byte leads the first of the next block
    return trails;
  }

  const unsigned char* text_;
  std::size_t size_;
  std::size_t next_ = 0;
  std::size_t base_ = 0;
  std::uint64_t carry_ = 0;
};

}  // namespace

void FoldCapitals(std::string_view cp932, char* copy) {
  CapitalFinder finder(cp932);
  std::uint64_t capitals;
  while (finder.NextBlock(&capitals)) {
    for (; capitals != 0; capitals &= capitals - 1) {
      const std::size_t pos = finder.Base() + static_cast<std::size_t>(__builtin_ctzll(capitals));
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
  CapitalFinder finder(cp932);
  std::uint64_t capitals;
  while (finder.NextBlock(&capitals)) {
    if (capitals != 0) return true;
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
