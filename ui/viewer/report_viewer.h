// The report viewer (`verko --view REPORT`, and the main window's 結果の表示): a read-only
// window over report files, each report a tab of its own (ReportPage: its lines coloured by
// kind, as one list or side by side). The window holds the commands (moves between
// differences, between a moved line's two places, search, copying, folding, comparing
// again, closing), the search bar and the status line, and keeps its size, place and view in
// the settings store.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <vector>

#include "ui/viewer/report_page.h"

class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class QTabWidget;
class QTableView;

namespace verko {

class SettingsStore;
class UiServices;

// Compares two files dropped on a viewer and shows their report in it.
using PairDropFunction = std::function<void(const QString& oldPath, const QString& newPath)>;

class ReportViewer : public QMainWindow {
 public:
  // Opens the file at `path` in a new viewer window (deleted when closed) and shows it. A
  // missing or unreadable file gets the usual message through `services` and no window:
  // null is returned. `store` (may be null: nothing remembered) keeps the window's size,
  // place and view; it must outlive the window. `compareAgain`, when given, compares the
  // report's pair again (F5).
  static ReportViewer* Open(const QString& path, UiServices& services,
                            SettingsStore* store = nullptr, QWidget* parent = nullptr,
                            CompareAgainFunction compareAgain = {});

  ReportViewer(UiServices& services, SettingsStore* store, QWidget* parent = nullptr);
  ~ReportViewer() override;

  // Reads the file at `path` into a tab of its own and shows it; null (after the usual
  // message) when it cannot be read. `compareAgain` as for Open.
  ReportPage* AddReport(const QString& path, CompareAgainFunction compareAgain = {});
  int PageCount() const;
  ReportPage* Page(int index) const;
  // The page shown; null while the window holds no report (before the first is added).
  ReportPage* CurrentPage() const;

  // The current report's, as its page has them (see ReportPage). Document() requires a page;
  // the others do nothing (or give nothing: null, 0, false, an empty text) without one.
  const ReportDocument& Document() const;
  QTableView* CurrentView() const;
  bool SideBySideShown() const;
  // Shows every report of the window as one list or side by side.
  void ShowSideBySide(bool on);
  void FoldCommonRuns(bool on);
  // Files dropped on the window: one opens as a report in a tab of its own; two (in the
  // order the drag lists them: old, new) go to `compare` when set.
  void SetPairDrop(PairDropFunction compare) { pairDrop_ = std::move(compare); }
  void OpenDroppedFiles(const QStringList& paths);

  // Prints the current view of the current report onto `printer` (see view_printer.h);
  // the number of pages.
  int PrintTo(QPrinter* printer) const;
  // 印刷 (Ctrl+P): Qt's print dialog, which also writes a PDF; 印刷プレビュー: its pages.
  void Print();
  void PrintPreview();
  // Wraps long lines in every report of the window (remembered as ViewerWrap).
  void WrapLines(bool on);
  int CurrentLine() const;
  void SetCurrentLine(int line);
  // The moves of the current report; a failed one says so in the status line.
  bool NextDifference();
  bool PreviousDifference();
  bool JumpToOtherPlace();
  bool Find(const QString& text, bool backwards = false);
  QString SelectedLinesText() const;
  // Compares the current report's pair again (F5); false, with the reason in a message,
  // when it cannot.
  bool CompareAgain();
  // The columns between tab stops (the stored ViewerTabWidth, 4 when not set).
  int TabWidth() const { return tabWidth_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateWidgets();
  void RestoreSettings();
  void SaveSettings();
  void ShowSearchBar();
  void CloseCurrentPage();
  void CloseEveryViewer();
  void CopySelection();
  // The window's title, status line and commands follow the current report.
  void ShowPageState();

  UiServices& services_;
  SettingsStore* store_;
  PairDropFunction pairDrop_;
  int tabWidth_ = 4;
  bool sideBySide_ = false;
  bool folded_ = false;
  bool wrapped_ = false;
  ChangeUnits units_ = ChangeUnits::kWords;  // what the marks of changed lines cover

  QAction *actPrevious_, *actNext_, *actJump_, *actSideBySide_, *actFold_, *actWrap_, *actPrint_,
      *actPreview_, *actFind_, *actCopy_, *actCompareAgain_, *actClose_, *actCloseTab_, *actQuit_;
  QTabWidget* tabs_;
  QLabel* countsLabel_;
  QWidget* searchBar_;
  QLineEdit* searchField_;
};

}  // namespace verko
