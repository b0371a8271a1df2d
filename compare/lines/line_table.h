// The line records of one compared file, as line intake stores them: one record per line,
// or per part of a line cut by width. LineID runs 1, 2, 3 ... in file order without gaps.
#pragma once

#include <string>
#include <vector>

namespace verko {

struct LineRecord {
  int LineID = 0;
  int LineNo = 0;    // physical line number, counted from 1; the same for every part of a cut line
  int PartNo = 0;    // 0 for a line stored whole; 1, 2, 3 ... for parts of a cut line
  std::string Text;  // CP932 bytes, at most SplitWidth of them
};

class LineTable {
 public:
  int Count() const { return static_cast<int>(records_.size()); }
  // The record with this LineID; requires 1 <= lineId <= Count().
  const LineRecord& Line(int lineId) const { return records_[lineId - 1]; }
  const std::vector<LineRecord>& Records() const { return records_; }

  // Appends the next record; its LineID is Count() + 1.
  void Append(int lineNo, int partNo, std::string text) {
    records_.push_back(LineRecord{Count() + 1, lineNo, partNo, std::move(text)});
  }

 private:
  std::vector<LineRecord> records_;
};

}  // namespace verko
