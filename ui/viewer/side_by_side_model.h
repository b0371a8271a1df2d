// The report side by side: old text left, new text right, on the aligned rows of the
// core's SideBySide. A thin table model over the ReportDocument and the rows, which it
// does not own.
#pragma once

#include <QAbstractTableModel>

#include "report/side_by_side.h"

namespace verko {

class ChangedMarks;

class SideBySideModel : public QAbstractTableModel {
 public:
  enum Column { kOldNo, kOldText, kNewNo, kNewText, kColumnCount };

  // `tabWidth` and `marks` as for ReportLineModel.
  SideBySideModel(const ReportDocument& document, const SideBySide& rows, int tabWidth,
                  ChangedMarks* marks, QObject* parent = nullptr)
      : QAbstractTableModel(parent),
        document_(document),
        rows_(rows),
        tabWidth_(tabWidth),
        marks_(marks) {}

  // The document and rows changed in place (a report read again): every row is new.
  void Refresh() {
    beginResetModel();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // Whether a column shows the old side.
  static bool IsOldSide(int column) { return column == kOldNo || column == kOldText; }

 private:
  const ReportDocument& document_;
  const SideBySide& rows_;
  int tabWidth_;
  ChangedMarks* marks_;
};

}  // namespace verko
