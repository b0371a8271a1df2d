#include "ui/viewer/difference_overview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace verko {

DifferenceOverview::DifferenceOverview(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("DifferenceOverview"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("相違箇所の位置（クリックでその位置へ）"));
}

void DifferenceOverview::SetRows(std::vector<QColor> rows) {
  rows_ = std::move(rows);
  update();
}

QSize DifferenceOverview::sizeHint() const {
  return QSize(fontMetrics().height() * 3 / 4, 0);
}

int DifferenceOverview::RowAt(int y) const {
  if (rows_.empty() || height() <= 0) return -1;
  const int64_t row = static_cast<int64_t>(std::clamp(y, 0, height() - 1)) *
                      static_cast<int64_t>(rows_.size()) / height();
  return static_cast<int>(row);
}

void DifferenceOverview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const int count = static_cast<int>(rows_.size());
  if (count == 0) return;
  // One mark per pixel row at most: the first difference that falls on it sets its colour,
  // and every mark is at least two pixels high so that a single line stays visible.
  const int h = height();
  int lastY = -1;
  for (int row = 0; row < count; ++row) {
    if (!rows_[row].isValid()) continue;
    const int y = static_cast<int>(static_cast<int64_t>(row) * h / count);
    if (y == lastY) continue;
    const int next = static_cast<int>(static_cast<int64_t>(row + 1) * h / count);
    painter.fillRect(2, y, width() - 4, std::max(next - y, 2), rows_[row]);
    lastY = y;
  }
}

void DifferenceOverview::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !clicked_) return;
  const int row = RowAt(static_cast<int>(event->position().y()));
  if (row >= 0) clicked_(row);
}

}  // namespace verko
