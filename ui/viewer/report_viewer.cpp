#include "ui/viewer/report_viewer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"
#include "ui/viewer/report_line_model.h"
#include "ui/viewer/side_by_side_model.h"
#include "ui/viewer/table_export.h"

namespace verko {
namespace {

QString Grouped(int64_t n) {
  return QLocale(QLocale::English).toString(static_cast<qlonglong>(n));
}

// Enter and Shift+Enter in the search field find forwards and backwards; Esc closes the bar.
class SearchKeys : public QObject {
 public:
  SearchKeys(ReportViewer* viewer, QLineEdit* field, QWidget* bar)
      : QObject(field), viewer_(viewer), field_(field), bar_(bar) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      viewer_->Find(field_->text(), key->modifiers() & Qt::ShiftModifier);
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      bar_->hide();
      viewer_->CurrentView()->setFocus();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  ReportViewer* viewer_;
  QLineEdit* field_;
  QWidget* bar_;
};

}  // namespace

ReportViewer* ReportViewer::Open(const QString& path, UiServices& services, QWidget* parent) {
  LoadedReport report;
  const Status status = LoadReportFile(path.toStdString(), &report);
  if (!status.ok()) {
    services.ShowMessage(
        parent,
        QStringLiteral("結果ファイル\n   %1\nを開くことができません。\n\n理由： %2")
            .arg(path, ToQString(status.reason())),
        QStringLiteral("ファイルを開けない"), MessageIcon::kExclamation, MessageButtons::kOk);
    return nullptr;
  }
  auto* viewer = new ReportViewer(path, std::move(report), parent);
  AddExportAction(viewer, services, path);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  BringOnScreen(viewer);
  viewer->show();
  return viewer;
}

ReportViewer::ReportViewer(const QString& path, LoadedReport report, QWidget* parent)
    : QMainWindow(parent), report_(std::move(report)), sideRows_(report_.document) {
  setObjectName(QStringLiteral("ReportViewer"));
  if (parent) setWindowFlag(Qt::Window);
  setWindowTitle(QStringLiteral("比較結果 - %1").arg(QFileInfo(path).fileName()));
  const ReportDocument& document = report_.document;
  changedLines_.resize(document.Count());
  for (int i = 0; i < document.Count(); ++i) changedLines_[i] = IsDifference(document.Line(i).kind);
  changedSideRows_.resize(sideRows_.Count());
  for (int r = 0; r < sideRows_.Count(); ++r) {
    const SideBySideRow& row = sideRows_.Rows()[r];
    changedSideRows_[r] = (row.oldLine >= 0 && changedLines_[row.oldLine]) ||
                          (row.newLine >= 0 && changedLines_[row.newLine]);
  }
  lineModel_ = std::make_unique<ReportLineModel>(document);
  sideModel_ = std::make_unique<SideBySideModel>(document, sideRows_);
  CreateActions();
  CreateWidgets(path);
  FillHeader(path);
  resize(1000, 700);
}

ReportViewer::~ReportViewer() = default;

void ReportViewer::CreateActions() {
  auto action = [this](const char* name, const QString& text, const QString& tip,
                       QList<QKeySequence> keys) {
    auto* act = new QAction(text, this);
    act->setObjectName(QLatin1String(name));
    act->setToolTip(tip);
    act->setShortcuts(keys);
    act->setShortcutContext(Qt::WindowShortcut);
    addAction(act);
    return act;
  };
  actPrevious_ = action("ActPrevious", QStringLiteral("前の相違"),
                        QStringLiteral("前の相違箇所へ (Shift+F7, Alt+↑)"),
                        {QKeySequence(Qt::SHIFT | Qt::Key_F7), QKeySequence(Qt::ALT | Qt::Key_Up)});
  actNext_ =
      action("ActNext", QStringLiteral("次の相違"), QStringLiteral("次の相違箇所へ (F7, Alt+↓)"),
             {QKeySequence(Qt::Key_F7), QKeySequence(Qt::ALT | Qt::Key_Down)});
  actJump_ = action("ActJump", QStringLiteral("移動先へ"),
                    QStringLiteral("移動行のもう一方の位置へ (Ctrl+J、ダブルクリック)"),
                    {QKeySequence(Qt::CTRL | Qt::Key_J)});
  actSideBySide_ = action("ActSideBySide", QStringLiteral("左右に並べて表示"),
                          QStringLiteral("旧ファイルを左、新ファイルを右に並べて表示 (Ctrl+T)"),
                          {QKeySequence(Qt::CTRL | Qt::Key_T)});
  actSideBySide_->setCheckable(true);
  actFind_ = action("ActFind", QStringLiteral("検索"), QStringLiteral("テキストを検索 (Ctrl+F)"),
                    {QKeySequence::Find});
  actCopy_ = action("ActCopy", QStringLiteral("コピー"),
                    QStringLiteral("選択した行をコピー (Ctrl+C)"), {QKeySequence::Copy});
  connect(actPrevious_, &QAction::triggered, this, [this] { PreviousDifference(); });
  connect(actNext_, &QAction::triggered, this, [this] { NextDifference(); });
  connect(actJump_, &QAction::triggered, this, [this] { JumpToOtherPlace(); });
  connect(actSideBySide_, &QAction::toggled, this, &ReportViewer::ShowSideBySide);
  connect(actFind_, &QAction::triggered, this, &ReportViewer::ShowSearchBar);
  connect(actCopy_, &QAction::triggered, this, &ReportViewer::CopySelection);

  const bool isReport = report_.document.IsReport();
  for (QAction* act : {actPrevious_, actNext_, actJump_, actSideBySide_}) act->setEnabled(isReport);
}

QTableView* ReportViewer::NewView(const char* name) {
  auto* view = new QTableView(this);
  view->setObjectName(QLatin1String(name));
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(false);
  view->setWordWrap(false);
  view->setTabKeyNavigation(false);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->verticalHeader()->hide();
  // Fixed row heights: the view never measures its rows, so a report of any length opens
  // and scrolls at once.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setHighlightSections(false);
  connect(view, &QTableView::doubleClicked, this, [this] { JumpToOtherPlace(); });
  return view;
}

void ReportViewer::CreateWidgets(const QString& path) {
  auto* toolBar = addToolBar(QStringLiteral("表示"));
  toolBar->setObjectName(QStringLiteral("ViewerToolBar"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (QAction* act : {actPrevious_, actNext_, actJump_}) toolBar->addAction(act);
  toolBar->addSeparator();
  toolBar->addAction(actSideBySide_);
  toolBar->addSeparator();
  toolBar->addAction(actFind_);
  toolBar->addAction(actCopy_);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(6, 6, 6, 0);

  messageLabel_ = new QLabel(central);
  messageLabel_->setObjectName(QStringLiteral("MessageLabel"));
  messageLabel_->setWordWrap(true);
  messageLabel_->setFrameShape(QFrame::StyledPanel);
  messageLabel_->setMargin(6);
  messageLabel_->hide();
  layout->addWidget(messageLabel_);

  auto* header = new QHBoxLayout;
  headerLabel_ = new QLabel(central);
  headerLabel_->setObjectName(QStringLiteral("HeaderLabel"));
  headerLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  headerLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  statisticsLabel_ = new QLabel(central);
  statisticsLabel_->setObjectName(QStringLiteral("StatisticsLabel"));
  statisticsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statisticsLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  header->addWidget(headerLabel_, 1);
  header->addWidget(statisticsLabel_);
  layout->addLayout(header);

  views_ = new QStackedWidget(central);
  lineView_ = NewView("LineView");
  lineView_->setModel(lineModel_.get());
  sideView_ = NewView("SideBySideView");
  sideView_->setModel(sideModel_.get());
  views_->addWidget(lineView_);
  views_->addWidget(sideView_);
  layout->addWidget(views_, 1);
  SizeColumns();

  searchBar_ = new QWidget(central);
  searchBar_->setObjectName(QStringLiteral("SearchBar"));
  auto* search = new QHBoxLayout(searchBar_);
  search->setContentsMargins(0, 2, 0, 2);
  search->addWidget(new QLabel(QStringLiteral("検索:"), searchBar_));
  searchField_ = new QLineEdit(searchBar_);
  searchField_->setObjectName(QStringLiteral("SearchField"));
  searchField_->setClearButtonEnabled(true);
  search->addWidget(searchField_, 1);
  auto button = [this, search](const char* name, const QString& text, auto handler) {
    auto* b = new QToolButton(searchBar_);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    connect(b, &QToolButton::clicked, this, handler);
    search->addWidget(b);
  };
  button("FindPrevious", QStringLiteral("前へ"), [this] { Find(searchField_->text(), true); });
  button("FindNext", QStringLiteral("次へ"), [this] { Find(searchField_->text(), false); });
  button("CloseSearch", QStringLiteral("閉じる"), [this] {
    searchBar_->hide();
    CurrentView()->setFocus();
  });
  searchField_->installEventFilter(new SearchKeys(this, searchField_, searchBar_));
  searchBar_->hide();
  layout->addWidget(searchBar_);
  setCentralWidget(central);

  countsLabel_ = new QLabel(this);
  countsLabel_->setObjectName(QStringLiteral("CountsLabel"));
  statusBar()->addPermanentWidget(countsLabel_, 1);
  statusBar()->setSizeGripEnabled(true);
  Q_UNUSED(path);
}

void ReportViewer::SizeColumns() {
  const QFontMetrics metrics(lineView_->font());
  const int numberWidth = metrics.horizontalAdvance(QStringLiteral("(32000~99)")) + 12;
  const int textWidth = std::max(
      metrics.horizontalAdvance(QLatin1Char('0')) * report_.document.WidestText() + 24, 200);
  QHeaderView* lines = lineView_->horizontalHeader();
  lineView_->setColumnWidth(ReportLineModel::kMark,
                            metrics.horizontalAdvance(QStringLiteral("<-")) + 14);
  lineView_->setColumnWidth(ReportLineModel::kOldNo, numberWidth);
  lineView_->setColumnWidth(ReportLineModel::kNewNo, numberWidth);
  lineView_->setColumnWidth(ReportLineModel::kText, textWidth);
  lines->setStretchLastSection(true);
  if (!report_.document.IsReport()) {
    lineView_->hideColumn(ReportLineModel::kMark);
    lineView_->hideColumn(ReportLineModel::kNewNo);
  }
  QHeaderView* side = sideView_->horizontalHeader();
  sideView_->setColumnWidth(SideBySideModel::kOldNo, numberWidth);
  sideView_->setColumnWidth(SideBySideModel::kNewNo, numberWidth);
  side->setSectionResizeMode(SideBySideModel::kOldText, QHeaderView::Stretch);
  side->setSectionResizeMode(SideBySideModel::kNewText, QHeaderView::Stretch);
}

void ReportViewer::FillHeader(const QString& path) {
  const ReportDocument& document = report_.document;
  const QString encoding = QString::fromLatin1(EncodingName(report_.encoding));
  if (!document.IsReport()) {
    messageLabel_->setText(QStringLiteral(
        "このファイルは Verko の比較結果ではありません。テキストとして表示しています。"));
    messageLabel_->show();
    headerLabel_->setText(QStringLiteral("ファイル： %1\n文字コード： %2").arg(path, encoding));
    statisticsLabel_->hide();
    countsLabel_->setText(QStringLiteral("%1 行").arg(document.Count()));
    return;
  }
  const ReportHeader& h = document.Header();
  headerLabel_->setText(
      QStringLiteral("旧ファイル： %1\n新ファイル： %2\n比較日時： %3　　文字コード： %4")
          .arg(ToQString(h.oldName), ToQString(h.newName), ToQString(h.dateTime), encoding));
  const ReportStatistics& s = document.Statistics();
  if (!s.present) {
    messageLabel_->setText(QStringLiteral(
        "この比較結果は途中で終わっていて、統計情報がありません。比較の中断や書き込み"
        "の失敗で、結果が途中までしか書かれていません。"));
    messageLabel_->show();
    statisticsLabel_->setText(QStringLiteral("統計情報なし"));
    countsLabel_->setText(QStringLiteral("統計情報なし"));
    return;
  }
  QString rows;
  auto row = [&rows](const QString& label, int lines, int64_t words) {
    rows += QStringLiteral(
                "<tr><td>%1</td><td align=right>&nbsp;%2 行</td>"
                "<td align=right>&nbsp;%3 words</td></tr>")
                .arg(label, Grouped(lines), Grouped(words));
  };
  row(QStringLiteral("旧ファイルの行数（分割後）"), s.oldLines, s.oldWords);
  row(QStringLiteral("新ファイルの行数（分割後）"), s.newLines, s.newWords);
  if (s.detailed) {
    row(QStringLiteral("一致行"), s.common, s.wordsCommon);
    row(QStringLiteral("削除行"), s.deleted, s.wordsDeleted);
    row(QStringLiteral("追加行"), s.added, s.wordsAdded);
    row(QStringLiteral("移動行"), s.moved, s.wordsMoved);
  } else {
    rows += QStringLiteral("<tr><td colspan=3>相違点は見つかりませんでした</td></tr>");
  }
  statisticsLabel_->setText(QStringLiteral("<table cellspacing=0>%1</table>").arg(rows));
  countsLabel_->setText(
      QStringLiteral("一致 %1 行　　削除 %2 行　　追加 %3 行　　移動 %4 行")
          .arg(Grouped(s.common), Grouped(s.deleted), Grouped(s.added), Grouped(s.moved)));
}

QTableView* ReportViewer::CurrentView() const {
  return SideBySideShown() ? sideView_ : lineView_;
}

bool ReportViewer::SideBySideShown() const {
  return views_->currentWidget() == sideView_;
}

void ReportViewer::ShowSideBySide(bool on) {
  if (on && !report_.document.IsReport()) return;
  if (on == SideBySideShown()) return;
  const int line = CurrentLine();
  views_->setCurrentWidget(on ? static_cast<QWidget*>(sideView_) : lineView_);
  if (actSideBySide_->isChecked() != on) actSideBySide_->setChecked(on);
  if (line >= 0) SetCurrentLine(line);
  CurrentView()->setFocus();
}

int ReportViewer::CurrentLine() const {
  const QModelIndex index = CurrentView()->currentIndex();
  if (!index.isValid()) return -1;
  if (!SideBySideShown()) return index.row();
  const int line = index.data(kLineRole).toInt();
  if (line >= 0) return line;
  const SideBySideRow& row = sideRows_.Rows()[index.row()];
  return std::max(row.oldLine, row.newLine);
}

void ReportViewer::SetCurrentLine(int line) {
  if (line < 0 || line >= report_.document.Count()) return;
  GoToRow(SideBySideShown() ? sideRows_.RowOfLine(line) : line, line);
}

void ReportViewer::GoToRow(int row, int line) {
  QTableView* view = CurrentView();
  int column = SideBySideShown() ? static_cast<int>(SideBySideModel::kOldText)
                                 : static_cast<int>(ReportLineModel::kText);
  if (SideBySideShown()) {
    const SideBySideRow& r = sideRows_.Rows()[row];
    if (line < 0) line = r.oldLine >= 0 ? r.oldLine : r.newLine;
    if (r.newLine == line && r.oldLine != line) column = SideBySideModel::kNewText;
  }
  const QModelIndex index = view->model()->index(row, column);
  // The row alone is selected, whatever modifier the key that moved here was pressed with
  // (Shift+F7 must not extend the selection).
  view->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

const std::vector<bool>& ReportViewer::ChangedRows() const {
  return SideBySideShown() ? changedSideRows_ : changedLines_;
}

int ReportViewer::CurrentRow() const {
  const QModelIndex index = CurrentView()->currentIndex();
  return index.isValid() ? index.row() : -1;
}

bool ReportViewer::NextDifference() {
  const int row = NextChangeBlock(ChangedRows(), CurrentRow());
  if (row < 0) {
    statusBar()->showMessage(QStringLiteral("これより後に相違箇所はありません"), 3000);
    return false;
  }
  GoToRow(row);
  return true;
}

bool ReportViewer::PreviousDifference() {
  const int current = CurrentRow();
  const int row = PreviousChangeBlock(ChangedRows(), current < 0 ? 0 : current);
  if (row < 0) {
    statusBar()->showMessage(QStringLiteral("これより前に相違箇所はありません"), 3000);
    return false;
  }
  GoToRow(row);
  return true;
}

bool ReportViewer::JumpToOtherPlace() {
  const QModelIndex index = CurrentView()->currentIndex();
  if (!index.isValid()) return false;
  std::vector<int> candidates;
  if (SideBySideShown()) {
    // The side of the current cell first, then the other side of the row.
    const int own = index.data(kLineRole).toInt();
    if (own >= 0) candidates.push_back(own);
    for (int line : LinesOfRow(index.row())) candidates.push_back(line);
  } else {
    candidates.push_back(index.row());
  }
  for (int line : candidates) {
    const int partner = report_.document.Line(line).partner;
    if (partner >= 0) {
      SetCurrentLine(partner);
      return true;
    }
  }
  return false;
}

std::vector<int> ReportViewer::LinesOfRow(int row) const {
  if (!SideBySideShown()) return {row};
  const SideBySideRow& r = sideRows_.Rows()[row];
  std::vector<int> lines;
  if (r.oldLine >= 0) lines.push_back(r.oldLine);
  if (r.newLine >= 0 && r.newLine != r.oldLine) lines.push_back(r.newLine);
  return lines;
}

bool ReportViewer::Find(const QString& text, bool backwards) {
  if (text.isEmpty()) return false;
  const ReportDocument& document = report_.document;
  const int count = CurrentView()->model()->rowCount();
  const int start = CurrentRow();
  if (count == 0) {
    statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(text), 4000);
    return false;
  }
  for (int step = 1; step <= count; ++step) {
    int row = backwards ? start - step : start + step;
    row = ((row % count) + count) % count;
    for (int line : LinesOfRow(row)) {
      const LineKind kind = document.Line(line).kind;
      if (kind == LineKind::kGap || kind == LineKind::kNoDifferences) continue;
      if (LineTextOf(document, line).contains(text, Qt::CaseInsensitive)) {
        GoToRow(row, line);
        statusBar()->clearMessage();
        return true;
      }
    }
  }
  statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(text), 4000);
  return false;
}

void ReportViewer::ShowSearchBar() {
  searchBar_->show();
  searchField_->setFocus();
  searchField_->selectAll();
}

QString ReportViewer::SelectedLinesText() const {
  QModelIndexList rows = CurrentView()->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  QString text;
  for (const QModelIndex& index : rows) {
    for (int line : LinesOfRow(index.row())) {
      const std::string_view raw = report_.document.LineString(line);
      text += QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
      text += QLatin1Char('\n');
    }
  }
  return text;
}

void ReportViewer::CopySelection() {
  const QString text = SelectedLinesText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

}  // namespace verko
