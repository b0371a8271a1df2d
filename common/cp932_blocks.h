// Scans of CP932 text 64 bytes at a time: each block gives masks with a bit per byte (bit k
// for byte k of the block), so that a scan classifies and counts characters with a few
// operations per block instead of a branch per character. The hot loops of matching and of
// the report use it; the plain character walk of cp932.h stays the definition of what a
// character is, and tests hold these scans to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace verko {

class Cp932Blocks {
 public:
  // Sixteen bytes compared at once; a comparison gives 0xff or 0 per byte.
  using Bytes = unsigned char __attribute__((vector_size(16)));

  explicit Cp932Blocks(std::string_view text)
      : text_(reinterpret_cast<const unsigned char*>(text.data())), size_(text.size()) {}

  // Moves to the next block; false after the last. Beyond the text's end, bytes read as
  // zero bytes.
  bool Next() {
    if (next_ >= size_) return false;
    base_ = next_;
    next_ += 64;
    if (base_ + 64 < size_) {
      block_ = text_ + base_;
      parts_ = 4;
    } else {
      const std::size_t left = size_ - base_;
      parts_ = static_cast<int>((left + 15) / 16);
      std::memset(padded_ + left, 0, static_cast<std::size_t>(16 * parts_) + 1 - left);
      std::memcpy(padded_, text_ + base_, left);
      block_ = padded_;
    }
    return true;
  }

  // The text position of the block's first byte.
  std::size_t Base() const { return base_; }

  // How many parts of sixteen bytes of the block hold text (1 to 4); masks of the others
  // are zero.
  int Parts() const { return parts_; }

  // Part `part` of the block, and the bytes one further on: a test of two-byte characters
  // looks at both of their bytes at once.
  void Load(int part, Bytes* bytes, Bytes* next) const {
    std::memcpy(bytes, block_ + 16 * part, 16);
    std::memcpy(next, block_ + 16 * part + 1, 16);
  }

  // Bit k set for each byte k of `flags` (each 0 or 0xff) that is set.
  static std::uint64_t BitsOf(Bytes flags) {
#if defined(__SSE2__)
    return static_cast<std::uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(flags)));
#else
    constexpr std::uint64_t kLowBits = 0x0101010101010101u;
    constexpr std::uint64_t kGather = 0x0102040810204080u;  // bit 8k to bit 56 + k
    std::uint64_t low, high;
    std::memcpy(&low, &flags, 8);
    std::memcpy(&high, reinterpret_cast<const char*>(&flags) + 8, 8);
    return ((low & kLowBits) * kGather >> 56) | ((high & kLowBits) * kGather >> 56) << 8;
#endif
  }

  // The number of bits set. Without the processor's own instruction (not in the baseline
  // instruction set), the compiler's builtin is a call per count; this is a few operations.
  static int CountBits(std::uint64_t bits) {
#if defined(__POPCNT__)
    return __builtin_popcountll(bits);
#else
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    return static_cast<int>((bits * 0x0101010101010101u) >> 56);
#endif
  }

  // The bytes that can be the first byte of a two-byte character.
  static Bytes LeadFlags(Bytes b) {
    const auto flags =
        (static_cast<Bytes>(b - 0x81) < 0x1f) | (static_cast<Bytes>(b - 0xe0) < 0x1d);
    return reinterpret_cast<const Bytes&>(flags);
  }

  // The bytes that can be the second byte of a two-byte character (IsTrailByte).
  static Bytes TrailFlags(Bytes b) {
    const auto flags =
        (static_cast<Bytes>(b - 0x40) < 0x3f) | (static_cast<Bytes>(b - 0x80) < 0x7d);
    return reinterpret_cast<const Bytes&>(flags);
  }

  // The bytes of the block that start a character (all but trail bytes), given the masks of
  // LeadFlags and TrailFlags. A byte that cannot be a lead byte ends a character, so a run of
  // possible lead bytes pairs up from its start: the trail bytes are those at odd distance
  // from the start of their run, and the byte after a run of odd length when it can be a
  // trail byte (else the last lead byte stands alone, and that byte after it too). Every lead
  // byte can be a trail byte, so only that byte after a run is in question. Called once per
  // block, in order: a run that ends the block goes on into the next.
  std::uint64_t Starts(std::uint64_t lead, std::uint64_t trail) {
    constexpr std::uint64_t kOddBits = 0xaaaaaaaaaaaaaaaau;
    const std::uint64_t leads = lead & ~carry_;  // a first byte that is a trail leads nothing
    // Runs that start on an even bit keep their odd bits after the subtraction and the
    // exclusive or; runs that start on an odd bit have their bits turned: every run ends
    // up with its bits set at odd distance from its start, and the byte after an odd run.
    const std::uint64_t codes = (((leads << 1) | kOddBits) - leads) ^ kOddBits;
    const std::uint64_t trails = (codes ^ (lead | carry_)) & trail;
    carry_ = (codes & lead) >> 63;  // the block's last byte leads the next block's first
    return ~trails;
  }

 private:
  const unsigned char* text_;
  std::size_t size_;
  std::size_t next_ = 0;
  std::size_t base_ = 0;
  int parts_ = 0;
  const unsigned char* block_ = nullptr;
  unsigned char padded_[80];
  std::uint64_t carry_ = 0;
};

}  // namespace verko
