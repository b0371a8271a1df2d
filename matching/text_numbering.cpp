#include "matching/text_numbering.h"

#include <cstring>
#include <stdexcept>

namespace verko {
namespace {

std::size_t SlotCountFor(int expected) {
  std::size_t size = 16;
  while (size < static_cast<std::size_t>(expected) * 2) size *= 2;
  return size;
}

constexpr std::uint64_t kMultiplier = 0x9e3779b97f4a7c15u;

std::uint64_t Load64(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

}  // namespace

std::size_t TextNumbering::Hash(std::string_view text) {
  // Eight bytes at a time, each word mixed in by a multiplication; the last, partial word
  // is read as the eight bytes that end the text (a text of fewer is read byte by byte).
  // The length goes in too, and a final mix spreads every bit over the low bits that pick
  // the slot.
  const char* p = text.data();
  std::size_t left = text.size();
  std::uint64_t h = text.size() * kMultiplier;
  for (; left > 8; left -= 8, p += 8) {
    h = (h ^ Load64(p)) * kMultiplier;
    h ^= h >> 29;
  }
  std::uint64_t last = 0;
  if (text.size() >= 8) {
    last = Load64(text.data() + text.size() - 8);
  } else {
    for (std::size_t i = 0; i < left; ++i)
      last |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  }
  h = (h ^ last) * kMultiplier;
  h ^= h >> 32;
  h *= kMultiplier;
  h ^= h >> 29;
  return static_cast<std::size_t>(h);
}

TextNumbering::TextNumbering(int expected) : slots_(SlotCountFor(expected)) {
  texts_.reserve(expected);
}

std::size_t TextNumbering::SlotOf(std::string_view text, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = MakeSlot(hash, -1);
  std::size_t slot = hash & mask;
  for (;;) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if ((entry & ~std::uint64_t{0xffffffffu}) == tag && texts_[NumberIn(entry)] == text)
      return slot;
    slot = (slot + 1) & mask;
  }
}

int TextNumbering::Number(std::string_view text) {
  return Number(text, Hash(text));
}

int TextNumbering::Number(std::string_view text, std::size_t hash) {
  const std::size_t slot = SlotOf(text, hash);
  if (slots_[slot] != 0) return NumberIn(slots_[slot]);
  const int number = Count();
  texts_.push_back(text);
  slots_[slot] = MakeSlot(hash, number);
  // The table stays at most half full, so that every search ends at an empty slot: more
  // texts than it was made for would be a fault of the caller, which fails the run.
  if (texts_.size() * 2 > slots_.size()) {
    throw std::length_error("TextNumbering: more distinct texts than it was made for");
  }
  return number;
}

int TextNumbering::Find(std::string_view text) const {
  return Find(text, Hash(text));
}

int TextNumbering::Find(std::string_view text, std::size_t hash) const {
  return NumberIn(slots_[SlotOf(text, hash)]);
}

}  // namespace verko
