// Numbers distinct texts in order of first appearance: equal bytes get equal numbers. An
// open-addressing table over views of the texts, so numbering a file costs one hash and
// usually one comparison per line and allocates nothing per line.
#pragma once

#include <string_view>
#include <vector>

namespace verko {

class TextNumbering {
 public:
  // Room for `expected` distinct texts without growing (it grows when needed).
  explicit TextNumbering(int expected);

  // The number of `text`, a new one (Count() before the call) when it is new. The text's
  // bytes must stay alive and unchanged while the numbering is used.
  int Number(std::string_view text);
  // The number of `text`, or -1 when it has none.
  int Find(std::string_view text) const;

  int Count() const { return static_cast<int>(texts_.size()); }
  // The distinct texts, indexed by number.
  const std::vector<std::string_view>& Texts() const { return texts_; }

 private:
  void Grow();
  // The slot holding `text` or, when it is absent, the empty slot where it belongs.
  std::size_t SlotOf(std::string_view text, std::size_t hash) const;

  struct Slot {
    std::size_t hash = 0;
    int entry = 0;  // number + 1, 0 = empty
  };

  std::vector<std::string_view> texts_;
  std::vector<Slot> slots_;  // size a power of two, at most half full
};

}  // namespace verko
