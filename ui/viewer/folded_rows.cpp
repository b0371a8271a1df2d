#include "ui/viewer/folded_rows.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "ui/viewer/line_style.h"

namespace verko {

QString FoldText(int rows) {
  return QStringLiteral("⋯ 一致 %1 行を折りたたみ（ダブルクリックで展開）⋯").arg(rows);
}

FoldedRows::FoldedRows(QAbstractItemModel* source, std::vector<int> textColumns, QObject* parent)
    : QSortFilterProxyModel(parent), textColumns_(std::move(textColumns)) {
  setSourceModel(source);
  // The model is never sorted; its rows change only all at once.
  setDynamicSortFilter(false);
}

void FoldedRows::Fold(const std::vector<bool>& common, int context) {
  const int count = static_cast<int>(common.size());
  fold_.assign(count, 0);
  folds_ = 0;
  for (int start = 0; start < count;) {
    if (!common[start]) {
      ++start;
      continue;
    }
    int end = start;
    while (end < count && common[end]) ++end;
    const int length = end - start;
    if (length > 2 * context + 1) {
      const int head = start + context;
      const int folded = length - 2 * context;
      fold_[head] = folded;
      std::fill(fold_.begin() + head + 1, fold_.begin() + head + folded, -1);
      ++folds_;
    }
    start = end;
  }
  Apply();
}

void FoldedRows::UnfoldAll() {
  if (folds_ == 0) return;
  fold_.clear();
  folds_ = 0;
  Apply();
}

bool FoldedRows::IsFolded(int row) const {
  return row >= 0 && row < static_cast<int>(fold_.size()) && fold_[row] != 0;
}

int FoldedRows::FoldedCount(int row) const {
  return row >= 0 && row < static_cast<int>(fold_.size()) ? std::max(fold_[row], 0) : 0;
}

bool FoldedRows::Unfold(int row) {
  if (!IsFolded(row)) return false;
  int head = row;
  while (fold_[head] < 0) --head;
  const int end = head + fold_[head];
  std::fill(fold_.begin() + head, fold_.begin() + end, 0);
  --folds_;
  Apply();
  return true;
}

void FoldedRows::Apply() {
  // Also repaints the rows that now show, or no longer show, a folded run.
  invalidateFilter();
}

bool FoldedRows::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  return sourceRow >= static_cast<int>(fold_.size()) || fold_[sourceRow] >= 0;
}

QVariant FoldedRows::data(const QModelIndex& index, int role) const {
  const int row = index.isValid() ? mapToSource(index).row() : -1;
  const int folded = FoldedCount(row);
  if (folded == 0) return QSortFilterProxyModel::data(index, role);
  const bool textColumn =
      std::find(textColumns_.begin(), textColumns_.end(), index.column()) != textColumns_.end();
  switch (role) {
    case Qt::DisplayRole:
      return textColumn ? FoldText(folded) : QString();
    case Qt::ToolTipRole:
      return QStringLiteral("一致行 %1 行を折りたたんでいます").arg(folded);
    case Qt::BackgroundRole:
      return GapBackground(QApplication::palette());
    case Qt::ForegroundRole:
      return MutedText(QApplication::palette());
    case Qt::TextAlignmentRole:
      // From the start of the text: a list's text column may be far wider than the window.
      return int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return QSortFilterProxyModel::data(index, role);
}

}  // namespace verko
