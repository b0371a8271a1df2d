// Measures how long the report viewer takes from the start of the program to the first
// painted rows of a report: QApplication, reading and decoding the file, reading its lines,
// the models, the window shown and its first paint. Prints the milliseconds on stdout and
// exits. Part of bench/ (bench/viewer.sh), not of the tests or the shipped program.
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include "ui/shared/ui_services.h"
#include "ui/viewer/report_viewer.h"

namespace {

// Reports the time once the view's first paint has been handled, then quits.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [this] {
        std::printf("%.1f\n", clock_.nsecsElapsed() / 1e6);
        QApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  const QElapsedTimer& clock_;
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: verko-bench-viewer REPORT\n");
    return 2;
  }
  verko::QtUiServices services;
  verko::ReportViewer* viewer =
      verko::ReportViewer::Open(QString::fromLocal8Bit(argv[1]), services);
  if (!viewer) return 2;
  FirstPaint firstPaint(clock);
  viewer->CurrentView()->viewport()->installEventFilter(&firstPaint);
  return QApplication::exec();
}
