#include "compare/lines/text_sort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>

namespace verko {
namespace {

// Sorts eight bytes at a time: the texts of a range, which agree up to `depth`, are sorted
// by their next eight bytes held in registers, and each run that agrees on all eight is
// sorted on from depth + 8. Each level reads every text once, so texts that share a long
// beginning cost a few passes instead of a byte comparison per pair.
class TextSorter {
 public:
  explicit TextSorter(const std::vector<std::string_view>& texts)
      : texts_(texts), keyed_(texts.size()) {}

  // Sorts positions[from, to), whose texts agree in their first `depth` bytes.
  void Sort(std::vector<int>& positions, std::size_t from, std::size_t to, std::size_t depth) {
    if (to - from <= kFewTexts) {
      SortFew(positions, from, to, depth);
      return;
    }
    bool allSame = true;
    for (std::size_t k = from; k < to; ++k) {
      // Beyond the first eight bytes the texts are read in no particular order: fetching
      // a few ahead lets their cache misses overlap instead of following one another.
      if (k + kAhead < to) __builtin_prefetch(BytesAt(positions[k + kAhead], depth));
      if (k + 2 * kAhead < to) __builtin_prefetch(&texts_[positions[k + 2 * kAhead]]);
      keyed_[k] = KeyAt(positions[k], depth);
      allSame = allSame && keyed_[k].SameChunk(keyed_[from]);
    }
    if (allSame) {
      // A shared beginning (indentation, a common prefix) costs one pass per eight bytes.
      if (keyed_[from].length == kChunk) Sort(positions, from, to, depth + kChunk);
      return;
    }
    if (to - from >= kRadixTexts) {
      RadixSort(from, to);
    } else {
      std::sort(keyed_.begin() + from, keyed_.begin() + to);
    }
    for (std::size_t k = from; k < to; ++k) positions[k] = keyed_[k].position;
    // Runs of full, equal chunks go on; shorter equal chunks are equal texts.
    for (std::size_t begin = from; begin < to;) {
      std::size_t end = begin + 1;
      while (end < to && keyed_[end].SameChunk(keyed_[begin])) ++end;
      if (keyed_[begin].length == kChunk) Sort(positions, begin, end, depth + kChunk);
      begin = end;
    }
  }

 private:
  static constexpr std::uint32_t kChunk = 8;
  static constexpr std::size_t kFewTexts = 16;
  static constexpr std::size_t kAhead = 8;
  static constexpr std::size_t kRadixTexts = 1024;

  // Up to eight bytes of a text from `depth` on, as a big-endian number padded with zero
  // bytes, and how many bytes are real: comparing (value, length) compares the texts' next
  // eight bytes, a text that ends first coming first.
  struct Keyed {
    std::uint64_t value;
    std::uint32_t length;
    int position;
    bool SameChunk(const Keyed& other) const {
      return value == other.value && length == other.length;
    }
    bool operator<(const Keyed& other) const {
      return value != other.value ? value < other.value : length < other.length;
    }
  };

  // Where the text's bytes from `depth` on lie (fetched ahead in the loop itself: a function
  // that only fetches changes nothing the compiler can see, and it drops the call).
  const char* BytesAt(int position, std::size_t depth) const {
    const std::string_view text = texts_[position];
    return text.data() + std::min(depth, text.size());
  }

  Keyed KeyAt(int position, std::size_t depth) const {
    const std::string_view text = texts_[position];
    const std::size_t rest = depth < text.size() ? text.size() - depth : 0;
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(kChunk, rest));
    unsigned char bytes[kChunk] = {};
    if (length != 0) std::memcpy(bytes, text.data() + depth, length);
    std::uint64_t value = 0;
    for (unsigned char b : bytes) value = value << 8 | b;
    return Keyed{value, length, position};
  }

  // A few texts are compared whole from `depth` on: texts that share a long beginning would
  // otherwise be followed eight bytes at a time, a pass for each.
  void SortFew(std::vector<int>& positions, std::size_t from, std::size_t to, std::size_t depth) {
    auto rest = [this, depth](int position) {
      const std::string_view text = texts_[position];
      return depth < text.size() ? text.substr(depth) : std::string_view();
    };
    std::sort(positions.begin() + from, positions.begin() + to,
              [&rest](int a, int b) { return rest(a) < rest(b); });
  }

  // Sorts keyed_[from, to) by (value, length) a byte at a time, least significant first:
  // a stable pass by length, then one per byte of the value. A pass in which all keys have
  // the same byte changes nothing and is skipped.
  void RadixSort(std::size_t from, std::size_t to) {
    constexpr int kPasses = 1 + kChunk;
    std::vector<std::array<std::uint32_t, 256>> counts(kPasses);
    for (std::size_t k = from; k < to; ++k) {
      ++counts[0][keyed_[k].length];
      for (int b = 0; b < static_cast<int>(kChunk); ++b) ++counts[1 + b][ByteOf(keyed_[k], 1 + b)];
    }
    const std::size_t count = to - from;
    scratch_.resize(count);
    Keyed* in = keyed_.data() + from;
    Keyed* out = scratch_.data();
    for (int pass = 0; pass < kPasses; ++pass) {
      std::array<std::uint32_t, 256>& offsets = counts[pass];
      if (offsets[ByteOf(in[0], pass)] == count) continue;
      std::uint32_t next = 0;
      for (std::uint32_t& slot : offsets) next += std::exchange(slot, next);
      for (std::size_t k = 0; k < count; ++k) out[offsets[ByteOf(in[k], pass)]++] = in[k];
      std::swap(in, out);
    }
    if (in != keyed_.data() + from) std::copy(in, in + count, keyed_.data() + from);
  }

  // Pass 0 sorts by the length, pass 1 + b by byte b of the value (0: the lowest).
  static unsigned ByteOf(const Keyed& key, int pass) {
    return pass == 0 ? key.length : static_cast<unsigned>(key.value >> (8 * (pass - 1)) & 0xff);
  }

  const std::vector<std::string_view>& texts_;
  std::vector<Keyed> scratch_;  // the other half of each radix pass
  std::vector<Keyed> keyed_;    // scratch, used by each range at the range's own slots
};

}  // namespace

std::vector<int> SortTextPositions(const std::vector<std::string_view>& texts) {
  std::vector<int> positions(texts.size());
  std::iota(positions.begin(), positions.end(), 0);
  TextSorter(texts).Sort(positions, 0, positions.size(), 0);
  return positions;
}

}  // namespace verko
