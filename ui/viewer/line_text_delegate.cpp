#include "ui/viewer/line_text_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include "ui/viewer/line_style.h"
#include "ui/viewer/report_line_model.h"

namespace verko {

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
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  QTextLayout layout(text, opt.font);
  QTextOption textOption;
  textOption.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(textOption);
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
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  if (!line.isValid()) return;
  painter->save();
  painter->setClipRect(area);
  painter->setPen(pen);
  const QPointF origin(area.left() + margin - offset_,
                       area.top() + (area.height() - line.height()) / 2);
  layout.draw(painter, origin);
  painter->restore();
}

}  // namespace verko
