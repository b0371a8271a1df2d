// The report's body as one list (the report's own order): a thin table model over the
// core's ReportDocument, which it does not own. Columns: marker, old number, new number,
// text. A gap shows as a row of its own without numbers; a text that is not a report
// shows its lines with their numbers.
#pragma once

#include <QAbstractTableModel>

#include "report/report_reader.h"

namespace verko {

// Roles shared by the viewer's models.
enum ViewerRole {
  kKindRole = Qt::UserRole + 1,  // LineKind of the cell's line (int); -1 for an empty cell
  kLineRole,                     // index of the cell's report line; -1 for an empty cell
  kChangedRangesRole,            // the changed characters of a text cell (ChangedMarks)
};

class ChangedMarks;

class ReportLineModel : public QAbstractTableModel {
 public:
  enum Column { kMark, kOldNo, kNewNo, kText, kColumnCount };

  // `tabWidth`: the columns between tab stops in the shown text; `marks` (kept by the
  // caller) give the changed characters of deleted and added lines.
  ReportLineModel(const ReportDocument& document, int tabWidth, ChangedMarks* marks,
                  QObject* parent = nullptr)
      : QAbstractTableModel(parent), document_(document), tabWidth_(tabWidth), marks_(marks) {}

  // The document changed in place (a report read again): every row is new.
  void Refresh() {
    beginResetModel();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const ReportDocument& document_;
  int tabWidth_;
  ChangedMarks* marks_;
};

// The changed characters of report line `line` for a text cell (kChangedRangesRole); null
// when it has none.
QVariant ChangedRangesOf(ChangedMarks* marks, int line);

// The text of a report line for the windows (search and copying see this one).
QString LineTextOf(const ReportDocument& document, int line);
// The text of a report line as shown: tabs expanded to stops every `tabWidth` columns (a
// character outside ASCII and half-width katakana takes two columns).
QString ShownTextOf(const ReportDocument& document, int line, int tabWidth);
QString ExpandTabs(const QString& text, int tabWidth);
// How many common lines the gap at `line` leaves out (counted in the new file's lines), -1
// when the report does not tell.
int HiddenLinesOfGap(const ReportDocument& document, int line);
// The text of a gap row: how many lines it leaves out.
QString GapText(const ReportDocument& document, int line);
// The tooltip of a gap, or of a moved line (where its other place is); empty for others.
QString PlaceToolTip(const ReportDocument& document, int line);
// The background of a line of `kind` (a gap included); null for the view's own.
QVariant BackgroundOf(LineKind kind, const QPalette& palette);

}  // namespace verko
