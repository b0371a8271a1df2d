// Numbers distinct texts in order of first appearance: equal bytes get equal numbers. An
// open-addressing table over views of the texts, so numbering a file costs one hash and
// usually one comparison per line and allocates nothing per line. A slot is eight bytes
// (part of the hash and the number), so the table of a whole comparison stays small enough
// for the processor's cache.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace verko {

class TextNumbering {
 public:
  // Room for `expected` distinct texts. REQUIRES: no more are numbered (checked: the run
  // fails with std::length_error).
  explicit TextNumbering(int expected);

  // The number of `text`, a new one (Count() before the call) when it is new. The text's
  // bytes must stay alive and unchanged while the numbering is used.
  int Number(std::string_view text);
  // The number of `text`, or -1 when it has none.
  int Find(std::string_view text) const;

  // The same, with the text's hash (Hash(text)) already known.
  int Number(std::string_view text, std::size_t hash);
  int Find(std::string_view text, std::size_t hash) const;
  static std::size_t Hash(std::string_view text);

  // Numbers the texts textAt(0) .. textAt(count - 1) in turn, as Number() would, into
  // numbers[0 .. count). The texts a few places ahead are hashed first and their slots
  // fetched, so that the table's cache misses overlap instead of following one another.
  template <typename TextAt>
  void NumberEach(std::size_t count, TextAt textAt, int* numbers) {
    constexpr std::size_t kAhead = 8;
    std::size_t ahead[kAhead];  // hashes of the texts i .. i + kAhead - 1, by i % kAhead
    for (std::size_t i = 0; i < count && i < kAhead; ++i) ahead[i] = HashAndFetch(textAt(i));
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t hash = ahead[i % kAhead];
      if (i + kAhead < count) ahead[i % kAhead] = HashAndFetch(textAt(i + kAhead));
      numbers[i] = Number(textAt(i), hash);
    }
  }

  int Count() const { return static_cast<int>(texts_.size()); }
  // The distinct texts, indexed by number.
  const std::vector<std::string_view>& Texts() const { return texts_; }

 private:
  std::size_t HashAndFetch(std::string_view text) const {
    const std::size_t hash = Hash(text);
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    return hash;
  }
  // The slot holding `text` or, when it is absent, the empty slot where it belongs.
  std::size_t SlotOf(std::string_view text, std::size_t hash) const;

  // The upper half of the text's hash and its number + 1 (0 = an empty slot).
  static std::uint64_t MakeSlot(std::size_t hash, int number) {
    return (static_cast<std::uint64_t>(hash) >> 32 << 32) | static_cast<std::uint32_t>(number + 1);
  }
  static int NumberIn(std::uint64_t slot) { return static_cast<int>(slot & 0xffffffffu) - 1; }

  std::vector<std::string_view> texts_;
  std::vector<std::uint64_t> slots_;  // size a power of two, at most half full
};

}  // namespace verko
