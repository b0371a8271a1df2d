// The text index TextOrder of one line table: its LineIDs in the order of their case-folded
// texts, equal texts by LineID, and the equality seek that finds the first record whose
// text is equal to a given one. Built in memory; the work database gets its own copy.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace verko {

class TextIndex {
 public:
  // Indexes the listed lines (LineIDs in increasing order) by their folded texts, taken
  // from `folded` (indexed by LineID), which must outlive the index.
  TextIndex(const std::vector<std::string>& folded, const std::vector<int>& lineIds);

  int Count() const { return static_cast<int>(order_.size()); }
  // The LineID and the folded text of the record at index position `pos` (0-based).
  int LineIdAt(int pos) const { return order_[pos]; }
  std::string_view TextAt(int pos) const { return folded_[order_[pos]]; }

  // The LineID of the first record in index order whose text equals `foldedText` (a text
  // passed through FoldCase); 0 when there is none.
  int SeekEqual(std::string_view foldedText) const;

 private:
  const std::vector<std::string>& folded_;
  std::vector<int> order_;
  // Each distinct folded text numbered in order of appearance, and the lowest LineID of
  // each number.
  std::unordered_map<std::string_view, int> groupOf_;
  std::vector<int> groupFirst_;
};

// The LineIDs 1 .. count.
std::vector<int> AllLineIds(int count);

}  // namespace verko
