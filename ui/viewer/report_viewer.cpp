#include "ui/viewer/report_viewer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cassert>

#include "ui/shared/field_values.h"
#include "ui/shared/settings_store.h"
#include "ui/shared/ui_services.h"
#include "ui/shared/widget_parts.h"
#include "ui/shared/window_helpers.h"
#include "ui/viewer/table_export.h"
#include "ui/viewer/view_printer.h"

namespace verko {
namespace {

constexpr int kMessageMs = 4000;

// Enter and Shift+Enter in the search field find forwards and backwards.
class SearchKeys : public QObject {
 public:
  SearchKeys(ReportViewer* viewer, QLineEdit* field)
      : QObject(field), viewer_(viewer), field_(field) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      viewer_->Find(field_->text(), key->modifiers() & Qt::ShiftModifier);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  ReportViewer* viewer_;
  QLineEdit* field_;
};

int ReadStoredNumber(const SettingsStore& store, const char* name, int fallback) {
  return ReadSettingNumber(store.Read(QLatin1String(name), QString::number(fallback)), fallback);
}

QString OpenFailureText(const QString& path, const Status& status) {
  return QStringLiteral("結果ファイル\n   %1\nを開くことができません。\n\n理由： %2")
      .arg(path, ToQString(status.reason()));
}

}  // namespace

ReportViewer* ReportViewer::Open(const QString& path, UiServices& services, SettingsStore* store,
                                 QWidget* parent, CompareAgainFunction compareAgain) {
  auto* viewer = new ReportViewer(services, store, parent);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  if (!viewer->AddReport(path, std::move(compareAgain))) {
    delete viewer;
    return nullptr;
  }
  AddExportAction(viewer, services);
  BringOnScreen(viewer);
  viewer->show();
  return viewer;
}

ReportViewer::ReportViewer(UiServices& services, SettingsStore* store, QWidget* parent)
    : QMainWindow(parent), services_(services), store_(store) {
  setObjectName(QStringLiteral("ReportViewer"));
  if (parent) setWindowFlag(Qt::Window);
  setWindowIcon(QIcon(ProgramIcon(64)));
  setWindowTitle(QStringLiteral("比較結果"));
  if (store_) {
    tabWidth_ = std::clamp(ReadStoredNumber(*store_, "ViewerTabWidth", 4), 1, 16);
    sideBySide_ = ReadStoredNumber(*store_, "ViewerSideBySide", 0) == 1;
    folded_ = ReadStoredNumber(*store_, "ViewerFold", 0) == 1;
    wrapped_ = ReadStoredNumber(*store_, "ViewerWrap", 0) == 1;
    // The main window's 文字単位で比較.
    units_ = ReadStoredNumber(*store_, "OptCharUnits", 0) == 1 ? ChangeUnits::kCharacters
                                                               : ChangeUnits::kWords;
  }
  CreateActions();
  CreateWidgets();
  setAcceptDrops(true);
  RestoreSettings();
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
  actJump_ = action(
      "ActJump", QStringLiteral("移動先へ"),
      QStringLiteral("移動行、移動して変更された行のもう一方の位置へ (Ctrl+J、ダブルクリック)"),
      {QKeySequence(Qt::CTRL | Qt::Key_J)});
  actSideBySide_ = action("ActSideBySide", QStringLiteral("左右に並べて表示"),
                          QStringLiteral("旧ファイルを左、新ファイルを右に並べて表示 (Ctrl+T)"),
                          {QKeySequence(Qt::CTRL | Qt::Key_T)});
  actSideBySide_->setCheckable(true);
  actFold_ = action("ActFold", QStringLiteral("一致行を折りたたむ"),
                    QStringLiteral("長く続く一致行を前後 3 行だけ残して折りたたむ (Ctrl+E)"),
                    {QKeySequence(Qt::CTRL | Qt::Key_E)});
  actFold_->setCheckable(true);
  actWrap_ = action("ActWrap", QStringLiteral("折り返し"),
                    QStringLiteral("長い行をウィンドウの幅で折り返して表示 (Ctrl+L)"),
                    {QKeySequence(Qt::CTRL | Qt::Key_L)});
  actWrap_->setCheckable(true);
  actWrap_->setChecked(wrapped_);
  actPrint_ = action("ActPrint", QStringLiteral("印刷"),
                     QStringLiteral("表示中の比較結果を印刷、または PDF に出力 (Ctrl+P)"),
                     {QKeySequence::Print});
  actPreview_ = action("ActPrintPreview", QStringLiteral("印刷プレビュー"),
                       QStringLiteral("印刷されるページを表示"), {});
  actFind_ = action("ActFind", QStringLiteral("検索"), QStringLiteral("テキストを検索 (Ctrl+F)"),
                    {QKeySequence::Find});
  actCopy_ = action("ActCopy", QStringLiteral("コピー"),
                    QStringLiteral("選択した行をコピー (Ctrl+C)"), {QKeySequence::Copy});
  actCompareAgain_ =
      action("ActCompareAgain", QStringLiteral("再比較"),
             QStringLiteral("旧ファイルと新ファイルを比較し直す (F5)"), {QKeySequence(Qt::Key_F5)});
  actClose_ = action("ActClose", QStringLiteral("閉じる"), QStringLiteral("ビューアを閉じる (Esc)"),
                     {QKeySequence(Qt::Key_Escape)});
  actCloseTab_ =
      action("ActCloseTab", QStringLiteral("タブを閉じる"),
             QStringLiteral("この比較結果を閉じる (Ctrl+W)"), {QKeySequence(Qt::CTRL | Qt::Key_W)});
  actQuit_ = action("ActQuit", QStringLiteral("すべて閉じる"),
                    QStringLiteral("すべてのビューアを閉じる (Ctrl+Q)"),
                    {QKeySequence(Qt::CTRL | Qt::Key_Q)});
  connect(actPrevious_, &QAction::triggered, this, [this] { PreviousDifference(); });
  connect(actNext_, &QAction::triggered, this, [this] { NextDifference(); });
  connect(actJump_, &QAction::triggered, this, [this] { JumpToOtherPlace(); });
  connect(actSideBySide_, &QAction::toggled, this, &ReportViewer::ShowSideBySide);
  connect(actFold_, &QAction::toggled, this, &ReportViewer::FoldCommonRuns);
  connect(actWrap_, &QAction::toggled, this, &ReportViewer::WrapLines);
  connect(actFind_, &QAction::triggered, this, &ReportViewer::ShowSearchBar);
  connect(actPrint_, &QAction::triggered, this, &ReportViewer::Print);
  connect(actPreview_, &QAction::triggered, this, &ReportViewer::PrintPreview);
  connect(actCopy_, &QAction::triggered, this, &ReportViewer::CopySelection);
  connect(actCompareAgain_, &QAction::triggered, this, [this] { CompareAgain(); });
  // Esc closes the search bar first, when it is open.
  connect(actClose_, &QAction::triggered, this, [this] {
    if (searchBar_->isVisible()) {
      searchBar_->hide();
      CurrentView()->setFocus();
    } else {
      close();
    }
  });
  connect(actCloseTab_, &QAction::triggered, this, &ReportViewer::CloseCurrentPage);
  connect(actQuit_, &QAction::triggered, this, &ReportViewer::CloseEveryViewer);
}

void ReportViewer::CreateWidgets() {
  auto* toolBar = addToolBar(QStringLiteral("表示"));
  toolBar->setObjectName(QStringLiteral("ViewerToolBar"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (QAction* act : {actPrevious_, actNext_, actJump_}) toolBar->addAction(act);
  toolBar->addSeparator();
  toolBar->addAction(actSideBySide_);
  toolBar->addAction(actFold_);
  toolBar->addAction(actWrap_);
  toolBar->addSeparator();
  toolBar->addAction(actFind_);
  toolBar->addAction(actCopy_);
  toolBar->addAction(actPrint_);
  toolBar->addAction(actPreview_);
  toolBar->addSeparator();
  toolBar->addAction(actCompareAgain_);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  tabs_ = Named(new QTabWidget(central), "ReportTabs");
  tabs_->setDocumentMode(true);
  tabs_->setTabsClosable(true);
  tabs_->setTabBarAutoHide(true);
  tabs_->setElideMode(Qt::ElideMiddle);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { ShowPageState(); });
  connect(tabs_, &QTabWidget::tabCloseRequested, this, [this](int index) {
    tabs_->setCurrentIndex(index);
    CloseCurrentPage();
  });
  layout->addWidget(tabs_, 1);

  searchBar_ = Named(new QWidget(central), "SearchBar");
  auto* search = new QHBoxLayout(searchBar_);
  search->setContentsMargins(6, 2, 6, 2);
  search->addWidget(new QLabel(QStringLiteral("検索:"), searchBar_));
  searchField_ = Named(new QLineEdit(searchBar_), "SearchField");
  searchField_->setClearButtonEnabled(true);
  search->addWidget(searchField_, 1);
  auto button = [this, search](const char* name, const QString& text, auto handler) {
    auto* b = Named(new QToolButton(searchBar_), name);
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
  searchField_->installEventFilter(new SearchKeys(this, searchField_));
  searchBar_->hide();
  layout->addWidget(searchBar_);
  setCentralWidget(central);

  // The counts stand at the right and take only their own width: the messages of the moves
  // and of the search have the rest of the status line.
  countsLabel_ = Named(new QLabel(this), "CountsLabel");
  statusBar()->addPermanentWidget(countsLabel_);
  statusBar()->setSizeGripEnabled(true);
}

void ReportViewer::RestoreSettings() {
  resize(1000, 700);
  if (!store_) return;
  const int width = ReadStoredNumber(*store_, "ViewerWidth", 0);
  const int height = ReadStoredNumber(*store_, "ViewerHeight", 0);
  if (width > 0 && height > 0) resize(width, height);
  const QString left = store_->Read(QStringLiteral("ViewerLeft"), QString());
  const QString top = store_->Read(QStringLiteral("ViewerTop"), QString());
  if (!left.isEmpty() && !top.isEmpty()) {
    PlaceFrameAt(this, QPoint(ReadSettingNumber(left, 0), ReadSettingNumber(top, 0)));
  }
}

void ReportViewer::SaveSettings() {
  if (!store_) return;
  const QRect frame = frameGeometry();
  store_->Write(QStringLiteral("ViewerLeft"), FormatSettingNumber(frame.x()));
  store_->Write(QStringLiteral("ViewerTop"), FormatSettingNumber(frame.y()));
  store_->Write(QStringLiteral("ViewerWidth"), FormatSettingNumber(width()));
  store_->Write(QStringLiteral("ViewerHeight"), FormatSettingNumber(height()));
  store_->Write(QStringLiteral("ViewerSideBySide"), FormatSettingNumber(sideBySide_ ? 1 : 0));
  store_->Write(QStringLiteral("ViewerFold"), FormatSettingNumber(folded_ ? 1 : 0));
  store_->Write(QStringLiteral("ViewerWrap"), FormatSettingNumber(wrapped_ ? 1 : 0));
  store_->Write(QStringLiteral("ViewerTabWidth"), FormatSettingNumber(tabWidth_));
  store_->Sync();
}

void ReportViewer::closeEvent(QCloseEvent* event) {
  SaveSettings();
  QMainWindow::closeEvent(event);
}

ReportPage* ReportViewer::AddReport(const QString& path, CompareAgainFunction compareAgain) {
  LoadedReport report;
  const Status status = LoadReportFile(path.toStdString(), &report);
  if (!status.ok()) {
    services_.ShowMessage(isVisible() ? this : parentWidget(), OpenFailureText(path, status),
                          QStringLiteral("ファイルを開けない"), MessageIcon::kExclamation,
                          MessageButtons::kOk);
    return nullptr;
  }
  auto* page = new ReportPage(path, std::move(report), tabWidth_, units_, tabs_);
  page->SetCompareAgain(std::move(compareAgain));
  page->ShowSideBySide(sideBySide_);
  page->FoldCommonRuns(folded_);
  page->SetWrap(wrapped_);
  page->OnReloaded([this, page] {
    if (page == CurrentPage()) {
      ShowPageState();
      statusBar()->showMessage(QStringLiteral("比較結果ファイルが更新されたので読み直しました"),
                               kMessageMs);
    }
  });
  const int index = tabs_->addTab(page, QFileInfo(path).fileName());
  tabs_->setTabToolTip(index, path);
  tabs_->setCurrentIndex(index);
  ShowPageState();
  return page;
}

int ReportViewer::PageCount() const {
  return tabs_->count();
}

ReportPage* ReportViewer::Page(int index) const {
  return static_cast<ReportPage*>(tabs_->widget(index));
}

ReportPage* ReportViewer::CurrentPage() const {
  return static_cast<ReportPage*>(tabs_->currentWidget());
}

const ReportDocument& ReportViewer::Document() const {
  ReportPage* page = CurrentPage();
  assert(page != nullptr && "Document() needs a report shown");
  return page->Document();
}

QTableView* ReportViewer::CurrentView() const {
  ReportPage* page = CurrentPage();
  return page ? page->CurrentView() : nullptr;
}

int ReportViewer::CurrentLine() const {
  ReportPage* page = CurrentPage();
  return page ? page->CurrentLine() : 0;
}

void ReportViewer::SetCurrentLine(int line) {
  if (ReportPage* page = CurrentPage()) page->SetCurrentLine(line);
}

bool ReportViewer::JumpToOtherPlace() {
  ReportPage* page = CurrentPage();
  return page && page->JumpToOtherPlace();
}

QString ReportViewer::SelectedLinesText() const {
  ReportPage* page = CurrentPage();
  return page ? page->SelectedLinesText() : QString();
}

void ReportViewer::ShowPageState() {
  ReportPage* page = CurrentPage();
  if (!page) return;
  setWindowTitle(QStringLiteral("比較結果 - %1").arg(QFileInfo(page->Path()).fileName()));
  countsLabel_->setText(page->CountsText());
  const bool isReport = page->Document().IsReport();
  for (QAction* act : {actPrevious_, actNext_, actJump_, actSideBySide_, actFold_}) {
    act->setEnabled(isReport);
  }
  actCompareAgain_->setEnabled(page->CanCompareAgain());
  // A page shows the window's view (it may have been made while another view was shown).
  page->ShowSideBySide(sideBySide_);
  if (page->CommonRunsFolded() != folded_) page->FoldCommonRuns(folded_);
  QSignalBlocker blockSide(actSideBySide_), blockFold(actFold_);
  actSideBySide_->setChecked(page->SideBySideShown());
  actFold_->setChecked(folded_);
}

bool ReportViewer::SideBySideShown() const {
  return CurrentPage() && CurrentPage()->SideBySideShown();
}

void ReportViewer::ShowSideBySide(bool on) {
  if (on && (!CurrentPage() || !Document().IsReport())) {
    QSignalBlocker block(actSideBySide_);
    actSideBySide_->setChecked(false);
    return;
  }
  sideBySide_ = on;
  for (int i = 0; i < PageCount(); ++i) Page(i)->ShowSideBySide(on);
  QSignalBlocker block(actSideBySide_);
  actSideBySide_->setChecked(on);
}

int ReportViewer::PrintTo(QPrinter* printer) const {
  const ReportHeader& header = Document().Header();
  const QString title = Document().IsReport() ? QStringLiteral("旧：%1　新：%2")
                                                    .arg(QString::fromStdString(header.oldName),
                                                         QString::fromStdString(header.newName))
                                              : CurrentPage()->Path();
  return PrintView(*CurrentView(), title, printer);
}

void ReportViewer::Print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(windowTitle());
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("印刷"));
  if (dialog.exec() == QDialog::Accepted) PrintTo(&printer);
}

void ReportViewer::PrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(windowTitle());
  QPrintPreviewDialog preview(&printer, this);
  preview.setObjectName(QStringLiteral("PrintPreview"));
  preview.setWindowTitle(QStringLiteral("印刷プレビュー"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* pages) { PrintTo(pages); });
  preview.exec();
}

namespace {

QStringList DroppedFiles(const QMimeData* data) {
  QStringList paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  return paths;
}

}  // namespace

void ReportViewer::dragEnterEvent(QDragEnterEvent* event) {
  const int files = static_cast<int>(DroppedFiles(event->mimeData()).size());
  if (files == 1 || (files == 2 && pairDrop_)) event->acceptProposedAction();
}

void ReportViewer::dropEvent(QDropEvent* event) {
  OpenDroppedFiles(DroppedFiles(event->mimeData()));
  event->acceptProposedAction();
}

void ReportViewer::OpenDroppedFiles(const QStringList& paths) {
  if (paths.size() == 1) {
    AddReport(paths[0]);
  } else if (paths.size() == 2 && pairDrop_) {
    pairDrop_(paths[0], paths[1]);
  } else {
    statusBar()->showMessage(
        QStringLiteral("比較結果ファイル 1 つか、比較する 2 つのファイルをドロップしてください"),
        kMessageMs);
  }
}

void ReportViewer::WrapLines(bool on) {
  wrapped_ = on;
  for (int i = 0; i < PageCount(); ++i) Page(i)->SetWrap(on);
  QSignalBlocker block(actWrap_);
  actWrap_->setChecked(on);
}

void ReportViewer::FoldCommonRuns(bool on) {
  folded_ = on;
  for (int i = 0; i < PageCount(); ++i) Page(i)->FoldCommonRuns(on);
  QSignalBlocker block(actFold_);
  actFold_->setChecked(on);
}

bool ReportViewer::NextDifference() {
  ReportPage* page = CurrentPage();
  if (!page) return false;
  if (page->NextDifference()) {
    statusBar()->clearMessage();
    return true;
  }
  statusBar()->showMessage(QStringLiteral("これより後に相違箇所はありません"), kMessageMs);
  return false;
}

bool ReportViewer::PreviousDifference() {
  ReportPage* page = CurrentPage();
  if (!page) return false;
  if (page->PreviousDifference()) {
    statusBar()->clearMessage();
    return true;
  }
  statusBar()->showMessage(QStringLiteral("これより前に相違箇所はありません"), kMessageMs);
  return false;
}

bool ReportViewer::Find(const QString& text, bool backwards) {
  ReportPage* page = CurrentPage();
  if (text.isEmpty() || !page) return false;
  if (page->Find(text, backwards)) {
    statusBar()->clearMessage();
    return true;
  }
  statusBar()->showMessage(QStringLiteral("「%1」は見つかりません").arg(text), kMessageMs);
  return false;
}

bool ReportViewer::CompareAgain() {
  ReportPage* page = CurrentPage();
  if (!page || !page->CanCompareAgain()) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Status status = page->CompareAgain();
  QApplication::restoreOverrideCursor();
  if (!status.ok()) {
    services_.ShowMessage(
        this,
        QStringLiteral("比較し直すことができません。\n\n理由： %1").arg(ToQString(status.reason())),
        QStringLiteral("再比較"), MessageIcon::kExclamation, MessageButtons::kOk);
    return false;
  }
  ShowPageState();
  statusBar()->showMessage(QStringLiteral("比較し直しました"), kMessageMs);
  return true;
}

void ReportViewer::ShowSearchBar() {
  searchBar_->show();
  searchField_->setFocus();
  searchField_->selectAll();
}

void ReportViewer::CloseCurrentPage() {
  if (PageCount() <= 1) {
    close();
    return;
  }
  ReportPage* page = CurrentPage();
  if (!page) return;
  tabs_->removeTab(tabs_->currentIndex());
  page->deleteLater();
}

void ReportViewer::CloseEveryViewer() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* viewer = dynamic_cast<ReportViewer*>(window); viewer && viewer->isVisible()) {
      viewer->close();
    }
  }
}

void ReportViewer::CopySelection() {
  const QString text = SelectedLinesText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

}  // namespace verko
