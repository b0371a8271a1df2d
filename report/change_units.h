// The units a changed line is cut into by character, and where their boundaries fall: a
// CP932, UTF-8 or EUC-JP character with what joins it (combining marks, variation
// selectors, an emoji sequence) is one unit, and so is a run of ASCII letters, digits and
// "_". Words (word_units.h) are made of these. The changed-character unit
// (changed_characters.h) aligns lines unit by unit; this unit says only what a unit is, and
// gives each a number to compare by.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"

namespace verko {

// The units of a line as their boundaries: unit k is bytes [bounds[k], bounds[k + 1]).
using Bounds = std::vector<uint32_t>;

// The end of the character at `pos` (< text.size()) with what joins it: one byte where no
// valid character starts.
std::size_t ClusterEnd(std::string_view text, std::size_t pos, TextEncoding encoding);

// Appends the starts of the units of text[from, to) to `bounds`; `from` must start a unit
// and `to` end one.
void AppendUnits(std::string_view text, std::size_t from, std::size_t to, TextEncoding encoding,
                 Bounds* bounds);

// The start of the unit holding byte `q` (< text.size()).
std::size_t UnitStart(std::string_view text, std::size_t q, TextEncoding encoding);

// The first unit boundary at or after byte `q` (<= text.size()).
std::size_t NextBoundary(std::string_view text, std::size_t q, TextEncoding encoding);

// A unit as a number: a unit of up to seven bytes is its bytes and its length (equal keys are
// equal units); a longer one is a hash of its bytes, marked apart from the short ones.
inline uint64_t UnitKey(const char* bytes, std::size_t length) {
  if (length <= 7) {
    uint64_t key = static_cast<uint64_t>(length) << 56;
    for (std::size_t k = 0; k < length; ++k) {
      key |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[k])) << (8 * k);
    }
    return key;
  }
  uint64_t hash = 1469598103934665603ULL;
  for (std::size_t k = 0; k < length; ++k) {
    hash = (hash ^ static_cast<unsigned char>(bytes[k])) * 1099511628211ULL;
  }
  return hash | (0xFFULL << 56);
}

// UnitKey of text[start, start + length), reading the eight bytes from `start` at once
// where the text holds them.
inline uint64_t UnitKeyAt(std::string_view text, std::size_t start, std::size_t length) {
  if constexpr (std::endian::native == std::endian::little) {
    if (length <= 7 && start + 8 <= text.size()) {
      uint64_t word;
      std::memcpy(&word, text.data() + start, 8);
      return (word & ((uint64_t{1} << (8 * length)) - 1)) | static_cast<uint64_t>(length) << 56;
    }
  }
  return UnitKey(text.data() + start, length);
}

inline bool IsShortKey(uint64_t key) {
  return (key >> 56) <= 7;
}

// The keys (UnitKeyAt) of the units of `text`, in order, into `keys`.
void UnitKeys(std::string_view text, TextEncoding encoding, std::vector<uint64_t>* keys);
// The same, sorted.
void SortedKeys(std::string_view text, TextEncoding encoding, std::vector<uint64_t>* keys);

// How alike two lines are by their sorted unit keys (SortedKeys): twice the keys in common,
// as a multiset, over the keys of both; 1 for two empty lines.
double SimilarityOfKeys(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b);

}  // namespace verko
