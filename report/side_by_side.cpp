#include "report/side_by_side.h"

#include <algorithm>

namespace verko {

SideBySide::SideBySide(const ReportDocument& document) : rowOfLine_(document.Count(), -1) {
  rows_.reserve(document.Count());
  std::vector<int> left, right;
  for (int i = 0; i < document.Count(); ++i) {
    const LineKind kind = document.Line(i).kind;
    if (IsDifference(kind)) {
      (kind == LineKind::kDeleted || kind == LineKind::kMovedOld ? left : right).push_back(i);
      continue;
    }
    AddBlock(document, left, right);
    left.clear();
    right.clear();
    if (kind == LineKind::kGap) {
      Add({i, i, true});
    } else if (kind == LineKind::kPlain) {
      Add({i, -1, false});
    } else {
      Add({i, i, false});
    }
  }
  AddBlock(document, left, right);
}

void SideBySide::AddBlock(const ReportDocument& document, const std::vector<int>& left,
                          const std::vector<int>& right) {
  std::size_t l = 0, r = 0;
  while (l < left.size() || r < right.size()) {
    const bool leftMoved = l < left.size() && document.Line(left[l]).kind == LineKind::kMovedOld;
    const bool rightMoved = r < right.size() && document.Line(right[r]).kind == LineKind::kMovedNew;
    if (l < left.size() && r < right.size() && !leftMoved && !rightMoved) {
      Add({left[l++], right[r++], false});
    } else if (l < left.size() && (leftMoved || r == right.size())) {
      Add({left[l++], -1, false});
    } else {
      Add({-1, right[r++], false});
    }
  }
}

void SideBySide::Add(SideBySideRow row) {
  const int index = Count();
  if (row.oldLine >= 0) rowOfLine_[row.oldLine] = index;
  if (row.newLine >= 0) rowOfLine_[row.newLine] = index;
  rows_.push_back(row);
}

int NextChangeBlock(const std::vector<bool>& changed, int row) {
  const int count = static_cast<int>(changed.size());
  int i = row + 1;
  // Leave the block the row is in, then find the start of the next one.
  if (row >= 0 && row < count && changed[row]) {
    while (i < count && changed[i]) ++i;
  }
  while (i < count && !changed[i]) ++i;
  return i < count ? i : -1;
}

int PreviousChangeBlock(const std::vector<bool>& changed, int row) {
  const int count = static_cast<int>(changed.size());
  int i = std::min(row, count) - 1;
  // Find the nearest changed row above, then the start of its block.
  while (i >= 0 && !changed[i]) --i;
  if (i < 0) return -1;
  while (i > 0 && changed[i - 1]) --i;
  return i;
}

}  // namespace verko
