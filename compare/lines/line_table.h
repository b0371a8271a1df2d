// The line records of one compared file, as line intake stores them: one record per line,
// or per part of a line cut by width. LineID runs 1, 2, 3 ... in file order without gaps.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/split_width.h"

namespace verko {

// The line limit (MaxLines): a file is compared up to this many records.
inline constexpr int kMaxLines = 32000;
struct LineRecord {
  int LineID = 0;
  int LineNo = 0;  // physical line number, counted from 1; the same for every part of a cut line
  int PartNo = 0;  // 0 for a line stored whole; 1, 2, 3 ... for parts of a cut line
  std::string_view Text;  // CP932 bytes, at most SplitWidth of them, held by the table
};

// The texts of a table lie one after another in a few large blocks that the table owns,
// not in an allocation per line: a file of 32,000 lines costs a handful of allocations,
// and its texts are read in file order from neighbouring memory. A record's text stays
// where it is for the table's lifetime, a move of the table included.
class LineTable {
 public:
  LineTable() = default;
  LineTable(const LineTable& other);
  LineTable& operator=(const LineTable& other);
  LineTable(LineTable&& other) noexcept;
  LineTable& operator=(LineTable&& other) noexcept;

  int Count() const { return static_cast<int>(records_.size()); }
  // The record with this LineID; requires 1 <= lineId <= Count().
  const LineRecord& Line(int lineId) const { return records_[lineId - 1]; }
  const std::vector<LineRecord>& Records() const { return records_; }

  // Appends the next record, its text copied into the table; its LineID is Count() + 1.
  void Append(int lineNo, int partNo, std::string_view text);
  // Room for `lines` records holding `bytes` of text in all, so that appending them takes
  // no further allocation.
  void Reserve(std::size_t lines, std::size_t bytes);
  // Empties the table for the next file and keeps its memory: the records' room and its
  // largest block, which the next Reserve or read takes before a new one. A thread that
  // compares many pairs then touches fresh memory only for a file larger than before.
  void Clear();

  // Keeps `text` (a whole file's text) in the table and returns where it now lies: a record
  // appended with a text inside it points there instead of taking a copy.
  std::string_view Hold(std::string text);
  // Room in the table for reading the next piece of a file into (*room bytes, at most
  // `most`); KeepRead(n) then keeps the first n bytes read there and returns where they
  // lie. Records appended with texts inside the piece point into it, as with Hold.
  char* RoomToRead(std::size_t most, std::size_t* room);
  std::string_view KeepRead(std::size_t n);

 private:
  std::string_view Store(std::string_view text);
  void TakeBlock(std::size_t size);

  std::vector<LineRecord> records_;
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
  };
  std::vector<Block> blocks_;
  Block spare_;                                           // kept by Clear for the next block taken
  std::vector<std::unique_ptr<const std::string>> held_;  // stays in place when the table moves
  char* free_ = nullptr;                                  // the unused end of the last block
  std::size_t left_ = 0;
  std::string_view kept_;  // the piece read into the last block most recently
};

}  // namespace verko
