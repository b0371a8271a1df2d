#include "ui/progress_bar_frame.h"

#include <cmath>

#include "ui/shared/widget_parts.h"

namespace verko {

ProgressBarFrame::ProgressBarFrame(int height, QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("RateFrame"));
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setFixedHeight(height);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  topShadow_ = Named(new QFrame(this), "RateFrame2");
  leftShadow_ = Named(new QFrame(this), "RateFrame3");
  for (QFrame* line : {topShadow_, leftShadow_}) {
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
  }
  bar_ = Named(new QFrame(this), "RateBar");
  bar_->setStyleSheet(QStringLiteral("QFrame#RateBar { background-color: #0000a0; }"));
  SizeBar();
}

void ProgressBarFrame::SetPercent(int percent) {
  percent_ = percent;
  SizeBar();
}

void ProgressBarFrame::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  SizeBar();
}

void ProgressBarFrame::SizeBar() {
  const QRect inner = contentsRect();
  topShadow_->setGeometry(inner.x(), inner.y(), inner.width(), 1);
  leftShadow_->setGeometry(inner.x(), inner.y(), 1, inner.height());
  // The bar fills the frame inside its shadow lines.
  const int span = inner.width() - 1;
  int width = 0;
  if (percent_ >= 100) {
    width = span;
  } else if (percent_ > 0) {
    width = static_cast<int>(std::lround(percent_ * static_cast<float>(span) / 100.0f));
  }
  bar_->setGeometry(inner.x() + 1, inner.y() + 1, width, inner.height() - 1);
}

}  // namespace verko
