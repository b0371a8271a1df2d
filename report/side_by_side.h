// The rows of the side-by-side view of a report: old text left, new text right. Common
// lines fill both sides; within a block of differences, deleted lines face added lines row
// by row, and a moved line has a row of its own on its side. Both sides keep their file's
// order.
#pragma once

#include <vector>

#include "report/report_reader.h"

namespace verko {

struct SideBySideRow {
  int oldLine = -1;  // index of the report line shown on the left, -1 for none
  int newLine = -1;  // on the right
  bool gap = false;  // common lines left out of a difference-only report
};

class SideBySide {
 public:
  explicit SideBySide(const ReportDocument& document);

  const std::vector<SideBySideRow>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  // The row that shows report line `line`.
  int RowOfLine(int line) const { return rowOfLine_[line]; }

 private:
  void AddBlock(const ReportDocument& document, const std::vector<int>& left,
                const std::vector<int>& right);
  void Add(SideBySideRow row);

  std::vector<SideBySideRow> rows_;
  std::vector<int> rowOfLine_;
};

// Moves between difference blocks: a block is a run of rows flagged in `changed`. Returns
// the first row of the next block that starts after `row` (or of the previous block that
// starts before it), -1 when there is none. `row` may be -1 (before the first row).
int NextChangeBlock(const std::vector<bool>& changed, int row);
int PreviousChangeBlock(const std::vector<bool>& changed, int row);

}  // namespace verko
