// The report viewer (`verko --view REPORT`, and the main window's 結果の表示): a read-only
// window over a report file, its lines coloured by kind, as one list or side by side, with
// the header and statistics, moves between differences, between a moved line's two
// places, search and copying. A file that is not a report is shown as plain text.
#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "report/side_by_side.h"
#include "ui/viewer/report_file.h"

class QAction;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QTableView;

namespace verko {

class ReportLineModel;
class SideBySideModel;
class UiServices;

class ReportViewer : public QMainWindow {
 public:
  // Opens the file at `path` in a new viewer window (deleted when closed) and shows it. A
  // missing or unreadable file gets the usual message through `services` and no window:
  // null is returned.
  static ReportViewer* Open(const QString& path, UiServices& services, QWidget* parent = nullptr);

  ReportViewer(const QString& path, LoadedReport report, QWidget* parent = nullptr);
  ~ReportViewer() override;

  const ReportDocument& Document() const { return report_.document; }
  // The view being shown: the list or the side-by-side view.
  QTableView* CurrentView() const;
  bool SideBySideShown() const;
  void ShowSideBySide(bool on);

  // The report line at the current cell (-1 when there is none), and making a line current
  // (its row scrolled into view, on its own side in the side-by-side view).
  int CurrentLine() const;
  void SetCurrentLine(int line);

  // Moves to the first row of the next (previous) block of differences; false when there is
  // none (the current row stays).
  bool NextDifference();
  bool PreviousDifference();
  // From a moved line to the same line at its other place; false when the current line is
  // not a moved line with its other place in the report.
  bool JumpToOtherPlace();
  // Finds the next (previous) line whose text holds `text`, letter case ignored, from the
  // current row on and around the end; false when no line holds it.
  bool Find(const QString& text, bool backwards = false);
  // The report lines of the selected rows as the file has them, one per line.
  QString SelectedLinesText() const;

 private:
  void CreateActions();
  void CreateWidgets(const QString& path);
  QTableView* NewView(const char* name);
  void SizeColumns();
  void FillHeader(const QString& path);
  void ShowSearchBar();
  void CopySelection();
  // Rows of the current view that hold a difference, and the current row.
  const std::vector<bool>& ChangedRows() const;
  int CurrentRow() const;
  // Makes `row` current; in the side-by-side view on the side of `line` when given.
  void GoToRow(int row, int line = -1);
  // The report lines a row of the current view shows (one, or two side by side).
  std::vector<int> LinesOfRow(int row) const;

  LoadedReport report_;
  SideBySide sideRows_;
  std::vector<bool> changedLines_, changedSideRows_;
  std::unique_ptr<ReportLineModel> lineModel_;
  std::unique_ptr<SideBySideModel> sideModel_;

  QAction *actPrevious_, *actNext_, *actJump_, *actSideBySide_, *actFind_, *actCopy_;
  QLabel *messageLabel_, *headerLabel_, *statisticsLabel_, *countsLabel_;
  QStackedWidget* views_;
  QTableView *lineView_, *sideView_;
  QWidget* searchBar_;
  QLineEdit* searchField_;
};

}  // namespace verko
