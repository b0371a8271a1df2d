#include "ui/viewer/wrapped_rows.h"

#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "ui/viewer/line_text_delegate.h"

namespace verko {

WrappedRows::WrappedRows(QTableView* view, std::vector<int> textColumns)
    : QObject(view), view_(view), textColumns_(std::move(textColumns)), timer_(new QTimer(this)) {
  // Widths change many times while a window is dragged larger: the rows are measured once
  // the widths have settled.
  timer_->setSingleShot(true);
  timer_->setInterval(30);
  connect(timer_, &QTimer::timeout, this, &WrappedRows::Measure);
  connect(view_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
    if (wrap_ && std::count(textColumns_.begin(), textColumns_.end(), column)) timer_->start();
  });
}

void WrappedRows::SetWrap(bool on) {
  if (on == wrap_) return;
  wrap_ = on;
  for (int column : textColumns_) {
    if (auto* delegate = dynamic_cast<LineTextDelegate*>(view_->itemDelegateForColumn(column))) {
      delegate->SetWrap(on);
    }
  }
  Measure();
}

void WrappedRows::Remeasure() {
  if (wrap_) timer_->start();
}

void WrappedRows::WatchModel() {
  QAbstractItemModel* model = view_->model();
  if (model == watched_) return;
  if (watched_) disconnect(watched_, nullptr, this, nullptr);
  watched_ = model;
  if (!model) return;
  connect(model, &QAbstractItemModel::modelReset, this, &WrappedRows::Remeasure);
  connect(model, &QAbstractItemModel::layoutChanged, this, &WrappedRows::Remeasure);
  connect(model, &QAbstractItemModel::rowsInserted, this, &WrappedRows::Remeasure);
  connect(model, &QAbstractItemModel::rowsRemoved, this, &WrappedRows::Remeasure);
  connect(model, &QAbstractItemModel::dataChanged, this, &WrappedRows::Remeasure);
}

void WrappedRows::Measure() {
  WatchModel();
  QAbstractItemModel* model = view_->model();
  if (!model) return;
  QHeaderView* rows = view_->verticalHeader();
  const int oneLine = rows->defaultSectionSize();
  // The row at the top stays at the top: the view keeps its place.
  const int top = view_->rowAt(0);
  const int count = model->rowCount();
  for (int row = 0; row < count; ++row) {
    int height = oneLine;
    for (int column : textColumns_) {
      if (!wrap_ || view_->isColumnHidden(column)) continue;
      const QModelIndex index = model->index(row, column);
      // Centred cells (gaps, folded runs) keep one line, as the delegate paints them.
      const QVariant alignment = index.data(Qt::TextAlignmentRole);
      if (!alignment.isValid() || (alignment.toInt() & Qt::AlignLeft)) {
        const int text = LineTextDelegate::WrappedHeight(index.data().toString(), view_->font(),
                                                         view_->columnWidth(column), view_);
        height = std::max(height, text + oneLine - view_->fontMetrics().height());
      }
    }
    if (rows->sectionSize(row) != height) rows->resizeSection(row, height);
  }
  if (top >= 0 && top < count)
    view_->scrollTo(model->index(top, 0), QAbstractItemView::PositionAtTop);
}

}  // namespace verko
