// Long runs of common rows folded to a few rows of context: a filter over one of the
// viewer's models that leaves out the middle of each long run and shows a single row in its
// place, saying how many rows it holds. Rows are always counted in the model's own rows;
// with nothing folded every row passes through as it is.
#pragma once

#include <QSortFilterProxyModel>
#include <vector>

namespace verko {

class FoldedRows : public QSortFilterProxyModel {
 public:
  // `textColumns`: the columns that show a folded run's text (the others stay empty).
  FoldedRows(QAbstractItemModel* source, std::vector<int> textColumns, QObject* parent = nullptr);

  // Folds every run of rows flagged in `common` that is longer than 2 * `context` + 1,
  // keeping `context` rows at each end; the rows folded before are unfolded first.
  void Fold(const std::vector<bool>& common, int context);
  void UnfoldAll();
  // Unfolds the run that holds model row `row`; false when the row is not folded away.
  bool Unfold(int row);
  bool IsFolded(int row) const;
  bool AnyFolded() const { return folds_ > 0; }
  // The number of rows a folded run stands for when `row` is its shown row, else 0.
  int FoldedCount(int row) const;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  void Apply();

  std::vector<int> textColumns_;
  // Per model row: > 0 the shown row of a folded run of that many rows, -1 left out, 0 as is.
  std::vector<int> fold_;
  int folds_ = 0;
};

// The text of a folded run's row.
QString FoldText(int rows);

}  // namespace verko
