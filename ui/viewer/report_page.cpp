#include "ui/viewer/report_page.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "report/line_colors.h"
#include "ui/shared/widget_parts.h"
#include "ui/viewer/changed_marks.h"
#include "ui/viewer/difference_overview.h"
#include "ui/viewer/folded_rows.h"
#include "ui/viewer/line_style.h"
#include "ui/viewer/line_text_delegate.h"
#include "ui/viewer/report_line_model.h"
#include "ui/viewer/side_by_side_model.h"
#include "ui/viewer/wrapped_rows.h"

namespace verko {
namespace {

// Lines of context kept at each end of a folded common run.
constexpr int kFoldContext = 3;
// A report written anew is read once the writes have settled.
constexpr int kReloadDelayMs = 300;
// A page lower than this shows its header folded into one line, so the lines keep the room.
constexpr int kFoldHeaderBelow = 600;

QString Grouped(int64_t n) {
  return QLocale(QLocale::English).toString(static_cast<qlonglong>(n));
}

// The header's lines, each a caption and a value (a path is elided in the middle to the
// label's width; the whole text is the tooltip), so that a long path never widens the window.
class HeaderLabel : public QLabel {
 public:
  explicit HeaderLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  void SetLines(QList<QPair<QString, QString>> lines) {
    lines_ = std::move(lines);
    QStringList whole;
    for (const auto& [caption, value] : lines_) whole.append(caption + value);
    setToolTip(whole.join(QLatin1Char('\n')));
    Elide();
  }
  // Folded, the header is one line: the first two values (the two files) side by side.
  void SetFolded(bool folded) {
    if (folded == folded_) return;
    folded_ = folded;
    Elide();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Elide();
  }

 private:
  void Elide() {
    if (folded_ && lines_.size() >= 2) {
      const QString both = lines_[0].first + lines_[0].second + QStringLiteral("　") +
                           lines_[1].first + lines_[1].second;
      setText(fontMetrics().elidedText(both, Qt::ElideMiddle, std::max(width(), 40)));
      return;
    }
    QStringList shown;
    for (const auto& [caption, value] : lines_) {
      const int room = std::max(width() - fontMetrics().horizontalAdvance(caption), 40);
      shown.append(caption + fontMetrics().elidedText(value, Qt::ElideMiddle, room));
    }
    setText(shown.join(QLatin1Char('\n')));
  }

  QList<QPair<QString, QString>> lines_;
  bool folded_ = false;
};

}  // namespace

ReportPage::ReportPage(const QString& path, LoadedReport report, int tabWidth, ChangeUnits units,
                       QWidget* parent)
    : QWidget(parent),
      path_(path),
      report_(std::move(report)),
      sideRows_(report_.document),
      tabWidth_(tabWidth) {
  setObjectName(QStringLiteral("ReportPage"));
  ComputeRows();
  marks_ = std::make_unique<ChangedMarks>(report_.document, tabWidth_, units);
  lineModel_ = std::make_unique<ReportLineModel>(report_.document, tabWidth_, marks_.get());
  sideModel_ =
      std::make_unique<SideBySideModel>(report_.document, sideRows_, tabWidth_, marks_.get());
  lineFold_ = new FoldedRows(lineModel_.get(), {ReportLineModel::kText}, this);
  sideFold_ = new FoldedRows(sideModel_.get(),
                             {SideBySideModel::kOldText, SideBySideModel::kNewText}, this);
  CreateWidgets();
  FillHeader();
  WatchFile();
}

ReportPage::~ReportPage() = default;

void ReportPage::ComputeRows() {
  const ReportDocument& document = report_.document;
  changedLines_.assign(document.Count(), false);
  commonLines_.assign(document.Count(), false);
  for (int i = 0; i < document.Count(); ++i) {
    changedLines_[i] = IsDifference(document.Line(i).kind);
    commonLines_[i] = document.Line(i).kind == LineKind::kCommon;
  }
  changedSideRows_.assign(sideRows_.Count(), false);
  commonSideRows_.assign(sideRows_.Count(), false);
  for (int r = 0; r < sideRows_.Count(); ++r) {
    const SideBySideRow& row = sideRows_.Rows()[r];
    changedSideRows_[r] = (row.oldLine >= 0 && changedLines_[row.oldLine]) ||
                          (row.newLine >= 0 && changedLines_[row.newLine]);
    commonSideRows_[r] =
        row.oldLine >= 0 && row.oldLine == row.newLine && !row.gap && commonLines_[row.oldLine];
  }
}

QTableView* ReportPage::NewView(const char* name, FoldedRows* rows) {
  auto* view = new QTableView(this);
  view->setObjectName(QLatin1String(name));
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setShowGrid(false);
  view->setWordWrap(false);
  view->setTextElideMode(Qt::ElideNone);
  view->setTabKeyNavigation(false);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->verticalHeader()->hide();
  // Fixed row heights: the view never measures its rows, so a report of any length opens
  // and scrolls at once.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setHighlightSections(false);
  // The model itself until something is folded: a report of any length opens at once.
  view->setModel(rows->sourceModel());
  // A double click unfolds a folded run, or jumps from a moved line to its other place.
  connect(view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (CurrentRows()->FoldedCount(RowOf(index)) > 0) {
      UnfoldAt(index);
    } else {
      JumpToOtherPlace();
    }
  });
  return view;
}

void ReportPage::CreateWidgets() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 0);

  messageLabel_ = Named(new QLabel(this), "MessageLabel");
  messageLabel_->setWordWrap(true);
  messageLabel_->setFrameShape(QFrame::StyledPanel);
  messageLabel_->setMargin(6);
  messageLabel_->hide();
  layout->addWidget(messageLabel_);

  auto* header = new QHBoxLayout;
  headerToggle_ = Named(new QToolButton(this), "HeaderToggle");
  headerToggle_->setCheckable(true);
  headerToggle_->setAutoRaise(true);
  headerToggle_->setArrowType(Qt::RightArrow);
  headerToggle_->setToolTip(QStringLiteral("見出しと統計情報をすべて表示"));
  connect(headerToggle_, &QToolButton::toggled, this, [this](bool on) {
    headerToggle_->setArrowType(on ? Qt::DownArrow : Qt::RightArrow);
    FoldHeader();
  });
  header->addWidget(headerToggle_, 0, Qt::AlignTop);
  headerLabel_ = Named(new HeaderLabel(this), "HeaderLabel");
  statisticsLabel_ = Named(new QLabel(this), "StatisticsLabel");
  statisticsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statisticsLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  header->addWidget(headerLabel_, 1);
  header->addWidget(statisticsLabel_);
  layout->addLayout(header);

  lineView_ = NewView("LineView", lineFold_);
  lineView_->setItemDelegateForColumn(ReportLineModel::kText, new LineTextDelegate(lineView_));
  sideView_ = NewView("SideBySideView", sideFold_);
  sideText_ = new LineTextDelegate(sideView_);
  sideView_->setItemDelegateForColumn(SideBySideModel::kOldText, sideText_);
  sideView_->setItemDelegateForColumn(SideBySideModel::kNewText, sideText_);
  lineWrap_ = new WrappedRows(lineView_, {ReportLineModel::kText});
  sideWrap_ = new WrappedRows(sideView_, {SideBySideModel::kOldText, SideBySideModel::kNewText});
  // Side by side both texts keep half the width and scroll sideways together under a scroll
  // bar of their own, so that the new side never leaves the window.
  sideView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sidePane_ = new QWidget(this);
  auto* sideLayout = new QVBoxLayout(sidePane_);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->setSpacing(0);
  sideScroll_ = Named(new QScrollBar(Qt::Horizontal, sidePane_), "SideTextScroll");
  sideLayout->addWidget(sideView_, 1);
  sideLayout->addWidget(sideScroll_);
  connect(sideScroll_, &QScrollBar::valueChanged, this, [this](int value) {
    sideText_->SetOffset(value);
    sideView_->viewport()->update();
  });
  connect(sideView_->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this] { UpdateSideScrollRange(); });

  views_ = new QStackedWidget(this);
  views_->addWidget(lineView_);
  views_->addWidget(sidePane_);
  overview_ = new DifferenceOverview(this);
  overview_->OnRowClicked([this](int row) { GoToDifferenceNear(row); });
  auto* body = new QHBoxLayout;
  body->setSpacing(2);
  body->addWidget(views_, 1);
  body->addWidget(overview_);
  layout->addLayout(body, 1);
  SizeColumns();
  FillOverview();
}

void ReportPage::SizeColumns() {
  const QFontMetrics metrics(lineView_->font());
  const int numberWidth = metrics.horizontalAdvance(QStringLiteral("(32000~99)")) + 12;
  const int textWidth = std::max(
      metrics.horizontalAdvance(QLatin1Char('0')) * report_.document.WidestText() + 24, 200);
  QHeaderView* lines = lineView_->horizontalHeader();
  lineView_->setColumnWidth(ReportLineModel::kMark,
                            metrics.horizontalAdvance(QStringLiteral("<-")) + 14);
  lineView_->setColumnWidth(ReportLineModel::kOldNo, numberWidth);
  lineView_->setColumnWidth(ReportLineModel::kNewNo, numberWidth);
  // Wrapped, the text (the last column, which stretches) takes the width the window gives
  // it; else its widest line's.
  lineView_->setColumnWidth(ReportLineModel::kText, wrapped_ ? 50 : textWidth);
  lines->setStretchLastSection(true);
  const bool isReport = report_.document.IsReport();
  lineView_->setColumnHidden(ReportLineModel::kMark, !isReport);
  lineView_->setColumnHidden(ReportLineModel::kNewNo, !isReport);
  QHeaderView* side = sideView_->horizontalHeader();
  sideView_->setColumnWidth(SideBySideModel::kOldNo, numberWidth);
  sideView_->setColumnWidth(SideBySideModel::kNewNo, numberWidth);
  side->setSectionResizeMode(SideBySideModel::kOldText, QHeaderView::Stretch);
  side->setSectionResizeMode(SideBySideModel::kNewText, QHeaderView::Stretch);
  UpdateSideScrollRange();
}

void ReportPage::UpdateSideScrollRange() {
  const QFontMetrics metrics(sideView_->font());
  const int widest = metrics.horizontalAdvance(QLatin1Char('0')) * report_.document.WidestText();
  const int column = std::min(sideView_->columnWidth(SideBySideModel::kOldText),
                              sideView_->columnWidth(SideBySideModel::kNewText));
  // Tabs may widen a line past its counted columns: a little room is left for them.
  const int range =
      wrapped_ ? 0 : std::max(0, widest + metrics.horizontalAdvance(QLatin1Char('0')) * 8 - column);
  sideScroll_->setRange(0, range);
  sideScroll_->setPageStep(std::max(column, 1));
  sideScroll_->setSingleStep(metrics.horizontalAdvance(QLatin1Char('0')) * 4);
  sideScroll_->setVisible(range > 0);
}

int ReportPage::SideTextOffset() const {
  return sideText_->Offset();
}

void ReportPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FoldHeader();
}

void ReportPage::FoldHeader() {
  const bool small = height() < kFoldHeaderBelow;
  headerToggle_->setVisible(small);
  const bool folded = small && !headerToggle_->isChecked();
  static_cast<HeaderLabel*>(headerLabel_)->SetFolded(folded);
  statisticsLabel_->setVisible(!folded && report_.document.IsReport());
}

void ReportPage::FillHeader() {
  const ReportDocument& document = report_.document;
  const QString encoding = QString::fromLatin1(EncodingName(report_.encoding));
  auto* header = static_cast<HeaderLabel*>(headerLabel_);
  messageLabel_->hide();
  statisticsLabel_->show();
  if (!document.IsReport()) {
    messageLabel_->setText(QStringLiteral(
        "このファイルは Verko の比較結果ではありません。テキストとして表示しています。"));
    messageLabel_->show();
    header->SetLines(
        {{QStringLiteral("ファイル： "), path_}, {QStringLiteral("文字コード： "), encoding}});
    statisticsLabel_->hide();
    countsText_ = QStringLiteral("%1 行").arg(document.Count());
    FoldHeader();
    return;
  }
  const ReportHeader& h = document.Header();
  header->SetLines({{QStringLiteral("旧ファイル： "), ToQString(h.oldName)},
                    {QStringLiteral("新ファイル： "), ToQString(h.newName)},
                    {QStringLiteral("比較日時： "),
                     ToQString(h.dateTime) + QStringLiteral("　　文字コード： ") + encoding}});
  const ReportStatistics& s = document.Statistics();
  if (!s.present) {
    messageLabel_->setText(QStringLiteral(
        "この比較結果は途中で終わっていて、統計情報がありません。比較の中断や書き込み"
        "の失敗で、結果が途中までしか書かれていません。"));
    messageLabel_->show();
    statisticsLabel_->setText(QStringLiteral("統計情報なし"));
    countsText_ = QStringLiteral("統計情報なし");
    FoldHeader();
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
  countsText_ = QStringLiteral("一致 %1 行　　削除 %2 行　　追加 %3 行　　移動 %4 行")
                    .arg(Grouped(s.common), Grouped(s.deleted), Grouped(s.added), Grouped(s.moved));
  FoldHeader();
}

void ReportPage::FillOverview() {
  const bool side = SideBySideShown();
  const int count = side ? sideRows_.Count() : report_.document.Count();
  std::vector<QColor> colors(count);
  for (int row = 0; row < count; ++row) {
    if (!(side ? changedSideRows_[row] : changedLines_[row])) continue;
    int line = row;
    if (side) {
      const SideBySideRow& r = sideRows_.Rows()[row];
      line = r.newLine >= 0 && changedLines_[r.newLine] ? r.newLine : r.oldLine;
    }
    colors[row] = QColor::fromRgb(ColorOfKind(report_.document.Line(line).kind).rgb);
  }
  overview_->SetRows(std::move(colors));
  overview_->setVisible(report_.document.IsReport());
}

void ReportPage::WatchFile() {
  watcher_ = new QFileSystemWatcher(this);
  watcher_->addPath(path_);
  reloadTimer_ = new QTimer(this);
  reloadTimer_->setSingleShot(true);
  reloadTimer_->setInterval(kReloadDelayMs);
  // A file replaced by a new one leaves the watcher: it is watched again after each change.
  connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadTimer_->start(); });
  connect(reloadTimer_, &QTimer::timeout, this, [this] {
    if (!QFileInfo::exists(path_)) return;
    if (!watcher_->files().contains(path_)) watcher_->addPath(path_);
    if (Reload().ok() && reloaded_) reloaded_();
  });
}

Status ReportPage::Reload() {
  LoadedReport report;
  const Status status = LoadReportFile(path_.toStdString(), &report);
  if (!status.ok()) return status;
  const int line = CurrentLine();
  const bool side = SideBySideShown();
  report_ = std::move(report);
  sideRows_ = SideBySide(report_.document);
  ComputeRows();
  marks_->Reset();
  lineFold_->UnfoldAll();
  sideFold_->UnfoldAll();
  lineModel_->Refresh();
  sideModel_->Refresh();
  if (!report_.document.IsReport() && side) ShowSideBySide(false);
  SizeColumns();
  FillHeader();
  FoldCommonRuns(folded_);
  FillOverview();
  if (line >= 0) SetCurrentLine(std::min(line, report_.document.Count() - 1));
  return Status::Ok();
}

Status ReportPage::CompareAgain() {
  if (!compareAgain_) return Status::Error("比較し直せません。");
  const Status status = compareAgain_();
  if (!status.ok()) return status;
  return Reload();
}

FoldedRows* ReportPage::CurrentRows() const {
  return SideBySideShown() ? sideFold_ : lineFold_;
}

QTableView* ReportPage::CurrentView() const {
  return SideBySideShown() ? sideView_ : lineView_;
}

bool ReportPage::SideBySideShown() const {
  return views_->currentWidget() == sidePane_;
}

void ReportPage::ShowSideBySide(bool on) {
  if (on && !report_.document.IsReport()) return;
  if (on == SideBySideShown()) return;
  const int line = CurrentLine();
  views_->setCurrentWidget(on ? sidePane_ : static_cast<QWidget*>(lineView_));
  FillOverview();
  if (line >= 0) SetCurrentLine(line);
  CurrentView()->setFocus();
}

void ReportPage::SetWrap(bool on) {
  if (on == wrapped_) return;
  wrapped_ = on;
  const int line = CurrentLine();
  sideScroll_->setValue(0);
  SizeColumns();
  lineWrap_->SetWrap(on);
  sideWrap_->SetWrap(on);
  if (line >= 0) SetCurrentLine(line);
}

void ReportPage::FoldCommonRuns(bool on) {
  if (!on && lineView_->model() != lineFold_) {
    folded_ = false;
    return;
  }
  folded_ = on;
  const int line = CurrentLine();
  if (on) {
    lineFold_->Fold(commonLines_, kFoldContext);
    sideFold_->Fold(commonSideRows_, kFoldContext);
  } else {
    lineFold_->UnfoldAll();
    sideFold_->UnfoldAll();
  }
  // The views show the folded rows from the first fold on (their columns set again).
  if (lineView_->model() != lineFold_) {
    lineView_->setModel(lineFold_);
    sideView_->setModel(sideFold_);
    SizeColumns();
    lineWrap_->Remeasure();
    sideWrap_->Remeasure();
  }
  // The current line stays current unless it was folded away.
  const int row = line < 0 ? -1 : SideBySideShown() ? sideRows_.RowOfLine(line) : line;
  if (row >= 0 && !CurrentRows()->IsFolded(row)) SetCurrentLine(line);
}

void ReportPage::UnfoldAt(const QModelIndex& viewIndex) {
  const int row = RowOf(viewIndex);
  if (CurrentRows()->Unfold(row)) GoToRow(row);
}

QModelIndex ReportPage::ViewIndex(int row, int column) const {
  FoldedRows* rows = CurrentRows();
  const QModelIndex index = rows->sourceModel()->index(row, column);
  return CurrentView()->model() == rows ? rows->mapFromSource(index) : index;
}

int ReportPage::RowOf(const QModelIndex& viewIndex) const {
  if (!viewIndex.isValid()) return -1;
  return viewIndex.model() == CurrentRows() ? CurrentRows()->mapToSource(viewIndex).row()
                                            : viewIndex.row();
}

int ReportPage::CurrentLine() const {
  const QModelIndex index = CurrentView()->currentIndex();
  if (!index.isValid()) return -1;
  const int row = RowOf(index);
  if (!SideBySideShown()) return row;
  const int line = index.data(kLineRole).toInt();
  if (line >= 0) return line;
  const SideBySideRow& r = sideRows_.Rows()[row];
  return std::max(r.oldLine, r.newLine);
}

void ReportPage::SetCurrentLine(int line) {
  if (line < 0 || line >= report_.document.Count()) return;
  GoToRow(SideBySideShown() ? sideRows_.RowOfLine(line) : line, line);
}

void ReportPage::GoToRow(int row, int line) {
  if (CurrentRows()->IsFolded(row)) CurrentRows()->Unfold(row);
  QTableView* view = CurrentView();
  int column = SideBySideShown() ? static_cast<int>(SideBySideModel::kOldText)
                                 : static_cast<int>(ReportLineModel::kText);
  if (SideBySideShown()) {
    const SideBySideRow& r = sideRows_.Rows()[row];
    if (line < 0) line = r.oldLine >= 0 ? r.oldLine : r.newLine;
    if (r.newLine == line && r.oldLine != line) column = SideBySideModel::kNewText;
  }
  const QModelIndex index = ViewIndex(row, column);
  // The row alone is selected, whatever modifier the key that moved here was pressed with
  // (Shift+F7 must not extend the selection).
  view->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  ShowRowKeepingLineStart(index);
}

void ReportPage::ShowRowKeepingLineStart(const QModelIndex& index) {
  // The view scrolls vertically only, and back to the start of the lines: the marks, the
  // numbers and the start of the text stay in sight (the view's own scrollTo would scroll
  // sideways to the current cell of a long line).
  QTableView* view = CurrentView();
  const int viewRow = index.row();
  const int top = view->rowViewportPosition(viewRow);
  const int height = view->rowHeight(viewRow);
  // A row near the bottom edge is brought up too, so that the block below it shows.
  const int viewportHeight = view->viewport()->height();
  if (top < 0 || top + height > viewportHeight * 3 / 4) {
    const int visibleRows = std::max(viewportHeight / std::max(height, 1), 1);
    view->verticalScrollBar()->setValue(viewRow - visibleRows / 2);
  }
  view->horizontalScrollBar()->setValue(0);
  if (SideBySideShown()) sideScroll_->setValue(0);
}

const std::vector<bool>& ReportPage::ChangedRows() const {
  return SideBySideShown() ? changedSideRows_ : changedLines_;
}

int ReportPage::CurrentRow() const {
  return RowOf(CurrentView()->currentIndex());
}

bool ReportPage::NextDifference() {
  const int row = NextChangeBlock(ChangedRows(), CurrentRow());
  if (row < 0) return false;
  GoToRow(row);
  return true;
}

bool ReportPage::PreviousDifference() {
  const int current = CurrentRow();
  const int row = PreviousChangeBlock(ChangedRows(), current < 0 ? 0 : current);
  if (row < 0) return false;
  GoToRow(row);
  return true;
}

void ReportPage::GoToDifferenceNear(int row) {
  const std::vector<bool>& changed = ChangedRows();
  const int count = static_cast<int>(changed.size());
  if (row < 0 || row >= count) return;
  // The nearest difference row, then the first row of its block.
  for (int distance = 0; distance < count; ++distance) {
    for (int candidate : {row + distance, row - distance}) {
      if (candidate < 0 || candidate >= count || !changed[candidate]) continue;
      while (candidate > 0 && changed[candidate - 1]) --candidate;
      GoToRow(candidate);
      CurrentView()->setFocus();
      return;
    }
  }
}

bool ReportPage::JumpToOtherPlace() {
  const QModelIndex index = CurrentView()->currentIndex();
  if (!index.isValid()) return false;
  std::vector<int> candidates;
  if (SideBySideShown()) {
    // The side of the current cell first, then the other side of the row.
    const int own = index.data(kLineRole).toInt();
    if (own >= 0) candidates.push_back(own);
    for (int line : LinesOfRow(RowOf(index))) candidates.push_back(line);
  } else {
    candidates.push_back(RowOf(index));
  }
  for (int line : candidates) {
    const int partner = report_.document.Line(line).partner;
    if (partner >= 0) {
      SetCurrentLine(partner);
      return true;
    }
  }
  // A changed line's changed version elsewhere (a line that moved and changed); side by
  // side, a partner in the same row is already beside it.
  const std::vector<int> row = LinesOfRow(RowOf(index));
  for (int line : candidates) {
    const int partner = marks_->PartnerOf(line);
    if (partner >= 0 && std::find(row.begin(), row.end(), partner) == row.end()) {
      SetCurrentLine(partner);
      return true;
    }
  }
  return false;
}

std::vector<int> ReportPage::LinesOfRow(int row) const {
  if (!SideBySideShown()) return {row};
  const SideBySideRow& r = sideRows_.Rows()[row];
  std::vector<int> lines;
  if (r.oldLine >= 0) lines.push_back(r.oldLine);
  if (r.newLine >= 0 && r.newLine != r.oldLine) lines.push_back(r.newLine);
  return lines;
}

bool ReportPage::Find(const QString& text, bool backwards) {
  if (text.isEmpty()) return false;
  const ReportDocument& document = report_.document;
  const int count = CurrentRows()->sourceModel()->rowCount();
  const int start = CurrentRow();
  for (int step = 1; step <= count; ++step) {
    int row = backwards ? start - step : start + step;
    row = ((row % count) + count) % count;
    for (int line : LinesOfRow(row)) {
      const LineKind kind = document.Line(line).kind;
      if (kind == LineKind::kGap || kind == LineKind::kNoDifferences) continue;
      if (LineTextOf(document, line).contains(text, Qt::CaseInsensitive)) {
        GoToRow(row, line);
        return true;
      }
    }
  }
  return false;
}

QString ReportPage::SelectedLinesText() const {
  QModelIndexList rows = CurrentView()->selectionModel()->selectedRows();
  std::vector<int> sourceRows;
  for (const QModelIndex& index : rows) sourceRows.push_back(RowOf(index));
  std::sort(sourceRows.begin(), sourceRows.end());
  QString text;
  for (int row : sourceRows) {
    // A folded run stands for every line it holds.
    const int folded = std::max(CurrentRows()->FoldedCount(row), 1);
    for (int r = row; r < row + folded; ++r) {
      for (int line : LinesOfRow(r)) {
        const std::string_view raw = report_.document.LineString(line);
        text += QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
        text += QLatin1Char('\n');
      }
    }
  }
  return text;
}

}  // namespace verko
