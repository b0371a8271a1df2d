// Long lines wrapped in a viewer's view: while on, each row is as tall as the longest of its
// text cells wrapped at the cell's width, measured again when the column widths or the rows
// change, and the text delegates paint the wrapped lines. Only lines wider than their column
// are laid out, so a long report stays quick; off, every row has the view's one height.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

class QAbstractItemModel;
class QTableView;
class QTimer;

namespace verko {

class WrappedRows : public QObject {
 public:
  // `view` must hold a LineTextDelegate for each of `textColumns`.
  WrappedRows(QTableView* view, std::vector<int> textColumns);

  void SetWrap(bool on);
  bool Wrapping() const { return wrap_; }
  // Measures the rows again (the view's model was replaced).
  void Remeasure();

 private:
  void Measure();
  void WatchModel();

  QTableView* view_;
  std::vector<int> textColumns_;
  bool wrap_ = false;
  QTimer* timer_;
  QPointer<QAbstractItemModel> watched_;
};

}  // namespace verko
