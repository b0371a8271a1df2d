// The text index TextOrder of one line table: its LineIDs in the order of their case-folded
// texts, equal texts by LineID, and the equality seek that finds the first record whose
// text is equal to a given one. Built in memory from the text keys of MatchTexts; the work
// database keeps its own copy of the index.
#pragma once

#include <vector>

namespace verko {

class TextIndex {
 public:
  // Indexes the listed lines (LineIDs in increasing order) by their text keys, taken from
  // `keys` (indexed by LineID, values 0 .. keyCount - 1, ranked in text order).
  TextIndex(const std::vector<int>& keys, int keyCount, const std::vector<int>& lineIds);

  int Count() const { return static_cast<int>(order_.size()); }
  // The LineIDs in index order.
  const std::vector<int>& Order() const { return order_; }
  // The LineID and the text key of the record at index position `pos` (0-based). Two
  // records hold equal texts exactly when their keys are equal.
  int LineIdAt(int pos) const { return order_[pos]; }
  int KeyAt(int pos) const { return keys_[order_[pos]]; }

  // The LineID of the first record in index order whose text has key `key` (a key of the
  // same MatchTexts, from either file); 0 when there is none.
  int SeekEqual(int key) const { return firstOfKey_[key]; }

 private:
  const std::vector<int>& keys_;
  std::vector<int> order_;
  std::vector<int> firstOfKey_;  // lowest LineID of each key, 0 = none
};

// The LineIDs 1 .. count.
std::vector<int> AllLineIds(int count);

}  // namespace verko
