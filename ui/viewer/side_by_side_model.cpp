#include "ui/viewer/side_by_side_model.h"

#include <QApplication>
#include <QPalette>

#include "ui/viewer/line_style.h"
#include "ui/viewer/report_line_model.h"

namespace verko {

int SideBySideModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_.Count();
}

int SideBySideModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant SideBySideModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_.Count()) return QVariant();
  const SideBySideRow& row = rows_.Rows()[index.row()];
  const bool oldSide = IsOldSide(index.column());
  const int lineIndex = oldSide ? row.oldLine : row.newLine;
  const bool numberColumn = index.column() == kOldNo || index.column() == kNewNo;
  const QPalette palette = QApplication::palette();
  if (lineIndex < 0) {
    if (role == Qt::BackgroundRole) return EmptyCellBackground(palette);
    if (role == kKindRole || role == kLineRole) return -1;
    return QVariant();
  }
  const ReportLine& line = document_.Line(lineIndex);
  switch (role) {
    case Qt::DisplayRole:
      if (row.gap) return numberColumn ? QString() : GapText(document_, lineIndex);
      if (line.kind == LineKind::kNoDifferences) {
        return numberColumn ? QString() : QStringLiteral("相違点は見つかりませんでした");
      }
      if (numberColumn) {
        if (line.kind == LineKind::kPlain) return QString::number(lineIndex + 1);
        return oldSide ? LineNumberText(line.oldNo, line.oldPart)
                       : LineNumberText(line.newNo, line.newPart);
      }
      return ShownTextOf(document_, lineIndex, tabWidth_);
    case Qt::ToolTipRole:
      if (QString tip = PlaceToolTip(document_, lineIndex); !tip.isEmpty()) return tip;
      if (!numberColumn) return LineTextOf(document_, lineIndex);
      break;
    case Qt::BackgroundRole:
      return BackgroundOf(line.kind, palette);
    case Qt::ForegroundRole:
      if (numberColumn || row.gap) return MutedText(palette);
      break;
    case Qt::TextAlignmentRole:
      if (row.gap) return int(Qt::AlignCenter);
      return numberColumn ? int(Qt::AlignRight | Qt::AlignVCenter)
                          : int(Qt::AlignLeft | Qt::AlignVCenter);
    case kKindRole:
      return static_cast<int>(line.kind);
    case kLineRole:
      return lineIndex;
    case kChangedRangesRole:
      if (!numberColumn) return ChangedRangesOf(marks_, lineIndex);
      break;
  }
  return QVariant();
}

QVariant SideBySideModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case kOldNo:
      return QStringLiteral("旧");
    case kOldText:
      return QStringLiteral("旧ファイル");
    case kNewNo:
      return QStringLiteral("新");
    case kNewText:
      return QStringLiteral("新ファイル");
  }
  return QVariant();
}

}  // namespace verko
