// The progress bar of the main window: a sunken frame with a shadow line along its top and
// its left edge, and inside them a dark blue bar as wide as the share of the run that is
// done. It sizes its lines and its bar itself, whenever the share or its own size changes.
#pragma once

#include <QFrame>

namespace verko {

class ProgressBarFrame : public QFrame {
 public:
  // An empty bar, `height` pixels tall and as wide as its layout makes it.
  ProgressBarFrame(int height, QWidget* parent);

  // Shows `percent` of the run as done (0 to 100).
  void SetPercent(int percent);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SizeBar();

  int percent_ = 0;
  QFrame *topShadow_, *leftShadow_, *bar_;
};

}  // namespace verko
