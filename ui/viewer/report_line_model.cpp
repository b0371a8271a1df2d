#include "ui/viewer/report_line_model.h"

#include <QApplication>
#include <QPalette>

#include "ui/viewer/changed_marks.h"
#include "ui/viewer/line_style.h"

namespace verko {

QString LineTextOf(const ReportDocument& document, int line) {
  const std::string_view text = document.TextOf(line);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ExpandTabs(const QString& text, int tabWidth) {
  if (!text.contains(QLatin1Char('\t')) || tabWidth <= 0) return text;
  QString shown;
  shown.reserve(text.size() + 4 * tabWidth);
  int column = 0;
  for (const QChar c : text) {
    if (c == QLatin1Char('\t')) {
      const int spaces = tabWidth - column % tabWidth;
      shown.append(QString(spaces, QLatin1Char(' ')));
      column += spaces;
      continue;
    }
    shown.append(c);
    // A surrogate pair's second half adds nothing; a wide character takes two columns.
    if (c.isLowSurrogate()) continue;
    const ushort u = c.unicode();
    column += (u < 0x80 || (u >= 0xFF61 && u <= 0xFF9F)) ? 1 : 2;
  }
  return shown;
}

QString ShownTextOf(const ReportDocument& document, int line, int tabWidth) {
  return ExpandTabs(LineTextOf(document, line), tabWidth);
}

namespace {

// The new file's line number of the nearest line at its new place from `line` on in
// direction `step`; 0 when there is none before, -1 when none after.
int NearestNewNumber(const ReportDocument& document, int line, int step) {
  for (int i = line + step; i >= 0 && i < document.Count(); i += step) {
    const ReportLine& other = document.Line(i);
    if (other.kind == LineKind::kCommon || other.kind == LineKind::kAdded ||
        other.kind == LineKind::kMovedNew) {
      return other.newNo;
    }
  }
  return step < 0 ? 0 : -1;
}

}  // namespace

int HiddenLinesOfGap(const ReportDocument& document, int line) {
  const int before = NearestNewNumber(document, line, -1);
  const int after = NearestNewNumber(document, line, +1);
  if (after < 0 || after <= before) return -1;
  return after - before - 1;
}

QString GapText(const ReportDocument& document, int line) {
  const int hidden = HiddenLinesOfGap(document, line);
  if (hidden < 0) return QStringLiteral("⋯");
  return QStringLiteral("⋯ 一致 %1 行を省略 ⋯").arg(hidden);
}

QString PlaceToolTip(const ReportDocument& document, int line) {
  const ReportLine& own = document.Line(line);
  if (own.kind == LineKind::kGap) {
    return QStringLiteral("相違部分のみの出力のため、ここにあった一致行は結果に含まれていません");
  }
  if (own.partner < 0) return QString();
  const ReportLine& other = document.Line(own.partner);
  return own.kind == LineKind::kMovedOld
             ? QStringLiteral(
                   "新ファイルの %1 行目へ移動（ダブルクリックまたは Ctrl+J で移動先へ）")
                   .arg(LineNumberText(other.newNo, other.newPart))
             : QStringLiteral(
                   "旧ファイルの %1 行目から移動（ダブルクリックまたは Ctrl+J で移動元へ）")
                   .arg(LineNumberText(other.oldNo, other.oldPart));
}

QVariant ChangedRangesOf(ChangedMarks* marks, int line) {
  if (!marks) return QVariant();
  QVariantList ranges = marks->RangesOf(line);
  return ranges.isEmpty() ? QVariant() : QVariant(ranges);
}

QVariant BackgroundOf(LineKind kind, const QPalette& palette) {
  if (kind == LineKind::kGap) return GapBackground(palette);
  const QColor color = LineBackground(kind, palette);
  return color.isValid() ? QVariant(color) : QVariant();
}

int ReportLineModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : document_.Count();
}

int ReportLineModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant ReportLineModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= document_.Count()) return QVariant();
  const int row = index.row();
  const ReportLine& line = document_.Line(row);
  const QPalette palette = QApplication::palette();
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case kMark:
          switch (line.kind) {
            case LineKind::kDeleted:
              return QStringLiteral("-");
            case LineKind::kAdded:
              return QStringLiteral("+");
            case LineKind::kMovedOld:
              return QStringLiteral("<-");
            case LineKind::kMovedNew:
              return QStringLiteral(">+");
            case LineKind::kCommon:
            case LineKind::kGap:
            case LineKind::kNoDifferences:
            case LineKind::kPlain:
              break;
          }
          return QString();
        case kOldNo:
          if (line.kind == LineKind::kPlain) return QString::number(row + 1);
          if (line.kind == LineKind::kMovedNew) {
            return QStringLiteral("(%1)").arg(LineNumberText(line.oldNo, line.oldPart));
          }
          return LineNumberText(line.oldNo, line.oldPart);
        case kNewNo:
          if (line.kind == LineKind::kMovedOld) {
            return QStringLiteral("(%1)").arg(LineNumberText(line.newNo, line.newPart));
          }
          return LineNumberText(line.newNo, line.newPart);
        case kText:
          if (line.kind == LineKind::kGap) return GapText(document_, row);
          if (line.kind == LineKind::kNoDifferences) {
            return QStringLiteral("相違点は見つかりませんでした");
          }
          return ShownTextOf(document_, row, tabWidth_);
      }
      break;
    case Qt::ToolTipRole:
      if (QString tip = PlaceToolTip(document_, row); !tip.isEmpty()) return tip;
      if (index.column() == kText && line.kind != LineKind::kPlain) {
        return LineTextOf(document_, row);
      }
      break;
    case Qt::BackgroundRole:
      return BackgroundOf(line.kind, palette);
    case Qt::ForegroundRole:
      if (index.column() != kText || line.kind == LineKind::kGap) return MutedText(palette);
      break;
    case Qt::TextAlignmentRole:
      if (index.column() == kText) return int(Qt::AlignLeft | Qt::AlignVCenter);
      if (index.column() == kMark || line.kind == LineKind::kGap) {
        return int(Qt::AlignCenter);
      }
      return int(Qt::AlignRight | Qt::AlignVCenter);
    case kKindRole:
      return static_cast<int>(line.kind);
    case kLineRole:
      return row;
    case kChangedRangesRole:
      if (index.column() == kText) return ChangedRangesOf(marks_, row);
      break;
  }
  return QVariant();
}

QVariant ReportLineModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  switch (section) {
    case kOldNo:
      return document_.IsReport() ? QStringLiteral("旧") : QStringLiteral("行");
    case kNewNo:
      return document_.IsReport() ? QStringLiteral("新") : QString();
    case kText:
      return QStringLiteral("テキスト");
  }
  return QString();
}

}  // namespace verko
