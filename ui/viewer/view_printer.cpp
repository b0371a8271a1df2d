#include "ui/viewer/view_printer.h"

#include <QAbstractItemModel>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QTableView>
#include <QTextLayout>
#include <algorithm>
#include <vector>

#include "ui/viewer/line_style.h"
#include "ui/viewer/line_text_delegate.h"
#include "ui/viewer/report_line_model.h"

namespace verko {
namespace {

struct PrintColumn {
  int column;
  bool text;  // a line's text, wrapped; else a mark or number
  qreal left, width;
};

// The view's shown columns across the page: marks and numbers as wide as they need, the
// texts sharing the rest.
std::vector<PrintColumn> LayOutColumns(const QTableView& view, const QFontMetricsF& metrics,
                                       qreal pageWidth) {
  std::vector<PrintColumn> columns;
  const qreal numberWidth = metrics.horizontalAdvance(QStringLiteral("32000~99")) + 8;
  qreal fixed = 0;
  int texts = 0;
  for (int c = 0; c < view.model()->columnCount(); ++c) {
    if (view.isColumnHidden(c)) continue;
    const bool text = dynamic_cast<LineTextDelegate*>(view.itemDelegateForColumn(c)) != nullptr;
    columns.push_back({c, text, 0, text ? 0 : numberWidth});
    fixed += text ? 0 : numberWidth;
    texts += text ? 1 : 0;
  }
  const qreal textWidth = std::max<qreal>((pageWidth - fixed) / std::max(texts, 1), 40);
  qreal left = 0;
  for (PrintColumn& column : columns) {
    if (column.text) column.width = textWidth;
    column.left = left;
    left += column.width;
  }
  return columns;
}

// A cell's text laid out in lines of the column's width, its changed characters marked.
void LayOutCell(const QModelIndex& index, const PrintColumn& column, const QPalette& palette,
                QTextLayout* layout) {
  QList<QTextLayout::FormatRange> formats;
  const QVariant ranges = index.data(kChangedRangesRole);
  if (ranges.isValid()) {
    QTextCharFormat marked;
    marked.setBackground(
        ChangedTextBackground(static_cast<LineKind>(index.data(kKindRole).toInt()), palette));
    for (const QVariant& range : ranges.toList()) {
      formats.append({range.toPoint().x(), range.toPoint().y(), marked});
    }
  }
  layout->setFormats(formats);
  QTextOption option;
  option.setWrapMode(column.text ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  layout->setTextOption(option);
  qreal y = 0;
  layout->beginLayout();
  for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
    line.setLineWidth(column.width - 6);
    line.setPosition(QPointF(0, y));
    y += line.height();
  }
  layout->endLayout();
}

// Text is laid out with the printer's metrics, the same the row heights are counted in.
qreal RowHeight(const QAbstractItemModel& model, int row, const std::vector<PrintColumn>& columns,
                const QFont& font, const QPalette& palette, qreal lineHeight,
                const QPaintDevice* device) {
  qreal height = lineHeight;
  for (const PrintColumn& column : columns) {
    if (!column.text) continue;
    QTextLayout layout(model.index(row, column.column).data().toString(), font, device);
    LayOutCell(model.index(row, column.column), column, palette, &layout);
    height = std::max(height, layout.boundingRect().height());
  }
  return height;
}

void PaintRow(QPainter& painter, const QAbstractItemModel& model, int row, qreal top, qreal height,
              const std::vector<PrintColumn>& columns, const QPalette& palette) {
  for (const PrintColumn& column : columns) {
    const QModelIndex index = model.index(row, column.column);
    const QRectF cell(column.left, top, column.width, height);
    if (const QVariant background = index.data(Qt::BackgroundRole); background.isValid()) {
      painter.fillRect(cell, background.value<QBrush>());
    }
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter.setPen(foreground.isValid() ? foreground.value<QColor>() : QColor(Qt::black));
    const QString text = index.data().toString();
    const int alignment = index.data(Qt::TextAlignmentRole).toInt();
    // Every cell through a text layout, so that numbers and texts share their baseline.
    QTextLayout layout(text, painter.font(), painter.device());
    LayOutCell(index, column, palette, &layout);
    qreal left = column.left + 3;
    if (layout.lineCount() == 1 && (alignment & (Qt::AlignRight | Qt::AlignHCenter))) {
      const qreal room = column.width - 6 - layout.lineAt(0).naturalTextWidth();
      left += (alignment & Qt::AlignRight) ? room : room / 2;
    }
    layout.draw(&painter, QPointF(left, top));
  }
}

}  // namespace

int PrintView(const QTableView& view, const QString& title, QPrinter* printer) {
  const QAbstractItemModel* model = view.model();
  QPainter painter;
  if (!model || !painter.begin(printer)) return 0;
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(8.5);
  painter.setFont(font);
  const QFontMetricsF metrics(font, printer);
  // Printed on white whatever the screen's theme is.
  QPalette palette;
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
  const qreal headerHeight = metrics.height() * 2;
  const qreal bodyHeight = page.height() - headerHeight;
  const std::vector<PrintColumn> columns = LayOutColumns(view, metrics, page.width());

  // Where each page starts: rows are never cut between two pages.
  std::vector<qreal> heights(model->rowCount());
  std::vector<int> pageStarts{0};
  qreal used = 0;
  for (int row = 0; row < model->rowCount(); ++row) {
    heights[row] = std::min(
        RowHeight(*model, row, columns, font, palette, metrics.height(), printer), bodyHeight);
    if (used + heights[row] > bodyHeight && used > 0) {
      pageStarts.push_back(row);
      used = 0;
    }
    used += heights[row];
  }
  const int pages = static_cast<int>(pageStarts.size());
  for (int p = 0; p < pages; ++p) {
    if (p > 0) printer->newPage();
    painter.setPen(Qt::black);
    const QRectF header(0, 0, page.width(), metrics.height());
    const QString count = QStringLiteral("%1 / %2").arg(p + 1).arg(pages);
    painter.drawText(header, Qt::AlignRight | Qt::AlignTop, count);
    painter.drawText(header.adjusted(0, 0, -metrics.horizontalAdvance(count) - 12, 0),
                     Qt::AlignLeft | Qt::AlignTop,
                     metrics.elidedText(title, Qt::ElideMiddle,
                                        page.width() - metrics.horizontalAdvance(count) - 12));
    painter.drawLine(QPointF(0, metrics.height() * 1.4),
                     QPointF(page.width(), metrics.height() * 1.4));
    qreal top = headerHeight;
    const int end = p + 1 < pages ? pageStarts[p + 1] : model->rowCount();
    for (int row = pageStarts[p]; row < end; ++row) {
      PaintRow(painter, *model, row, top, heights[row], columns, palette);
      top += heights[row];
    }
  }
  painter.end();
  return pages;
}

}  // namespace verko
