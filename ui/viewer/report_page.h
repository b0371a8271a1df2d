// One report in the viewer: the header and statistics above the lines, the lines as one
// list or side by side, the strip that shows where the differences are, folding of long
// common runs, and the moves between differences, between a moved line's two places and to
// found text. The window around it (ReportViewer) holds the commands, the search bar and the
// status line; a page only answers whether a move was possible. A file that is not a report
// is shown as plain text. The page reads its file again when the file changes on disk.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "common/status.h"
#include "report/changed_characters.h"
#include "report/side_by_side.h"
#include "ui/viewer/report_file.h"

class QFileSystemWatcher;
class QLabel;
class QScrollBar;
class QStackedWidget;
class QTableView;
class QToolButton;
class QTimer;

namespace verko {

class ChangedMarks;
class DifferenceOverview;
class FoldedRows;
class LineTextDelegate;
class ReportLineModel;
class SideBySideModel;
class WrappedRows;

// Compares the pair of a report again, writing the report file anew.
using CompareAgainFunction = std::function<Status()>;

class ReportPage : public QWidget {
 public:
  // `tabWidth`: the columns between tab stops in the shown text; `units`: what the marks of
  // changed lines cover.
  ReportPage(const QString& path, LoadedReport report, int tabWidth, ChangeUnits units,
             QWidget* parent = nullptr);
  ~ReportPage() override;

  const QString& Path() const { return path_; }
  const ReportDocument& Document() const { return report_.document; }
  // The counts for the status line.
  const QString& CountsText() const { return countsText_; }

  // The view being shown: the list or the side-by-side view.
  QTableView* CurrentView() const;
  bool SideBySideShown() const;
  void ShowSideBySide(bool on);
  // Folds every long run of common lines to a few lines of context (or unfolds them all).
  void FoldCommonRuns(bool on);
  bool CommonRunsFolded() const { return folded_; }
  // Wraps long lines in both views (or shows each on one line, scrolled sideways).
  void SetWrap(bool on);
  bool Wrapped() const { return wrapped_; }
  // The pixels the side-by-side texts are scrolled left by.
  int SideTextOffset() const;

  // The report line at the current cell (-1 when there is none), and making a line current
  // (its row scrolled into view vertically only, on its own side in the side-by-side view;
  // a folded run that holds it is unfolded).
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
  // Goes to the difference nearest to row `row` of the current view (the overview's click).
  void GoToDifferenceNear(int row);

  // The pair this report compares, when the page can compare it again.
  void SetCompareAgain(CompareAgainFunction compareAgain) {
    compareAgain_ = std::move(compareAgain);
  }
  bool CanCompareAgain() const { return static_cast<bool>(compareAgain_); }
  // Compares the pair again and reads the new report; the failure's status otherwise.
  Status CompareAgain();
  // Reads the file again, keeping the current line as near as it can; the failure's status
  // when the file cannot be read (the report shown stays).
  Status Reload();
  // Called after the page read its file again on its own (the window updates its status).
  void OnReloaded(std::function<void()> handler) { reloaded_ = std::move(handler); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ComputeRows();
  void CreateWidgets();
  QTableView* NewView(const char* name, FoldedRows* rows);
  void SizeColumns();
  void UpdateSideScrollRange();
  void FillHeader();
  // Folds the header into one line on a low page, unless the user unfolded it.
  void FoldHeader();
  void FillOverview();
  void WatchFile();
  FoldedRows* CurrentRows() const;
  // A row of the current view's model as an index of the view, and back.
  QModelIndex ViewIndex(int row, int column) const;
  int RowOf(const QModelIndex& viewIndex) const;
  const std::vector<bool>& ChangedRows() const;
  int CurrentRow() const;
  // Makes `row` current; in the side-by-side view on the side of `line` when given.
  void GoToRow(int row, int line = -1);
  void ShowRowKeepingLineStart(const QModelIndex& index);
  // The report lines a row of the current view shows (one, or two side by side).
  std::vector<int> LinesOfRow(int row) const;
  void UnfoldAt(const QModelIndex& viewIndex);

  QString path_;
  LoadedReport report_;
  SideBySide sideRows_;
  int tabWidth_;
  bool folded_ = false;
  bool wrapped_ = false;
  std::vector<bool> changedLines_, changedSideRows_, commonLines_, commonSideRows_;
  std::unique_ptr<ChangedMarks> marks_;
  std::unique_ptr<ReportLineModel> lineModel_;
  std::unique_ptr<SideBySideModel> sideModel_;
  FoldedRows *lineFold_, *sideFold_;
  QString countsText_;
  CompareAgainFunction compareAgain_;
  std::function<void()> reloaded_;

  QLabel *messageLabel_, *headerLabel_, *statisticsLabel_;
  QToolButton* headerToggle_;
  QStackedWidget* views_;
  QTableView *lineView_, *sideView_;
  LineTextDelegate* sideText_;
  WrappedRows *lineWrap_, *sideWrap_;
  QScrollBar* sideScroll_;
  QWidget* sidePane_;
  DifferenceOverview* overview_;
  QFileSystemWatcher* watcher_;
  QTimer* reloadTimer_;
};

}  // namespace verko
