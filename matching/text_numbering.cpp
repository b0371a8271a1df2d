#include "matching/text_numbering.h"

#include <functional>

namespace verko {
namespace {

std::size_t SlotCountFor(int expected) {
  std::size_t size = 16;
  while (size < static_cast<std::size_t>(expected) * 2) size *= 2;
  return size;
}

}  // namespace

TextNumbering::TextNumbering(int expected) : slots_(SlotCountFor(expected)) {
  texts_.reserve(expected);
}

std::size_t TextNumbering::SlotOf(std::string_view text, std::size_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = hash & mask;
  while (slots_[slot].entry != 0 &&
         (slots_[slot].hash != hash || texts_[slots_[slot].entry - 1] != text)) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

int TextNumbering::Number(std::string_view text) {
  const std::size_t hash = std::hash<std::string_view>{}(text);
  const std::size_t slot = SlotOf(text, hash);
  if (slots_[slot].entry != 0) return slots_[slot].entry - 1;
  const int number = Count();
  texts_.push_back(text);
  slots_[slot] = Slot{hash, number + 1};
  if (texts_.size() * 2 > slots_.size()) Grow();
  return number;
}

int TextNumbering::Find(std::string_view text) const {
  const std::size_t hash = std::hash<std::string_view>{}(text);
  return slots_[SlotOf(text, hash)].entry - 1;
}

void TextNumbering::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& entry : old) {
    if (entry.entry == 0) continue;
    std::size_t slot = entry.hash & mask;
    while (slots_[slot].entry != 0) slot = (slot + 1) & mask;
    slots_[slot] = entry;
  }
}

}  // namespace verko
