#include "ui/viewer/line_text_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "ui/viewer/line_style.h"
#include "ui/viewer/report_line_model.h"

namespace verko {
namespace {

// The pixels between a cell's edge and its text, as the view's own painting leaves.
int TextMargin(const QWidget* widget) {
  QStyle* style = widget ? widget->style() : QApplication::style();
  return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

// Lays `layout` out in lines `width` pixels wide; returns their height.
qreal LayOutLines(QTextLayout& layout, int width) {
  QTextOption textOption;
  textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(textOption);
  qreal height = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(std::max(width, 1));
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  layout.endLayout();
  return height;
}

int WrapWidth(int cellWidth, const QWidget* widget) {
  return cellWidth - 2 * TextMargin(widget) - 4;
}

}  // namespace

int LineTextDelegate::WrappedHeight(const QString& text, const QFont& font, int cellWidth,
                                    const QWidget* view) {
  const QFontMetrics metrics(font);
  const int width = WrapWidth(cellWidth, view);
  // Most lines fit: only the wider ones are laid out.
  if (metrics.horizontalAdvance(text) <= width) return metrics.height();
  QTextLayout layout(text, font);
  return static_cast<int>(std::ceil(LayOutLines(layout, width)));
}

void LineTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  if (!(opt.displayAlignment & Qt::AlignLeft)) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  if (text.isEmpty()) return;

  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  const bool selected = opt.state & QStyle::State_Selected;
  QColor pen =
      selected ? opt.palette.color(QPalette::HighlightedText) : opt.palette.color(QPalette::Text);
  if (!selected && index.data(Qt::ForegroundRole).canConvert<QColor>()) {
    pen = index.data(Qt::ForegroundRole).value<QColor>();
  }
  // The text starts a few pixels in, as the view's own painting does.
  const int margin = TextMargin(widget);
  QTextLayout layout(text, opt.font);
  QList<QTextLayout::FormatRange> formats;
  const QVariant ranges = index.data(kChangedRangesRole);
  if (ranges.isValid()) {
    const LineKind kind = static_cast<LineKind>(index.data(kKindRole).toInt());
    QTextCharFormat marked;
    marked.setBackground(ChangedTextBackground(kind, opt.palette));
    for (const QVariant& range : ranges.toList()) {
      const QPoint r = range.toPoint();
      formats.append({r.x(), r.y(), marked});
    }
  }
  layout.setFormats(formats);
  painter->save();
  painter->setClipRect(area);
  painter->setPen(pen);
  if (wrap_) {
    // From the top of the cell, as many lines as the row was measured for.
    const qreal height = LayOutLines(layout, WrapWidth(option.rect.width(), widget));
    const qreal top = area.top() + std::max<qreal>(0, (area.height() - height) / 2);
    layout.draw(painter, QPointF(area.left() + margin, top));
    painter->restore();
    return;
  }
  QTextOption textOption;
  textOption.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(textOption);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (line.isValid()) {
    const QPointF origin(area.left() + margin - offset_,
                         area.top() + (area.height() - line.height()) / 2);
    layout.draw(painter, origin);
  }
  painter->restore();
}

}  // namespace verko
