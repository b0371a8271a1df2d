// The strip beside the view's scroll bar that shows where a long report's differences are:
// the whole report from top to bottom, each difference a mark in its line's colour. A click
// asks for the row at that height.
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>
#include <vector>

namespace verko {

class DifferenceOverview : public QWidget {
 public:
  explicit DifferenceOverview(QWidget* parent = nullptr);

  // The colour of every row (invalid for a row that is not a difference).
  void SetRows(std::vector<QColor> rows);
  // Called with the row under a click.
  void OnRowClicked(std::function<void(int row)> handler) { clicked_ = std::move(handler); }
  // The row a click at height `y` stands for.
  int RowAt(int y) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::vector<QColor> rows_;
  std::function<void(int)> clicked_;
};

}  // namespace verko
