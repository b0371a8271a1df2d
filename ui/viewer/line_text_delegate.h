// Paints the text cells of the viewer's views: a line's text from its start, shifted left by
// the view's own horizontal offset (side by side, where both text columns scroll together
// under one scroll bar), with the changed characters of a changed line marked in a stronger
// form of the line's colour. Centred cells (gaps, folded runs) are painted as usual. With
// wrapping on, a text runs on in lines as wide as its cell, from the cell's top.
#pragma once

#include <QStyledItemDelegate>

namespace verko {

class LineTextDelegate : public QStyledItemDelegate {
 public:
  explicit LineTextDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

  // The pixels the text is shifted left by.
  void SetOffset(int pixels) { offset_ = pixels; }
  int Offset() const { return offset_; }
  void SetWrap(bool on) { wrap_ = on; }

  // The height of `text` wrapped as the delegate paints it in a cell `cellWidth` pixels wide
  // of `view` (its style's margins).
  static int WrappedHeight(const QString& text, const QFont& font, int cellWidth,
                           const QWidget* view);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  int offset_ = 0;
  bool wrap_ = false;
};

}  // namespace verko
